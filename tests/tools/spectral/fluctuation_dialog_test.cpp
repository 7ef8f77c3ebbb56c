// The 1/f tool through its model: the interval rules of its two bars, the texts, the verdict
// arrow and the picture's fixed parts at the places the drawing rules give.

#include "tools/spectral/fluctuation_dialog.h"
#include "tools/spectral/fluctuation_picture.h"
#include "util/sprintf.h"

#include "../support/dialog_fixture.h"
#include "tests/tools/spectral/spectral_test_support.h"

#include <gtest/gtest.h>

#include <random>

namespace kelvora {
namespace {

using F = FluctuationDialog;
using testing::ShowsTextAt;

std::vector<double> GaussianNoise(std::size_t count)
{
    std::mt19937 random(12);
    std::normal_distribution<double> gauss(0.0, 4000.0);
    std::vector<double> v(count);
    for (double& s : v)
        s = gauss(random);
    return v;
}

class Fluctuation : public testing::DialogFixture<F> {};

TEST_F(Fluctuation, BarsKeepTheIntervalAtLeastOneFrameAndInsideTheSound)
{
    F& d = open(GaussianNoise(40000));
    // Width bar at 0: the width becomes 256, written back as truncate(256 * 2000 / 40000) = 12,
    // and every frame starts at S.
    d.scroll(F::WidthBar, ScrollRequest::ThumbTrack, 0);
    EXPECT_EQ(d.range(), (AnalysisRange{500, 256})); // start 25 * 40000 / 2000
    EXPECT_EQ(d.state().widthPosition, 12);
    for (double s : d.result().frameSlopes)
        ASSERT_EQ(s, d.result().frameSlopes[0]);
    EXPECT_EQ(d.text(F::IntervalLabel), "切出し開始62(ms)から幅32(ms)の区間");

    // Start at the end with the width at 1500 (30000 samples): pulled back to 40000 - 30000.
    d.scroll(F::WidthBar, ScrollRequest::ThumbTrack, 1500);
    d.scroll(F::StartBar, ScrollRequest::ThumbTrack, 2000);
    EXPECT_EQ(d.range(), (AnalysisRange{10000, 30000}));
    EXPECT_EQ(d.state().startPosition, 500);
    EXPECT_EQ(d.control(F::StartBar).position, 2000); // the thumb stays where it was left
    EXPECT_EQ(d.text(F::Notice), "選択したデータを対象とする。");
}

TEST_F(Fluctuation, WhiteNoiseIsJudgedWhiteAndTheArrowSitsLevelWithItsText)
{
    F& d = open(GaussianNoise(40000));
    d.scroll(F::StartBar, ScrollRequest::ThumbTrack, 100);
    const double a = d.result().slope;
    EXPECT_NEAR(a, 0.0, 0.05);
    EXPECT_EQ(d.text(F::SlopeLine), Sprintf("-(%3.2f)=%3.2f", a, -a));
    // The 0 tick is at 4 * 300 / 8 - 15 = 135, its text at 125; the arrow text at
    // truncate(187 * 0.95 - (a + 1) * 37.5 - 15), within a pixel of 125 for a near 0.
    const Picture& p = d.mainPicture();
    EXPECT_TRUE(ShowsTextAt(p, 520, 125, "：白色雑音", 70));
    EXPECT_NEAR(VerdictArrowY(a), 125, 1);
    EXPECT_TRUE(ShowsTextAt(p, 240, VerdictArrowY(a), VerdictArrowText(a), 200));
    // Verdict scale from (480, 97) to (480, 247), ticks to x = 490.
    EXPECT_EQ(p.pixel(480, 97), Black);
    EXPECT_EQ(p.pixel(480, 247), Black);
    EXPECT_EQ(p.pixel(490, 172), Black);
    // Panel frame corners (230, 88), (230, 275), (30, 275); slope -1 reference at y = 18.
    EXPECT_EQ(p.pixel(230, 88), Black);
    EXPECT_EQ(p.pixel(30, 275), Black);
    EXPECT_EQ(p.pixel(400, 18), Black);
    // The red regression line starts at bin 1: x = truncate(X1 * 4 + 30), y = truncate(125 -
    // 1.875 (a X1 + b + 20)), X1 = 10 log10(31).
    const double x1 = 10.0 * std::log10(31.0), y1 = a * x1 + d.result().intercept;
    EXPECT_EQ(p.pixel(static_cast<int>(x1 * 4 + 30), static_cast<int>(125 - 1.875 * (y1 + 20))), Red);
    // The first blue dotted line starts at (30, truncate(125 - 1.875 * (-80 + 20))) = (30, 237).
    EXPECT_EQ(p.pixel(30, 237), Blue);
}

TEST_F(Fluctuation, SteepSlopesAreHeldOnTheScaleButPrintedAsTheyAre)
{
    // truncate(162.65 + 2.1 * 37.5) = 241 for anything below -3, 162.65 - 2.1 * 37.5 above 1.
    EXPECT_EQ(VerdictArrowY(-5.0), 241);
    EXPECT_EQ(VerdictArrowY(-3.1), 241);
    EXPECT_EQ(VerdictArrowY(4.0), 83);
    EXPECT_EQ(VerdictArrowY(-1.0), 162);
    EXPECT_EQ(VerdictArrowText(-5.0), "左図の赤線の傾き係数＝-5.00 →");
}

TEST_F(Fluctuation, TooShortASoundIsRefusedAndClosingHandsThePictureOver)
{
    F& d = open(std::vector<double>(200, 100.0));
    EXPECT_EQ(d.text(F::Notice), "データ量が256(ポイント)より少ないので動きません");
    d.scroll(F::StartBar, ScrollRequest::ThumbTrack, 100);
    EXPECT_EQ(d.text(F::Notice), "データ量が256(ポイント)より少ないので動きません");
    EXPECT_EQ(d.text(F::IntervalLabel), "Static");

    F& other = open(GaussianNoise(20000));
    other.scroll(F::StartBar, ScrollRequest::ThumbTrack, 10);
    session.NewResultCanvas();
    other.press(IdOk);
    EXPECT_TRUE(other.ended());
    // The 800 x 300 picture stretched to 750 x 530: the verdict scale's column 480 lands at 450.
    EXPECT_EQ(session.resultCanvas.pixel(450, 300), Black);
}

} // namespace
} // namespace kelvora
