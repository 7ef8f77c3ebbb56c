// Generator values are checked against the shape formulas worked out by hand for small periods.

#include "dsp/signal_generator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace kelvora::dsp {
namespace {

GeneratorParams Periodic(WaveShape shape, std::uint32_t frequency, std::uint32_t amplitude)
{
    GeneratorParams params;
    params.shape = shape;
    params.rate = 8000;
    params.lengthMs = 10; // 80 samples
    params.frequency = frequency;
    params.amplitude = amplitude;
    return params;
}

TEST(SignalGenerator, DerivedPeriodDutyAndCount)
{
    GeneratorParams params;
    params.shape = WaveShape::Rectangle;
    EXPECT_EQ(PeriodSamples(params), 18u); // 8000 / 440 = 18.18
    EXPECT_EQ(DutySamples(params), 9u);
    EXPECT_EQ(WholePeriodsPerSecond(params), 444u);
    EXPECT_EQ(GeneratedCount(params), 4000u);

    params.rate = 44100;
    params.frequency = 1000; // 44.1 + 0.5 truncates to 44
    params.dutyPercent = 30; // 13.2 + 0.5 truncates to 13
    params.lengthMs = 3000;
    EXPECT_EQ(PeriodSamples(params), 44u);
    EXPECT_EQ(DutySamples(params), 13u);
    EXPECT_EQ(GeneratedCount(params), 132300u);

    params.frequency = 1600; // 27.56 rounds up to 28
    EXPECT_EQ(PeriodSamples(params), 28u);

    params.lengthMs = 0;
    EXPECT_TRUE(Generate(params, 1).empty());
}

TEST(SignalGenerator, SineAtAQuarterOfTheRate)
{
    // 1000 Hz at 8 kHz advances by π/4 per sample.
    const std::vector<double> s = Generate(Periodic(WaveShape::Sine, 1000, 10000), 0);
    ASSERT_EQ(s.size(), 80u);
    EXPECT_NEAR(s[0], 0.0, 1e-9);
    EXPECT_NEAR(s[1], 7071.067811865475, 1e-6);
    EXPECT_NEAR(s[2], 10000.0, 1e-6);
    EXPECT_NEAR(s[6], -10000.0, 1e-6);
    EXPECT_NEAR(s[79], -7071.067811865475, 1e-6);
}

TEST(SignalGenerator, TriangleRisesInIntegersAndFallsInDoubles)
{
    // P = 8, half = 4: rising (100 r 2) / 8, falling (2 − 2r/8) × 100.
    const std::vector<double> even = Generate(Periodic(WaveShape::Triangle, 1000, 100), 0);
    const double expected[] = {0, 25, 50, 75, 100, 75, 50, 25};
    for (std::size_t n = 0; n < even.size(); ++n)
        EXPECT_DOUBLE_EQ(even[n], expected[n % 8]) << n;

    // Truncation of the rising half: (7 × 1 × 2) / 8 = 1, (7 × 3 × 2) / 8 = 5.
    const std::vector<double> small = Generate(Periodic(WaveShape::Triangle, 1000, 7), 0);
    EXPECT_EQ(small[1], 1.0);
    EXPECT_EQ(small[3], 5.0);
    EXPECT_DOUBLE_EQ(small[5], 5.25);

    // P = 5 (8000 / 1600), half = 2: the middle sample is (2 − 4/5) × 100 = 120.
    const std::vector<double> odd = Generate(Periodic(WaveShape::Triangle, 1600, 100), 0);
    const double expectedOdd[] = {0, 40, 120, 80, 40};
    for (std::size_t n = 0; n < 10; ++n)
        EXPECT_NEAR(odd[n], expectedOdd[n % 5], 1e-9) << n;
}

TEST(SignalGenerator, SawtoothAndRectangle)
{
    const std::vector<double> saw = Generate(Periodic(WaveShape::Sawtooth, 1000, 7), 0);
    const double expectedSaw[] = {0, 0, 1, 2, 3, 4, 5, 6}; // (r × 7) / 8 truncated
    for (std::size_t n = 0; n < saw.size(); ++n)
        EXPECT_EQ(saw[n], expectedSaw[n % 8]) << n;

    GeneratorParams params;
    params.shape = WaveShape::Rectangle; // P = 18, D = 9
    const std::vector<double> rect = Generate(params, 0);
    ASSERT_EQ(rect.size(), 4000u);
    for (std::size_t n = 0; n < rect.size(); ++n)
        EXPECT_EQ(rect[n], n % 18 < 9 ? 15000.0 : 0.0) << n;

    params.dutyPercent = 0;
    for (const double v : Generate(params, 0))
        ASSERT_EQ(v, 0.0);
}

TEST(SignalGenerator, ZeroFrequencyIsSilenceForPeriodicShapesOnly)
{
    for (const WaveShape shape : {WaveShape::Sine, WaveShape::Triangle, WaveShape::Sawtooth,
                                  WaveShape::Rectangle}) {
        const GeneratorParams params = Periodic(shape, 0, 32767);
        EXPECT_EQ(PeriodSamples(params), 0u);
        EXPECT_EQ(DutySamples(params), 0u);
        EXPECT_EQ(WholePeriodsPerSecond(params), 0u);
        const std::vector<double> s = Generate(params, 0);
        ASSERT_EQ(s.size(), 80u);
        for (const double v : s)
            ASSERT_EQ(v, 0.0);
    }
    GeneratorParams noise = Periodic(WaveShape::Noise, 0, 1000);
    const std::vector<double> silentFrequency = Generate(noise, 5);
    noise.frequency = 440;
    EXPECT_EQ(silentFrequency, Generate(noise, 5));
    EXPECT_NE(silentFrequency, std::vector<double>(80, 0.0));
}

TEST(SignalGenerator, NoiseIsSeededAndRoughlyNormal)
{
    GeneratorParams params;
    params.shape = WaveShape::Noise;
    params.amplitude = 1000;
    params.lengthMs = 1000; // 8000 samples
    const std::vector<double> s = Generate(params, 12345);
    EXPECT_EQ(s, Generate(params, 12345));
    EXPECT_NE(s, Generate(params, 12346));

    // The documented stream: uniforms are the top 15 bits of std::mt19937 outputs.
    std::mt19937 engine(12345);
    double sum = 0.0;
    for (int i = 0; i < 12; ++i)
        sum += static_cast<double>(engine() >> 17) / 32767.0;
    EXPECT_DOUBLE_EQ(s[0], (sum - 6.0) * 1000.0);

    // Mean 0 and deviation A: standard errors are 11 and 8 at 8000 samples;
    // the bounds are 4.5σ and 5σ.
    double mean = 0.0, square = 0.0;
    for (const double v : s) {
        mean += v;
        square += v * v;
        ASSERT_LE(std::abs(v), 6000.0);
    }
    mean /= static_cast<double>(s.size());
    const double deviation = std::sqrt(square / static_cast<double>(s.size()) - mean * mean);
    EXPECT_NEAR(mean, 0.0, 50.0);
    EXPECT_NEAR(deviation, 1000.0, 40.0);
}

} // namespace
} // namespace kelvora::dsp
