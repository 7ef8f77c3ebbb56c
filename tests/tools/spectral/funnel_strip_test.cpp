#include "tools/spectral/funnel_strip.h"

#include "tests/tools/spectral/spectral_test_support.h"
#include "canvas/column_polyline.h"

#include <gtest/gtest.h>

#include <random>

namespace kelvora {
namespace {

using testing::CountPixels;

TEST(FunnelStrip, BandsAndFunnelLieWhereTheRuleSaysInAnyHeight)
{
    // 800 x 180: H/4 = 45, H/2 = 90, 6H/10 = 108, 3H/4 = 135.
    const std::vector<double> signal(8000, 500.0); // every sample at the full scale
    const std::vector<double> frame(1000, -500.0);
    Picture strip(800, 180);
    DrawFunnelStripFully(strip, signal, StripScale(signal), 2000, frame);
    for (int x = 0; x < 800; ++x) {
        EXPECT_EQ(strip.pixel(x, 0), Black) << x;   // the signal at +scale: H/4 - H/4
        EXPECT_EQ(strip.pixel(x, 90), Black) << x;  // the band's lower edge
        EXPECT_EQ(strip.pixel(x, 135), Black) << x; // the lower band's centre line
        EXPECT_EQ(strip.pixel(x, 180 - 1), White) << x;
    }
    // The interval [2000, 3000) of 8000 samples spans x = 200 .. 300.
    for (int y = 0; y <= 90; ++y) {
        EXPECT_EQ(strip.pixel(200, y), Black) << y;
        EXPECT_EQ(strip.pixel(300, y), Black) << y;
    }
    EXPECT_EQ(strip.pixel(0, 108), Black);
    EXPECT_EQ(strip.pixel(799, 108), Black);
    // The frame at -scale: 3H/4 + H/4 = 180, just below the picture; nothing else is drawn
    // between the funnel's ends and the lower band.
    EXPECT_EQ(strip.pixel(400, 150), White);
}

TEST(FunnelStrip, BandsEqualDrawingEverySampleSegment)
{
    std::mt19937 random(9);
    std::normal_distribution<double> noise(0, 5000);
    // Fewer samples than columns, about as many, and many per column.
    for (std::size_t count : {std::size_t{300}, std::size_t{801}, std::size_t{54321}}) {
        std::vector<double> signal(count);
        for (double& v : signal)
            v = noise(random);
        const double scale = StripScale(signal);
        for (int height : {400, 180}) {
            Picture fast(800, height);
            DrawStripUpperBand(fast, signal, scale);
            DrawStripLowerBand(fast, signal, scale);
            Picture slow(800, height);
            Painter painter(slow);
            painter.line(0, height / 2, 800, height / 2);
            painter.line(0, height / 4, 800, height / 4);
            painter.line(0, 3 * height / 4, 800, 3 * height / 4);
            const auto x = [count](std::size_t i) { return static_cast<int>(i * 800 / count); };
            for (int band : {1, 3}) {
                const double centre = band * height / 4;
                DrawEverySegment(painter, count, x, [&](std::size_t i) {
                    return static_cast<int>(centre - (signal[i] / scale) * height * 0.25);
                });
            }
            EXPECT_TRUE(fast == slow) << count << " " << height;
        }
    }
}

TEST(FunnelStrip, SilenceIsDrawnOnTheCentreLine)
{
    const std::vector<double> silence(5000, 0.0);
    EXPECT_EQ(StripScale(silence), 1.0);
    Picture strip(800, 200);
    DrawStripUpperBand(strip, silence, StripScale(silence));
    // Only the two horizontal lines: the signal lies on the H/4 line.
    EXPECT_EQ(CountPixels(strip, Black), 2 * 800);
}

TEST(FunnelStrip, UpperBandStepsProgressOncePerThousandSamples)
{
    const std::vector<double> signal(2500, 1.0);
    Picture strip(800, 400);
    int steps = 0;
    DrawStripUpperBand(strip, signal, 1.0, 1000, [&steps] { ++steps; });
    EXPECT_EQ(steps, 3); // at 0, 1000 and 2000
}

TEST(FunnelStrip, CachedBandGivesTheSamePixelsAsAFullRedraw)
{
    std::mt19937 random(4);
    std::normal_distribution<double> noise(0, 8000);
    std::vector<double> signal(123457);
    for (double& v : signal)
        v = noise(random);
    FunnelStrip cached(800, 180);
    cached.setSignal(signal, StripScale(signal));
    for (std::size_t start : {std::size_t{0}, std::size_t{777}, signal.size() - 4096}) {
        const std::span<const double> interval(signal.data() + start, 4096);
        Picture fast, full(800, 180);
        cached.drawInterval(fast, start, interval);
        DrawFunnelStripFully(full, signal, StripScale(signal), start, interval);
        EXPECT_TRUE(fast == full) << start;
    }
    // Drawing an interval does not touch the cached band.
    Picture band(800, 180);
    DrawStripUpperBand(band, signal, StripScale(signal));
    EXPECT_TRUE(cached.upperBand() == band);
}

} // namespace
} // namespace kelvora
