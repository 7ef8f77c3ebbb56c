// The signal generator's dialog: start values, the derived period and duty, the shapes as
// their definitions give them, the labels, the red frame and playing.

#include "tools/audio/signal_generator_dialog.h"

#include "../support/scripted_services.h"
#include "platform/fake_audio_output.h"
#include "platform/scripted_ui.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace kelvora {
namespace {

using G = SignalGeneratorDialog;

class GeneratorTest : public ::testing::Test, protected testing::ScriptedServices {
protected:
    GeneratorTest() : dialog(session, services)
    {
        dialog.seedSource = [] { return 1234u; };
        dialog.init();
    }
    const std::vector<double>& x() const { return session.traceSlots.samples(SlotNumber::X); }
    void track(int bar, int position) { dialog.scroll(bar, ScrollRequest::ThumbTrack, position); }

    Session session;
    SignalGeneratorDialog dialog;
};

TEST_F(GeneratorTest, OpensWithTheStartValuesAndNoSound)
{
    EXPECT_TRUE(dialog.isChecked(G::Rate8k));
    EXPECT_TRUE(dialog.isChecked(G::Sine));
    EXPECT_FALSE(dialog.isChecked(G::Rate44k));
    EXPECT_TRUE(session.traceSlots.empty(SlotNumber::X));
    const std::pair<int, std::pair<int, int>> bars[] = {
        {G::MoveBar, {200, 2000}}, {G::WidthBar, {10, 2000}},        {G::LengthBar, {500, 3000}},
        {G::FrequencyBar, {440, 1000}}, {G::AmplitudeBar, {15000, 32767}}, {G::RatioBar, {50, 50}},
    };
    for (const auto& [id, value] : bars) {
        EXPECT_EQ(dialog.control(id).position, value.first) << id;
        EXPECT_EQ(dialog.control(id).maximum, value.second) << id;
    }
    EXPECT_EQ(dialog.text(G::LengthLabel), "データ長");
    EXPECT_EQ(dialog.text(G::RatioLabel), "比率");
    EXPECT_EQ(dialog.text(G::IntervalLabel), "Static");
    EXPECT_EQ(dialog.period(), 18u); // 8000 ÷ 440 = 18.18, rounded
    EXPECT_EQ(dialog.duty(), 9u);
}

TEST_F(GeneratorTest, ARectangleAt50PercentHasEqualHalvesAndSaysSo)
{
    dialog.press(G::Rectangle);
    dialog.press(G::CreateButton);
    EXPECT_EQ(dialog.period(), 18u);
    EXPECT_EQ(dialog.duty(), 9u);
    EXPECT_EQ(dialog.text(G::RatioLabel), "50％ 周波数=444  1は9個　　0は9個");
    EXPECT_EQ(dialog.text(G::CreateButton), "作成");
    ASSERT_EQ(x().size(), 4000u); // 500 ms at 8 kHz
    for (std::size_t n = 0; n < 36; ++n)
        EXPECT_EQ(x()[n], n % 18 < 9 ? 15000.0 : 0.0) << n;
    // The start frame (200, 10) on 4000 samples: from sample 400, 20 wide.
    EXPECT_EQ(dialog.frame(), (FrameRange{400, 20}));
    EXPECT_EQ(dialog.control(G::MoveBar).position, 200);
    EXPECT_EQ(dialog.control(G::WidthBar).position, 10);
    EXPECT_TRUE(dialog.strip().bitmap() == DrawWaveformStripEverySegment(x(), 400, 20));

    track(G::RatioBar, 0);
    EXPECT_EQ(dialog.text(G::RatioLabel), "0％");
    dialog.press(G::CreateButton);
    EXPECT_EQ(std::count(x().begin(), x().end(), 0.0), 4000);
}

TEST_F(GeneratorTest, ShapesFollowTheirDefinitions)
{
    dialog.press(G::CreateButton); // sine: A sin(2π F n ÷ R)
    for (std::size_t n : {0u, 1u, 5u, 17u, 3999u})
        EXPECT_NEAR(x()[n], 15000.0 * std::sin(2 * std::numbers::pi * 440.0 * static_cast<double>(n) / 8000.0), 1e-6);

    track(G::FrequencyBar, 1000); // period 8
    track(G::AmplitudeBar, 800);
    dialog.press(G::Triangle);
    dialog.press(G::CreateButton);
    // Rises over the first half period, falls back over the second: 0, 200, 400, 600, 800, 600, 400, 200.
    const double triangle[] = {0, 200, 400, 600, 800, 600, 400, 200, 0};
    for (std::size_t n = 0; n < 9; ++n)
        EXPECT_DOUBLE_EQ(x()[n], triangle[n]) << n;
    dialog.press(G::Sawtooth);
    dialog.press(G::CreateButton);
    for (std::size_t n = 0; n < 9; ++n)
        EXPECT_DOUBLE_EQ(x()[n], static_cast<double>((n % 8) * 800 / 8)) << n;

    track(G::FrequencyBar, 0); // no period: silence rather than a division by zero
    dialog.press(G::Triangle);
    dialog.press(G::CreateButton);
    EXPECT_EQ(std::count(x().begin(), x().end(), 0.0), 4000);
}

TEST_F(GeneratorTest, NoiseHasTheAmplitudeAsItsDeviation)
{
    track(G::LengthBar, 3000);
    dialog.press(G::Noise);
    dialog.press(G::CreateButton);
    ASSERT_EQ(x().size(), 24000u);
    double sum = 0, squares = 0;
    for (double s : x()) {
        sum += s;
        squares += s * s;
    }
    const double mean = sum / 24000, deviation = std::sqrt(squares / 24000 - mean * mean);
    EXPECT_LT(std::fabs(mean), 0.05 * 15000);
    EXPECT_NEAR(deviation / 15000, 1.0, 0.05);
}

TEST_F(GeneratorTest, LabelsFollowTheirBarsAndTheFrameBarsWaitForASound)
{
    track(G::LengthBar, 1234);
    track(G::FrequencyBar, 1000);
    track(G::AmplitudeBar, 32767);
    dialog.scroll(G::RatioBar, ScrollRequest::LineLeft, 0);
    EXPECT_EQ(dialog.text(G::LengthLabel), "1234ms");
    EXPECT_EQ(dialog.text(G::FrequencyLabel), "1000Hz");
    EXPECT_EQ(dialog.text(G::AmplitudeLabel), "振幅32767");
    EXPECT_EQ(dialog.text(G::RatioLabel), "49％");
    track(G::MoveBar, 1000);
    EXPECT_EQ(dialog.text(G::IntervalLabel), "Static");
    EXPECT_TRUE(session.traceSlots.empty(SlotNumber::X));
}

TEST_F(GeneratorTest, TheFrameStaysOnTheSoundAndPlays)
{
    dialog.press(G::CreateButton);
    track(G::MoveBar, 2000); // 4000 − 20
    EXPECT_EQ(dialog.frame(), (FrameRange{3980, 20}));
    EXPECT_EQ(dialog.control(G::MoveBar).position, 1990);
    EXPECT_EQ(dialog.text(G::IntervalLabel), "切出し開始497(ms)から幅2(ms)の区間");
    track(G::WidthBar, 0); // one sample
    EXPECT_EQ(dialog.frame(), (FrameRange{3980, 1}));
    EXPECT_EQ(dialog.bars().positions[1], 0);
    track(G::WidthBar, 2000);
    EXPECT_EQ(dialog.frame(), (FrameRange{0, 4000}));
    EXPECT_EQ(dialog.bars().positions[0], 0);

    track(G::WidthBar, 10);
    track(G::MoveBar, 200);
    dialog.press(G::PlayButton);
    ASSERT_EQ(output.buffer.size(), 20u);
    EXPECT_EQ(output.buffer[1], static_cast<std::int16_t>(x()[401]));
    EXPECT_EQ(output.rate, 8000u);
    EXPECT_EQ(dialog.timers().count(PlayTimer), 1u);
    dialog.press(G::StopButton);
    EXPECT_FALSE(output.playing());
}

TEST_F(GeneratorTest, ARateChosenAfterCreatingAppliesToTheSameSamples)
{
    dialog.press(G::CreateButton);
    const std::vector<double> made = x();
    dialog.press(G::Rate44k);
    EXPECT_EQ(session.SampleRate(), 44100u);
    EXPECT_EQ(session.soundFormat.averageBytesPerSecond, 88200u);
    EXPECT_EQ(x(), made);
    dialog.press(G::PlayButton);
    EXPECT_EQ(output.rate, 44100u);
}

TEST_F(GeneratorTest, WhatIsHandedBack)
{
    dialog.press(IdOk); // nothing was made
    EXPECT_TRUE(dialog.ended());
    EXPECT_TRUE(session.traceSlots.empty(SlotNumber::X));

    SignalGeneratorDialog again(session, services);
    again.init();
    again.press(G::CreateButton);
    again.press(G::PlayButton);
    again.press(IdCancel);
    EXPECT_EQ(again.result(), 1);
    EXPECT_TRUE(session.traceSlots.empty(SlotNumber::X));
    EXPECT_FALSE(output.playing());

    SignalGeneratorDialog empty(session, services);
    empty.init();
    empty.scroll(G::LengthBar, ScrollRequest::ThumbTrack, 0);
    empty.press(G::CreateButton); // a sound of no samples: nothing to frame or play
    EXPECT_TRUE(x().empty());
    EXPECT_FALSE(session.traceSlots.empty(SlotNumber::X));
    empty.scroll(G::WidthBar, ScrollRequest::ThumbTrack, 100);
    EXPECT_EQ(empty.frame(), (FrameRange{0, 0}));
    empty.press(G::PlayButton);
    EXPECT_FALSE(output.playing());
}

} // namespace
} // namespace kelvora
