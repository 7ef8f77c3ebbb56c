// "KPC-PAC" through its model: the opening and the picture handed over on closing, the two
// interval rules worked out by hand, "全計算(保存)" with its export, order 1, the frame bar and
// playback marking frames up to 999, and a signal shorter than a frame (with the frame length
// taking effect at the next change).

#include "tools/lpc/lpc_components_dialog.h"
#include "../../support/test_signals.h"

#include "../support/dialog_fixture.h"
#include "../support/temp_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace kelvora {
namespace {

using L = LpcComponentsDialog;

std::vector<std::string> Lines(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Index of the line that is exactly `title`, or lines.size().
std::size_t Find(const std::vector<std::string>& lines, const std::string& title)
{
    return static_cast<std::size_t>(std::find(lines.begin(), lines.end(), title) - lines.begin());
}

class LpcComponentsTest : public testing::DialogFixture<LpcComponentsDialog> {
protected:
    // 20000 samples of noise at 8000 Hz: n − N = 18976 with 1024-point frames.
    L& openNoise() { return open(testing::UniformNoise(20000, 10000, 5), 8000); }
    void bar(int id, int position) { dialog->scroll(id, ScrollRequest::ThumbTrack, position); }
    testing::TempDir dir;
};

TEST_F(LpcComponentsTest, OpensOnTheWholeSignalAndClosesWithItsPicture)
{
    session.toolState<LpcComponentsState>().frameBarPosition = 16380; // kept from before
    L& d = openNoise();
    EXPECT_TRUE(d.isChecked(L::Frame1024));
    EXPECT_EQ(d.range().start, 0u);
    EXPECT_EQ(d.range().width, 18976u);
    EXPECT_EQ(d.control(L::WidthBar).position, 2000);
    EXPECT_EQ(d.control(L::OrderBar).position, 30);
    EXPECT_EQ(d.control(L::FrameBar).position, 16380);
    EXPECT_EQ(d.text(L::FrameLabel), "    1186ms "); // 18976 × 1000 × 16380 / 32760 / 8000
    EXPECT_EQ(d.matrix().order, 30u);
    EXPECT_EQ(d.components(), nullptr);

    // Closing hands the drawing over as 750 x 530: shown row 492 covers the rows from
    // trunc(492 × 552 / 530) = 512, the base line.
    d.press(IdCancel);
    EXPECT_EQ(d.result(), 1);
    ASSERT_EQ(session.resultCanvas.image().size(), QSize(750, 530));
    EXPECT_EQ(session.resultCanvas.pixel(400, 492), Black);
    EXPECT_EQ(session.resultCanvas.pixel(400, 520), White);
}

TEST_F(LpcComponentsTest, TheStartBarMovesTheIntervalBackInsideTheSignal)
{
    L& d = openNoise();
    // The width bar stands at 2000 on opening: 20000 samples are more than n − N, so the
    // interval stays (0, n − N) wherever the start bar goes.
    bar(L::StartBar, 700);
    EXPECT_EQ(d.range().start, 0u);
    EXPECT_EQ(d.range().width, 18976u);
    EXPECT_EQ(d.control(L::StartBar).position, 0);

    bar(L::WidthBar, 1000); // width 10000, start 0: fits
    // Start 15000 + 10000 passes n − N = 18976: the start moves back to 8976, its bar to
    // trunc(8976 × 2000 / 20000) = 897; 8976 and 10000 samples are 1122 and 1250 ms.
    bar(L::StartBar, 1500);
    EXPECT_EQ(d.range().start, 8976u);
    EXPECT_EQ(d.range().width, 10000u);
    EXPECT_EQ(d.control(L::StartBar).position, 897);
    EXPECT_EQ(d.text(L::IntervalLabel), "切出し開始 1122(ms)から幅 1250(ms)の区間");
    EXPECT_EQ(d.text(L::Status), "選択したデータを対象とする。");
}

TEST_F(LpcComponentsTest, TheWidthBarHoldsTheWidthBetweenNAndTheSignalsEnd)
{
    L& d = openNoise();
    bar(L::WidthBar, 1000);
    bar(L::StartBar, 1000); // start 10000, width 10000 passes 18976: start 8976
    // Width 15000 from start trunc(897 × 20000 / 2000) = 8970 ends past 18976: narrowed to
    // 10006, whose bar is trunc(10006 × 2000 / 20000) = 1000.
    bar(L::WidthBar, 1500);
    EXPECT_EQ(d.range().start, 8970u);
    EXPECT_EQ(d.range().width, 10006u);
    EXPECT_EQ(d.control(L::WidthBar).position, 1000);
    EXPECT_EQ(d.text(L::IntervalLabel), "切出し開始1121(ms)から幅1250(ms)の区間");

    // A width below N becomes N.
    bar(L::StartBar, 0);
    bar(L::WidthBar, 50); // 500 samples
    EXPECT_EQ(d.range().width, 1024u);
    EXPECT_EQ(d.control(L::WidthBar).position, 102);
    // A start beyond n − N, left by frames of 256 (start 19244 of n − N = 19744, bar 1924),
    // leaves (n − N, 0) once the frames are 1024 again.
    d.press(L::Frame256);
    bar(L::WidthBar, 50);
    bar(L::StartBar, 1990);
    EXPECT_EQ(d.range().start, 19244u);
    d.press(L::Frame1024);
    bar(L::WidthBar, 50);
    EXPECT_EQ(d.range().start, 18976u);
    EXPECT_EQ(d.range().width, 0u);
    EXPECT_EQ(d.control(L::WidthBar).position, 0);
    // All 1000 frames are then the last frame of the signal.
    for (std::size_t j = 0; j < 30; ++j)
        EXPECT_EQ(d.matrix().at(0, j), d.matrix().at(999, j));
}

TEST_F(LpcComponentsTest, ALongerFrameMovesTheIntervalBackInsideAtTheNextChange)
{
    L& d = openNoise();
    // Frames of 256 allow the width n − N = 19744; frames of 1024 chosen then would read
    // 768 samples past the end at the next change, which is the order bar here.
    d.press(L::Frame256);
    bar(L::WidthBar, 2000);
    EXPECT_EQ(d.range().width, 19744u);
    d.press(L::Frame1024);
    bar(L::OrderBar, 10);
    // Start 0 + 19744 passes 20000 − 1024 = 18976: the width shrinks to 18976 (2372 ms), its
    // bar to trunc(18976 × 2000 / 20000) = 1897, and the interval is analysed.
    EXPECT_EQ(d.range().start, 0u);
    EXPECT_EQ(d.range().width, 18976u);
    EXPECT_EQ(d.range().log2Size, 10);
    EXPECT_EQ(d.control(L::WidthBar).position, 1897);
    EXPECT_EQ(d.text(L::IntervalLabel), "切出し開始 0(ms)から幅 2372(ms)の区間");
    EXPECT_EQ(d.matrix().order, 10u);
}

TEST_F(LpcComponentsTest, ComputeAllDrawsTheScatterAndExportsFiveSectionsOf1000Rows)
{
    L& d = openNoise();
    d.press(L::Frame256);
    bar(L::OrderBar, 4); // q = 3
    bar(L::WidthBar, 80); // 800 samples: fewer than 1000 frames' worth, rows repeat
    const std::string path = dir.file("LPC_DATA.txt");
    files.answer(path);
    d.press(L::ComputeButton);
    EXPECT_EQ(files.lastProposedName, "LPC_DATA.txt");
    EXPECT_EQ(d.caption(), path);
    ASSERT_NE(d.components(), nullptr);
    const dsp::PrincipalComponents& pc = *d.components();

    const std::vector<std::string> lines = Lines(path);
    ASSERT_EQ(lines.size(), 1u + 1000 + 1 + 3 + 1 + 1 + 1 + 3 + 1 + 1000);
    EXPECT_EQ(Find(lines, "共分散"), 1001u);
    EXPECT_EQ(Find(lines, "固有値"), 1005u);
    EXPECT_EQ(Find(lines, "固有ベクトル"), 1007u);
    EXPECT_EQ(Find(lines, "主成分得点"), 1011u);
    // Frame 500 of 800 samples at 8000 Hz lies 800 × 500 / 8000 = 50 ms in.
    EXPECT_EQ(lines[1 + 500].substr(0, 11), "      50ms ");
    EXPECT_EQ(lines[1 + 500].substr(11, 9), "1.000000\t");
    EXPECT_EQ(lines[1 + 500], lines[1 + 501]); // frames 500 and 501 both start at 400
    char expected[128];
    std::snprintf(expected, sizeof expected, "      50ms %f %f", pc.scores.first[500], pc.scores.second[500]);
    EXPECT_EQ(lines[1012 + 500], expected);
    EXPECT_TRUE(messages.messages.empty());

    // A cancelled export writes nothing; a failed one is reported.
    files.answer(std::nullopt);
    d.press(L::ComputeButton);
    EXPECT_EQ(d.caption(), path);
    files.answer(dir.file("no-such-folder/LPC_DATA.txt"));
    d.press(L::ComputeButton);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].caption, "書き出せません");
}

TEST_F(LpcComponentsTest, OrderOneLeavesEmptySectionsAndAScatterWithoutScale)
{
    L& d = openNoise();
    bar(L::OrderBar, 0); // the bar stops at 1
    EXPECT_EQ(d.range().order, 1u);
    const std::string path = dir.file("p1.txt");
    files.answer(path);
    d.press(L::ComputeButton);
    ASSERT_EQ(messages.messages.size(), 1u); // no scale: said, not divided by
    const std::vector<std::string> lines = Lines(path);
    EXPECT_EQ(Find(lines, "固有値"), Find(lines, "共分散") + 1);
    EXPECT_EQ(Find(lines, "固有ベクトル"), Find(lines, "固有値") + 1);
    EXPECT_EQ(Find(lines, "主成分得点"), Find(lines, "固有ベクトル") + 1);
    EXPECT_EQ(lines.back(), "    2370ms 0.000000 0.000000"); // 18976 × 999 / 8000 = 2369.6 ms
}

TEST_F(LpcComponentsTest, TheFrameBarAndPlaybackMarkFramesUpToTheLast)
{
    EXPECT_EQ(FrameOfBar(16380), 500u);
    EXPECT_EQ(FrameOfPlayPosition(8000, 8000), 999u); // the very end: 1000, held at 999

    L& d = openNoise();
    bar(L::WidthBar, 800); // 8000 samples, one second
    files.answer(std::nullopt);
    d.press(L::ComputeButton);
    const dsp::PrincipalComponents& pc = *d.components();
    bar(L::FrameBar, 32760);
    // Frame 999 marked: a red ring of radius 4 (pen 4 wide) around its point.
    const int x = static_cast<int>(650 + pc.scores.first[999] * 150 / pc.scores.firstPeak);
    const int y = static_cast<int>(250 - pc.scores.second[999] * 250 / pc.scores.secondPeak);
    EXPECT_EQ(d.drawing().pixel(x + 4, y), Red);
    EXPECT_EQ(d.drawing().pixel(x, y + 6), Red);
    EXPECT_EQ(d.text(L::FrameLabel), "    1000ms "); // 8000 × 1000 × 32760 / 32760 / 8000
    // The strip shows a red line 2 wide at column 650 − 1.
    EXPECT_EQ(d.strip().shown().pixel(649, StripCursorTop), Red);

    d.press(L::PlayButton);
    output.advance(250); // 2000 of 8000 samples
    d.timer(PlayTimer);
    EXPECT_EQ(d.control(L::FrameBar).position, 8190); // 32760 × 2000 / 8000
    double s1 = 0;
    for (std::size_t j = 1; j < 30; ++j)
        s1 += d.matrix().at(250, j) * pc.eigen.component(j - 1, 0);
    char expected[128];
    std::snprintf(expected, sizeof expected, "maxab=%3.3f %3.3f %3.3f", s1, pc.scores.firstPeak, s1 / pc.scores.firstPeak);
    EXPECT_EQ(d.text(L::Status), expected);
    EXPECT_EQ(d.strip().shown().pixel(162, StripCursorTop), Red); // 2000 × 650 / 8000 = 162
    output.advance(1000); // the end: the player stops itself
    EXPECT_TRUE(d.timers().empty());
}

TEST_F(LpcComponentsTest, ASignalShorterThanAFrameIsRefusedAndNothingIsRead)
{
    L& d = open(testing::UniformNoise(1000, 1000, 1), 8000);
    EXPECT_EQ(d.text(L::Status), "データ量が1024(ポイント)より少ないので動きません");
    EXPECT_EQ(d.range().width, 0u);
    // The level range still has a scale, so that the waterfall of shorter frames can be drawn.
    EXPECT_TRUE(d.levelRange().scalable());
    bar(L::StartBar, 1000);
    bar(L::OrderBar, 10);
    EXPECT_EQ(d.range().start, 0u);
    d.press(L::ComputeButton); // nothing to compute: no file is asked for
    EXPECT_EQ(files.saveCount, 0);
    EXPECT_EQ(d.components(), nullptr);
    // With frames of 256 it works, from the next change on.
    d.press(L::Frame256);
    EXPECT_EQ(d.frameSize(), 256u);
    EXPECT_EQ(d.text(L::Status), "データ量が1024(ポイント)より少ないので動きません");
    bar(L::StartBar, 0);
    EXPECT_EQ(d.text(L::Status), "選択したデータを対象とする。");
    EXPECT_EQ(d.range().width, 744u); // the whole 1000 − 256
    EXPECT_EQ(d.range().log2Size, 8);
    EXPECT_EQ(d.matrix().order, 10u);
    EXPECT_EQ(d.matrix().at(500, 10), 0.0);
}

} // namespace
} // namespace kelvora
