#pragma once
// Long curves over few pixel columns (a 65536-point frame on 800 columns, a whole sound on one
// strip) are drawn per column: consecutive points that share a column are joined by vertical
// segments, whose union is the span between the run's lowest and highest y. Segments between
// columns are drawn as they are. The result has exactly the pixels of drawing every segment.

#include "canvas/painter.h"

#include <algorithm>
#include <cstddef>
#include <optional>

namespace kelvora {

// Draws the polyline through (xOf(i), yOf(i)) for i = 0 .. count-1 with the painter's pen,
// starting from `from` when given (a curve that is begun at a fixed point, as the graphs' are).
// xOf must never decrease with i; each of xOf and yOf is called once per index, in increasing
// order, so either may keep state.
template <class XOf, class YOf>
void DrawColumnPolyline(Painter& painter, std::size_t count, XOf xOf, YOf yOf,
                        std::optional<QPoint> from = std::nullopt)
{
    if (count == 0)
        return;
    int column = xOf(std::size_t{0});
    int y = yOf(std::size_t{0});
    int runTop = y, runBottom = y;
    if (from) {
        if (from->x() == column) {
            runTop = std::min(runTop, from->y());
            runBottom = std::max(runBottom, from->y());
        } else {
            painter.line(from->x(), from->y(), column, y);
        }
    }
    for (std::size_t i = 1; i < count; ++i) {
        const int nextColumn = xOf(i);
        const int nextY = yOf(i);
        if (nextColumn == column) {
            runTop = std::min(runTop, nextY);
            runBottom = std::max(runBottom, nextY);
        } else {
            painter.verticalSpan(column, runTop, runBottom);
            painter.line(column, y, nextColumn, nextY);
            column = nextColumn;
            runTop = runBottom = nextY;
        }
        y = nextY;
    }
    if (from || count > 1)
        painter.verticalSpan(column, runTop, runBottom);
}

// The same curve drawn one segment at a time: the reference the tests hold the above to.
template <class XOf, class YOf>
void DrawEverySegment(Painter& painter, std::size_t count, XOf xOf, YOf yOf,
                      std::optional<QPoint> from = std::nullopt)
{
    if (count == 0)
        return;
    if (from)
        painter.line(from->x(), from->y(), xOf(std::size_t{0}), yOf(std::size_t{0}));
    for (std::size_t i = 1; i < count; ++i)
        painter.line(xOf(i - 1), yOf(i - 1), xOf(i), yOf(i));
}

} // namespace kelvora
