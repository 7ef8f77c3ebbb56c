#include "tools/lpc/vowel_analysis.h"

#include "canvas/painter.h"
#include "dsp/fft.h"
#include "dsp/spectrum.h"
#include "tools/spectral/funnel_strip.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kelvora {
namespace {

constexpr double FullScale = 32767.0;
constexpr int Bottom = VowelPictureHeight;
constexpr double HalfHeight = VowelPictureHeight * 0.5;

// x of bin i of the N/2 shown bins on the 800 pixels: i * 800 / (N/2) in integers.
int BinX(std::size_t bin, std::size_t halfSize)
{
    return static_cast<int>(bin * VowelPictureWidth / halfSize);
}

struct EnvelopeScale {
    double min = 1000.0;
    double max = -1000.0;
    // (L - min) / (max - min), or 0 for a flat envelope, which has no range to scale.
    double fraction(double level) const { return max > min ? (level - min) / (max - min) : 0.0; }
};

EnvelopeScale ScaleOf(std::span<const double> levels)
{
    EnvelopeScale scale;
    for (double level : levels) {
        scale.max = std::max(scale.max, level);
        scale.min = std::min(scale.min, level);
    }
    return scale;
}

} // namespace

void VowelWork::resize(std::size_t n, std::size_t order)
{
    lpc.resize(n, order);
    spectrumRe.resize(n);
    spectrumIm.resize(n);
    spectrumDb.resize(n / 2);
    levels.resize(n);
    areas.resize(order + 1);
}

VowelFrame AnalyseVowel(std::span<const double> signal, std::size_t start,
                        dsp::LpcFrameLength length, std::size_t order, unsigned sampleRate,
                        VowelWork& work)
{
    VowelFrame frame;
    frame.start = start;
    frame.size = length.size;
    frame.log2Size = length.log2Size;
    frame.order = std::min(order, dsp::LpcOrderLimit(length.size));
    const std::size_t n = length.size;
    work.resize(n, frame.order);

    // The spectrum shown is that of the pre-emphasised, Hann-weighted frame on the raw scale.
    dsp::FirstDifference(signal, start, n, work.spectrumRe);
    for (std::size_t i = 0; i < n; ++i) {
        work.spectrumRe[i] *= dsp::HannWindow(i, n);
        work.spectrumIm[i] = 0.0;
    }
    dsp::FftInPlace(work.spectrumRe, work.spectrumIm, length.log2Size, dsp::FftForward);
    for (std::size_t i = 0; i < n / 2; ++i) {
        const double re = work.spectrumRe[i], im = work.spectrumIm[i];
        work.spectrumDb[i] = 10.0 * std::log10(re * re + im * im + 1e-11);
    }

    const dsp::LpcArrays arrays = work.lpc.arrays(frame.order);
    dsp::FirstDifference(signal, start, n, arrays.re);
    for (std::size_t i = 0; i < n; ++i)
        arrays.re[i] /= FullScale;
    frame.silent = dsp::LpcAnalyzeFrame(arrays, frame.order, length.log2Size) == dsp::LpcStatus::Silent;
    dsp::LpcEnvelope(arrays.coefficients, frame.order, length.log2Size, arrays.re, arrays.im,
                     work.levels);
    frame.bins = dsp::PickFormants(work.levels, n, sampleRate);
    frame.f1 = dsp::BinFrequency(frame.bins.first, n, sampleRate);
    frame.f2 = dsp::BinFrequency(frame.bins.second, n, sampleRate);
    dsp::TubeAreas(arrays.reflection, frame.order, VowelFirstArea, work.areas);
    return frame;
}

void DrawVowelWaveform(Picture& picture, std::span<const double> signal)
{
    DrawStripUpperBand(picture, signal, StripScale(signal));
    if (signal.empty())
        return;
    // The curve continues from the pen's last point, the start of the line at y = 100.
    const double scale = StripScale(signal);
    Painter(picture).line(0, Bottom / 4, 0,
                          PixelCoordinate(Bottom / 4 - (signal[0] / scale) * Bottom * 0.25));
}

void DrawVowelFrameBox(Picture& picture, std::size_t start, std::size_t size, std::size_t count)
{
    if (count == 0)
        return;
    const auto x = [count](std::size_t i) {
        return static_cast<int>(static_cast<std::uint64_t>(i) * VowelPictureWidth / count);
    };
    const int xs = x(start), xe = x(start + size);
    Painter painter(picture);
    painter.moveTo(xs, 3);
    painter.lineTo(xs, 197);
    painter.lineTo(xe, 197);
    painter.lineTo(xe, 3);
    painter.lineTo(xs, 3);
}

void DrawVowelSpectra(Picture& picture, const VowelFrame& frame, const VowelWork& work)
{
    const std::size_t half = frame.size / 2;
    if (half == 0)
        return;
    Painter painter(picture);

    // The FFT spectrum, its largest value at 0.8 of the lower half.
    double peak = -1000.0;
    for (std::size_t i = 0; i < half; ++i)
        peak = std::max(peak, work.spectrumDb[i]);
    const double divisor = peak != 0.0 ? peak : 1.0;
    const auto spectrumY = [&](std::size_t i, double share) {
        return PixelCoordinate(Bottom - (work.spectrumDb[i] / divisor) * HalfHeight * share);
    };
    painter.moveTo(0, spectrumY(0, 1.0));
    for (std::size_t i = 0; i < half; ++i)
        painter.lineTo(BinX(i, half), spectrumY(i, 0.8));

    // The LPC envelope between its extremes, at 0.9 of the lower half.
    const EnvelopeScale scale = ScaleOf(std::span<const double>(work.levels).first(frame.size));
    const auto envelopeY = [&](std::size_t i, double share) {
        return PixelCoordinate(Bottom - scale.fraction(work.levels[i]) * HalfHeight * share);
    };
    painter.moveTo(0, envelopeY(0, 1.0));
    for (std::size_t i = 0; i < half; ++i)
        painter.lineTo(BinX(i, half), envelopeY(i, 0.9));

    const auto arrow = [&](std::size_t bin, const char* label) {
        const int x = BinX(bin, half);
        const int y = envelopeY(bin, 0.9);
        painter.moveTo(x + 5, y - 20);
        painter.lineTo(x, y);
        painter.lineTo(x - 5, y - 20);
        painter.text(x + 20, y - 15, label);
    };
    arrow(frame.bins.first, "F 1");
    arrow(frame.bins.second, "F 2");
}

} // namespace kelvora
