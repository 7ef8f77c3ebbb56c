// The hearing demonstration on a fake stream: the level rules, the mixed tone against its
// formula, the compare and record buttons, and how soon a bar move reaches the stream.

#include "tools/audio/hearing_dialog.h"

#include "../support/scripted_services.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kelvora {
namespace {

using H = HearingDialog;

// Sample n of the mixed tone, written out from its definition.
int Expected(std::size_t n, double f1, double a1, double f2, double a2)
{
    const double t = static_cast<double>(n % 32000) / 16000.0;
    return static_cast<int>(a2 * std::sin(2 * std::numbers::pi * f2 * t) + a1 * std::sin(2 * std::numbers::pi * f1 * t));
}

class HearingDialogTest : public ::testing::Test, protected testing::ScriptedServices {
protected:
    HearingDialogTest() { dialog.init(); }
    // Plays `samples` of time, refilling as the dialog's timer does.
    void play(std::uint64_t samples)
    {
        for (std::uint64_t done = 0; done < samples; done += 240) {
            stream.advance(240);
            dialog.timer(H::ToneTimer);
        }
    }
    H dialog{services};
};

TEST(HearingLevelsTest, PositionsGiveTheLevelsAndAmplitudesOfTheScale)
{
    EXPECT_EQ(dsp::AmplitudeOfLevel(dsp::LevelOfPosition(0)), 16383);
    EXPECT_EQ(dsp::AmplitudeOfLevel(dsp::LevelOfPosition(50)), 5180);  // 16383 / √10 = 5180.7
    EXPECT_EQ(dsp::AmplitudeOfLevel(dsp::LevelOfPosition(100)), 1638);
    EXPECT_EQ(dsp::AmplitudeOfLevel(dsp::LevelOfPosition(500)), 0);
    EXPECT_EQ(dsp::LevelOfPosition(54), -10); // −54 ÷ 5 truncated toward zero
    EXPECT_EQ(dsp::LevelOfAmplitude(163), -40);
    EXPECT_EQ(dsp::LevelOfAmplitude(5180), -10);
}

TEST_F(HearingDialogTest, BothTonesAtFullLevelStayWithin16Bits)
{
    dialog.scroll(H::LevelBar1, ScrollRequest::ThumbTrack, 0);
    dialog.scroll(H::LevelBar2, ScrollRequest::ThumbTrack, 0);
    EXPECT_EQ(dialog.text(H::LevelLabel1), "0 [dB]");
    dialog.mouse(MouseButton::Left);
    EXPECT_EQ(stream.rate, 16000u);
    play(33000); // across the join of the 2-second loop
    ASSERT_GE(stream.written.size(), 33000u);
    int peak = 0;
    for (std::size_t n = 0; n < stream.written.size(); ++n) {
        ASSERT_NEAR(stream.written[n], Expected(n, 440, 16383, 1000, 16383), 1) << n; // rounding at whole values
        peak = std::max(peak, std::abs(int{stream.written[n]}));
    }
    EXPECT_LE(peak, 32766);
    EXPECT_GT(peak, 30000);
    dialog.mouse(MouseButton::Right);
    EXPECT_FALSE(stream.running());
    EXPECT_TRUE(dialog.timers().empty());
}

TEST_F(HearingDialogTest, ABarMoveIsHeardWithinAShortStretch)
{
    dialog.mouse(MouseButton::Left);
    play(4000);
    const std::size_t playedAtMove = stream.played();
    dialog.scroll(H::FrequencyBar, ScrollRequest::ThumbTrack, 2000);
    EXPECT_EQ(dialog.text(H::FrequencyLabel), "2000 [Hz]");
    const std::size_t firstNew = stream.written.size();
    play(2000);
    // Everything written after the move is the new tone, and it starts playing within 100 ms.
    EXPECT_LE(firstNew - playedAtMove, 1600u);
    for (std::size_t n = firstNew; n < stream.written.size(); ++n)
        ASSERT_NEAR(stream.written[n], Expected(n, 2000, 5180, 1000, 0), 1) << n;
}

TEST_F(HearingDialogTest, CompareTwiceBeforeRecordingPlaysTheInitialRecordedSetting)
{
    dialog.press(H::CompareButton);
    EXPECT_EQ(dialog.firstTone(), (dsp::Tone{440, 5180}));
    EXPECT_EQ(dialog.text(H::LiveMark), "↑");
    dialog.press(H::CompareButton);
    EXPECT_EQ(dialog.firstTone(), (dsp::Tone{440, 163}));
    EXPECT_EQ(dialog.text(H::RecordedMark), "←");
    EXPECT_EQ(dialog.text(H::LiveMark), "");
    // A bar move returns to the live setting.
    dialog.scroll(H::LevelBar1, ScrollRequest::PageRight, 0);
    EXPECT_EQ(dialog.firstTone(), (dsp::Tone{440, dsp::AmplitudeOfLevel(-12)}));
    EXPECT_EQ(dialog.text(H::LevelLabel1), "-12 [dB]"); // page step 10 positions = 2 dB
    EXPECT_EQ(dialog.text(H::RecordedMark), "");
}

TEST_F(HearingDialogTest, RecordShowsTheSettingAndTheSecondReferenceFollowsItsRadio)
{
    dialog.scroll(H::FrequencyBar, ScrollRequest::ThumbTrack, 3000);
    dialog.press(H::RecordButton);
    EXPECT_EQ(dialog.text(H::RecordedLabel), "3000Hz  -10dB");
    EXPECT_EQ(dialog.recordedSetting(), (dsp::Tone{3000, 5180}));
    dialog.press(H::Reference1200);
    EXPECT_EQ(dialog.secondTone().frequency, 1200);
    dialog.scroll(H::LevelBar2, ScrollRequest::ThumbTrack, 100);
    EXPECT_EQ(dialog.secondTone(), (dsp::Tone{1200, 1638}));
    EXPECT_EQ(dialog.text(H::LevelLabel2), "-20 [dB]");
}

} // namespace
} // namespace kelvora
