// The recording dialog on a scripted input: the colour ramp, the display column of one block
// against its formulas, the scrolling copies, thinning, pause and resume, the hand-over of the
// take, and recording without a device.

#include "tools/audio/colour_ramp.h"
#include "tools/audio/recording_dialog.h"

#include "../support/dialog_fixture.h"
#include "../../support/test_signals.h"

#include <cmath>

namespace kelvora {
namespace {

using R = RecordingDialog;

std::vector<std::int16_t> Block(const std::vector<double>& samples, std::size_t from = 0)
{
    return {samples.begin() + static_cast<std::ptrdiff_t>(from),
            samples.begin() + static_cast<std::ptrdiff_t>(from + RecordingBlockLength)};
}

std::vector<std::int16_t> Numbered(int block)
{
    std::vector<std::int16_t> samples(RecordingBlockLength);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(block * 100 + static_cast<int>(i % 100));
    return samples;
}

class RecordingDialogTest : public ::testing::Test, protected testing::ScriptedServices {
protected:
    R& open()
    {
        dialog = std::make_unique<R>(session, services);
        dialog->init();
        return *dialog;
    }
    // Lets the dialog's poll timer fetch everything the input holds.
    void tick() { dialog->timer(R::BlockTimer); }

    Session session;
    std::unique_ptr<R> dialog;
};

TEST(ColourRampTest, RunsBlackBlueCyanGreenYellowRedAndClamps)
{
    EXPECT_EQ(ColourRamp(-5), 0x000000u);
    EXPECT_EQ(ColourRamp(0), 0x000000u);
    EXPECT_EQ(ColourRamp(255), 0x0000ffu);
    EXPECT_EQ(ColourRamp(510), 0x00ffffu);
    EXPECT_EQ(ColourRamp(600), 0x00ffa5u); // 765 − 600 = 165 blue
    EXPECT_EQ(ColourRamp(765), 0x00ff00u);
    EXPECT_EQ(ColourRamp(1020), 0xffff00u);
    EXPECT_EQ(ColourRamp(1275), 0xff0000u);
    EXPECT_EQ(ColourRamp(99999), 0xff0000u);
}

TEST_F(RecordingDialogTest, SilenceIsMinus60DbEverywhereAndBlack)
{
    R& d = open();
    d.processBlock(std::vector<std::int16_t>(RecordingBlockLength, 0));
    EXPECT_DOUBLE_EQ(d.display().maximum(), 10 * std::log10(0.000001));
    EXPECT_DOUBLE_EQ(d.display().minimum(), -60.0);
    for (int y = 1; y <= 512; ++y)
        ASSERT_EQ(d.display().picture().pixel(0, y), Black) << y;
    EXPECT_EQ(d.display().picture().pixel(0, 598), Black); // zero mark
    EXPECT_EQ(d.display().picture().pixel(0, 600), White);
    EXPECT_EQ(d.display().picture().pixel(1, 300), White); // the next column is untouched
}

TEST_F(RecordingDialogTest, ToneColumnHasItsPeakInRedAndWaveformAtItsExtremes)
{
    R& d = open();
    // 1 kHz is bin 1000 ÷ (8000 ÷ 1024) = 128 of the 1024-point transform, at y = 512 − 128.
    // A silent block first, so the stroke of the tone's column starts on the centre line.
    d.processBlock(std::vector<std::int16_t>(RecordingBlockLength, 0));
    const std::vector<double> tone = testing::Sine(800, 1000.0, 8000.0, 20000.0);
    d.processBlock(Block(tone));
    EXPECT_EQ(d.display().picture().pixel(1, 384), Red);
    EXPECT_EQ(d.display().picture().pixel(1, 300), Black);
    // The waveform of the first 256 samples spans 597 − trunc(±20000 · 85 ÷ 32767) = 546 … 648.
    EXPECT_EQ(d.display().picture().pixel(1, 546), Black);
    EXPECT_EQ(d.display().picture().pixel(1, 648), Black);
    EXPECT_EQ(d.display().picture().pixel(1, 545), White);
    EXPECT_EQ(d.display().picture().pixel(1, 649), White);
}

TEST_F(RecordingDialogTest, NewestColumnIsShownAtTheRightEdge)
{
    R& d = open();
    d.processBlock(std::vector<std::int16_t>(RecordingBlockLength, 0));
    // Column 0 stretched into the last 1 · 450 ÷ 90 = 5 pixels; shown row 100 is display row
    // 100 · 683 ÷ 300 = 227, inside the black spectrum band.
    EXPECT_EQ(d.shown().pixel(445, 100), Black);
    EXPECT_EQ(d.shown().pixel(449, 100), Black);
    EXPECT_EQ(d.shown().pixel(444, 100), White);
    EXPECT_EQ(d.shown().width(), 450);
    EXPECT_EQ(d.shown().height(), 300);
}

TEST_F(RecordingDialogTest, ThinnedDisplayRepaintsEveryTenthBlockWhileTheTakeGrows)
{
    session.recordingThinning = true;
    R& d = open();
    const Picture blank = d.shown();
    for (int i = 0; i < 9; ++i)
        d.processBlock(std::vector<std::int16_t>(RecordingBlockLength, 0));
    EXPECT_EQ(d.shown(), blank);
    EXPECT_EQ(d.take().size(), 9 * RecordingBlockLength);
    d.processBlock(std::vector<std::int16_t>(RecordingBlockLength, 0));
    EXPECT_NE(d.shown(), blank);
}

TEST_F(RecordingDialogTest, FourAndAHalfSecondsFillAllColumnsAndPauseContinuesTheTake)
{
    R& d = open();
    for (int b = 0; b < 3; ++b)
        input.script.push_back(Numbered(b));
    d.press(R::RecordButton);
    EXPECT_EQ(d.text(R::RecordButton), "一時停止");
    EXPECT_EQ(input.rate, 8000u);
    tick();
    d.press(R::RecordButton);
    EXPECT_EQ(d.text(R::RecordButton), "録音");
    input.script.push_back(Numbered(9)); // arrives while paused: not captured
    tick();
    EXPECT_EQ(d.blockCount(), 3);
    input.script.clear();
    for (int b = 3; b < 90; ++b)
        input.script.push_back(Numbered(b));
    d.press(R::RecordButton);
    tick();
    EXPECT_EQ(d.blockCount(), 90);
    EXPECT_EQ(d.display().column(), 0); // 90 columns filled, the next block overwrites column 0
    ASSERT_EQ(d.take().size(), 90 * RecordingBlockLength);
    for (int b = 0; b < 90; ++b)
        ASSERT_EQ(d.take().samples()[static_cast<std::size_t>(b) * RecordingBlockLength + 7], b * 100 + 7) << b;

    d.press(IdOk);
    EXPECT_TRUE(d.ended());
    EXPECT_FALSE(input.capturing());
    const std::vector<double>& x = session.traceSlots.samples(SlotNumber::X);
    ASSERT_EQ(x.size(), 36000u);
    EXPECT_EQ(x[400], 100.0);
}

TEST_F(RecordingDialogTest, EndingWithoutATakeOrCancellingLeavesNoSound)
{
    open().press(IdOk);
    EXPECT_TRUE(session.traceSlots.empty(SlotNumber::X));

    session.traceSlots.fill(SlotNumber::X, {5.0});
    R& d = open();
    input.script.push_back(Numbered(1));
    d.press(R::RecordButton);
    tick();
    d.press(IdCancel);
    EXPECT_EQ(session.traceSlots.samples(SlotNumber::X), std::vector<double>{5.0});
}

TEST_F(RecordingDialogTest, WithoutADeviceTheWindowSaysSo)
{
    input.deviceAvailable = false;
    R& d = open();
    d.press(R::RecordButton);
    EXPECT_FALSE(d.recording());
    EXPECT_EQ(d.text(R::RecordButton), "録音");
    EXPECT_EQ(d.text(R::DeviceNotice), platform::NoAudioInputNotice);
    EXPECT_TRUE(d.timers().empty());
}

} // namespace
} // namespace kelvora
