// The waveform editor driven through its model: the opening frame, the scroll rules and the
// interval text, keep and delete, playing, and what is handed back.

#include "tools/audio/waveform_editor.h"
#include "../../support/test_signals.h"

#include "../support/dialog_fixture.h"
#include "tools/audio/waveform_edit.h"

#include <gtest/gtest.h>

#include <numeric>

namespace kelvora {
namespace {

class EditorTest : public testing::DialogFixture<WaveformEditor> {
protected:
    const std::vector<double>& x() const { return session.traceSlots.samples(SlotNumber::X); }
    void track(int bar, int position) { dialog->scroll(bar, ScrollRequest::ThumbTrack, position); }
};

TEST_F(EditorTest, OpensWithTheMiddleNinetyPercentFramedAndTheLabelUntouched)
{
    WaveformEditor& e = open(testing::Ramp(16000));
    EXPECT_EQ(e.frame(), (FrameRange{800, 14400}));
    EXPECT_EQ(e.control(WaveformEditor::MoveBar).position, 100);
    EXPECT_EQ(e.control(WaveformEditor::WidthBar).position, 1800);
    EXPECT_EQ(e.control(WaveformEditor::MoveBar).maximum, 2000);
    EXPECT_EQ(e.text(WaveformEditor::IntervalLabel), "Static");
    EXPECT_EQ(e.control(WaveformEditor::Progress).maximum, 1000);
    EXPECT_EQ(e.control(WaveformEditor::Progress).position, 16 + 15);
    EXPECT_TRUE(e.strip().bitmap() == DrawWaveformStripEverySegment(x(), 800, 14400));
    EXPECT_EQ(e.picture(0), &e.strip().shown());
}

TEST_F(EditorTest, ScrollingSetsTheFrameWithinTheSignalAndNamesIt)
{
    WaveformEditor& e = open(testing::Ramp(16000));
    track(WaveformEditor::WidthBar, 0); // a width of 0 becomes 1
    EXPECT_EQ(e.frame(), (FrameRange{800, 1}));
    EXPECT_EQ(e.text(WaveformEditor::IntervalLabel), "切出し開始100(ms)から幅0(ms)[ポイント数1]の区間");

    track(WaveformEditor::MoveBar, 2000); // the frame ends at the last sample
    EXPECT_EQ(e.frame(), (FrameRange{15999, 1}));

    track(WaveformEditor::WidthBar, 1000); // 8000 wide: the start is pulled back to 8000
    EXPECT_EQ(e.frame(), (FrameRange{8000, 8000}));
    EXPECT_EQ(e.bars().positions[0], 1000); // the stored move position follows the start
    EXPECT_EQ(e.text(WaveformEditor::IntervalLabel), "切出し開始1000(ms)から幅1000(ms)[ポイント数8000]の区間");

    e.scroll(WaveformEditor::MoveBar, ScrollRequest::LineLeft, 0); // 999: start 7992
    EXPECT_EQ(e.frame(), (FrameRange{7992, 8000}));
    e.scroll(WaveformEditor::MoveBar, ScrollRequest::PageLeft, 0);
    EXPECT_EQ(e.frame(), (FrameRange{7912, 8000}));
    e.scroll(WaveformEditor::MoveBar, ScrollRequest::EndScroll, 0);
    EXPECT_EQ(e.frame(), (FrameRange{7912, 8000}));
    EXPECT_TRUE(e.strip().bitmap() == DrawWaveformStripEverySegment(x(), 7912, 8000));
}

TEST_F(EditorTest, KeepAndDeleteWorkOnEachOthersResults)
{
    WaveformEditor& e = open(testing::Ramp(16000));
    e.press(WaveformEditor::KeepButton); // keeps 800 … 15199
    ASSERT_EQ(x().size(), 14400u);
    EXPECT_EQ(x().front(), 800.0);
    EXPECT_EQ(x().back(), 15199.0);
    EXPECT_EQ(e.frame(), (FrameRange{0, 14399}));
    e.press(WaveformEditor::KeepButton); // again without a scroll: the last sample goes
    ASSERT_EQ(x().size(), 14399u);
    EXPECT_EQ(x().back(), 15198.0);
    EXPECT_TRUE(e.strip().bitmap() == DrawWaveformStripEverySegment(x(), 0, 14398));

    // The thumbs stayed at 100 and 1800; scrolling reads them against the new length.
    track(WaveformEditor::WidthBar, 200); // width 1439, start 719
    EXPECT_EQ(e.frame(), (FrameRange{719, 1439}));
    e.press(WaveformEditor::DeleteButton);
    ASSERT_EQ(x().size(), 14399u - 1439u);
    EXPECT_EQ(x()[718], 1518.0);
    EXPECT_EQ(x()[719], 1518.0 + 1440.0);
    EXPECT_EQ(e.frame(), (FrameRange{719, 1}));
}

TEST_F(EditorTest, DeletingTheEndKeepsTheFrameOnTheSignal)
{
    WaveformEditor& e = open(testing::Ramp(1000));
    track(WaveformEditor::WidthBar, 200); // 100 wide
    track(WaveformEditor::MoveBar, 2000); // the last 100 samples
    EXPECT_EQ(e.frame(), (FrameRange{900, 100}));
    e.press(WaveformEditor::DeleteButton);
    ASSERT_EQ(x().size(), 900u);
    EXPECT_EQ(e.frame(), (FrameRange{899, 1}));
    e.press(WaveformEditor::DeleteButton);
    EXPECT_EQ(x().size(), 899u);
    EXPECT_EQ(e.frame(), (FrameRange{898, 1}));
    EXPECT_TRUE(e.strip().bitmap() == DrawWaveformStripEverySegment(x(), 898, 1));
}

TEST_F(EditorTest, OkHandsBackTheEditedSoundCancelNothing)
{
    WaveformEditor& e = open(testing::Ramp(100));
    e.press(WaveformEditor::KeepButton);
    e.press(IdOk);
    EXPECT_TRUE(e.ended());
    EXPECT_EQ(e.result(), 1);
    EXPECT_EQ(x().size(), 90u);

    WaveformEditor& again = open(testing::Ramp(100));
    again.press(WaveformEditor::KeepButton);
    again.press(WaveformEditor::DeleteButton);
    again.press(IdCancel);
    EXPECT_EQ(again.result(), 1);
    EXPECT_TRUE(session.traceSlots.empty(SlotNumber::X));
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(EditorTest, AnEmptyResultIsExplainedAndHandsNothingBack)
{
    WaveformEditor& e = open(testing::Ramp(10));
    track(WaveformEditor::MoveBar, 0);
    track(WaveformEditor::WidthBar, 2000);
    e.press(WaveformEditor::DeleteButton);
    EXPECT_TRUE(x().empty());
    EXPECT_EQ(e.frame(), (FrameRange{0, 0}));
    track(WaveformEditor::WidthBar, 500); // nothing to frame, nothing breaks
    e.press(WaveformEditor::PlayButton);
    EXPECT_EQ(output.playCount, 0);
    e.press(IdOk);
    EXPECT_TRUE(e.ended());
    EXPECT_TRUE(session.traceSlots.empty(SlotNumber::X));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, EmptyEditText);
}

TEST_F(EditorTest, PlaysTheFrameAndStopsWhenTheDialogEnds)
{
    WaveformEditor& e = open(testing::Ramp(16000), 16000);
    e.press(WaveformEditor::PlayButton);
    ASSERT_EQ(output.buffer.size(), 14400u);
    EXPECT_EQ(output.buffer.front(), 800);
    EXPECT_EQ(output.rate, 16000u);
    EXPECT_EQ(e.timers().count(PlayTimer), 1u);
    output.advance(450); // 7200 of 14400
    e.timer(PlayTimer);
    EXPECT_EQ(e.strip().shown().pixel(325, StripCursorTop), Red);
    e.press(WaveformEditor::StopButton);
    EXPECT_FALSE(output.playing());
    EXPECT_EQ(e.timers().count(PlayTimer), 0u);
    EXPECT_EQ(e.strip().shown().pixel(325, StripCursorTop), Red); // stays until the next redraw
    track(WaveformEditor::MoveBar, 0);
    EXPECT_NE(e.strip().shown().pixel(325, StripCursorTop), Red);

    e.press(WaveformEditor::PlayButton);
    EXPECT_TRUE(output.playing());
    e.press(IdCancel);
    EXPECT_FALSE(output.playing());
}

TEST(WaveformEditTest, FrameProblemsNameTheRule)
{
    EXPECT_FALSE(FrameProblem(10, 0, 10).has_value());
    EXPECT_FALSE(FrameProblem(10, 9, 1).has_value());
    EXPECT_TRUE(FrameProblem(10, 9, 2).has_value());
    EXPECT_TRUE(FrameProblem(10, -1, 2).has_value());
    EXPECT_TRUE(FrameProblem(10, 0, 0).has_value());
    EXPECT_TRUE(FrameProblem(10, 10, 1).has_value());
    EXPECT_TRUE(FrameProblem(0, 0, 1).has_value());
}

} // namespace
} // namespace kelvora
