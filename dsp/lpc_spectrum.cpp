#include "dsp/lpc_spectrum.h"

#include "dsp/fft.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace kelvora::dsp {
namespace {

// A/N over N points into (re, im); false when the arrays cannot hold it.
bool InverseFilterSpectrum(std::span<const double> a, std::size_t order, int log2Size,
                           std::span<double> re, std::span<double> im) noexcept
{
    if (log2Size < 0 || log2Size > FftMaxLog2Size)
        return false;
    const std::size_t n = std::size_t{1} << log2Size;
    if (order >= n || a.size() < order + 1 || re.size() < n || im.size() < n)
        return false;
    std::fill(re.begin(), re.begin() + static_cast<std::ptrdiff_t>(n), 0.0);
    std::fill(im.begin(), im.begin() + static_cast<std::ptrdiff_t>(n), 0.0);
    std::copy(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(order + 1), re.begin());
    FftInPlace(re, im, log2Size, FftForward);
    return true;
}

} // namespace

void LpcEnvelope(std::span<const double> a, std::size_t order, int log2Size, std::span<double> re,
                 std::span<double> im, std::span<double> levelsDb) noexcept
{
    const std::size_t n = std::size_t{1} << std::clamp(log2Size, 0, FftMaxLog2Size);
    if (levelsDb.size() < n || !InverseFilterSpectrum(a, order, log2Size, re, im))
        return;
    for (std::size_t i = 0; i < n; ++i)
        levelsDb[i] = 10.0 * std::log10(1.0 / (re[i] * re[i] + im[i] * im[i]) + 1e-11);
}

void LpcEnvelope(std::span<const double> a, std::size_t order, int log2Size, std::span<double> re,
                 std::span<double> im, std::span<double> levelsDb,
                 std::span<double> levelsLn) noexcept
{
    const std::size_t n = std::size_t{1} << std::clamp(log2Size, 0, FftMaxLog2Size);
    if (levelsDb.size() < n || levelsLn.size() < n ||
        !InverseFilterSpectrum(a, order, log2Size, re, im))
        return;
    for (std::size_t i = 0; i < n; ++i) {
        const double inverse = 1.0 / std::max(re[i] * re[i] + im[i] * im[i], DBL_MIN);
        levelsDb[i] = 10.0 * std::log10(inverse);
        levelsLn[i] = std::log(inverse);
    }
}

void LpcCepstrum(std::span<const double> a, std::size_t order, std::span<double> c) noexcept
{
    if (a.size() < order + 1 || c.size() < order + 1)
        return;
    c[0] = 0.0;
    for (std::size_t m = 1; m <= order; ++m) {
        double sum = 0.0;
        for (std::size_t j = 1; j < m; ++j)
            sum += (1.0 - static_cast<double>(j) / static_cast<double>(m)) * a[j] * c[m - j];
        c[m] = -a[m] - sum;
    }
}

void TubeAreas(std::span<const double> k, std::size_t order, double firstArea,
               std::span<double> areas) noexcept
{
    if (k.size() < order + 1 || areas.size() < order + 1)
        return;
    areas[0] = firstArea;
    for (std::size_t i = 1; i <= order; ++i) {
        const double next = areas[i - 1] * (1.0 - k[i]) / (1.0 + k[i]);
        areas[i] = std::isfinite(next) ? next : areas[i - 1];
    }
}

FormantBins PickFormants(std::span<const double> levels, std::size_t n,
                         unsigned sampleRate) noexcept
{
    FormantBins bins;
    if (sampleRate == 0 || n < 8 || levels.size() < n)
        return bins;
    const std::size_t from = std::max<std::size_t>(70 * n / sampleRate, 1);
    bool dipSeen = false;
    for (std::size_t i = from; i < n / 2 - 3; ++i) {
        const bool peak = levels[i] > levels[i - 1] && levels[i] > levels[i + 1];
        const bool dip = levels[i] < levels[i - 1] && levels[i] < levels[i + 1];
        if (bins.first == 0) {
            if (peak)
                bins.first = i;
        } else if (!dipSeen) {
            dipSeen = dip;
        } else if (peak) {
            bins.second = i;
            break;
        }
    }
    return bins;
}

} // namespace kelvora::dsp
