// The waveform join: storing X in W, appending W behind X once, and what survives the dialog.

#include "tools/audio/waveform_join_dialog.h"
#include "../../support/test_signals.h"

#include "../support/dialog_fixture.h"

#include <gtest/gtest.h>

#include <numeric>

namespace kelvora {
namespace {

std::vector<double> Joined(std::vector<double> a, const std::vector<double>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class JoinTest : public testing::DialogFixture<WaveformJoinDialog> {
protected:
    WaveformJoinDialog& open(std::vector<double> samples)
    {
        session.traceSlots.fill(SlotNumber::X, std::move(samples));
        dialog = std::make_unique<WaveformJoinDialog>(session, services);
        dialog->init();
        return *dialog;
    }
    const std::vector<double>& slot(SlotNumber n) const { return session.traceSlots.samples(n); }
    bool empty(SlotNumber n) const { return session.traceSlots.empty(n); }
};

TEST_F(JoinTest, OpensFramingTheSecondFifth)
{
    WaveformJoinDialog& d = open(testing::Ramp(1000));
    EXPECT_EQ(d.frame(), (FrameRange{200, 200}));
    EXPECT_EQ(d.control(WaveformJoinDialog::MoveBar).position, 400);
    EXPECT_EQ(d.control(WaveformJoinDialog::WidthBar).position, 400);
    EXPECT_EQ(d.text(WaveformJoinDialog::IntervalLabel), "Static");
    d.scroll(WaveformJoinDialog::WidthBar, ScrollRequest::PageRight, 0); // 410: 205 wide
    EXPECT_EQ(d.frame(), (FrameRange{200, 205}));
    EXPECT_EQ(d.text(WaveformJoinDialog::IntervalLabel), "切出し開始25(ms)から幅25(ms)の区間");

    WaveformJoinDialog& tiny = open(testing::Ramp(3));
    EXPECT_EQ(tiny.frame(), (FrameRange{0, 1}));
}

TEST_F(JoinTest, StoringAndPastingInOneOpeningDoublesTheSoundOnce)
{
    session.traceSlots.fill(SlotNumber::Y, testing::Ramp(5));
    WaveformJoinDialog& d = open(testing::Ramp(1000));
    d.press(WaveformJoinDialog::SaveButton);
    EXPECT_EQ(slot(SlotNumber::W), testing::Ramp(1000));
    d.press(WaveformJoinDialog::PasteButton);
    EXPECT_EQ(slot(SlotNumber::X), Joined(testing::Ramp(1000), testing::Ramp(1000)));
    EXPECT_TRUE(empty(SlotNumber::W));
    EXPECT_TRUE(empty(SlotNumber::Y));
    EXPECT_EQ(d.frame(), (FrameRange{1990, 10})); // the last ten samples
    EXPECT_TRUE(d.strip().bitmap() == DrawWaveformStripEverySegment(slot(SlotNumber::X), 1990, 10));

    d.press(WaveformJoinDialog::PasteButton); // W is empty now
    EXPECT_EQ(slot(SlotNumber::X).size(), 2000u);
    d.press(IdOk);
    EXPECT_EQ(slot(SlotNumber::X).size(), 2000u);
}

TEST_F(JoinTest, WSurvivesTheDialogAndIsAppendedBehindTheNextSound)
{
    WaveformJoinDialog& first = open(testing::Ramp(30, 100));
    first.press(WaveformJoinDialog::SaveButton);
    first.press(IdCancel);
    EXPECT_TRUE(empty(SlotNumber::X));
    EXPECT_EQ(slot(SlotNumber::W), testing::Ramp(30, 100));

    WaveformJoinDialog& second = open(testing::Ramp(5, -50));
    second.press(WaveformJoinDialog::PasteButton);
    EXPECT_EQ(slot(SlotNumber::X), Joined(testing::Ramp(5, -50), testing::Ramp(30, 100)));
    EXPECT_EQ(second.frame(), (FrameRange{25, 10}));
    second.press(IdCancel); // a cancel after a paste: nothing handed back, W and Y empty
    EXPECT_TRUE(empty(SlotNumber::X));
    EXPECT_TRUE(empty(SlotNumber::W));
    EXPECT_TRUE(empty(SlotNumber::Y));
}

TEST_F(JoinTest, AnEmptyOrZeroLengthWJoinsNothing)
{
    WaveformJoinDialog& d = open(testing::Ramp(50));
    d.press(WaveformJoinDialog::PasteButton);
    EXPECT_EQ(slot(SlotNumber::X), testing::Ramp(50));
    session.traceSlots.fill(SlotNumber::W, {});
    d.press(WaveformJoinDialog::PasteButton);
    EXPECT_EQ(slot(SlotNumber::X), testing::Ramp(50));
    EXPECT_EQ(d.frame(), (FrameRange{10, 10}));

    EXPECT_EQ(FrameAtEnd(4), (FrameRange{0, 4}));
    EXPECT_EQ(FrameAtEnd(0), (FrameRange{0, 0}));
}

TEST_F(JoinTest, PlaysTheFrameOfTheJoinedSound)
{
    WaveformJoinDialog& d = open(testing::Ramp(100));
    d.press(WaveformJoinDialog::SaveButton);
    d.press(WaveformJoinDialog::PasteButton);
    d.press(WaveformJoinDialog::PlayButton);
    EXPECT_EQ(output.buffer, (std::vector<std::int16_t>{90, 91, 92, 93, 94, 95, 96, 97, 98, 99}));
    d.press(IdOk);
    EXPECT_FALSE(output.playing());
}

} // namespace
} // namespace kelvora
