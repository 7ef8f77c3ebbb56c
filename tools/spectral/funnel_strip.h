#pragma once
// The spectral tools' two-band waveform strip: the whole sound in the upper band, the analysed
// interval stretched over the lower band, and a funnel of lines from the interval's place in
// the upper band out to the lower band's full width. The whole-sound band does not change
// while a dialog is open, so FunnelStrip draws it once and each interval is drawn over a copy.

#include "canvas/picture.h"

#include <cstddef>
#include <functional>
#include <span>

namespace kelvora {

// The full scale of a strip: the largest |sample| of the signal. A silent signal has none; it
// gets 1, which draws it on the band's centre line instead of at coordinates made from 0/0.
double StripScale(std::span<const double> signal) noexcept;

// Upper band: lines at y = H/2 and H/4 across the width and the whole signal, sample i at
// (i * W / count, H/4 - (x[i] / scale) * H/4). progressStep is called once per `progressEvery`
// samples (at sample 0, progressEvery, ...). A scale <= 0 is taken as 1.
void DrawStripUpperBand(Picture& strip, std::span<const double> signal, double scale,
                        std::size_t progressEvery = 1000,
                        const std::function<void()>& progressStep = {});

// Funnel for the interval [start, start + width) of a signal of `count` samples: lines from
// the top of the upper band at the interval's ends down to H/2 and out to the corners of the
// lower band at y = 6H/10. Nothing for an empty signal.
void DrawStripFunnel(Picture& strip, std::size_t count, std::size_t start, std::size_t width);

// Lower band: a line at y = 3H/4 and `interval` stretched over the full width, value i at
// (i * W / size, 3H/4 - (v[i] / scale) * H/4). A scale <= 0 is taken as 1.
void DrawStripLowerBand(Picture& strip, std::span<const double> interval, double scale);

// The whole strip drawn afresh on a white picture: upper band, funnel, lower band. The
// reference that the cached drawing below must equal pixel for pixel.
void DrawFunnelStripFully(Picture& strip, std::span<const double> signal, double scale,
                          std::size_t start, std::span<const double> interval);

class FunnelStrip {
public:
    FunnelStrip(int width, int height) : band_(width, height) {}

    // Draws the upper band of `signal` once (see DrawStripUpperBand); the signal is not kept,
    // only its length and the scale.
    void setSignal(std::span<const double> signal, double scale, std::size_t progressEvery = 1000,
                   const std::function<void()>& progressStep = {});

    // The strip for the interval [start, start + interval.size()): a copy of the upper band with
    // the funnel and the lower band drawn over it, written to `target` (made the strip's size).
    void drawInterval(Picture& target, std::size_t start, std::span<const double> interval) const;

    const Picture& upperBand() const { return band_; }
    double scale() const { return scale_; }
    std::size_t count() const { return count_; }

private:
    Picture band_;
    double scale_ = 1.0;
    std::size_t count_ = 0;
};

} // namespace kelvora
