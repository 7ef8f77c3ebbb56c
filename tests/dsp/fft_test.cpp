#include "dsp/fft.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <random>
#include <thread>
#include <vector>

namespace kelvora::dsp {
namespace {

using Complex = std::complex<double>;
constexpr double TwoPi = 6.283185307179586476925;

struct Signal {
    std::vector<double> re;
    std::vector<double> im;
};

Signal RandomSignal(std::size_t n, unsigned seed, bool complexInput = true)
{
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> dist(-1000.0, 1000.0);
    Signal s{std::vector<double>(n), std::vector<double>(n, 0.0)};
    for (std::size_t i = 0; i < n; ++i) {
        s.re[i] = dist(rng);
        if (complexInput)
            s.im[i] = dist(rng);
    }
    return s;
}

// The definitions, summed directly with the angle reduced exactly (jk mod n). +1: the forward
// transform scaled by 1/n; -1: the complex conjugate of the unscaled inverse transform
// sum_j x[j] e^{+2 pi i jk/n}, an independent statement of "conjugate the input, then transform";
// anything else: the unscaled forward transform.
Signal DirectDft(const Signal& x, int direction)
{
    const std::size_t n = x.re.size();
    const double sign = direction == -1 ? 1.0 : -1.0;
    std::vector<Complex> roots(n);
    for (std::size_t t = 0; t < n; ++t)
        roots[t] = std::polar(1.0, sign * TwoPi * static_cast<double>(t) / static_cast<double>(n));
    const double scale = direction == 1 ? 1.0 / static_cast<double>(n) : 1.0;
    Signal out{std::vector<double>(n), std::vector<double>(n)};
    for (std::size_t k = 0; k < n; ++k) {
        Complex sum = 0.0;
        for (std::size_t j = 0; j < n; ++j)
            sum += Complex(x.re[j], x.im[j]) * roots[(j * k) % n];
        if (direction == -1)
            sum = std::conj(sum);
        out.re[k] = sum.real() * scale;
        out.im[k] = sum.imag() * scale;
    }
    return out;
}

// The plain textbook routine the program's results are defined by: bit reversal, then radix-2
// stages whose twiddle is advanced by a recurrence.
void RecurrenceFft(Signal& x, int log2Size, int direction)
{
    const std::size_t n = std::size_t{1} << log2Size;
    auto& re = x.re;
    auto& im = x.im;
    if (direction == -1)
        for (auto& v : im)
            v = -v;
    std::size_t j = 0;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        if (i < j) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
        std::size_t k = n / 2;
        while (j >= k) {
            j -= k;
            k /= 2;
        }
        j += k;
    }
    for (std::size_t span = 2; span <= n; span *= 2) {
        const std::size_t half = span / 2;
        const double theta = 3.141592653589793 / static_cast<double>(half);
        const double c = std::cos(theta), s = std::sin(theta);
        double wr = 1.0, wi = 0.0;
        for (std::size_t k = 0; k < half; ++k) {
            for (std::size_t p = k; p < n; p += span) {
                const std::size_t q = p + half;
                const double tr = re[q] * wr - im[q] * wi;
                const double ti = re[q] * wi + im[q] * wr;
                re[q] = re[p] - tr;
                im[q] = im[p] - ti;
                re[p] += tr;
                im[p] += ti;
            }
            const double next = wr * c + wi * s;
            wi = wi * c - wr * s;
            wr = next;
        }
    }
    if (direction == 1)
        for (std::size_t i = 0; i < n; ++i) {
            re[i] /= static_cast<double>(n);
            im[i] /= static_cast<double>(n);
        }
}

// Largest complex deviation relative to the largest reference magnitude.
double RelativeError(const Signal& got, const Signal& want)
{
    double err = 0.0, peak = 0.0;
    for (std::size_t i = 0; i < want.re.size(); ++i) {
        err = std::max(err, std::hypot(got.re[i] - want.re[i], got.im[i] - want.im[i]));
        peak = std::max(peak, std::hypot(want.re[i], want.im[i]));
    }
    return peak > 0.0 ? err / peak : err;
}

class FftKernels : public ::testing::TestWithParam<FftKernel> {};

TEST_P(FftKernels, MatchesDirectDftForEverySmallSizeAndDirection)
{
    for (int m = 0; m <= 12; ++m) {
        const std::size_t n = std::size_t{1} << m;
        for (int direction : {1, -1, 0, 7}) {
            if (m > 10 && (direction == 0 || direction == 7))
                continue; // the unscaled forward shares every loop with +1
            const Signal input = RandomSignal(n, 100u + static_cast<unsigned>(m));
            Signal got = input;
            FftInPlaceUsing(GetParam(), got.re, got.im, m, direction);
            EXPECT_LE(RelativeError(got, DirectDft(input, direction)), 1e-9)
                << "n=" << n << " direction=" << direction;
        }
    }
}

TEST_P(FftKernels, MatchesRecurrenceAlgorithmForLargeSizes)
{
    for (int m : {13, 16, 17}) {
        for (int direction : {1, -1}) {
            const Signal input = RandomSignal(std::size_t{1} << m, 200u + static_cast<unsigned>(m));
            Signal want = input;
            RecurrenceFft(want, m, direction);
            Signal got = input;
            FftInPlaceUsing(GetParam(), got.re, got.im, m, direction);
            EXPECT_LE(RelativeError(got, want), 1e-9) << "m=" << m << " direction=" << direction;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Fft, FftKernels, ::testing::Values(FftKernel::Portable, FftKernel::Avx),
                         [](const ::testing::TestParamInfo<FftKernel>& info) {
                             return info.param == FftKernel::Avx ? "Avx" : "Portable";
                         });

// 2^21 points, past the sizes whose tables are kept (a long convolution's size), where the plain
// recurrence is too slow for the suite: closed forms instead. A cosine of bin b1 plus a sine of
// bin b2 has exactly 0.5 at b1 and n-b1, -0.5i at b2 and +0.5i at n-b2, and the -1 transform
// brings the real sequence back.
TEST(Fft, LargeSizeGivesClosedFormAndRoundTrip)
{
    const int log2Size = 21;
    const std::size_t n = std::size_t{1} << log2Size;
    const std::size_t b1 = 12345, b2 = 300001;
    std::vector<double> re(n), im(n, 0.0);
    for (std::size_t j = 0; j < n; ++j)
        re[j] = std::cos(TwoPi * static_cast<double>((b1 * j) % n) / static_cast<double>(n)) +
                std::sin(TwoPi * static_cast<double>((b2 * j) % n) / static_cast<double>(n));
    const std::vector<double> input = re;
    FftInPlace(re, im, log2Size, FftForward);
    for (std::size_t k = 0; k < n; ++k) {
        const double wantRe = (k == b1 || k == n - b1) ? 0.5 : 0.0;
        const double wantIm = k == b2 ? -0.5 : (k == n - b2 ? 0.5 : 0.0);
        ASSERT_NEAR(re[k], wantRe, 1e-9) << k;
        ASSERT_NEAR(im[k], wantIm, 1e-9) << k;
    }
    FftInPlace(re, im, log2Size, FftConjugate);
    for (std::size_t j = 0; j < n; ++j) {
        ASSERT_NEAR(re[j], input[j], 1e-9) << j;
        ASSERT_NEAR(im[j], 0.0, 1e-9) << j;
    }
}

TEST(Fft, SinglePointIsScaledByOneAndConjugatedByMinusOne)
{
    std::vector<double> re{3.5}, im{-2.25};
    FftInPlace(re, im, 0, FftForward);
    EXPECT_EQ(re[0], 3.5);
    EXPECT_EQ(im[0], -2.25);
    FftInPlace(re, im, 0, FftConjugate);
    EXPECT_EQ(re[0], 3.5);
    EXPECT_EQ(im[0], 2.25);
}

TEST(Fft, ImpulseGivesOneOverNEverywhere)
{
    for (int m : {1, 2, 3, 10, 11, 16}) {
        const std::size_t n = std::size_t{1} << m;
        std::vector<double> re(n, 0.0), im(n, 0.0);
        re[0] = 1.0;
        FftInPlace(re, im, m, FftForward);
        for (std::size_t k = 0; k < n; ++k) {
            ASSERT_NEAR(re[k], 1.0 / static_cast<double>(n), 1e-15) << "n=" << n << " k=" << k;
            ASSERT_NEAR(im[k], 0.0, 1e-15) << "n=" << n << " k=" << k;
        }
    }
}

TEST(Fft, CosineOfBinLandsHalfInBinAndMirror)
{
    for (auto [m, bin] : {std::pair{10, 37}, std::pair{9, 1}, std::pair{16, 4000}}) {
        const std::size_t n = std::size_t{1} << m;
        const auto b = static_cast<std::size_t>(bin);
        std::vector<double> re(n), im(n, 0.0);
        for (std::size_t j = 0; j < n; ++j)
            re[j] = std::cos(TwoPi * static_cast<double>((b * j) % n) / static_cast<double>(n));
        FftInPlace(re, im, m, FftForward);
        for (std::size_t k = 0; k < n; ++k) {
            const double want = (k == b || k == n - b) ? 0.5 : 0.0;
            ASSERT_NEAR(re[k], want, 1e-12) << "n=" << n << " k=" << k;
            ASSERT_NEAR(im[k], 0.0, 1e-12) << "n=" << n << " k=" << k;
        }
    }
}

TEST(Fft, ForwardThenMinusOneReturnsRealSequence)
{
    for (int m : {4, 11, 16}) {
        const std::size_t n = std::size_t{1} << m;
        const Signal input = RandomSignal(n, 7u, false);
        Signal x = input;
        FftInPlace(x.re, x.im, m, FftForward);
        FftInPlace(x.re, x.im, m, FftConjugate);
        double peak = 0.0;
        for (double v : input.re)
            peak = std::max(peak, std::fabs(v));
        for (std::size_t i = 0; i < n; ++i) {
            ASSERT_NEAR(x.re[i], input.re[i], 1e-9 * peak) << "n=" << n << " i=" << i;
            ASSERT_LE(std::fabs(x.im[i]), 1e-9 * peak) << "n=" << n << " i=" << i;
        }
    }
}

TEST(Fft, TouchesNothingPastTheTransformOrOnBadArguments)
{
    constexpr double Guard = -12345.678;
    for (int m : {0, 3, 10, 12}) {
        const std::size_t n = std::size_t{1} << m;
        Signal x = RandomSignal(n + 8, 3u);
        std::fill(x.re.begin() + static_cast<std::ptrdiff_t>(n), x.re.end(), Guard);
        std::fill(x.im.begin() + static_cast<std::ptrdiff_t>(n), x.im.end(), Guard);
        FftInPlace(x.re, x.im, m, FftForward);
        for (std::size_t i = n; i < n + 8; ++i) {
            EXPECT_EQ(x.re[i], Guard) << "n=" << n;
            EXPECT_EQ(x.im[i], Guard) << "n=" << n;
        }
    }
    const Signal input = RandomSignal(1024, 5u);
    Signal x = input;
    FftInPlace(std::span(x.re).first(1023), x.im, 10, FftForward); // real array one short
    FftInPlace(x.re, std::span(x.im).first(512), 10, FftForward);
    FftInPlace(x.re, x.im, -1, FftForward);
    FftInPlace(x.re, x.im, FftMaxLog2Size + 1, FftForward);
    EXPECT_EQ(x.re, input.re);
    EXPECT_EQ(x.im, input.im);
}

TEST(Fft, ConcurrentFirstUsesAgree)
{
    // Sizes no other test has used yet, so the threads race to build the tables.
    const std::vector<int> sizes{14, 15, 18};
    std::vector<Signal> results(2 * sizes.size());
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < results.size(); ++t) {
        threads.emplace_back([&, t] {
            const int m = sizes[t % sizes.size()];
            results[t] = RandomSignal(std::size_t{1} << m, 40u + static_cast<unsigned>(m));
            FftInPlace(results[t].re, results[t].im, m, FftForward);
        });
    }
    for (auto& thread : threads)
        thread.join();
    for (std::size_t t = 0; t < sizes.size(); ++t) {
        EXPECT_EQ(results[t].re, results[t + sizes.size()].re);
        const int m = sizes[t];
        Signal want = RandomSignal(std::size_t{1} << m, 40u + static_cast<unsigned>(m));
        RecurrenceFft(want, m, 1);
        EXPECT_LE(RelativeError(results[t], want), 1e-9) << "m=" << m;
    }
}

TEST(HannWindow, PeriodicWithTheProgramsConstant)
{
    const std::size_t n = 1024;
    EXPECT_EQ(HannWindow(0, n), 0.0);
    EXPECT_NEAR(HannWindow(512, n), 1.0, 1e-15);
    // With a = 2 pi - d, w[n-1] - w[1] = (cos(a/n) - cos(a - a/n)) / 2, which to first order in d
    // is sin(2 pi/n) d / 2: about 1.28e-11, positive, where a true 2 pi would give 0.
    const double d = TwoPi - 6.283185303;
    const double want = 0.5 * std::sin(TwoPi / static_cast<double>(n)) * d;
    const double diff = HannWindow(n - 1, n) - HannWindow(1, n);
    EXPECT_NEAR(diff, want, 1e-14);
    EXPECT_GT(diff, 1.2e-11);
    EXPECT_LT(diff, 1.4e-11);
    EXPECT_NEAR(HannWindow(256, n), 0.5, 1e-9);
}

TEST(PowerScale, FullScaleIsOneAndSilenceIsMinus110Db)
{
    EXPECT_DOUBLE_EQ(NormalisedPower(32767.0, 0.0), 1.0);
    EXPECT_DOUBLE_EQ(NormalisedPower(3.0, 4.0), 25.0 / (32767.0 * 32767.0));
    EXPECT_NEAR(PowerToDb(0.0), -110.0, 1e-12);
    EXPECT_NEAR(PowerToDb(1.0), 10.0 * std::log10(1.0 + 1e-11), 1e-15);
    EXPECT_NEAR(PowerToDb(0.01), -20.0, 1e-8);
}

} // namespace
} // namespace kelvora::dsp
