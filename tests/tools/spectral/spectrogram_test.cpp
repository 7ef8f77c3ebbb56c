// The spectrogram: a tone's line at the row its formula gives, silence, the axes' ticks and
// labels, the interval and slice rules of the bars, and a sound too short to analyse.

#include "tools/spectral/spectrogram_dialog.h"

#include "../support/dialog_fixture.h"
#include "spectral_test_support.h"

namespace kelvora {
namespace {

using S = SpectrogramDialog;

class SpectrogramTest : public testing::DialogFixture<S> {};

TEST_F(SpectrogramTest, OneKilohertzToneIsOneRedLineAtRow128)
{
    // 1 kHz at 8 kHz is bin 1000 · 1024 ÷ 8000 = 128, row 128, y = 511 − 128 = 383. The Hann
    // window halves the amplitude in bins 127 and 129: 6.02 dB below the peak of
    // 10 log10((16384 ÷ 4)²) = 72.25 dB gives index trunc(66.23 ÷ 72.25 · 1275) = 1168,
    // ColourRamp (255, 107, 0). The peak equals the scanned maximum up to rounding: red, or
    // one step short of it. (x = 50 is under the frequency axis.)
    S& d = open(testing::Sine(16000, 1000.0, 8000.0, 16384.0));
    EXPECT_NEAR(d.dbRange().max, 72.25, 0.01);
    const Picture& p = d.spectrogram();
    for (int x : {51, 300, 699}) {
        EXPECT_EQ(qRed(p.pixel(x, 383)), 255) << x;
        EXPECT_LE(qGreen(p.pixel(x, 383)), 1) << x;
        const QRgb beside = p.pixel(x, 384);
        EXPECT_EQ(qRed(beside), 255);
        EXPECT_NEAR(qGreen(beside), 107, 1);
        EXPECT_EQ(p.pixel(x, 382), beside);
        EXPECT_EQ(p.pixel(x, 380), Black);
        EXPECT_EQ(p.pixel(x, 100), Black);
    }
    d.press(IdCancel);
    EXPECT_TRUE(d.ended());
    // The picture handed over is stretched to 750 × 530: the centre of row 383 lands at
    // 383.5 · 530 ÷ 552 = 368.2.
    EXPECT_EQ(qRed(session.resultCanvas.pixel(375, 368)), 255);
    EXPECT_LE(qGreen(session.resultCanvas.pixel(375, 368)), 1);
    EXPECT_EQ(session.resultCanvas.pixel(375, 300), Black);
}

TEST_F(SpectrogramTest, SilenceIsBlackWithAnEmptyDbRange)
{
    S& d = open(std::vector<double>(8000, 0.0));
    EXPECT_DOUBLE_EQ(d.dbRange().max, -60.0);
    EXPECT_DOUBLE_EQ(d.dbRange().min, -60.0);
    for (int y = 0; y < 512; y += 7)
        for (int x = 50; x < 700; x += 13)
            ASSERT_EQ(d.spectrogram().pixel(x, y), Black) << x << ',' << y;
}

TEST_F(SpectrogramTest, TooShortASoundDrawsNothingAndSaysSo)
{
    S& d = open(std::vector<double>(1000, 100.0));
    EXPECT_EQ(d.text(S::Notice), "データ量が1024(ポイント)より少ないので動きません");
    EXPECT_EQ(d.spectrogram(), Picture(SpectrogramWidth, SpectrogramHeight));
    d.scroll(S::StartBar, ScrollRequest::ThumbTrack, 1000);
    EXPECT_EQ(d.spectrogram(), Picture(SpectrogramWidth, SpectrogramHeight));
}

TEST_F(SpectrogramTest, WidthBarAtZeroTakesOneFrameAndResetsTheStartThumb)
{
    S& d = open(testing::Sine(16000, 500.0, 8000.0, 1000.0));
    // Start bar to its end: S = 16000 is held at count − width − N = 16000 − 3200 − 1024.
    d.scroll(S::StartBar, ScrollRequest::ThumbTrack, 2000);
    EXPECT_EQ(d.range(), (AnalysisRange{11776, 3200}));
    EXPECT_EQ(d.storedPosition(0), 11776 * 2000 / 16000);
    EXPECT_EQ(d.control(S::StartBar).position, 2000); // the thumb stays where it was left
    d.scroll(S::WidthBar, ScrollRequest::ThumbTrack, 0);
    EXPECT_EQ(d.range(), (AnalysisRange{11776, 1024}));
    EXPECT_EQ(d.storedPosition(1), 1024 * 2000 / 16000);
    EXPECT_EQ(d.control(S::WidthBar).position, 0);
    EXPECT_EQ(d.control(S::StartBar).position, 1472);
    // 11776 · 1000 ÷ 8000 = 1472 ms and 1024 · 1000 ÷ 8000 = 128 ms.
    EXPECT_EQ(d.text(S::RangeLabel).rfind("切出し開始1472(ms)から幅128(ms)の区間 区間の全パワー＝", 0), 0u);
}

TEST(SpectrogramSliceTest, SliceIsHeldOneFrameBeforeTheEnd)
{
    int held = -1;
    // trunc(2000 · 1000 ÷ 2000 + 14000) = 15000 > 16000 − 1024: held at 14976, position
    // trunc((16000 − 14000 − 1024) · 2000 ÷ 1000) = 1952.
    EXPECT_EQ(SliceStart(2000, {14000, 1000}, 16000, 1024, &held), 14976u);
    EXPECT_EQ(held, 1952);
    held = -1;
    EXPECT_EQ(SliceStart(1000, {14000, 1000}, 16000, 1024, &held), 14500u);
    EXPECT_EQ(held, -1);
}

TEST(SpectrogramAxesTest, ShortIntervalsLabelEveryTenthAndLongOnesWholeSeconds)
{
    Picture p(SpectrogramWidth, SpectrogramHeight);
    // 1.5 s at 8 kHz: tick u = 1 at trunc(800 ÷ 12000 · 650 + 50) = 93, label "0.1" at x − 10.
    DrawSpectrogramAxes(p, {0, 12000}, 8000, BlackPen);
    EXPECT_EQ(p.pixel(93, 520), Black);
    EXPECT_TRUE(testing::ShowsTextAt(p, 83, 527, "0.1", 30));
    // Frequency labels every 64 rows: u = 128 at y = 384 reads 8000 · 0.5 · 128 ÷ 512 ÷ 1000.
    EXPECT_EQ(p.pixel(40, 384), Black);
    EXPECT_TRUE(testing::ShowsTextAt(p, 15, 379, "1.0", 14));

    // 3 s: tick u = 5 at trunc(4000 ÷ 24000 · 650 + 50) = 158 without a label, u = 10 at 266
    // with "1" at x − 3.
    p = Picture(SpectrogramWidth, SpectrogramHeight);
    DrawSpectrogramAxes(p, {0, 24000}, 8000, BlackPen);
    EXPECT_EQ(p.pixel(158, 520), Black);
    for (int x = 140; x < 158; ++x)
        for (int y = 522; y < 542; ++y)
            ASSERT_EQ(p.pixel(x, y), White) << x << ',' << y;
    EXPECT_TRUE(testing::ShowsTextAt(p, 263, 527, "1", 10));
}

} // namespace
} // namespace kelvora
