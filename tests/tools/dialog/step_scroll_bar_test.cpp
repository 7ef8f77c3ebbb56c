#include "tools/dialog/step_scroll_bar.h"

#include "tools/shell/progress_dialog.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

class StepScrollBarTest : public ::testing::Test {
protected:
    StepScrollBarTest()
        : dialog(DialogTemplate{"bars", {10, 10},
                                {{1049, ControlKind::HScrollBar, "", {}}, {1028, ControlKind::HScrollBar, "", {}}},
                                {}})
    {
        table.ids = {1049, 1028, 1029, 1033};
        table.maxima = {100, 100, 100, 100};
    }
    int step(ScrollRequest request, int thumb, int bar) { return StepScrollBar(dialog, request, thumb, bar, table, last); }

    DialogModel dialog;
    ScrollBarTable table;
    int last = 0;
};

TEST_F(StepScrollBarTest, MovesByTheRequestAndClamps)
{
    table.positions[0] = 95;
    EXPECT_EQ(step(ScrollRequest::PageRight, 0, 1049), 0);
    EXPECT_EQ(table.positions[0], 100);
    EXPECT_EQ(dialog.control(1049).position, 100);
    step(ScrollRequest::ThumbTrack, 40, 1049);
    EXPECT_EQ(table.positions[0], 40);
    step(ScrollRequest::LineLeft, 0, 1049);
    step(ScrollRequest::PageLeft, 0, 1049);
    EXPECT_EQ(table.positions[0], 29);
    step(ScrollRequest::LineRight, 0, 1049);
    EXPECT_EQ(table.positions[0], 30);
    for (int i = 0; i < 5; ++i)
        step(ScrollRequest::PageLeft, 0, 1049);
    EXPECT_EQ(table.positions[0], 0);
}

TEST_F(StepScrollBarTest, EndScrollLeavesThePositionButReportsTheBar)
{
    table.positions[1] = 57;
    dialog.control(1028).position = -1;
    EXPECT_EQ(step(ScrollRequest::EndScroll, 3, 1028), 1);
    EXPECT_EQ(table.positions[1], 57);
    EXPECT_EQ(dialog.control(1028).position, 57); // the thumb is redrawn at the position
    EXPECT_EQ(step(ScrollRequest::ThumbPosition, 3, 1028), 1);
    EXPECT_EQ(table.positions[1], 57);
}

TEST_F(StepScrollBarTest, AnUnknownBarMovesTheLastOneAndMinimumAboveMaximumEndsAtMaximum)
{
    step(ScrollRequest::LineRight, 0, 1028);
    EXPECT_EQ(step(ScrollRequest::LineRight, 0, 9999), 1);
    EXPECT_EQ(table.positions[1], 2);
    table.minima[0] = 50;
    table.maxima[0] = 20;
    step(ScrollRequest::ThumbTrack, 30, 1049);
    EXPECT_EQ(table.positions[0], 20);
}

TEST(ProgressDialogTest, TwentyFiveStepsWrapTwiceAndEndAtThirty)
{
    ProgressDialog progress;
    progress.init();
    std::vector<int> seen;
    for (int i = 0; i < 25; ++i) {
        progress.step();
        seen.push_back(progress.barPosition());
    }
    EXPECT_EQ(seen[9], 100);
    EXPECT_EQ(seen[10], 0);
    EXPECT_EQ(seen[21], 0);
    EXPECT_EQ(progress.barPosition(), 30);
    EXPECT_EQ(progress.text(ProgressDialog::RunningText), "Static");
}

TEST(DialogModelTest, RadiosOfOneGroupExcludeEachOtherAndCheckBoxesToggle)
{
    DialogModel dialog(DialogTemplate{"radios", {10, 10},
                                      {{1, ControlKind::RadioButton, "a", {}, 1},
                                       {2, ControlKind::RadioButton, "b", {}, 1},
                                       {3, ControlKind::RadioButton, "c", {}, 2},
                                       {4, ControlKind::CheckBox, "d", {}}},
                                      {}});
    dialog.press(3);
    dialog.press(1);
    dialog.press(2);
    EXPECT_FALSE(dialog.isChecked(1));
    EXPECT_TRUE(dialog.isChecked(2));
    EXPECT_TRUE(dialog.isChecked(3));
    dialog.press(4);
    EXPECT_TRUE(dialog.isChecked(4));
    dialog.press(4);
    EXPECT_FALSE(dialog.isChecked(4));
    dialog.setEnabled(1, false);
    dialog.press(1);
    EXPECT_FALSE(dialog.isChecked(1));
}

} // namespace
} // namespace kelvora
