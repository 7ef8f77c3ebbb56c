#include "tools/lpc/vowel_dialog.h"

#include "tests/support/vowel_signal.h"
#include "tests/tools/spectral/spectral_test_support.h"
#include "tests/tools/support/dialog_fixture.h"
#include "tools/lpc/vowel_chart.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kelvora {
namespace {

using V = VowelDialog;
using testing::ShowsTextAt;

// "あ" at 8000 Hz: F1 800 Hz, F2 1200 Hz, F3 2500 Hz.
std::vector<double> VowelA(std::size_t count = 8000)
{
    return testing::SyntheticVowel(count, 8000.0, {{800, 80}, {1200, 90}, {2500, 150}});
}

class VowelTest : public testing::DialogFixture<VowelDialog> {
protected:
    void Run(int position) { dialog->scroll(V::StartBar, ScrollRequest::ThumbTrack, position); }
};

TEST_F(VowelTest, OpensWithTheDefaultsOfTheRate)
{
    open(VowelA());
    EXPECT_EQ(dialog->caption(), "母音・声道断面積推定");
    EXPECT_EQ(dialog->text(V::Defaults), "読込デフォルト\nフレーム=256=32.00(ms)最適30ms\n分析次数の初期値=10");
    EXPECT_EQ(dialog->text(V::OrderLabel), "次数=10");
    EXPECT_EQ(dialog->control(V::OrderBar).maximum, 50);
    EXPECT_EQ(dialog->control(V::OrderBar).position, 10);
    EXPECT_EQ(dialog->control(V::StartBar).maximum, 5000);
    EXPECT_EQ(dialog->control(V::StartBar).position, 25);
    EXPECT_EQ(dialog->start(), 40u); // 25 * 8000 / 5000
    EXPECT_EQ(dialog->text(V::FormantLabel), "Static");

    // 44100 Hz: order 55 is used although the bar ends at 50.
    open(testing::SyntheticVowel(20000, 44100.0, {{500, 70}, {900, 90}}), 44100);
    EXPECT_EQ(dialog->order(), 55u);
    EXPECT_EQ(dialog->control(V::OrderBar).position, 50);
    EXPECT_EQ(dialog->text(V::Defaults), "読込デフォルト\nフレーム=1024=23.22(ms)最適30ms\n分析次数の初期値=55");
    Run(2500);
    EXPECT_EQ(dialog->lastFrame().order, 55u);
    EXPECT_NEAR(dialog->lastFrame().f1, 500.0, 2 * 44100.0 / 1024);
    EXPECT_NEAR(dialog->lastFrame().f2, 900.0, 2 * 44100.0 / 1024);
}

TEST_F(VowelTest, ARunFindsTheFormantsAndDrawsTheFrameAndTheVowel)
{
    open(VowelA());
    Run(2500);
    const VowelFrame& frame = dialog->lastFrame();
    EXPECT_EQ(dialog->start(), 4000u);
    EXPECT_EQ(dialog->text(V::Status), "読み込んだデータを対象とする。");
    // Bins are 31.25 Hz wide; the envelope's peaks lie within two bins of the resonances.
    EXPECT_NEAR(frame.f1, 800.0, 62.5);
    EXPECT_NEAR(frame.f2, 1200.0, 62.5);
    EXPECT_EQ(frame.f1, 8000.0 * frame.bins.first / 256);
    char label[64];
    std::snprintf(label, sizeof label, "f1=%6.2f(Hz)  f2=%6.2f(Hz)", frame.f1, frame.f2);
    EXPECT_EQ(dialog->text(V::FormantLabel), label);

    // Frame box from x = 800 * 4000 / 8000 = 400 to 800 * 4256 / 8000 = 425, y 3 .. 197.
    const Picture& spectra = dialog->spectra();
    EXPECT_EQ(spectra.pixel(400, 150), Black);
    EXPECT_EQ(spectra.pixel(425, 150), Black);
    EXPECT_EQ(spectra.pixel(412, 197), Black);
    EXPECT_EQ(spectra.pixel(412, 3), Black);

    // The red dot at x = 532 f1 / 2800 + 40, y = 225 - 205 f2 / 3400 - 20.
    const int x = static_cast<int>(532 * frame.f1 / 2800 + 40);
    const int y = static_cast<int>(225 - 205 * frame.f2 / 3400 - 20);
    EXPECT_EQ(dialog->chart().pixel(x, y), Red);

    // Start bar at its end: the last 256 samples, the missing sample after them read as 0.
    Run(5000);
    EXPECT_EQ(dialog->start(), 8000u - 256u);
    EXPECT_TRUE(std::isfinite(dialog->lastFrame().f1));
}

TEST_F(VowelTest, TheOrderBarOnlyAsksForARun)
{
    open(VowelA());
    Run(1000);
    const Picture before = dialog->spectra();
    const auto revision = dialog->revision();
    dialog->scroll(V::OrderBar, ScrollRequest::LineRight, 0);
    EXPECT_EQ(dialog->order(), 11u);
    EXPECT_EQ(dialog->text(V::OrderLabel), "次数=11");
    EXPECT_EQ(dialog->text(V::Reminder), "←ここをクリック。(図を更新すべきです.)");
    EXPECT_EQ(dialog->revision(), revision);
    EXPECT_EQ(dialog->spectra(), before);
    Run(1000);
    EXPECT_EQ(dialog->lastFrame().order, 11u);
    EXPECT_EQ(dialog->text(V::Reminder), "");
}

TEST_F(VowelTest, TooLittleDataAndSilenceAreSaidAndDrawNoNumbersThatAreNot)
{
    open(std::vector<double>(200, 100.0));
    EXPECT_EQ(dialog->text(V::Status), "データ量が256(ポイント)より少ないので動きません");
    const Picture before = dialog->spectra();
    Run(100);
    EXPECT_EQ(dialog->spectra(), before);
    EXPECT_EQ(dialog->text(V::FormantLabel), "Static");

    open(std::vector<double>(4000, 0.0));
    Run(1000);
    EXPECT_EQ(dialog->text(V::Status), "無音の区間です。フォルマントも声道の形も求まりません。");
    EXPECT_EQ(dialog->text(V::FormantLabel), "f1=  0.00(Hz)  f2=  0.00(Hz)");
    // A flat tract: every section 10 pixels above the baseline at y = 185.
    EXPECT_EQ(dialog->chart().pixel(400, 175), Black);
    EXPECT_EQ(dialog->chart().pixel(560, 175), Black);
}

TEST_F(VowelTest, ClosingPutsTheChartInTheCanvasCorner)
{
    open(VowelA());
    Run(2500);
    session.NewResultCanvas();
    dialog->press(IdCancel);
    EXPECT_TRUE(dialog->ended());
    EXPECT_EQ(dialog->result(), 1);
    EXPECT_EQ(session.resultCanvas.cropped(VowelChartWidth, VowelChartHeight), dialog->chart());
    EXPECT_EQ(session.resultCanvas.pixel(VowelChartWidth, 10), White);
}

TEST(VowelChartDrawing, AxesRegionsAndTractFollowTheirFormulas)
{
    Picture chart(VowelChartWidth, VowelChartHeight);
    const std::vector<double> k{0.0, 0.5}; // areas 10 and 10 * 0.5 / 1.5
    VowelChart(chart, 0.0, 0.0, 225, 572, k, 1);

    // F2 axis at x = 40 down to y = 205, ticks at y = 205 - 205 i / 17 from x = 40 to 50.
    EXPECT_EQ(chart.pixel(40, 100), Black);
    for (int i : {1, 8, 14})
        EXPECT_EQ(chart.pixel(48, 205 - 205 * i / 17), Black) << i;
    // F1 axis at y = 205 to x = 306, ticks at x = 40 + 19 j from y = 195 to 205.
    EXPECT_EQ(chart.pixel(300, 205), Black);
    for (int j : {1, 7, 13})
        EXPECT_EQ(chart.pixel(40 + 19 * j, 198), Black) << j;
    EXPECT_TRUE(ShowsTextAt(chart, 40 + 19 * 4 - 12, 207, "400", 20));
    EXPECT_TRUE(ShowsTextAt(chart, 20, 2, "F2(Hz)", 40));

    // First point of "い" (280, 3212): x = 532 * 280 / 2800 + 40 = 93, y = 225 - 205 * 3212 / 3400
    // - 20 = 12; of "あ" (1180, 1715): x = 264, y = 102.
    EXPECT_EQ(VowelChartPoint(280, 3212), QPoint(93, 12));
    EXPECT_EQ(chart.pixel(93, 12), Black);
    EXPECT_EQ(chart.pixel(264, 102), Black);
    EXPECT_TRUE(ShowsTextAt(chart, 532 * 800 / 2800 + 40, 225 - 205 * 1500 / 3400 - 20, "あ", 12));

    // The red dot at (40, 205) for f1 = f2 = 0.
    EXPECT_EQ(chart.pixel(40, 205 - 2), Red);

    // Tract from x0 = 266 + 60 = 326, sections 123 pixels wide, at y = 185 - 10 and 185 - 3.33.
    EXPECT_EQ(chart.pixel(380, 175), Black);
    EXPECT_EQ(chart.pixel(500, 181), Black);
    EXPECT_EQ(chart.pixel(449, 178), Black); // the step between them
    EXPECT_EQ(chart.pixel(500, 185), Black); // baseline
    EXPECT_TRUE(ShowsTextAt(chart, 326, 195, "声門", 24));
    EXPECT_TRUE(ShowsTextAt(chart, 552, 195, "唇", 12));
}

TEST(VowelSpectraDrawing, AMissingF2StandsAtTheLeftEdge)
{
    // A 256-point envelope with one hill at bin 40 (F1) and no second peak.
    VowelWork work;
    work.resize(256, 0);
    for (std::size_t i = 0; i < 256; ++i)
        work.levels[i] = 60.0 - std::abs(static_cast<double>(i) - 40.0) * 0.5;
    for (std::size_t i = 0; i < 128; ++i)
        work.spectrumDb[i] = static_cast<double>(i);
    VowelFrame frame;
    frame.size = 256;
    frame.bins = {40, 0};
    Picture picture(800, 400);
    DrawVowelSpectra(picture, frame, work);

    // Envelope from 60 - 108 = -48 dB (bin 256 - 40 = 216 is the farthest) to 60 dB:
    // y = 400 - (L - min) / 108 * 180.
    const auto y = [&](std::size_t bin) { return static_cast<int>(400 - (work.levels[bin] + 48.0) / 108.0 * 180.0); };
    const int x1 = 800 * 40 / 128;
    EXPECT_EQ(picture.pixel(x1, y(40)), Black);
    EXPECT_EQ(picture.pixel(x1 + 5, y(40) - 20), Black);
    EXPECT_TRUE(ShowsTextAt(picture, x1 + 20, y(40) - 15, "F 1", 16));
    EXPECT_EQ(picture.pixel(5, y(0) - 20), Black);
    EXPECT_TRUE(ShowsTextAt(picture, 20, y(0) - 15, "F 2", 16));
    // The spectrum scaled by its largest value, 127 dB, at 0.8 of the lower half: bin 48 at
    // x = 48 * 800 / 128 = 300, y = 400 - 48 / 127 * 160.
    EXPECT_EQ(picture.pixel(300, static_cast<int>(400 - 48.0 / 127.0 * 160.0)), Black);
}

} // namespace
} // namespace kelvora
