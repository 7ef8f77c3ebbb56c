#pragma once
// The explanatory figures of the linear-prediction workbenches, drawn rather than stored: the
// lattice as a chain of stages, the coefficient update of one adaptive stage, and the adaptive
// filter with its line-enhancer switch.

#include "canvas/picture.h"

#include <string>

namespace kelvora {

inline constexpr int DiagramWidth = 460;
inline constexpr int LatticeDiagramHeight = 160;
inline constexpr int StageUpdateDiagramHeight = 180;
inline constexpr int AdaptiveFilterDiagramHeight = 130;

// Input X, stages 1, 2, …, last, each with the coefficient `letter` + index on its crossed
// multiplications and a unit delay on the backward path, giving the forward residual Y and the
// backward residual E. `last` names the last stage ("p" or "M").
Picture LatticeBlockDiagram(const std::string& letter, const std::string& last);

// One adaptive stage's coefficient: f² weighted by γ and the delayed b² by 1 − γ feed a leaky
// accumulator D, f·b feeds a leaky accumulator C (factor a, unit delay), and C / D gives Wn.
Picture StageUpdateDiagram();

// X through the delay M and the adaptive filter gives Y; Y is taken from the desired signal,
// switched between X (line enhancer) and YE (adaptive filter), giving E, which adapts the filter
// through the step factor μ.
Picture AdaptiveFilterDiagram();

} // namespace kelvora
