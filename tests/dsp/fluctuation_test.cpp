// The 1/f analysis, checked against a sine on a bin (closed-form levels), white and 1/f noise
// (slopes 0 and -1) and the frame placement of the narrowest interval.

#include "dsp/fluctuation.h"

#include "../support/test_signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace kelvora::dsp {
namespace {

TEST(Fluctuation, LevelsOfASineOnBin32AndTheFrequencyAxis)
{
    // R / 8 lies on bin 32 of a 256-point frame; with the Hann window and the 1/256 scale the
    // bin holds amplitude A / 4 and its neighbours A / 8, in every frame alike.
    const double a = 16000.0;
    const std::vector<double> sine = kelvora::testing::Sine(20000, 1000.0, 8000.0, a);
    FluctuationResult r;
    ASSERT_TRUE(AnalyseFluctuation(sine, 1000, 10000, 8000, r));
    const double full = 32767.0 * 32767.0;
    EXPECT_NEAR(r.averageDb[32], 10.0 * std::log10((a * a / 16.0 + 1e-11) / full), 1e-6);
    EXPECT_NEAR(r.averageDb[33], 10.0 * std::log10((a * a / 64.0 + 1e-11) / full), 1e-6);
    EXPECT_DOUBLE_EQ(r.logFrequency[1], 10.0 * std::log10(31.0));   // 8000 / 256 = 31.25
    EXPECT_DOUBLE_EQ(r.logFrequency[127], 10.0 * std::log10(3968.0)); // 8000 * 127 / 256
}

TEST(Fluctuation, WhiteNoiseHasSlopeZeroAndOneOverFNoiseSlopeMinusOne)
{
    std::mt19937 random(3);
    std::normal_distribution<double> gauss(0.0, 5000.0);
    std::vector<double> white(80000);
    for (double& s : white)
        s = gauss(random);
    FluctuationResult r;
    ASSERT_TRUE(AnalyseFluctuation(white, 0, white.size(), 8000, r));
    EXPECT_NEAR(r.slope, 0.0, 0.05);
    double meanFrameSlope = 0.0;
    for (double s : r.frameSlopes)
        meanFrameSlope += s / FluctuationColumns;
    EXPECT_NEAR(meanFrameSlope, 0.0, 0.05);

    // Sines on every bin frequency of a 256-point frame with amplitude 1/sqrt(f) and random
    // phases: power ~ 1/f.
    std::uniform_real_distribution<double> phase(0.0, 2.0 * std::numbers::pi);
    std::vector<double> pink(80000, 0.0);
    for (int k = 1; k < 128; ++k) {
        const double f = k * 8000.0 / 256.0, amplitude = 20000.0 / std::sqrt(f), p = phase(random);
        for (std::size_t i = 0; i < pink.size(); ++i)
            pink[i] += amplitude * std::sin(2.0 * std::numbers::pi * f * i / 8000.0 + p);
    }
    ASSERT_TRUE(AnalyseFluctuation(pink, 0, pink.size(), 8000, r));
    EXPECT_NEAR(r.slope, -1.0, 0.1);
    // The regression line passes through the means.
    double meanX = 0.0, meanY = 0.0;
    for (int k = 1; k < 128; ++k) {
        meanX += r.logFrequency[k] / 127.0;
        meanY += r.averageDb[k] / 127.0;
    }
    EXPECT_NEAR(r.intercept, meanY - r.slope * meanX, 1e-9);
}

TEST(Fluctuation, NarrowestIntervalPutsEveryFrameAtTheStartAndBadIntervalsAreRefused)
{
    const std::vector<double> noise = kelvora::testing::UniformNoise(3000, 8000.0, 5);
    FluctuationResult r;
    ASSERT_TRUE(AnalyseFluctuation(noise, 700, 256, 8000, r));
    for (double s : r.frameSlopes)
        ASSERT_EQ(s, r.frameSlopes[0]);
    EXPECT_FALSE(AnalyseFluctuation(noise, 0, 255, 8000, r));
    EXPECT_FALSE(AnalyseFluctuation(noise, 2800, 256, 8000, r));
    EXPECT_FALSE(AnalyseFluctuation(std::vector<double>(100), 0, 256, 8000, r));
}

} // namespace
} // namespace kelvora::dsp
