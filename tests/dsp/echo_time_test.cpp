// The echo measurement against closed forms: a pure exponential decay has a straight envelope of
// known level and slope, and a hand-placed sample shows the mirrored window at the start.

#include "dsp/echo_time.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace kelvora::dsp {
namespace {

double Weight(int j)
{
    return 0.5 * (1.0 - std::cos(6.283185303 * j / 100.0));
}

// Amplitude falling 60 dB per second at 8 kHz: a factor 10^(−3/8000) per sample.
double Decay(std::size_t n)
{
    return std::pow(10.0, -3.0 * static_cast<double>(n) / 8000.0);
}

TEST(EchoTime, ExponentialDecayReadsOneSecond)
{
    std::vector<double> x(12000);
    for (std::size_t n = 0; n < x.size(); ++n)
        x[n] = 10000.0 * Decay(n);
    // Past the mirrored start, e[n] = 10 log10(10^8 S) − 60 n / 8000
    // with S = Σ_j 10^(−6(j−50)/8000) w_j.
    double s = 0.0;
    for (int j = 0; j < 100; ++j)
        s += std::pow(10.0, -6.0 * (j - 50) / 8000.0) * Weight(j);
    const double level0 = 10.0 * std::log10(1e8 * s);

    const EchoTimeResult r = MeasureEchoTime(x, 1000, 8000, 8000);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.envelope.db.size(), 12000u - 1 - 50);
    EXPECT_NEAR(r.envelope.db[4321], level0 - 0.0075 * 4321, 1e-9);
    EXPECT_EQ(r.fitStart, 1000u);
    EXPECT_EQ(r.fitWidth, 8000u);
    EXPECT_NEAR(r.slopeDbPerSample, -0.0075, 1e-12);
    EXPECT_NEAR(r.levelStartDb, level0 - 7.5, 1e-8);
    EXPECT_NEAR(r.levelEndDb, level0 - 67.5, 1e-8);
    EXPECT_EQ(r.widthMs, 1000);
    EXPECT_TRUE(r.decays);
    EXPECT_NEAR(r.echoMs, 1000.0, 1e-6);
    EXPECT_DOUBLE_EQ(r.envelope.maxDb, r.envelope.db.front());
    EXPECT_DOUBLE_EQ(r.envelope.minDb, r.envelope.db.back());

    // A frame reaching past the envelope is fitted over the points that exist.
    const EchoTimeResult clipped = MeasureEchoTime(x, 11000, 5000, 8000);
    ASSERT_TRUE(clipped.ok()) << clipped.error;
    EXPECT_EQ(clipped.fitWidth, 949u);
    EXPECT_EQ(clipped.widthMs, 118); // 949 × 1000 / 8000 truncated
    EXPECT_NEAR(clipped.echoMs, 1000.0, 1e-6);
}

TEST(EchoTime, DecayingNoiseBurstReadsAboutOneSecond)
{
    // Gaussian noise under a 60 dB/s decay, 1.5 s at 8 kHz, framed from 0.2 s to 1.2 s.
    // Each envelope point has about 67 degrees of freedom (0.75 dB spread) and the points
    // decorrelate over ~100 samples, so the fitted slope scatters by about 0.5 % (5 ms);
    // 30 ms is six times that.
    std::mt19937 engine(2024);
    std::normal_distribution<double> gauss(0.0, 1.0);
    std::vector<double> x(12000);
    for (std::size_t n = 0; n < x.size(); ++n)
        x[n] = 8000.0 * gauss(engine) * Decay(n);
    const EchoTimeResult r = MeasureEchoTime(x, 1600, 8000, 8000);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_TRUE(r.decays);
    EXPECT_NEAR(r.echoMs, 1000.0, 30.0);
}

TEST(EchoTime, WindowIsMirroredAtTheStartAndSilenceIsFloored)
{
    std::vector<double> x(201, 0.0);
    x[10] = 3.0;
    x[200] = 1.0; // last non-zero sample: 150 envelope points
    const EchoEnvelope e = EnergyEnvelope(x);
    ASSERT_EQ(e.db.size(), 150u);
    // n = 0 sees x[10] at j = 60 and, mirrored from index −10, at j = 40.
    EXPECT_NEAR(e.db[0], 10.0 * std::log10(9.0 * (Weight(60) + Weight(40))), 1e-9);
    EXPECT_NEAR(e.db[55], 10.0 * std::log10(9.0 * Weight(5)), 1e-9);
    EXPECT_NEAR(e.db[100], -110.0, 1e-9); // nothing in the window: the floor, not −∞
    EXPECT_NEAR(e.minDb, -110.0, 1e-9);
    EXPECT_DOUBLE_EQ(e.maxDb, e.db[0]);
}

TEST(EchoTime, FitNeedsTwoEnvelopePoints)
{
    std::vector<double> x(12000);
    for (std::size_t n = 0; n < x.size(); ++n)
        x[n] = 10000.0 * Decay(n);
    for (const EchoTimeResult& r :
         {MeasureEchoTime(x, 100, 1, 8000),        // width 1
          MeasureEchoTime(x, 11948, 100, 8000),    // one envelope point left in the frame
          MeasureEchoTime(x, 20000, 100, 8000),    // frame wholly past the envelope
          MeasureEchoTime(x, 100, 1000, 0)}) {     // no rate
        EXPECT_FALSE(r.ok());
        EXPECT_FALSE(r.error.empty());
        EXPECT_EQ(r.envelope.db.size(), 11949u); // the envelope can still be drawn
        EXPECT_EQ(EchoTimeLabel(r), r.error);
    }

    std::vector<double> shortSound(60, 0.0);
    shortSound[50] = 1.0; // last non-zero at 50: no envelope
    EXPECT_FALSE(MeasureEchoTime(shortSound, 0, 10, 8000).ok());
    shortSound[51] = 1.0; // one point only
    const EchoTimeResult one = MeasureEchoTime(shortSound, 0, 10, 8000);
    EXPECT_FALSE(one.ok());
    EXPECT_EQ(one.envelope.db.size(), 1u);
    EXPECT_FALSE(MeasureEchoTime(std::vector<double>(500, 0.0), 0, 100, 8000).ok());
}

TEST(EchoTime, RisingLevelHasNoEchoTime)
{
    std::vector<double> x(4000);
    for (std::size_t n = 0; n < x.size(); ++n)
        x[n] = 10.0 / Decay(n);
    const EchoTimeResult r = MeasureEchoTime(x, 500, 2000, 8000);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_FALSE(r.decays);
    EXPECT_GT(r.slopeDbPerSample, 0.0);
    EXPECT_NE(EchoTimeLabel(r).find("減衰なし"), std::string::npos);
}

TEST(EchoTime, ASteadyToneHasNoEchoTimeWhateverTheRoundingOfItsFlatLine)
{
    // 440 Hz at 8 kHz, made twice and joined: the Hann-weighted energy is the same everywhere
    // up to rounding, away from the joint at 4080.
    std::vector<double> x(8160);
    for (std::size_t n = 0; n < x.size(); ++n)
        x[n] = 15000.0 * std::sin(440.0 * std::numbers::pi * 2.0 * static_cast<double>(n % 4080) / 8000.0);
    for (const std::size_t start : {1632u, 100u, 5000u}) {
        const EchoTimeResult r = MeasureEchoTime(x, start, 1632, 8000);
        ASSERT_TRUE(r.ok()) << r.error;
        EXPECT_FALSE(r.decays) << start << ": " << EchoTimeLabel(r);
    }
}

TEST(EchoTime, LabelFormat)
{
    EchoTimeResult r;
    r.levelStartDb = 75.04;
    r.levelEndDb = -15.06;
    r.widthMs = 1000;
    r.decays = true;
    r.echoMs = 999.96;
    EXPECT_EQ(EchoTimeLabel(r), "75.0(dB) -15.1(dB)  1000(ms) 1000.0(ms) ");
}

} // namespace
} // namespace kelvora::dsp
