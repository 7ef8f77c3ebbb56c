#include "tools/lpc/lpc_components_drawing.h"

#include "canvas/painter.h"
#include "dsp/lpc_spectrum.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace kelvora {
namespace {

constexpr int CurvePoints = 200;
constexpr int CurveLeft = 100;
// The erasing pen: 4 pixels wide, covering 2 before and 1 after the pixel it is centred on,
// swept from 4 to 96 rows below the curve in steps of 4.
constexpr int EraserBefore = 2, EraserAfter = 1;
constexpr int EraserFirstDelta = 4, EraserLastDelta = 96;

constexpr int ScatterLeft = 500, ScatterRight = 799, ScatterTop = 0, ScatterBottom = 499;
constexpr int ScatterCentreX = 650, ScatterCentreY = 250;
constexpr int ScatterHalfWidth = 150, ScatterHalfHeight = 250;

std::size_t LevelBin(int j, std::size_t n)
{
    return static_cast<std::size_t>(j * static_cast<double>(n) * 0.5 / CurvePoints);
}

// Rows the pen-wide erasing strokes cover in each column, as [top, bottom] per column.
class ColumnSpans {
public:
    void add(int column, int top, int bottom)
    {
        for (int x = column - EraserBefore; x <= column + EraserAfter; ++x) {
            const int i = x - First;
            if (i < 0 || i >= Count)
                continue;
            top_[static_cast<std::size_t>(i)] = std::min(top_[static_cast<std::size_t>(i)], top);
            bottom_[static_cast<std::size_t>(i)] = std::max(bottom_[static_cast<std::size_t>(i)], bottom);
        }
    }
    void fill(Painter& painter) const
    {
        for (int i = 0; i < Count; ++i)
            if (top_[static_cast<std::size_t>(i)] <= bottom_[static_cast<std::size_t>(i)])
                painter.verticalSpan(First + i, top_[static_cast<std::size_t>(i)], bottom_[static_cast<std::size_t>(i)]);
    }

private:
    static constexpr int First = CurveLeft - EraserBefore;
    static constexpr int Count = CurvePoints + EraserBefore + EraserAfter;
    std::array<int, Count> top_ = [] {
        std::array<int, Count> a{};
        a.fill(std::numeric_limits<int>::max());
        return a;
    }();
    std::array<int, Count> bottom_ = [] {
        std::array<int, Count> a{};
        a.fill(std::numeric_limits<int>::min());
        return a;
    }();
};

} // namespace

void DrawIntervalBand(Picture& picture, std::span<const double> signal, const SampleExtremes& extremes,
                      std::size_t start, std::size_t width)
{
    if (width < 2 || start > signal.size() || signal.size() - start < width)
        return;
    const std::span<const double> interval = signal.subspan(start, width);
    const auto [lowest, highest] = extremes.range(start, start + width);
    const double peak = std::max(std::fabs(lowest), std::fabs(highest));
    const auto y = [peak](double x) { return peak == 0.0 ? 50 : PixelCoordinate(x / peak * 50 + 50); };
    const std::uint64_t depth = WaterfallDepth, count = width;
    Painter painter(picture);
    painter.setPen(BlackPen);
    std::size_t k = 0;
    while (k < width) {
        const auto column = static_cast<int>(k * depth / count);
        // The first point of the next column: the least i with i × D ≥ (column + 1) × width.
        const auto end = std::max<std::size_t>(
            k + 1, std::min<std::size_t>(width, ((column + 1) * count + depth - 1) / depth));
        if (k > 0)
            painter.line(static_cast<int>((k - 1) * depth / count), y(interval[k - 1]), column, y(interval[k]));
        const auto [low, high] = extremes.range(start + k, start + end);
        painter.verticalSpan(column, y(low), y(high));
        k = end;
    }
}

int WaterfallY(double level, const dsp::LevelRange& range, int c, int delta)
{
    return PixelCoordinate(200 - (level - range.min) * 200 / (range.max - range.min) + c + delta);
}

void DrawWaterfallCurve(Picture& picture, std::span<const double> levels, std::size_t n, int c,
                        const dsp::LevelRange& range)
{
    std::array<int, CurvePoints> y{};
    for (int j = 0; j < CurvePoints; ++j)
        y[static_cast<std::size_t>(j)] = WaterfallY(levels[LevelBin(j, n)], range, c, 0);

    // The strokes of the eraser, merged per column: each curve pixel of a column, moved 4 … 96
    // rows down, under a pen 4 pixels wide, covers that column's curve rows plus 2 … 97 and the
    // same rows of the pen's neighbouring columns. A curve point shares its column with the
    // halves of the segments to its neighbours.
    ColumnSpans erased;
    const int y0 = y[0];
    erased.add(CurveLeft, std::min(WaterfallDepth, y0 + EraserFirstDelta) - EraserBefore,
               std::max(WaterfallDepth, y0 + EraserLastDelta) + EraserAfter);
    for (int j = 0; j < CurvePoints; ++j) {
        const int here = y[static_cast<std::size_t>(j)];
        const int left = j > 0 ? (y[static_cast<std::size_t>(j - 1)] + here) / 2 : here;
        const int right = j + 1 < CurvePoints ? (here + y[static_cast<std::size_t>(j + 1)]) / 2 : here;
        const int top = std::min({here, left, right}), bottom = std::max({here, left, right});
        erased.add(CurveLeft + j, top + EraserFirstDelta - EraserBefore, bottom + EraserLastDelta + EraserAfter);
    }
    Painter painter(picture);
    painter.setPen({White, PenStyle::Solid});
    erased.fill(painter);

    painter.setPen(BlackPen);
    painter.moveTo(CurveLeft, WaterfallDepth);
    for (int j = 0; j < CurvePoints; ++j)
        painter.lineTo(CurveLeft + j, y[static_cast<std::size_t>(j)]);
}

int DrawLpcWaterfall(Picture& picture, const dsp::FrameMatrix& matrix, int log2Size,
                     const dsp::LevelRange& range, WaterfallWork& work)
{
    if (!range.scalable() || log2Size < 1 || matrix.order == 0)
        return 0;
    const std::size_t n = std::size_t{1} << log2Size;
    if (matrix.order >= n)
        return 0;
    work.re.resize(n);
    work.im.resize(n);
    work.levels.resize(n);
    int steps = 0;
    for (int c = 0; c < WaterfallDepth; c += WaterfallStep) {
        const auto f = static_cast<std::size_t>(static_cast<long long>(dsp::ComponentFrames) * c / WaterfallDepth);
        // Entries 0 … p of the row: a[0 … p−1] and the 0 after them.
        dsp::LpcEnvelope(matrix.row(f), matrix.order, log2Size, work.re, work.im, work.levels);
        DrawWaterfallCurve(picture, work.levels, n, c, range);
        if (c % 500 == 0)
            ++steps;
    }
    return steps;
}

void FinishRangePicture(Picture& picture)
{
    Painter painter(picture);
    painter.fillRect(QRect(0, WaterfallDepth, picture.width(), picture.height() - WaterfallDepth), White);
    painter.setPen(BlackPen);
    painter.line(50, WaterfallDepth, picture.width() - 1, WaterfallDepth);
}

QPoint ScatterPoint(double s1, double s2, const dsp::ComponentScores& scores)
{
    const double x = scores.firstPeak > 0.0 ? s1 * ScatterHalfWidth / scores.firstPeak : 0.0;
    const double y = scores.secondPeak > 0.0 ? s2 * ScatterHalfHeight / scores.secondPeak : 0.0;
    return {PixelCoordinate(ScatterCentreX + x), PixelCoordinate(ScatterCentreY - y)};
}

void DrawPcaScatter(Picture& picture, const dsp::ComponentScores& scores)
{
    Painter painter(picture);
    painter.fillRect(QRect(QPoint(ScatterLeft, ScatterTop), QPoint(ScatterRight, ScatterBottom)), White);
    painter.setPen(BlackPen);
    painter.rectangle(ScatterLeft, ScatterTop, ScatterRight, ScatterBottom);
    painter.line(ScatterLeft, ScatterCentreY, ScatterRight, ScatterCentreY);
    painter.line(ScatterCentreX, ScatterTop, ScatterCentreX, ScatterBottom);
    if (!(scores.firstPeak > 0.0))
        return;
    for (std::size_t f = 0; f < scores.first.size() && f < scores.second.size(); ++f)
        DrawCircle(picture, ScatterPoint(scores.first[f], scores.second[f], scores), 2, 1, Black);
}

void MarkScatterPoint(Picture& picture, double s1, double s2, const dsp::ComponentScores& scores)
{
    DrawCircle(picture, ScatterPoint(s1, s2, scores), 4, 4, Red);
}

void DrawCircle(Picture& picture, QPoint centre, int radius, int penWidth, QRgb colour)
{
    const double half = penWidth / 2.0;
    const int reach = radius + (penWidth + 1) / 2;
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
            const double distance = std::hypot(dx, dy);
            if (std::fabs(distance - radius) <= half)
                picture.setPixel(centre.x() + dx, centre.y() + dy, colour);
            else if (distance < radius - half)
                picture.setPixel(centre.x() + dx, centre.y() + dy, White);
        }
}

} // namespace kelvora
