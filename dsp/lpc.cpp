#include "dsp/lpc.h"

#include "dsp/fft.h"

#include <algorithm>
#include <cmath>

namespace kelvora::dsp {

LpcFrameLength LpcFrameSize(unsigned sampleRate) noexcept
{
    if (sampleRate > 16000)
        return {1024, 10};
    if (sampleRate == 16000)
        return {512, 9};
    if (sampleRate == 8000)
        return {256, 8};
    // The power of two nearest to 30 ms; on a tie the longer frame, which resolves more.
    const double target = 0.030 * static_cast<double>(sampleRate);
    int log2Size = 2;
    while (log2Size < FftMaxLog2Size) {
        const double shorter = std::ldexp(1.0, log2Size);
        const double longer = std::ldexp(1.0, log2Size + 1);
        if (target - shorter < longer - target)
            break;
        ++log2Size;
    }
    return {std::size_t{1} << log2Size, log2Size};
}

unsigned RequiredTractOrder(unsigned sampleRate) noexcept
{
    constexpr double TractLengthCm = 17.0;
    constexpr double SpeedOfSoundCmPerS = 35000.0;
    return static_cast<unsigned>(2.0 * TractLengthCm * sampleRate / SpeedOfSoundCmPerS + 1.0);
}

unsigned VowelDefaultOrder(unsigned sampleRate) noexcept
{
    return static_cast<unsigned>(static_cast<unsigned long long>(sampleRate) * 10u / 8000u);
}

std::size_t LpcOrderLimit(std::size_t n) noexcept
{
    if (n < 4)
        return 0;
    return std::min(n / 2 - 1, LpcMaxOrder);
}

void FirstDifference(std::span<const double> samples, std::size_t start, std::size_t n,
                     std::span<double> out) noexcept
{
    if (out.size() < n)
        return;
    const auto at = [&](std::size_t i) { return i < samples.size() ? samples[i] : 0.0; };
    for (std::size_t i = 0; i < n; ++i)
        out[i] = at(start + i) - at(start + i + 1);
}

namespace {

// The frame's circular autocorrelation over N points divided by its value at lag 0, into
// r[0..N/2). Returns false, leaving r untouched, when the frame has no power.
bool NormalisedCircularAutocorrelation(std::span<double> re, std::span<double> im, int log2Size,
                                       std::span<double> r) noexcept
{
    const std::size_t n = std::size_t{1} << log2Size;
    FftInPlace(re, im, log2Size, FftForward);
    for (std::size_t j = 0; j < n; ++j) {
        re[j] = re[j] * re[j] + im[j] * im[j];
        im[j] = 0.0;
    }
    FftInPlace(re, im, log2Size, FftConjugate);
    const double power = re[0];
    if (!(power > 0.0) || !std::isfinite(power))
        return false;
    for (std::size_t j = 0; j < n / 2; ++j)
        r[j] = re[j] / power;
    return true;
}

// Levinson-Durbin over r[0..p] with r[0] = 1. The cross term q = sum_{j<=i-1} a[j] r[i-j] of the
// coming order is kept as one value. The coefficient update a[j] -= k a[i-j] needs the old
// values on both sides, so it runs over symmetric pairs (j, i-j) in place. Orders from `analysed`
// on are left as "no further prediction".
void LevinsonDurbin(std::span<const double> r, std::size_t order, std::size_t analysed,
                    std::span<double> a, std::span<double> k, std::span<double> e) noexcept
{
    std::fill(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(order + 1), 0.0);
    std::fill(k.begin(), k.begin() + static_cast<std::ptrdiff_t>(order + 1), 0.0);
    a[0] = 1.0;
    e[0] = r[0];
    double cross = analysed > 0 ? r[1] : 0.0;
    std::size_t i = 1;
    for (; i <= analysed; ++i) {
        if (!(e[i - 1] > 0.0))
            break; // the prediction is already perfect: nothing left to divide by
        const double ki = cross / e[i - 1];
        k[i] = ki;
        e[i] = e[i - 1] - ki * cross;
        for (std::size_t j = 1; 2 * j <= i; ++j) {
            const double low = a[j];
            const double high = a[i - j];
            a[j] = low - ki * high;
            if (j != i - j)
                a[i - j] = high - ki * low;
        }
        a[i] = -ki;
        if (i < analysed) {
            cross = 0.0;
            for (std::size_t j = 0; j <= i; ++j)
                cross += a[j] * r[i + 1 - j];
        }
    }
    for (; i <= order; ++i)
        e[i] = e[i - 1];
}

} // namespace

LpcStatus LpcAnalyzeFrame(const LpcArrays& arrays, std::size_t order, int log2Size) noexcept
{
    if (log2Size < 1 || log2Size > FftMaxLog2Size)
        return LpcStatus::BadArguments;
    const std::size_t n = std::size_t{1} << log2Size;
    if (arrays.re.size() < n || arrays.im.size() < n || arrays.autocorrelation.size() < n / 2 ||
        arrays.coefficients.size() < order + 1 || arrays.reflection.size() < order + 1 ||
        arrays.error.size() < order + 1)
        return LpcStatus::BadArguments;

    for (std::size_t j = 0; j < n; ++j) {
        arrays.re[j] *= HannWindow(j, n);
        arrays.im[j] = 0.0;
    }
    const auto r = arrays.autocorrelation.first(n / 2);
    const bool voiced = NormalisedCircularAutocorrelation(arrays.re, arrays.im, log2Size, r);
    if (!voiced) {
        // A white frame: no lag correlates, so nothing is predicted.
        std::fill(r.begin(), r.end(), 0.0);
        r[0] = 1.0;
    }
    const std::size_t analysed = std::min(order, LpcOrderLimit(n));
    LevinsonDurbin(r, order, analysed, arrays.coefficients, arrays.reflection, arrays.error);
    for (std::size_t i = 1; i <= order && i < n; ++i)
        arrays.im[i] = arrays.error[i];
    return voiced ? LpcStatus::Analysed : LpcStatus::Silent;
}

void LpcWorkspace::resize(std::size_t n, std::size_t maxOrder)
{
    size = n;
    re.resize(n);
    im.resize(n);
    autocorrelation.resize(n / 2);
    coefficients.resize(maxOrder + 1);
    reflection.resize(maxOrder + 1);
    error.resize(maxOrder + 1);
}

LpcArrays LpcWorkspace::arrays(std::size_t order) noexcept
{
    const auto first = [](std::vector<double>& v, std::size_t count) {
        return std::span<double>(v).first(std::min(count, v.size()));
    };
    return {first(re, size),
            first(im, size),
            first(autocorrelation, size / 2),
            first(coefficients, order + 1),
            first(reflection, order + 1),
            first(error, order + 1)};
}

} // namespace kelvora::dsp
