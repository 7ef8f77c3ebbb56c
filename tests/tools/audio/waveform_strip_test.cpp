// The two-band strip: its fast drawing against the step-by-step reference, and pixels worked
// out by hand from the layout (zero lines at 50 and 150, divider at 100, frame rows 3 … 97).

#include "tools/audio/waveform_strip.h"
#include "../../support/test_signals.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace kelvora {
namespace {

bool IsRed(QRgb pixel) { return pixel == Red; }

TEST(WaveformStripTest, FastDrawingGivesThePixelsOfDrawingEverySegment)
{
    struct Case {
        std::vector<double> signal;
        std::uint32_t start, width;
    };
    std::vector<Case> cases = {
        {testing::UniformNoise(16000, 30000, 1), 800, 14400},
        {testing::UniformNoise(50000, 20000, 2), 0, 50000},
        {testing::UniformNoise(50000, 20000, 3), 49990, 10},
        {testing::UniformNoise(50000, 40000, 4), 123, 1},          // beyond full scale: the band leaves its half
        {testing::UniformNoise(7, 32767, 5), 2, 3},                // fewer points than columns
        {testing::UniformNoise(799, 10000, 6), 5, 700},
        {testing::UniformNoise(800, 10000, 7), 0, 800},
        {testing::UniformNoise(801, 10000, 8), 1, 799},
        {testing::UniformNoise(3000, 100, 9), 2000, 1000},
    };
    std::vector<double> quiet = testing::UniformNoise(5000, 8000, 10);
    std::fill(quiet.begin() + 1000, quiet.begin() + 3000, 0.0);
    cases.push_back({quiet, 1200, 900}); // a silent interval
    WaveformStrip strip;
    for (const Case& c : cases) {
        strip.draw(c.signal, c.start, c.width);
        EXPECT_TRUE(strip.bitmap() == DrawWaveformStripEverySegment(c.signal, c.start, c.width))
            << "count " << c.signal.size() << " frame " << c.start << "+" << c.width;
    }
    // Moving the frame over a kept whole-signal band still matches.
    const std::vector<double> signal = testing::UniformNoise(40000, 25000, 11);
    for (std::uint32_t start : {0u, 9000u, 39000u}) {
        strip.draw(signal, start, 1000);
        EXPECT_TRUE(strip.bitmap() == DrawWaveformStripEverySegment(signal, start, 1000)) << start;
    }
}

TEST(WaveformStripTest, LinesFrameAndBandsSitWhereTheLayoutPutsThem)
{
    std::vector<double> signal(16000, 0.0);
    WaveformStrip strip;
    EXPECT_EQ(strip.draw(signal, 800, 14400), 16 + 15); // one progress step per 1000 points of each band
    const Picture& p = strip.bitmap();
    ASSERT_EQ(p.width(), 800);
    ASSERT_EQ(p.height(), 200);
    // Frame: x1 = 800 × 800 ÷ 16000 = 40, x2 = 15200 × 800 ÷ 16000 = 760, two pixels wide.
    for (int x : {39, 40, 759, 760}) {
        EXPECT_TRUE(IsRed(p.pixel(x, 50))) << x;
        EXPECT_TRUE(IsRed(p.pixel(x, 97))) << x;
        EXPECT_EQ(p.pixel(x, 99), White) << x;
    }
    EXPECT_EQ(p.pixel(38, 50), Black);
    EXPECT_EQ(p.pixel(41, 50), Black);
    for (int y : {2, 3, 96, 97})
        EXPECT_TRUE(IsRed(p.pixel(400, y))) << y;
    EXPECT_EQ(p.pixel(400, 4), White);
    EXPECT_EQ(p.pixel(400, 1), White);
    // Divider and both zero lines run the full width; a silent interval lies flat on its line.
    for (int x : {0, 300, 799}) {
        EXPECT_EQ(p.pixel(x, 100), Black);
        EXPECT_EQ(p.pixel(x, 150), Black);
    }
    for (int y = 101; y < 200; ++y) {
        if (y != 150) {
            EXPECT_EQ(p.pixel(400, y), White) << y;
        }
    }
}

TEST(WaveformStripTest, BandsAreScaledToFullScaleAboveAndToTheIntervalsPeakBelow)
{
    // Whole signal: 4 points at x = 0, 200, 400, 600. Interval 1 … 2: points at x = 0 and 400.
    const std::vector<double> signal = {0.0, 32767.0, -32767.0, -16383.5};
    WaveformStrip strip;
    strip.draw(signal, 1, 2);
    const Picture& p = strip.bitmap();
    EXPECT_EQ(p.pixel(200, 0), Black);   // 50 − 1 × 50
    EXPECT_EQ(p.pixel(400, 100), Black); // 50 + 50
    // (400, 100) to (600, 75, under the frame's right edge): 87.5 at x = 500, rounded up.
    EXPECT_EQ(p.pixel(500, 87), Black);
    EXPECT_EQ(p.pixel(500, 86), White);
    EXPECT_EQ(p.pixel(500, 88), White);
    // Below, the peak is 32767: the path runs from the zero line up to the first point (0, 100)
    // and down to the second at the band's bottom edge (400, 200, just outside the picture).
    EXPECT_EQ(p.pixel(0, 120), Black);
    EXPECT_EQ(p.pixel(100, 125), Black); // a quarter of the way down: 125.25
    EXPECT_EQ(p.pixel(100, 124), White);
    EXPECT_EQ(p.pixel(396, 199), Black);
    EXPECT_EQ(p.pixel(399, 199), White);
    EXPECT_EQ(p.pixel(700, 120), White);
}

TEST(WaveformStripTest, ShrinkingKeepsThinLinesAndTheCursorMarksTheLowerBand)
{
    Picture source(800, 200);
    for (int x = 0; x < 800; ++x)
        source.setPixel(x, 50, Black);
    source.setPixel(123, 171, Red);
    const Picture shown = ShrinkKeepingLines(source, 650, 120);
    for (int x = 0; x < 650; ++x)
        ASSERT_EQ(shown.pixel(x, 30), Black) << x; // row 50 lands in shown row 50 × 120 ÷ 200
    // Shown column 100 covers source columns 123 (100 × 800 ÷ 650) … 123, shown row 103 covers
    // rows 171 … 172: the single red pixel is kept there.
    EXPECT_EQ(shown.pixel(100, 103), Red);
    EXPECT_EQ(shown.pixel(99, 103), White);
    EXPECT_EQ(shown.pixel(100, 102), White);
    EXPECT_EQ(shown.pixel(10, 29), White);

    WaveformStrip strip;
    const std::vector<double> silence(100, 0.0);
    strip.draw(silence, 10, 50);
    strip.showCursor(325, 1);
    EXPECT_TRUE(IsRed(strip.shown().pixel(325, StripCursorTop)));
    EXPECT_TRUE(IsRed(strip.shown().pixel(325, StripCursorBottom - 1)));
    EXPECT_FALSE(IsRed(strip.shown().pixel(325, StripCursorTop - 1)));
    EXPECT_FALSE(IsRed(strip.shown().pixel(324, 100)));
    strip.showCursor(100, 4); // a four-pixel pen covers 98 … 101
    EXPECT_FALSE(IsRed(strip.shown().pixel(325, 100)));
    EXPECT_TRUE(IsRed(strip.shown().pixel(98, 100)));
    EXPECT_TRUE(IsRed(strip.shown().pixel(101, 100)));
    EXPECT_FALSE(IsRed(strip.shown().pixel(102, 100)));
    strip.hideCursor();
    EXPECT_FALSE(IsRed(strip.shown().pixel(100, 100)));
}

TEST(SampleExtremesTest, RangesMatchAPlainSearch)
{
    const std::vector<double> signal = testing::UniformNoise(5000, 1000, 12);
    const SampleExtremes extremes(signal);
    std::mt19937 random(13);
    for (int trial = 0; trial < 300; ++trial) {
        const std::size_t a = random() % signal.size(), b = random() % signal.size();
        const std::size_t begin = std::min(a, b), end = std::max(a, b) + 1;
        const auto [lo, hi] = std::minmax_element(signal.begin() + static_cast<long>(begin),
                                                  signal.begin() + static_cast<long>(end));
        const auto found = extremes.range(begin, end);
        ASSERT_EQ(found.first, *lo) << begin << ".." << end;
        ASSERT_EQ(found.second, *hi) << begin << ".." << end;
    }
}

} // namespace
} // namespace kelvora
