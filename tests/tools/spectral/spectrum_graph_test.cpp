#include "tools/spectral/spectrum_graph.h"

#include "dsp/fft.h"
#include "tests/tools/spectral/spectral_test_support.h"
#include "canvas/column_polyline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace kelvora {
namespace {

using testing::CountPixels;
using testing::ShowsTextAt;
using testing::TopmostIn;

constexpr int W = 750, H = 530, PlotH = 495, HalfH = 247;

// Arrays of one graph, owned here.
struct Arrays {
    explicit Arrays(int log2Size)
        : n(std::size_t{1} << log2Size), real(n), imag(n), display(n), lifterWindow(n),
          liftered(n), envelope(n)
    {
    }
    SpectrumGraphArrays spans() { return {real, imag, display, lifterWindow, liftered, envelope}; }
    std::size_t n;
    std::vector<double> real, imag, display, lifterWindow, liftered, envelope;
};

Picture Draw(Arrays& arrays, int log2Size, GraphKind kind, double cursor, double& peak,
             std::uint32_t rate = 8000)
{
    Picture picture(W, H);
    SpectrumGraph(picture, arrays.spans(), log2Size, kind, cursor, peak, {W, H, rate});
    return picture;
}

bool OnlyBlackAndWhite(const Picture& picture)
{
    return CountPixels(picture, Black) + CountPixels(picture, White) == W * H;
}

// A cepstrum of a pulse train (period 40 samples): a real spectrum with a clear envelope.
Arrays PulseTrainCepstrum(int log2Size)
{
    Arrays a(log2Size);
    for (std::size_t i = 0; i < a.n; i += 40)
        a.real[i] = 8000.0 * std::exp(-static_cast<double>(i) / 300.0);
    for (std::size_t i = 1; i < a.n; ++i) // a little decaying ringing after each pulse
        a.real[i] += 0.3 * a.real[i - 1];
    std::fill(a.imag.begin(), a.imag.end(), 0.0);
    dsp::FftInPlace(a.real, a.imag, log2Size, dsp::FftForward);
    for (std::size_t k = 0; k < a.n; ++k) {
        const double p = dsp::NormalisedPower(a.real[k], a.imag[k]);
        a.real[k] = 10 * std::log10(p + 1e-11);
        a.imag[k] = 0;
    }
    dsp::FftInPlace(a.real, a.imag, log2Size, dsp::FftConjugate);
    return a;
}

TEST(SpectrumGraph, SilenceDrawsTheDbCurveAlongTheAxisAndSetsThePeakTo110)
{
    Arrays a(10); // every bin at 0: the 1e-11 floor, exactly -110 dB
    double peak = 0;
    const Picture picture = Draw(a, 10, GraphKind::Db, NoCursor, peak);
    EXPECT_DOUBLE_EQ(peak, 110.0);
    for (int x = 60; x < W; ++x)
        ASSERT_EQ(picture.pixel(x, PlotH), Black) << x;
    // Above the axis only the y axis, its ticks and labels: the plot area is empty.
    for (int y = 1; y < 480; ++y)
        for (int x = 71; x < W; ++x)
            ASSERT_EQ(picture.pixel(x, y), White) << x << "," << y;
    // Ticks at truncate(h t / 5.5) with labels 0 .. -100, the first at the top edge.
    for (int t = 0; t <= 5; ++t) {
        const int y = static_cast<int>(PlotH * t / 5.5);
        EXPECT_EQ(picture.pixel(65, y), Black) << t;
    }
    EXPECT_TRUE(ShowsTextAt(picture, 20, 90 - 7, " -20", 36));
    EXPECT_TRUE(ShowsTextAt(picture, 20, 450 - 7, "-100", 36));
}

TEST(SpectrumGraph, FrequencyTicksAreLabelledInWholeKilohertz)
{
    Arrays a(10);
    double peak = 0;
    const Picture at8000 = Draw(a, 10, GraphKind::Db, NoCursor, peak, 8000);
    const char* labels8000[] = {"0", "1", "2", "3", "4"};
    const Picture at44100 = Draw(a, 10, GraphKind::Power, NoCursor, peak, 44100);
    // Integer divisions all the way: 5.51 kHz reads 5, 22.05 reads 22.
    const char* labels44100[] = {"0", "5", "11", "16", "22"};
    for (int t = 0; t <= 4; ++t) {
        const int xt = 690 * t / 4;
        const int labelX = t == 4 ? xt + 45 : xt + 55;
        EXPECT_TRUE(ShowsTextAt(at8000, labelX, H - 30, labels8000[t], 14)) << t;
        EXPECT_TRUE(ShowsTextAt(at44100, labelX, H - 30, labels44100[t], 14)) << t;
        const int tickX = t == 4 ? xt + 59 : xt + 60;
        EXPECT_EQ(at8000.pixel(tickX, H - 50), Black) << t;
        EXPECT_EQ(at8000.pixel(tickX, H - 45), Black) << t;
    }
    EXPECT_TRUE(ShowsTextAt(at8000, W - 100, H - 20, "(kHz)", 40));
    EXPECT_TRUE(ShowsTextAt(at8000, 0, 8, "(dB)", 28));
}

TEST(SpectrumGraph, LagAxesAreInMilliseconds)
{
    Arrays a(10);
    a.real[0] = 1.0;
    double peak = 0;
    const Picture picture = Draw(a, 10, GraphKind::Autocorrelation, NoCursor, peak, 8000);
    // N t 125 / rate: the axis spans N/2 = 512 samples = 64 ms.
    const char* labels[] = {"0", "16", "32", "48", "64"};
    for (int t = 0; t <= 4; ++t) {
        const int xt = 690 * t / 4;
        EXPECT_TRUE(ShowsTextAt(picture, t == 4 ? xt + 45 : xt + 55, H - 30, labels[t], 14)) << t;
    }
    EXPECT_TRUE(ShowsTextAt(picture, W - 100, H - 20, "τ(ms)", 40));
    EXPECT_TRUE(ShowsTextAt(picture, 0, 30, "cor", 20));
    // The zero line at mid height.
    EXPECT_EQ(picture.pixel(400, HalfH), Black);
}

TEST(SpectrumGraph, CursorAtTheLeftEndReadsBinZeroWithTextsToTheRight)
{
    Arrays a(10);
    a.real[0] = std::pow(10.0, -3.3); // -33 dB: y = 33/110 * 495 = 148.5
    double peak = 0;
    const Picture picture = Draw(a, 10, GraphKind::Db, 0.0, peak);
    // The V rests on the curve at (60, 148), arms 10 px aside and 80 px up.
    EXPECT_EQ(picture.pixel(60, 148), Black);
    EXPECT_EQ(picture.pixel(70, 68), Black);
    EXPECT_EQ(picture.pixel(50, 68), Black);
    EXPECT_EQ(picture.pixel(65, 108), Black);
    EXPECT_EQ(picture.pixel(55, 108), Black);
    // y is in the upper half: texts 20 below, 25 to the right.
    EXPECT_TRUE(ShowsTextAt(picture, 85, 168, " 0.000(kHz)"));
    EXPECT_TRUE(ShowsTextAt(picture, 85, 198, "-33.000(dB)"));
}

TEST(SpectrumGraph, CursorAtTheRightEndReadsIndexHalfNWithTextsToTheLeft)
{
    Arrays a(10);
    a.real[512] = std::pow(10.0, -3.3); // one past the plotted half, present in the array
    double peak = 0;
    const Picture picture = Draw(a, 10, GraphKind::Db, 1.0, peak);
    // The V's point is at x = 750, just off the picture; its left arm shows.
    EXPECT_EQ(picture.pixel(740, 68), Black);
    EXPECT_EQ(picture.pixel(745, 108), Black);
    EXPECT_TRUE(ShowsTextAt(picture, 650, 168, " 4.000(kHz)"));
    EXPECT_TRUE(ShowsTextAt(picture, 650, 198, "-33.000(dB)"));
}

TEST(SpectrumGraph, TextsNearTheRightEdgeAreMovedInsideThePicture)
{
    Arrays a = PulseTrainCepstrum(12);
    double peak = 0;
    const Picture picture = Draw(a, 12, GraphKind::Cepstrum, 1.0, peak, 16000);
    // Where the text must start to end in the last column: found by drawing it alone.
    const auto fitted = [](const std::string& text) {
        Picture alone(400, 20);
        Painter(alone).text(0, 0, text);
        return W - 1 - testing::RightmostIn(alone, Black);
    };
    // The last lag tick, 4096 * 4 * 125 / 16000 = 128 ms, would start at 735 and run off.
    EXPECT_TRUE(ShowsTextAt(picture, fitted("128"), H - 30, "128", W - fitted("128")));
    // The cursor's reading at the right end: 128 ms is 7.81 Hz.
    const std::string reading = "128.00(ms) =   7.81(Hz) ";
    const double y = PlotH - ((a.display[2048] / peak + 1) * 0.5) * PlotH;
    const int textY = static_cast<int>(y + (y > H / 2 ? -200 : 20));
    EXPECT_TRUE(ShowsTextAt(picture, fitted(reading), textY, reading, W - fitted(reading)));
}

TEST(SpectrumGraph, CursorLowOnTheGraphPutsItsTextsAbove)
{
    Arrays a(10); // all at the floor: the V rests on the axis
    double peak = 0;
    const Picture picture = Draw(a, 10, GraphKind::Db, 0.25, peak);
    const int x = static_cast<int>(690 * 0.25 + 60); // 232
    EXPECT_EQ(picture.pixel(x + 10, PlotH - 80), Black);
    EXPECT_TRUE(ShowsTextAt(picture, x + 25, PlotH - 200, " 1.000(kHz)"));
    EXPECT_TRUE(ShowsTextAt(picture, x + 25, PlotH - 170, "-110.000(dB)"));
}

TEST(SpectrumGraph, CepstrumWithoutCursorDrawsOnlyTheBlackCurveAndAxes)
{
    Arrays a = PulseTrainCepstrum(10);
    double peak = 0;
    const Picture picture = Draw(a, 10, GraphKind::Cepstrum, NoCursor, peak);
    EXPECT_TRUE(OnlyBlackAndWhite(picture));
    // Nothing was liftered, and the flat envelope is left undrawn rather than placed by 0/0.
    for (std::size_t k = 0; k < a.n; ++k) {
        ASSERT_EQ(a.liftered[k], 0.0) << k;
        ASSERT_EQ(a.envelope[k], 0.0) << k;
    }
    // The curve is there: black pixels in the plot area beyond the axes.
    int curve = 0;
    for (int y = 1; y < PlotH; ++y)
        for (int x = 61; x < W; ++x)
            curve += picture.pixel(x, y) == Black && y != HalfH;
    EXPECT_GT(curve, 300);
}

TEST(SpectrumGraph, CepstrumScaleLeavesOutElementZero)
{
    Arrays a = PulseTrainCepstrum(10);
    double expected = 0;
    for (std::size_t k = 1; k < a.n; ++k)
        expected = std::max(expected, std::fabs(a.real[k]));
    a.real[0] = 1e9; // a huge mean level
    double peak = 0;
    const SpectrumGraphData data = ComputeSpectrumGraph(a.spans(), 10, GraphKind::Cepstrum, NoCursor, peak);
    EXPECT_DOUBLE_EQ(peak, expected);
    EXPECT_DOUBLE_EQ(data.scale, expected);
}

TEST(SpectrumGraph, CepstrumWithCursorDrawsLifterLifteredAndEnvelope)
{
    Arrays a = PulseTrainCepstrum(10);
    const std::vector<double> input = a.real;
    double peak = 0;
    const Picture picture = Draw(a, 10, GraphKind::Cepstrum, 0.5, peak);
    // The real array comes back unchanged.
    EXPECT_EQ(a.real, input);
    EXPECT_GT(CountPixels(picture, Green), 100);
    EXPECT_GT(CountPixels(picture, Blue), 100);
    EXPECT_GT(CountPixels(picture, Red), 300);
    // The lifter falls from the top edge (1 at lag 0) to mid height at L = 256 lags.
    EXPECT_EQ(TopmostIn(picture, 61, 61, Green), 0);
    const int xAtL = 60 + 255 * 690 / 512;
    EXPECT_GE(TopmostIn(picture, xAtL, xAtL, Green), HalfH - 1);
    // No liftered point beyond L.
    EXPECT_EQ(TopmostIn(picture, xAtL + 2, W - 1, Blue), -1);
    // The envelope is stretched from the top edge to the axis.
    EXPECT_EQ(TopmostIn(picture, 61, W - 1, Red), 0);
}

TEST(SpectrumGraph, AutocorrelationAtHalfLiftersAQuarterOfTheLags)
{
    Arrays a(10);
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0, 1);
    for (std::size_t k = 0; k < a.n; ++k)
        a.real[k] = noise(random);
    double peak = 0;
    const SpectrumGraphData data =
        ComputeSpectrumGraph(a.spans(), 10, GraphKind::Autocorrelation, 0.5, peak);
    EXPECT_EQ(data.lifterPoints, 256u);
    // The lifter window itself: 0.5 (cos(2 pi 0.5 k / L) + 1), L = 256.
    EXPECT_DOUBLE_EQ(a.lifterWindow[0], 1.0);
    EXPECT_NEAR(a.lifterWindow[128], 0.5, 1e-8);
    EXPECT_TRUE(data.envelopeRange.drawable());
}

TEST(SpectrumGraph, GraphPeakOnlyGrowsUntilTheCallerResetsIt)
{
    Arrays a(8);
    double peak = 0;
    a.real[3] = 2.0;
    EXPECT_DOUBLE_EQ(ComputeSpectrumGraph(a.spans(), 8, GraphKind::Power, NoCursor, peak).scale, 2.0);
    a.real[3] = 1.0;
    EXPECT_DOUBLE_EQ(ComputeSpectrumGraph(a.spans(), 8, GraphKind::Power, NoCursor, peak).scale, 2.0);
    a.real[3] = 9.0; // the amplitude display plots sqrt: 3
    EXPECT_DOUBLE_EQ(ComputeSpectrumGraph(a.spans(), 8, GraphKind::Amplitude, NoCursor, peak).scale, 3.0);
    EXPECT_DOUBLE_EQ(peak, 3.0);
}

TEST(SpectrumGraph, PowerGraphPutsThePeakAtFourFifthsAndLabelsTheScale)
{
    Arrays a(10);
    a.real[100] = 0.25;
    a.real[200] = 0.125;
    double peak = 0;
    const Picture picture = Draw(a, 10, GraphKind::Power, NoCursor, peak);
    // y = h - 0.8 h D / M: 495 - 396 for the peak (pixel 98 or 99 by rounding), 297 for half.
    const int x100 = 60 + 100 * 690 / 512, x200 = 60 + 200 * 690 / 512;
    EXPECT_NEAR(TopmostIn(picture, x100, x100, Black), 98.5, 0.6);
    EXPECT_EQ(TopmostIn(picture, x200, x200, Black), static_cast<int>(495 - 0.8 * 495 * 0.5));
    EXPECT_TRUE(ShowsTextAt(picture, 80, 49, "2.5e-01", 50));
    EXPECT_TRUE(ShowsTextAt(picture, 10, 8, "パワ", 26));
    EXPECT_EQ(picture.pixel(65, 99), Black); // the tick at 0.2 h
}

TEST(SpectrumGraph, AllZeroPowerIsDrawnOnTheAxisInsteadOfDividingByZero)
{
    Arrays a(10);
    double peak = 0;
    const Picture picture = Draw(a, 10, GraphKind::Power, 0.5, peak);
    EXPECT_DOUBLE_EQ(peak, 0.0);
    // Between the scale label and the cursor's texts only the y axis is drawn.
    for (int y = 70; y < 290; ++y)
        for (int x = 71; x < W; ++x)
            ASSERT_EQ(picture.pixel(x, y), White) << x << "," << y;
}

TEST(ColumnPolyline, EqualsDrawingEverySegment)
{
    std::mt19937 random(3);
    std::uniform_int_distribution<int> y(-300, 900);
    for (std::size_t count : {1u, 2u, 7u, 800u, 5000u}) {
        std::vector<int> ys(count);
        for (int& v : ys)
            v = y(random);
        const auto x = [count](std::size_t i) { return static_cast<int>(i * 690 / count) + 60; };
        const auto yOf = [&ys](std::size_t i) { return ys[i]; };
        for (bool fromOrigin : {false, true}) {
            const std::optional<QPoint> from = fromOrigin ? std::optional(QPoint(60, 0)) : std::nullopt;
            Picture fast(W, H), slow(W, H);
            Painter fastPainter(fast), slowPainter(slow);
            DrawColumnPolyline(fastPainter, count, x, yOf, from);
            DrawEverySegment(slowPainter, count, x, yOf, from);
            EXPECT_TRUE(fast == slow) << count << " " << fromOrigin;
        }
    }
}

} // namespace
} // namespace kelvora
