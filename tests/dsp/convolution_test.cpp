// Convolution is checked against a direct O(n·m) sum scaled the same way, deconvolution against
// the input it must recover, and the failure paths against NaN and infinities.

#include "dsp/convolution.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <random>
#include <tuple>
#include <vector>

namespace kelvora::dsp {
namespace {

// Uniform values in [−scale, scale) from a fixed seed, independent of the library's distributions.
std::vector<double> Seeded(std::size_t count, std::uint32_t seed, double scale)
{
    std::mt19937 engine(seed);
    std::vector<double> v(count);
    for (double& x : v)
        x = (static_cast<double>(engine()) / 4294967296.0 * 2.0 - 1.0) * scale;
    return v;
}

// Peak-normalised to 16380 and zero-padded to `size`.
std::vector<double> Normalised(std::vector<double> v, std::size_t size)
{
    double peak = 0.0;
    for (const double x : v)
        peak = std::max(peak, std::abs(x));
    for (double& x : v)
        x *= 16380.0 / peak;
    v.resize(size, 0.0);
    return v;
}

std::vector<double> DirectConvolution(const std::vector<double>& x, const std::vector<double>& w)
{
    std::vector<double> y(x.size() + w.size() - 1, 0.0);
    for (std::size_t i = 0; i < x.size(); ++i)
        for (std::size_t j = 0; j < w.size(); ++j)
            y[i + j] += x[i] * w[j];
    return y;
}

void ExpectSamplesNear(const std::vector<double>& actual, const std::vector<double>& expected,
                       double tolerance)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t n = 0; n < actual.size(); ++n)
        ASSERT_NEAR(actual[n], expected[n], tolerance) << "sample " << n;
}

TEST(Convolution, TransformSizeIsTheNextPowerStrictlyAbove)
{
    EXPECT_EQ(ConvolutionTransformOrder(0), 0);
    EXPECT_EQ(ConvolutionTransformOrder(2), 2);
    EXPECT_EQ(ConvolutionTransformOrder(1023), 10);
    EXPECT_EQ(ConvolutionTransformOrder(1024), 11); // 2048 for a sum that is itself a power
    EXPECT_EQ(ConvolutionTransformOrder((1u << 20) - 1), 20);
    EXPECT_EQ(ConvolutionTransformOrder(1u << 20), 21);
    EXPECT_EQ(ConvolutionTransformOrder((1u << 29) - 1), 29);
    EXPECT_EQ(ConvolutionTransformOrder(1u << 29), std::nullopt);
}

// 34 s at 44.1 kHz and a response need 2^21 points: an impulse late in X, moved one sample on
// by W = {0, 2}, comes out as one sample of 16380 at index 2^20 and zeros round it. Where the
// work arrays cannot be had, the run says so and returns nothing.
TEST(Convolution, LongSoundsUseTransformsPast2To20UnlessMemoryIsShort)
{
    std::vector<double> x(std::size_t{1} << 20, 0.0);
    x.back() = 500.0;
    const std::vector<double> w = {0.0, 2.0};
    const ConvolutionResult r = Convolve(x, w);
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.samples.size(), std::size_t{1} << 21);
    for (std::size_t n = 0; n < r.samples.size(); ++n)
        ASSERT_NEAR(r.samples[n], n == (std::size_t{1} << 20) ? 16380.0 : 0.0, 1e-6) << n;

    // Four arrays and the transform's tables: six times 2^21 doubles.
    const std::size_t needed = 6 * sizeof(double) << 21;
    ASSERT_TRUE(RunConvolution(x, w, ConvolutionMode::Convolve, needed).ok());
    const ConvolutionResult refused = RunConvolution(x, w, ConvolutionMode::Convolve, needed - 1);
    EXPECT_FALSE(refused.ok());
    EXPECT_TRUE(refused.samples.empty());
    EXPECT_NE(refused.error.find("メモリが足りない"), std::string::npos) << refused.error;
    EXPECT_NE(refused.error.find("Xは変更していません"), std::string::npos) << refused.error;
}

TEST(Convolution, TwoImpulsesGiveOneNormalisedSample)
{
    const std::vector<double> x = {7.0}, w = {7.0};
    const ConvolutionResult r = Convolve(x, w);
    ASSERT_TRUE(r.ok()) << r.error;
    std::vector<double> expected(4, 0.0); // 2 samples together: M = 4
    expected[0] = 16380.0;
    ExpectSamplesNear(r.samples, expected, 1e-9);

    const ConvolutionResult sized =
        Convolve(std::vector<double>(1000, 1.0), std::vector<double>(24, 1.0));
    ASSERT_TRUE(sized.ok()) << sized.error;
    EXPECT_EQ(sized.samples.size(), 2048u);
}

TEST(Convolution, MatchesDirectSumOnSeededInputs)
{
    for (const auto& [xCount, wCount, seed] :
         {std::tuple{37u, 11u, 1u}, std::tuple{200u, 56u, 2u}, std::tuple{1u, 300u, 3u}}) {
        const std::vector<double> x = Seeded(xCount, seed, 20000.0);
        const std::vector<double> w = Seeded(wCount, seed + 100, 3.0);
        const ConvolutionResult r = Convolve(x, w);
        ASSERT_TRUE(r.ok()) << r.error;
        const std::size_t size = std::size_t{1} << *ConvolutionTransformOrder(xCount + wCount);
        // The padding past x.size() + w.size() − 1 must come out as zeros too.
        ExpectSamplesNear(r.samples, Normalised(DirectConvolution(x, w), size), 1e-6);
    }
}

TEST(Convolution, NoModeReturnsWNormalisedAndPadded)
{
    const std::vector<double> x = {1.0, 2.0, 3.0};
    const std::vector<double> w = {-4.0, 2.0};
    const ConvolutionResult r = RunConvolution(x, w, ConvolutionMode::None);
    ASSERT_TRUE(r.ok()) << r.error;
    ExpectSamplesNear(r.samples, {-16380.0, 8190.0, 0, 0, 0, 0, 0, 0}, 1e-9);
}

TEST(Deconvolution, RecoversXFromItsConvolution)
{
    const std::vector<double> x = Seeded(50, 7, 10000.0);
    // w[0] = 1 outweighs the rest together, so |W| ≥ 1 − 0.3 on every bin.
    std::vector<double> w = Seeded(30, 8, 0.01);
    w[0] = 1.0;
    const ConvolutionResult y = Convolve(x, w); // 128 samples, x * w scaled
    ASSERT_TRUE(y.ok()) << y.error;
    const ConvolutionResult back = Deconvolve(y.samples, w);
    ASSERT_TRUE(back.ok()) << back.error;
    ExpectSamplesNear(back.samples, Normalised(x, 256), 1e-6);
}

// x zero-padded to `size` without its components at `bins`, by a direct DFT.
std::vector<double> WithoutBins(const std::vector<double>& x, std::size_t size,
                                const std::vector<std::size_t>& bins)
{
    const double step = 2.0 * std::numbers::pi / static_cast<double>(size);
    std::vector<double> z(x);
    z.resize(size, 0.0);
    for (const std::size_t k : bins) {
        double re = 0.0, im = 0.0;
        for (std::size_t j = 0; j < x.size(); ++j) {
            re += x[j] * std::cos(step * static_cast<double>(k * j));
            im -= x[j] * std::sin(step * static_cast<double>(k * j));
        }
        for (std::size_t n = 0; n < size; ++n) {
            const double angle = step * static_cast<double>((k * n) % size);
            z[n] -= (re * std::cos(angle) - im * std::sin(angle)) / static_cast<double>(size);
        }
    }
    return z;
}

TEST(Deconvolution, ZeroBinsOfWAreSkipped)
{
    // Where W is zero, X's component cannot be recovered: it is dropped and the rest comes back.
    const std::vector<double> x = Seeded(50, 11, 5000.0);

    // {1, 1} is exactly zero at the Nyquist bin (32 of 64).
    const std::vector<double> nyquist = {1.0, 1.0};
    const ConvolutionResult r = Deconvolve(DirectConvolution(x, nyquist), nyquist);
    ASSERT_TRUE(r.ok()) << r.error;
    ExpectSamplesNear(r.samples, Normalised(WithoutBins(x, 64, {32}), 64), 1e-6);

    // {1, −2 cos θ, 1} vanishes at θ = ±2π 5/64 only up to rounding; dividing by that residue
    // would fill the result with noise as loud as the signal.
    const double twoCos = 2.0 * std::cos(2.0 * std::numbers::pi * 5.0 / 64.0);
    const std::vector<double> notch = {1.0, -twoCos, 1.0};
    const ConvolutionResult n = Deconvolve(DirectConvolution(x, notch), notch);
    ASSERT_TRUE(n.ok()) << n.error;
    ExpectSamplesNear(n.samples, Normalised(WithoutBins(x, 64, {5, 59}), 64), 1e-6);
}

TEST(Convolution, FailuresCarryAMessageAndNoSamples)
{
    const std::vector<double> silence(10, 0.0), one = {1.0};
    for (const ConvolutionResult& r :
         {Convolve(silence, one),                          // peak 0
          Deconvolve(one, silence),                        // every bin of W is zero
          Convolve(one, std::vector<double>())}) {          // nothing stored in W
        EXPECT_FALSE(r.ok());
        EXPECT_FALSE(r.error.empty());
        EXPECT_TRUE(r.samples.empty());
    }
    const std::vector<double> bad = {1.0, std::numeric_limits<double>::infinity()};
    const ConvolutionResult r = Convolve(bad, one);
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.samples.empty());
}

} // namespace
} // namespace kelvora::dsp
