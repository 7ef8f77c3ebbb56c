// Convolution and echo time through the dialog's model: results against a direct convolution,
// the slots it frees, failures that leave X alone, and the echo time of an exact 60 dB/s decay.

#include "tools/audio/convolution_dialog.h"
#include "../../support/test_signals.h"

#include "../support/dialog_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace kelvora {
namespace {

using C = ConvolutionDialog;

std::vector<double> DirectConvolution(const std::vector<double>& x, const std::vector<double>& w)
{
    std::vector<double> y(x.size() + w.size() - 1, 0.0);
    for (std::size_t i = 0; i < x.size(); ++i)
        for (std::size_t j = 0; j < w.size(); ++j)
            y[i + j] += x[i] * w[j];
    return y;
}

std::vector<double> ScaledToPeak(std::vector<double> v, double peak)
{
    double largest = 0.0;
    for (double s : v)
        largest = std::max(largest, std::fabs(s));
    for (double& s : v)
        s *= peak / largest;
    return v;
}

// 30000 falling by 60 dB per second at 8 kHz: its energy envelope falls exactly as fast.
std::vector<double> Decay(std::size_t count)
{
    std::vector<double> v(count);
    for (std::size_t n = 0; n < count; ++n)
        v[n] = 30000.0 * std::pow(10.0, -3.0 * static_cast<double>(n) / 8000.0);
    return v;
}

class ConvolutionTest : public testing::DialogFixture<ConvolutionDialog> {
protected:
    const std::vector<double>& slot(SlotNumber n) const { return session.traceSlots.samples(n); }
    bool empty(SlotNumber n) const { return session.traceSlots.empty(n); }
};

TEST_F(ConvolutionTest, TwoImpulsesGiveOneNormalisedImpulseAndFreeTheScratchSlots)
{
    ConvolutionDialog& d = open({7.0});
    EXPECT_FALSE(d.isChecked(C::ConvolveRadio));
    EXPECT_FALSE(d.isChecked(C::DeconvolveRadio));
    d.press(C::SaveButton);
    session.traceSlots.fill(SlotNumber::E, {1, 2});
    session.traceSlots.fill(SlotNumber::YE, {3});
    session.traceSlots.fill(SlotNumber::Y, {4});
    d.press(C::ConvolveRadio);
    d.press(C::RunButton);
    ASSERT_EQ(slot(SlotNumber::X).size(), 4u); // 2^k > 1 + 1
    EXPECT_NEAR(slot(SlotNumber::X)[0], 16380.0, 1e-9);
    for (std::size_t n = 1; n < 4; ++n)
        EXPECT_NEAR(slot(SlotNumber::X)[n], 0.0, 1e-9);
    EXPECT_TRUE(empty(SlotNumber::W));
    EXPECT_TRUE(empty(SlotNumber::E));
    EXPECT_TRUE(empty(SlotNumber::YE));
    EXPECT_EQ(slot(SlotNumber::Y), std::vector<double>{4}); // not its business
    EXPECT_EQ(d.frame(), (FrameRange{0, 4}));
}

TEST_F(ConvolutionTest, ConvolutionMatchesADirectSumAndDeconvolutionUndoesIt)
{
    const std::vector<double> x = testing::UniformNoise(600, 10000, 1), w = testing::UniformNoise(424, 10000, 2); // 1024 together: M = 2048
    session.traceSlots.fill(SlotNumber::W, w);
    ConvolutionDialog& d = open(x);
    d.press(C::ConvolveRadio);
    d.press(C::RunButton);
    ASSERT_EQ(slot(SlotNumber::X).size(), 2048u);
    const std::vector<double> expected = ScaledToPeak(DirectConvolution(x, w), 16380.0);
    for (std::size_t n = 0; n < 2048; ++n)
        ASSERT_NEAR(slot(SlotNumber::X)[n], n < expected.size() ? expected[n] : 0.0, 1e-6) << n;
    EXPECT_EQ(d.frame(), (FrameRange{0, 100}));
    EXPECT_TRUE(d.strip().bitmap() == DrawWaveformStripEverySegment(slot(SlotNumber::X), 0, 100));

    // W = 1 + 0.5 z^-1 has no zeros on the unit circle: dividing by it brings x back.
    const std::vector<double> gentle = {1.0, 0.5};
    session.traceSlots.fill(SlotNumber::W, gentle);
    ConvolutionDialog& back = open(DirectConvolution(x, gentle));
    back.press(C::DeconvolveRadio);
    back.press(C::RunButton);
    const std::vector<double> recovered = ScaledToPeak(x, 16380.0);
    ASSERT_EQ(slot(SlotNumber::X).size(), 1024u); // 2^k > 601 + 2
    for (std::size_t n = 0; n < x.size(); ++n)
        ASSERT_NEAR(slot(SlotNumber::X)[n], recovered[n], 1e-6) << n;
}

TEST_F(ConvolutionTest, WithNeitherWayChosenTheRunReturnsW)
{
    session.traceSlots.fill(SlotNumber::W, {0.0, -2.0, 1.0});
    open({5.0, 5.0});
    dialog->press(C::RunButton);
    ASSERT_EQ(slot(SlotNumber::X).size(), 8u);
    EXPECT_NEAR(slot(SlotNumber::X)[1], -16380.0, 1e-9);
    EXPECT_NEAR(slot(SlotNumber::X)[2], 8190.0, 1e-9);
    EXPECT_NEAR(slot(SlotNumber::X)[3], 0.0, 1e-9);
}

TEST_F(ConvolutionTest, WithWEmptyTheButtonDoesNothingAndFailuresLeaveTheSlotsAlone)
{
    ConvolutionDialog& d = open({1.0, 2.0, 3.0});
    d.press(C::ConvolveRadio);
    d.press(C::RunButton); // nothing stored in W
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_TRUE(empty(SlotNumber::W));
    EXPECT_EQ(slot(SlotNumber::X), (std::vector<double>{1.0, 2.0, 3.0}));

    session.traceSlots.fill(SlotNumber::W, {0.0, 0.0}); // a silent result cannot be normalised
    d.press(C::RunButton);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(slot(SlotNumber::X), (std::vector<double>{1.0, 2.0, 3.0}));
    EXPECT_EQ(slot(SlotNumber::W), (std::vector<double>{0.0, 0.0}));
    d.press(IdOk);
    EXPECT_EQ(slot(SlotNumber::X), (std::vector<double>{1.0, 2.0, 3.0}));
}

TEST_F(ConvolutionTest, ASixtyDecibelPerSecondDecayReadsOneSecond)
{
    const std::vector<double> decay = Decay(16000);
    ConvolutionDialog& d = open(decay);
    d.scroll(C::MoveBar, ScrollRequest::ThumbTrack, 125);   // start 1000
    d.scroll(C::WidthBar, ScrollRequest::ThumbTrack, 500);  // 4000 wide
    ASSERT_EQ(d.frame(), (FrameRange{1000, 4000}));
    d.press(C::MeasureButton);
    ASSERT_NE(d.lastMeasurement(), nullptr);
    const dsp::EchoTimeResult& m = *d.lastMeasurement();
    ASSERT_TRUE(m.ok()) << m.error;
    EXPECT_NEAR(m.slopeDbPerSample, -60.0 / 8000.0, 1e-9);
    // The line's level at n is the Hann-weighted energy of the decay around n, closed form:
    // 10 log10(30000² 10^(−6 (n − 50) / 8000) Σ_j 10^(−6 j / 8000) w_j).
    double weighted = 0.0;
    for (int j = 0; j < 100; ++j)
        weighted += std::pow(10.0, -6.0 * j / 8000.0) * 0.5 * (1 - std::cos(2 * std::numbers::pi * j / 100));
    auto level = [&](double n) { return 10 * std::log10(30000.0 * 30000.0 * weighted) - 6.0 * (n - 50) / 8000.0 * 10; };
    EXPECT_NEAR(m.levelStartDb, level(1000), 1e-6);
    EXPECT_NEAR(m.levelEndDb, level(5000), 1e-6);
    const std::string label = d.text(C::ResultLabel);
    EXPECT_NE(label.find("  500(ms) 1000.0(ms) "), std::string::npos) << label;
    EXPECT_TRUE(messages.messages.empty());

    // Drawing: the envelope starts at the band's top (its maximum), the fitted line is red from
    // x = 1000 × 650 ÷ 16000 = 40 to x = 5000 × 650 ÷ 16000 = 203.
    const Picture& band = d.echoPicture();
    EXPECT_EQ(band.pixel(0, 0), Black);
    const double range = m.envelope.maxDb - m.envelope.minDb;
    auto row = [&](double db) { return static_cast<int>(400 - (db - m.envelope.minDb) * 100 / range) - 300; };
    EXPECT_EQ(band.pixel(40, row(m.levelStartDb)), Red);
    EXPECT_EQ(band.pixel(203, row(m.levelEndDb)), Red);
    EXPECT_EQ(band.pixel(40, row(m.levelStartDb) - 1), Red);
    EXPECT_EQ(band.pixel(325, row(m.envelope.db[8000])), Black);
    EXPECT_EQ(d.picture(1), &band);
}

TEST_F(ConvolutionTest, AMeasurementThatCannotBeMadeSaysWhy)
{
    std::vector<double> shortSound(40, 100.0);
    ConvolutionDialog& d = open(shortSound);
    d.press(C::MeasureButton);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(d.text(C::ResultLabel), messages.messages[0].text);
}

} // namespace
} // namespace kelvora
