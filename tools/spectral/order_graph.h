#pragma once
// The optimal-order tool's graph: the criterion of orders 0 .. 99 against the order, five pixels
// per order, scaled so that the largest value lies at y = 0 and the smallest at y = 100, with an
// arrow and texts at the optimum.

#include "canvas/picture.h"
#include "dsp/prediction_order.h"

#include <span>
#include <string>

namespace kelvora {

inline constexpr int OrderGraphWidth = 572, OrderGraphHeight = 225;

// y of a criterion value: truncate(100 - ((v - lowest) / (highest - lowest)) * 100). A graph
// whose values are all equal, or not numbers, has no scale: every value lies at y = 100.
int OrderGraphY(double value, const dsp::OrderOptimum& optimum);

// Why a graph is flat, for the dialog's notice and the graph itself; empty when it is not.
std::string FlatGraphReason(const dsp::OrderOptimum& optimum);

// Fills the graph white and draws the marker at the optimum (an arrow at (5k, 100) with a stem
// up to y = 80), "最適次数(X軸)=k" at (5(k - 4), 60) and "最小値(Y軸)=v" at (5(k - 4), 110), then
// the curve through (5p, y(criteria[p])). Without a defined optimum the curve is the flat line
// and the marker is left out; a flat graph also says why at (10, 140).
void DrawOrderGraph(Picture& graph, std::span<const double> criteria, const dsp::OrderOptimum& optimum);

} // namespace kelvora
