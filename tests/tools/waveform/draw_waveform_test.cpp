#include "tools/waveform/draw_waveform.h"

#include "canvas/painter.h"

#include <gtest/gtest.h>

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
    painter.text(710, 470, end);
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
