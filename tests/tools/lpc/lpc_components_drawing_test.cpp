// The drawings of the principal-component tool against their formulas: the interval band, one
// waterfall curve and the band its eraser blanks, and the scatter plot with its marks.

#include "tools/lpc/lpc_components_drawing.h"
#include "../../support/test_signals.h"

#include "canvas/painter.h"

#include <gtest/gtest.h>

#include <vector>

namespace kelvora {
namespace {

TEST(LpcComponentsDrawing, TheIntervalBandIsThePolylineScaledToItsPeakOver512Columns)
{
    // Noise of peak near 5000, and a loud sample outside the interval that must not set the
    // scale: every segment from (trunc(i × 512 / width), trunc(x / M × 50 + 50)) to the next.
    std::vector<double> x = testing::UniformNoise(60000, 5000, 9);
    x[5] = 30000;
    for (std::size_t width : {300u, 512u, 50000u}) {
        const std::span<const double> interval = std::span(x).subspan(10, width);
        double m = 0;
        for (double s : interval)
            m = std::max(m, std::fabs(s));
        Picture expected(ComponentsPictureWidth, ComponentsPictureHeight);
        Painter painter(expected);
        for (std::size_t i = 1; i < width; ++i)
            painter.line(static_cast<int>(i - 1) * 512 / static_cast<int>(width), static_cast<int>(interval[i - 1] / m * 50 + 50),
                         static_cast<int>(i * 512 / width), static_cast<int>(interval[i] / m * 50 + 50));
        Picture band(ComponentsPictureWidth, ComponentsPictureHeight);
        DrawIntervalBand(band, x, SampleExtremes(x), 10, width);
        EXPECT_TRUE(band == expected) << width;
    }
    // An interval of zeros lies on y = 50 instead of dividing by its peak.
    const std::vector<double> zeros(300, 0.0);
    Picture flat(ComponentsPictureWidth, ComponentsPictureHeight);
    DrawIntervalBand(flat, zeros, SampleExtremes(zeros), 0, 300);
    EXPECT_EQ(flat.pixel(200, 50), Black);
}

TEST(LpcComponentsDrawing, AWaterfallCurveHidesWhatLiesUpTo97RowsBelowIt)
{
    // Levels 50 everywhere in a range 0 … 100: y = 200 − 50 × 200 / 100 + c = 100 + c.
    const dsp::LevelRange range{100.0, 0.0};
    const std::vector<double> levels(512, 50.0);
    Picture p(ComponentsPictureWidth, ComponentsPictureHeight);
    for (int y : {101, 102, 150, 199, 200})
        for (int x = 90; x < 320; ++x)
            p.setPixel(x, y, Black);
    DrawWaterfallCurve(p, levels, 512, 0, range);
    EXPECT_EQ(WaterfallY(50.0, range, 30, 4), 134);
    for (int x = 100; x < 300; ++x)
        EXPECT_EQ(p.pixel(x, 100), Black) << x;
    EXPECT_EQ(p.pixel(150, 101), Black); // the pen sweeps from 2 rows below the curve
    for (int y : {102, 150, 197})
        EXPECT_EQ(p.pixel(150, y), White) << y;
    EXPECT_EQ(p.pixel(150, 199), Black); // … to 97 below
    EXPECT_EQ(p.pixel(98, 150), White);  // and 2 columns before the curve, 1 after
    EXPECT_EQ(p.pixel(300, 150), White);
    EXPECT_EQ(p.pixel(97, 150), Black);
    EXPECT_EQ(p.pixel(301, 150), Black);
    // The curve is begun at (100, D): a black line down its first column.
    EXPECT_EQ(p.pixel(100, WaterfallDepth), Black);
    EXPECT_EQ(p.pixel(100, 300), Black);
}

TEST(LpcComponentsDrawing, ScatterPointsAreScaledToTheLargestScoresAndMarkedInRed)
{
    dsp::ComponentScores scores;
    scores.first = {-2.0, 1.0, 0.5};
    scores.second = {0.0, 4.0, -1.0};
    scores.firstPeak = 2.0;
    scores.secondPeak = 4.0;
    // (650 + s1 × 150 / 2, 250 − s2 × 250 / 4)
    EXPECT_EQ(ScatterPoint(-2.0, 0.0, scores), QPoint(500, 250));
    EXPECT_EQ(ScatterPoint(0.5, -1.0, scores), QPoint(687, 312));
    dsp::ComponentScores flat = scores;
    flat.secondPeak = 0.0; // one component only: every s2 is 0 and lies on the axis
    EXPECT_EQ(ScatterPoint(1.0, 0.0, flat), QPoint(725, 250));

    Picture p(ComponentsPictureWidth, ComponentsPictureHeight);
    DrawPcaScatter(p, scores);
    EXPECT_EQ(p.pixel(799, 100), Black); // the box
    EXPECT_EQ(p.pixel(720, 250), Black); // an axis
    EXPECT_EQ(p.pixel(689, 312), Black); // radius 2 around (687, 312)
    EXPECT_EQ(p.pixel(688, 313), White); // inside the ring, distance 1.4
    EXPECT_EQ(p.pixel(690, 312), White); // outside

    MarkScatterPoint(p, 0.5, -1.0, scores);
    for (int dx : {2, 4, 6})
        EXPECT_EQ(p.pixel(687 + dx, 312), Red) << dx; // radius 4, pen 4: distances 2 … 6
    EXPECT_EQ(p.pixel(687 + 7, 312), White);
    EXPECT_EQ(p.pixel(687, 312), White);

    // Without a scale for s1 there is nothing to place: box and axes only.
    Picture none(ComponentsPictureWidth, ComponentsPictureHeight);
    dsp::ComponentScores zero;
    zero.first = zero.second = {0.0};
    DrawPcaScatter(none, zero);
    EXPECT_EQ(none.pixel(652, 250), Black);
    EXPECT_EQ(none.pixel(651, 248), White); // would be on a ring around (650, 250)
}

} // namespace
} // namespace kelvora
