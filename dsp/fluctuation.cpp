#include "dsp/fluctuation.h"

#include "dsp/fft.h"

#include <algorithm>
#include <cmath>

namespace kelvora::dsp {
namespace {

constexpr std::size_t N = FluctuationFrameSize;
constexpr double FullScaleSquared = 32767.0 * 32767.0;

double Mean(std::span<const double> values) noexcept
{
    double sum = 0.0;
    for (double v : values)
        sum += v;
    return sum / static_cast<double>(values.size());
}

} // namespace

double LeastSquaresSlope(std::span<const double> x, std::span<const double> y) noexcept
{
    const std::size_t n = std::min(x.size(), y.size());
    if (n < 2)
        return 0.0;
    const double meanX = Mean(x.first(n));
    const double meanY = Mean(y.first(n));
    double sxy = 0.0, sxx = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        sxy += (x[i] - meanX) * (y[i] - meanY);
        sxx += (x[i] - meanX) * (x[i] - meanX);
    }
    return sxx > 0.0 ? sxy / sxx : 0.0;
}

bool AnalyseFluctuation(std::span<const double> signal, std::size_t start, std::size_t width,
                        std::uint32_t sampleRate, FluctuationResult& result,
                        const std::function<void()>& frameDone)
{
    if (width < N || start > signal.size() || width > signal.size() - start)
        return false;
    std::array<double, N> window;
    for (std::size_t i = 0; i < N; ++i)
        window[i] = HannWindow(i, N);
    for (std::size_t k = 1; k <= FluctuationLastBin; ++k) {
        // Whole Hz, as the tool labels them; a rate so low that bin 1 is below 1 Hz counts as 1 Hz.
        const auto hz = static_cast<std::uint64_t>(sampleRate) * k / N;
        result.logFrequency[k] = 10.0 * std::log10(static_cast<double>(std::max<std::uint64_t>(hz, 1)));
    }
    const std::span<const double> x = std::span<const double>(result.logFrequency).subspan(1);

    std::array<double, FluctuationLastBin + 1> accumulated{}, frameDb{};
    std::array<double, N> real, imag;
    for (std::size_t c = 0; c < FluctuationColumns; ++c) {
        const std::size_t frameStart = start + c * (width - N) / FluctuationColumns;
        for (std::size_t i = 0; i < N; ++i)
            real[i] = window[i] * signal[frameStart + i];
        imag.fill(0.0);
        FftInPlace(real, imag, FluctuationFrameLog2, FftForward);
        for (std::size_t k = 1; k <= FluctuationLastBin; ++k) {
            const double p = (real[k] * real[k] + imag[k] * imag[k] + 1e-11) / FullScaleSquared;
            accumulated[k] += p;
            frameDb[k] = 10.0 * std::log10(p);
        }
        result.frameSlopes[c] = LeastSquaresSlope(x, std::span<const double>(frameDb).subspan(1));
        if (frameDone)
            frameDone();
    }
    result.averageDb[0] = 0.0;
    for (std::size_t k = 1; k <= FluctuationLastBin; ++k)
        result.averageDb[k] = 10.0 * std::log10(accumulated[k] / static_cast<double>(FluctuationColumns));
    const std::span<const double> y = std::span<const double>(result.averageDb).subspan(1);
    result.slope = LeastSquaresSlope(x, y);
    result.intercept = Mean(y) - result.slope * Mean(x);
    return true;
}

} // namespace kelvora::dsp
