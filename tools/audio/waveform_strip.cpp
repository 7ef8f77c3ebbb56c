#include "tools/audio/waveform_strip.h"

#include "canvas/painter.h"

#include <algorithm>
#include <cmath>

namespace kelvora {
namespace {

constexpr int W = StripWidth, H = StripHeight;
constexpr int UpperZero = H / 4, Divider = H / 2, LowerZero = (3 * H) / 4;
constexpr int FrameTop = 3, FrameBottom = H / 2 - 3;

int UpperY(double sample)
{
    return PixelCoordinate(UpperZero - (sample / 32767.0) * H * 0.25);
}

// The framed interval is scaled to its own peak; an interval of zeros has none and lies flat
// on its zero line rather than at undefined heights.
struct LowerY {
    double peak;
    int operator()(double sample) const
    {
        return peak == 0.0 ? LowerZero : PixelCoordinate(LowerZero - (sample / peak) * H * 0.25);
    }
};

// Column of point k of a band of n points spread over the full width.
int ColumnOf(std::size_t k, std::size_t n)
{
    return PixelCoordinate(static_cast<double>(k) * W / static_cast<double>(n));
}

std::uint32_t ClipStart(std::span<const double> signal, std::uint32_t start)
{
    return static_cast<std::uint32_t>(std::min<std::size_t>(start, signal.size()));
}

std::uint32_t ClipWidth(std::span<const double> signal, std::uint32_t start, std::uint32_t width)
{
    return static_cast<std::uint32_t>(std::min<std::size_t>(width, signal.size() - start));
}

// The red frame, drawn with a pen two pixels wide: the outline and one more just inside it.
void DrawFrame(Painter& painter, std::size_t count, std::uint32_t start, std::uint32_t width)
{
    if (count == 0)
        return;
    const int x1 = PixelCoordinate(static_cast<double>(start) * W / static_cast<double>(count));
    const int x2 = PixelCoordinate((static_cast<double>(start) + width) * W / static_cast<double>(count));
    painter.setPen({Red, PenStyle::Solid});
    painter.rectangle(x1 - 1, FrameTop - 1, x2, FrameBottom);
    painter.rectangle(x1, FrameTop, x2 - 1, FrameBottom - 1);
    painter.setPen(BlackPen);
}

void DrawUpperGrid(Painter& painter)
{
    painter.setPen(BlackPen);
    painter.line(W, Divider, 0, Divider);
    painter.line(W, UpperZero, 0, UpperZero);
}

double PeakOf(std::span<const double> run)
{
    double peak = 0.0;
    for (double s : run)
        peak = std::max(peak, std::fabs(s));
    return peak;
}

// A band drawn as the step-by-step path from (0, zeroY) through every point would draw it, but
// per column: points that share a column are joined by vertical segments, which together cover
// exactly the span between the column's lowest and highest point, so one span per column and
// the segments between columns give the same pixels. yOf must not rise with the sample, so the
// column's extremes give its span.
template <class YOf>
void DrawBandByColumns(Painter& painter, int zeroY, std::span<const double> run, std::size_t offset,
                       const SampleExtremes& extremes, YOf yOf)
{
    const std::size_t n = run.size();
    int previousX = 0, previousY = zeroY;
    bool first = true;
    std::size_t k = 0;
    while (k < n) {
        const int column = ColumnOf(k, n);
        // First point of the next column: the exact quotient, checked against ColumnOf itself.
        std::size_t end = std::min<std::size_t>(
            n, static_cast<std::size_t>((static_cast<std::uint64_t>(column + 1) * n + W - 1) / W));
        end = std::max(end, k + 1);
        while (end < n && ColumnOf(end, n) == column)
            ++end;
        while (end > k + 1 && ColumnOf(end - 1, n) != column)
            --end;
        const auto [lowest, highest] = extremes.range(offset + k, offset + end);
        int top = yOf(highest), bottom = yOf(lowest);
        if (first) {
            // The path starts on the zero line in column 0, where the first point also lies.
            top = std::min(top, zeroY);
            bottom = std::max(bottom, zeroY);
            first = false;
        } else {
            painter.line(previousX, previousY, column, yOf(run[k]));
        }
        painter.verticalSpan(column, top, bottom);
        previousX = column;
        previousY = yOf(run[end - 1]);
        k = end;
    }
}

int ProgressSteps(std::size_t points)
{
    return static_cast<int>((points + 999) / 1000);
}

} // namespace

SampleExtremes::SampleExtremes(std::span<const double> signal) : signal_(signal)
{
    const std::size_t blocks = signal.size() / Block;
    blockMin_.resize(blocks);
    blockMax_.resize(blocks);
    for (std::size_t b = 0; b < blocks; ++b) {
        double lo = signal[b * Block], hi = lo;
        for (std::size_t i = b * Block + 1; i < (b + 1) * Block; ++i) {
            const double s = signal[i];
            lo = s < lo ? s : lo;
            hi = s > hi ? s : hi;
        }
        blockMin_[b] = lo;
        blockMax_[b] = hi;
    }
}

std::pair<double, double> SampleExtremes::range(std::size_t begin, std::size_t end) const
{
    double lo = signal_[begin], hi = lo;
    auto scan = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            const double s = signal_[i];
            lo = s < lo ? s : lo;
            hi = s > hi ? s : hi;
        }
    };
    const std::size_t firstBlock = (begin + Block - 1) / Block, lastBlock = end / Block;
    if (firstBlock >= lastBlock) {
        scan(begin, end);
        return {lo, hi};
    }
    scan(begin, firstBlock * Block);
    for (std::size_t b = firstBlock; b < lastBlock; ++b) {
        lo = blockMin_[b] < lo ? blockMin_[b] : lo;
        hi = blockMax_[b] > hi ? blockMax_[b] : hi;
    }
    scan(lastBlock * Block, end);
    return {lo, hi};
}

WaveformStrip::WaveformStrip()
    : bitmap_(W, H), upper_(W, H), plainShown_(StripShownWidth, StripShownHeight),
      shown_(StripShownWidth, StripShownHeight)
{
}

int WaveformStrip::draw(std::span<const double> signal, std::uint32_t start, std::uint32_t width)
{
    start = ClipStart(signal, start);
    width = ClipWidth(signal, start, width);
    if (!cacheValid_ || cachedData_ != signal.data() || cachedSize_ != signal.size()) {
        extremes_ = SampleExtremes(signal);
        upper_ = Picture(W, H);
        Painter painter(upper_);
        DrawUpperGrid(painter);
        DrawBandByColumns(painter, UpperZero, signal, 0, extremes_, UpperY);
        cachedData_ = signal.data();
        cachedSize_ = signal.size();
        cacheValid_ = true;
    }
    bitmap_ = upper_;
    Painter painter(bitmap_);
    DrawFrame(painter, signal.size(), start, width);
    double peak = 0.0;
    if (width > 0) {
        const auto [lowest, highest] = extremes_.range(start, start + width);
        peak = std::max(std::fabs(lowest), std::fabs(highest));
    }
    painter.line(W, LowerZero, 0, LowerZero);
    DrawBandByColumns(painter, LowerZero, signal.subspan(start, width), start, extremes_, LowerY{peak});

    plainShown_ = ShrinkKeepingLines(bitmap_, StripShownWidth, StripShownHeight);
    shown_ = plainShown_;
    return ProgressSteps(signal.size()) + ProgressSteps(width);
}

void WaveformStrip::showCursor(int x, int penWidth)
{
    shown_ = plainShown_;
    Painter painter(shown_);
    painter.setPen({Red, PenStyle::Solid});
    const int left = x - penWidth / 2;
    for (int column = left; column < left + std::max(penWidth, 1); ++column)
        painter.verticalSpan(column, StripCursorTop, StripCursorBottom - 1);
}

Picture DrawWaveformStripEverySegment(std::span<const double> signal, std::uint32_t start,
                                      std::uint32_t width)
{
    start = ClipStart(signal, start);
    width = ClipWidth(signal, start, width);
    const std::size_t count = signal.size();
    Picture strip(W, H);
    Painter painter(strip);
    DrawUpperGrid(painter);
    painter.moveTo(0, UpperZero);
    for (std::size_t i = 0; i < count; ++i)
        painter.lineTo(ColumnOf(i, count), UpperY(signal[i]));
    DrawFrame(painter, count, start, width);
    const LowerY lowerY{PeakOf(signal.subspan(start, width))};
    painter.line(W, LowerZero, 0, LowerZero);
    painter.moveTo(0, LowerZero);
    for (std::size_t k = 0; k < width; ++k)
        painter.lineTo(ColumnOf(k, width), lowerY(signal[start + k]));
    return strip;
}

Picture ShrinkKeepingLines(const Picture& source, int width, int height)
{
    Picture shrunk(width, height);
    if (shrunk.isNull() || source.isNull())
        return shrunk;
    const int sw = source.width(), sh = source.height();
    std::vector<int> columnStart(static_cast<std::size_t>(width) + 1);
    for (int x = 0; x <= width; ++x)
        columnStart[static_cast<std::size_t>(x)] = static_cast<int>(static_cast<long long>(x) * sw / width);
    for (int y = 0; y < height; ++y) {
        const int rowBegin = static_cast<int>(static_cast<long long>(y) * sh / height);
        const int rowEnd = std::max(rowBegin + 1, static_cast<int>(static_cast<long long>(y + 1) * sh / height));
        auto* out = reinterpret_cast<QRgb*>(shrunk.image().scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int colBegin = columnStart[static_cast<std::size_t>(x)];
            const int colEnd = std::max(colBegin + 1, columnStart[static_cast<std::size_t>(x) + 1]);
            QRgb combined = 0xffffffffu;
            for (int sy = rowBegin; sy < rowEnd && sy < sh; ++sy) {
                const auto* in = reinterpret_cast<const QRgb*>(source.image().constScanLine(sy));
                for (int sx = colBegin; sx < colEnd && sx < sw; ++sx)
                    combined &= in[sx];
            }
            out[x] = combined | 0xff000000u;
        }
    }
    return shrunk;
}

} // namespace kelvora
