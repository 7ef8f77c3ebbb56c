#include "tools/spectral/order_graph.h"

#include "canvas/painter.h"
#include "util/sprintf.h"

#include <cmath>

namespace kelvora {
namespace {

constexpr int PixelsPerOrder = 5;
constexpr int OptimumY = 100;

} // namespace

int OrderGraphY(double value, const dsp::OrderOptimum& optimum)
{
    if (!optimum.defined || optimum.flat() || !std::isfinite(value))
        return OptimumY;
    return PixelCoordinate(100.0 - ((value - optimum.lowest) / (optimum.highest - optimum.lowest)) * 100.0);
}

std::string FlatGraphReason(const dsp::OrderOptimum& optimum)
{
    if (!optimum.defined)
        return "無音の区間なので基準値が求まりません。";
    if (optimum.flat())
        return "どの次数でも基準値が同じなので、最適次数は決まりません。";
    return {};
}

void DrawOrderGraph(Picture& graph, std::span<const double> criteria, const dsp::OrderOptimum& optimum)
{
    graph.fill(White);
    Painter painter(graph);
    if (optimum.defined) {
        const int x = PixelsPerOrder * static_cast<int>(optimum.order);
        const int y = OptimumY;
        painter.moveTo(x - 4, y - 10);
        painter.lineTo(x, y);
        painter.lineTo(x + 4, y - 10);
        painter.line(x, y, x, y - 20);
        const int textX = PixelsPerOrder * (static_cast<int>(optimum.order) - 4);
        painter.text(textX, y - 40, Sprintf("最適次数(X軸)=%d", static_cast<int>(optimum.order)));
        painter.text(textX, y + 10, Sprintf("最小値(Y軸)=%5.2f", optimum.lowest));
    }
    if (criteria.empty())
        return;
    painter.moveTo(0, OrderGraphY(criteria[0], optimum));
    for (std::size_t p = 0; p < criteria.size(); ++p)
        painter.lineTo(PixelsPerOrder * static_cast<int>(p), OrderGraphY(criteria[p], optimum));
    if (const std::string reason = FlatGraphReason(optimum); !reason.empty())
        painter.text(10, 140, reason);
}

} // namespace kelvora
