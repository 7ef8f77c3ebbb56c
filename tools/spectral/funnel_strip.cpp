#include "tools/spectral/funnel_strip.h"

#include "canvas/painter.h"
#include "canvas/column_polyline.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kelvora {
namespace {

double UsableScale(double scale)
{
    return scale > 0.0 ? scale : 1.0;
}

// x of sample i of `count` stretched over `width` pixels: truncate(i * W / count).
int StretchedX(std::size_t i, int width, std::size_t count)
{
    return static_cast<int>(static_cast<std::uint64_t>(i) * static_cast<std::uint64_t>(width) /
                            static_cast<std::uint64_t>(count));
}

// The same column, for indices that only grow, without a 64-bit division per sample (the
// whole-sound band walks millions of them): column c starts at index ceil(c * count / W).
class GrowingColumn {
public:
    GrowingColumn(int width, std::size_t count) : width_(width), count_(count) {}
    int operator()(std::size_t i)
    {
        while (i >= nextStart_) {
            ++column_;
            nextStart_ = FirstIndex(column_ + 1);
        }
        return column_;
    }

private:
    std::uint64_t FirstIndex(int column) const
    {
        return (static_cast<std::uint64_t>(column) * count_ + static_cast<std::uint64_t>(width_) - 1) /
               static_cast<std::uint64_t>(width_);
    }
    int width_;
    std::uint64_t count_;
    int column_ = -1;
    std::uint64_t nextStart_ = 0;
};

} // namespace

double StripScale(std::span<const double> signal) noexcept
{
    double peak = 0.0;
    for (double s : signal)
        peak = std::max(peak, std::fabs(s));
    return peak > 0.0 ? peak : 1.0;
}

void DrawStripUpperBand(Picture& strip, std::span<const double> signal, double scale,
                        std::size_t progressEvery, const std::function<void()>& progressStep)
{
    const int w = strip.width(), h = strip.height();
    Painter painter(strip);
    painter.setPen(BlackPen);
    painter.line(0, h / 2, w, h / 2);
    painter.line(0, h / 4, w, h / 4);
    const std::size_t count = signal.size();
    if (count == 0)
        return;
    const double s = UsableScale(scale);
    const double quarter = h / 4;
    DrawColumnPolyline(painter, count, GrowingColumn(w, count),
                       [&](std::size_t i) { return PixelCoordinate(quarter - (signal[i] / s) * h * 0.25); });
    if (progressStep && progressEvery > 0)
        for (std::size_t i = 0; i < count; i += progressEvery)
            progressStep();
}

void DrawStripFunnel(Picture& strip, std::size_t count, std::size_t start, std::size_t width)
{
    if (count == 0)
        return;
    const int w = strip.width(), h = strip.height();
    const int xs = StretchedX(start, w, count);
    const int xe = StretchedX(start + width, w, count);
    Painter painter(strip);
    painter.setPen(BlackPen);
    painter.moveTo(xs, 0);
    painter.lineTo(xs, h / 2);
    painter.lineTo(0, 6 * h / 10);
    painter.moveTo(xe, 0);
    painter.lineTo(xe, h / 2);
    painter.lineTo(w, 6 * h / 10);
}

void DrawStripLowerBand(Picture& strip, std::span<const double> interval, double scale)
{
    const int w = strip.width(), h = strip.height();
    Painter painter(strip);
    painter.setPen(BlackPen);
    painter.line(0, 3 * h / 4, w, 3 * h / 4);
    const std::size_t size = interval.size();
    if (size == 0)
        return;
    const double s = UsableScale(scale);
    const double threeQuarters = 3 * h / 4;
    DrawColumnPolyline(
        painter, size, GrowingColumn(w, size),
        [&](std::size_t i) { return PixelCoordinate(threeQuarters - (interval[i] / s) * h * 0.25); });
}

void DrawFunnelStripFully(Picture& strip, std::span<const double> signal, double scale,
                          std::size_t start, std::span<const double> interval)
{
    strip.fill(White);
    DrawStripUpperBand(strip, signal, scale);
    DrawStripFunnel(strip, signal.size(), start, interval.size());
    DrawStripLowerBand(strip, interval, scale);
}

void FunnelStrip::setSignal(std::span<const double> signal, double scale, std::size_t progressEvery,
                            const std::function<void()>& progressStep)
{
    band_.fill(White);
    DrawStripUpperBand(band_, signal, scale, progressEvery, progressStep);
    scale_ = scale;
    count_ = signal.size();
}

void FunnelStrip::drawInterval(Picture& target, std::size_t start,
                               std::span<const double> interval) const
{
    target = band_;
    DrawStripFunnel(target, count_, start, interval.size());
    DrawStripLowerBand(target, interval, scale_);
}

} // namespace kelvora
