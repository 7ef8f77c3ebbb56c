#include "tools/waveform/draw_waveform.h"

#include "canvas/painter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace kelvora {
namespace {

Picture Canvas()
{
    return Picture(750, 530);
}

int CountColour(const Picture& picture, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            count += picture.pixel(x, y) == colour;
    return count;
}

// The picture DrawWaveform must give when no waveform is drawn, written out with the label
// texts as they should read.
Picture FrameOnly(const std::string& info, const std::string& half, const std::string& end,
                  const std::string& top, const std::string& bottom)
{
    Picture expected = Canvas();
    Painter painter(expected);
    painter.text(0, 0, "Mono");
    painter.text(60, 0, info);
    painter.setPen(DottedGreenPen);
    painter.rectangle(40, 70, 740, 470);
    painter.line(40, 270, 740, 270);
    painter.line(390, 470, 390, 70);
    painter.setPen(BlackPen);
    painter.text(360, 470, half);
    // At x = 710 where it fits, else as far left as it must go to end at the picture's edge.
    painter.text(std::min(710, 750 - Painter::textWidth(end)), 470, end);
    painter.text(30, 50, top);
    painter.text(30, 470, bottom);
    return expected;
}

TEST(DrawWaveform, SilentSoundDrawsFrameAndRightAlignedLabelsOnly)
{
    Picture canvas = Canvas();
    DrawWaveform(canvas, std::vector<double>(8000, 0.0), {8000, 16, 1}, WaveformScale::Normalised);
    EXPECT_EQ(canvas, FrameOnly("Sampfreq=8000 Bitlength=16  ポイント数=8000  時間=1.000000(s)", " 0.5000",
                                " 1.0000", " 0.00", "-0.00"));
    EXPECT_EQ(CountColour(canvas, Blue), 0);
}

TEST(DrawWaveform, OneSampleDrawsNoWaveformWithAbsoluteLabels)
{
    Picture canvas = Canvas();
    DrawWaveform(canvas, std::vector<double>{1000.0}, {8000, 8, 1}, WaveformScale::Absolute);
    EXPECT_EQ(canvas, FrameOnly("Sampfreq=8000 Bitlength=8  ポイント数=1  時間=0.000125(s)", " 0.0000",
                                " 0.0001", "32767.00", "-32767.00"));
}

TEST(DrawWaveform, TwoSamplesSpanTheFrame)
{
    Picture canvas = Canvas();
    DrawWaveform(canvas, std::vector<double>{0.0, 0.0}, {8000, 16, 1}, WaveformScale::Absolute);
    for (int x = 40; x <= 740; ++x)
        ASSERT_EQ(canvas.pixel(x, 270), Blue) << x;
    EXPECT_EQ(canvas.pixel(39, 270), White);
    EXPECT_EQ(CountColour(canvas, Blue), 701);
}

TEST(DrawWaveform, FullScaleSamplesReachTheFrameEdges)
{
    Picture canvas = Canvas();
    DrawWaveform(canvas, std::vector<double>{32767.0, -32767.0, 16383.5}, {8000, 16, 1}, WaveformScale::Absolute);
    EXPECT_EQ(canvas.pixel(40, 70), Blue);   // first sample, top edge
    EXPECT_EQ(canvas.pixel(390, 470), Blue); // x = 1 * 700 / 2 + 40, bottom edge
    EXPECT_EQ(canvas.pixel(740, 170), Blue); // 270 - 16383.5 * 200 / 32767 = 170
}

TEST(DrawWaveform, NormalisedScaleMakesThePeakTouchTheFrame)
{
    Picture canvas = Canvas();
    DrawWaveform(canvas, std::vector<double>{0.0, -50.0, 25.0}, {8000, 16, 1}, WaveformScale::Normalised);
    EXPECT_EQ(canvas.pixel(390, 470), Blue);
    EXPECT_EQ(canvas.pixel(740, 170), Blue);
}

// Positions straight from the drawing's formulas, x = trunc(k · 700 ÷ (count − 1) + 40) and
// y = trunc(270 − s · 200 ÷ F), over every length up to 160 and a few long ones, with peaks
// that rounding in another order puts a pixel outside the frame (an 80-sample sound ended at
// x = 739; normalised peaks of 83 and 3004 rose to y = 69).
TEST(DrawWaveform, EverySampleSitsWhereTheFormulasPutIt)
{
    std::vector<std::size_t> counts;
    for (std::size_t count = 2; count <= 160; ++count)
        counts.push_back(count);
    counts.insert(counts.end(), {701, 1399, 4410});
    std::mt19937 random(11);
    for (const double peak : {83.0, 3004.0, 7.0, 12345.0, 32767.0}) {
        for (const std::size_t count : counts) {
            std::uniform_int_distribution<int> value(-static_cast<int>(peak), static_cast<int>(peak));
            std::vector<double> samples(count);
            for (double& s : samples)
                s = value(random);
            samples[count / 3] = (count % 2 == 0) ? peak : -peak;
            for (const WaveformScale scale : {WaveformScale::Absolute, WaveformScale::Normalised}) {
                const double fullScale = scale == WaveformScale::Absolute ? 32767.0 : peak;
                Picture canvas = Canvas();
                DrawWaveform(canvas, samples, {8000, 16, 1}, scale);
                for (std::size_t k = 0; k < count; ++k) {
                    const int x = static_cast<int>(static_cast<double>(k) * 700 / static_cast<double>(count - 1) + 40);
                    const int y = static_cast<int>(270 - samples[k] * 200 / fullScale);
                    ASSERT_EQ(canvas.pixel(x, y), Blue) << count << " samples, peak " << peak << ", k " << k;
                }
                for (int x = 0; x < 750; ++x)
                    ASSERT_NE(canvas.pixel(x, 69), Blue) << count << " samples, peak " << peak;
            }
        }
    }
}

// The end time of a ten-minute sound, "600.0000", is wider than the 40 pixels right of x = 710:
// it must move left whole rather than lose its last digits at the edge.
TEST(DrawWaveform, ALongEndTimeEndsInsideThePicture)
{
    auto blackIn = [](const Picture& picture, int left) {
        int count = 0;
        for (int y = 470; y < 500; ++y)
            for (int x = left; x < picture.width(); ++x)
                count += picture.pixel(x, y) == Black;
        return count;
    };
    Picture alone(200, 530);
    Painter(alone).text(0, 470, "600.0000");
    ASSERT_GT(blackIn(alone, 0), 0);

    Picture canvas = Canvas();
    DrawWaveform(canvas, std::vector<double>(6000, 0.0), {10, 16, 1}, WaveformScale::Absolute);
    // Right of the centre label (x = 360, seven characters) only the end label is black.
    EXPECT_EQ(blackIn(canvas, 560), blackIn(alone, 0));
}

TEST(DrawWaveform, PerColumnDrawingGivesThePixelsOfEverySegment)
{
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 6000.0);
    for (std::size_t count : {3u, 700u, 701u, 702u, 1500u, 44100u, 300000u}) {
        std::vector<double> samples(count);
        for (std::size_t i = 0; i < count; ++i)
            samples[i] = 20000.0 * std::sin(i * 0.013) * std::exp(-double(i) / count) + noise(random);
        samples[count / 2] = 40000.0; // past full scale: leaves the frame
        for (WaveformScale scale : {WaveformScale::Absolute, WaveformScale::Normalised}) {
            Picture fast = Canvas(), reference = Canvas();
            DrawWaveform(fast, samples, {44100, 16, 2}, scale);
            DrawWaveformEverySegment(reference, samples, {44100, 16, 2}, scale);
            ASSERT_EQ(fast, reference) << count << " samples";
        }
    }
}

TEST(DrawWaveform, ReportsProgressOncePerSecond)
{
    std::vector<std::string> texts;
    Picture canvas = Canvas();
    DrawWaveform(canvas, std::vector<double>(24000, 1.0), {8000, 16, 1}, WaveformScale::Absolute,
                 [&texts](const std::string& text) { texts.push_back(text); });
    EXPECT_EQ(texts, (std::vector<std::string>{"データを描画中\n　0秒分(1％)", "データを描画中\n　1秒分(34％)",
                                               "データを描画中\n　2秒分(67％)"}));
    texts.clear();
    DrawWaveform(canvas, std::vector<double>(100, 1.0), {8000, 16, 2}, WaveformScale::Absolute,
                 [&texts](const std::string& text) { texts.push_back(text); });
    EXPECT_EQ(texts, (std::vector<std::string>{"ステレオデータを描画中   左、右の順\n　0秒分(1％)"}));
}

} // namespace
} // namespace kelvora
