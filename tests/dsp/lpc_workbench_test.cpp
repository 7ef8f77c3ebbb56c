// The LPC workbench pass, checked with order 1, where everything follows from the lag-1
// autocorrelation of the Hann-windowed frame: k1 = r1 (r0 = 1), a1 = −k1, c1 = k1. r1 is summed
// directly over the circular lags here, independently of the transforms the analysis uses.

#include "dsp/fft.h"
#include "dsp/lpc_workbench.h"

#include "../support/test_signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace kelvora::dsp {
namespace {

constexpr int Log2Size = 8;
constexpr std::size_t N = 256, Hop = 128;

double Windowed(std::span<const double> x, std::size_t s, std::size_t i)
{
    return x[s + i] * (0.5 * (1.0 - std::cos(6.283185303 * static_cast<double>(i) / N)));
}

// r1 / r0 of the circular autocorrelation of the windowed frame at s.
double DirectLag1(std::span<const double> x, std::size_t s)
{
    double r0 = 0.0, r1 = 0.0;
    for (std::size_t i = 0; i < N; ++i) {
        r0 += Windowed(x, s, i) * Windowed(x, s, i);
        r1 += Windowed(x, s, i) * Windowed(x, s, (i + 1) % N);
    }
    return r1 / r0;
}

LpcWorkbenchParams OrderOne(LpcQuantity quantity)
{
    return {Log2Size, 1, false, quantity};
}

TEST(LpcWorkbench, RefusesFewerThanOneFramePlusOneSample)
{
    LpcResultTable table;
    const std::vector<double> x = testing::UniformNoise(N + 1, 1000.0, 1);
    EXPECT_FALSE(RunLpcWorkbench(std::span(x).first(N), {}, OrderOne(LpcQuantity::Areas), table));
    const auto result = RunLpcWorkbench(x, {}, OrderOne(LpcQuantity::Areas), table);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->frames, 1u);
}

// 1000 samples give frames at 0, 128, …, 640 (the next start, 768, is not below 1000 − 256),
// rows ⌊500 j / (1000/128 + 1)⌋ = 0, 62, 125, 187, 250, 312, and every other row repeats the
// row before it.
TEST(LpcWorkbench, OrderOneRunAgainstDirectSums)
{
    const std::vector<double> x = testing::UniformNoise(1000, 8000.0, 5);
    LpcResultTable table;
    const auto result = RunLpcWorkbench(x, {}, OrderOne(LpcQuantity::Autocorrelation), table);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->frames, 6u);
    EXPECT_EQ(result->lastStart, 768u);
    EXPECT_EQ(table.rowLength, 2u);

    const std::size_t rows[] = {0, 62, 125, 187, 250, 312};
    std::vector<double> expectedY(x.size(), 0.0);
    for (std::size_t j = 0; j < 6; ++j) {
        const std::size_t s = j * Hop;
        const double k = DirectLag1(x, s);
        EXPECT_NEAR(table.row(rows[j])[1], k, 1e-9) << j;
        EXPECT_NEAR(table.row(rows[j] + 1)[1], k, 1e-9) << j; // filled forward
        // One stage: f[i] = w[i] − k w[i − 1], where the delay keeps w[0] in place.
        for (std::size_t i = 0; i < N; ++i)
            expectedY[s + i] += Windowed(x, s, i) - k * Windowed(x, s, i == 0 ? 0 : i - 1);
    }
    EXPECT_NEAR(table.row(499)[1], DirectLag1(x, 5 * Hop), 1e-9);
    EXPECT_EQ(table.row(499)[0], 1.0); // r0
    for (std::size_t i = 0; i < x.size(); ++i)
        ASSERT_NEAR(result->forwardError[i], expectedY[i], 1e-6) << i;
}

// More frames than rows: 64 640 samples give 503 frames over 506 row slots, so some rows take
// two frames, and the later one stays; the last frame lands on row 496 and rows 497 … 499
// repeat it.
TEST(LpcWorkbench, LastFrameMappedToARowWins)
{
    const std::vector<double> x = testing::UniformNoise(64640, 8000.0, 9);
    LpcResultTable table;
    const auto result = RunLpcWorkbench(x, {}, OrderOne(LpcQuantity::Reflection), table);
    ASSERT_TRUE(result);
    ASSERT_GT(result->frames, 500u);
    const std::size_t divisor = x.size() / Hop + 1;
    for (std::size_t row : {0u, 1u, 250u, 498u, 499u}) {
        std::size_t last = 0;
        for (std::size_t j = 0; j < result->frames; ++j)
            if (500 * j / divisor <= row)
                last = j;
        EXPECT_NEAR(table.row(row)[1], DirectLag1(x, last * Hop), 1e-9) << row;
    }
}

// With p = 1 the cepstra are c1 = k1, so the distance is (10 / ln 10) √2 |k_x − k_w| over each
// hop; frames the partner does not reach stay 0, and a partner equal to X gives 0 everywhere.
TEST(LpcWorkbench, CepstralDistanceToThePartner)
{
    const std::vector<double> x = testing::UniformNoise(1000, 8000.0, 5);
    std::vector<double> w = testing::Sine(600, 700.0, 8000.0, 5000.0);
    for (std::size_t i = 0; i < w.size(); ++i)
        w[i] += x[i] * 0.3;
    LpcResultTable table;
    const auto result = RunLpcWorkbench(x, w, OrderOne(LpcQuantity::Cepstrum), table);
    ASSERT_TRUE(result);
    const double scale = 10.0 / std::numbers::ln10 * std::sqrt(2.0);
    for (std::size_t j = 0; j < 3; ++j) { // frames at 0, 128, 256 lie within the 600 samples
        const double expected = scale * std::fabs(DirectLag1(x, j * Hop) - DirectLag1(w, j * Hop));
        EXPECT_NEAR(result->cepstralDistance[j * Hop], expected, 1e-7) << j;
        EXPECT_NEAR(result->cepstralDistance[j * Hop + Hop - 1], expected, 1e-7) << j;
    }
    EXPECT_EQ(result->cepstralDistance[3 * Hop], 0.0); // the frame at 384 would need 640

    const auto same = RunLpcWorkbench(x, x, OrderOne(LpcQuantity::Cepstrum), table);
    for (double d : same->cepstralDistance)
        ASSERT_EQ(d, 0.0);
}

// Worked by hand: f = b = (1, 2, 3), k1 = 0.5. b delayed: (1, 1, 2); the stage gives
// f = (0.5, 1.5, 2) and b = (0.5, 0, 0.5); b delayed again (0.5, 0.5, 0) and b[0] = 0.
TEST(LpcWorkbench, LatticeInverseFilterByHand)
{
    std::vector<double> f = {1, 2, 3}, b = {1, 2, 3};
    const std::vector<double> k = {0.0, 0.5};
    LatticeInverseFilter(f, b, k, 1);
    EXPECT_EQ(f, (std::vector<double>{0.5, 1.5, 2.0}));
    EXPECT_EQ(b, (std::vector<double>{0.0, 0.5, 0.0}));
}

} // namespace
} // namespace kelvora::dsp
