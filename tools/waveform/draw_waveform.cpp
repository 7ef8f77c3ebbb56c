#include "tools/waveform/draw_waveform.h"

#include "canvas/column_polyline.h"
#include "canvas/painter.h"
#include "util/sprintf.h"

#include <algorithm>
#include <cmath>

namespace kelvora {
namespace {

constexpr int FrameLeft = 40, FrameRight = 740, FrameTop = 70, FrameBottom = 470, ZeroY = 270;

double FullScale(std::span<const double> samples, WaveformScale scale)
{
    if (scale == WaveformScale::Absolute)
        return 32767.0;
    double peak = 0.0;
    for (double s : samples)
        peak = std::max(peak, std::fabs(s));
    return peak;
}

// The end-time label stands at x = 710 where it fits; a longer time ("600.0000") moves left just
// enough to end inside the picture instead of losing its last digits at the edge.
int EndTimeLabelX(const Picture& canvas, const std::string& label)
{
    return std::min(710, canvas.width() - Painter::textWidth(label));
}

// Frame, zero and centre lines and the labels; returns the full scale.
double DrawFrameAndLabels(Picture& canvas, std::span<const double> samples,
                          const WaveformInfo& info, WaveformScale scale)
{
    Painter painter(canvas);
    const std::uint32_t rate = std::max<std::uint32_t>(info.sampleRate, 1);
    const auto count = static_cast<unsigned>(samples.size());
    painter.text(0, 0, info.channels == 1 ? "Mono" : "Stereo");
    painter.text(60, 0, Sprintf("Sampfreq=%d Bitlength=%d  ポイント数=%d  時間=%f(s)",
                                static_cast<int>(info.sampleRate), info.bitsPerSample,
                                static_cast<int>(count), static_cast<double>(count) / rate));
    const double fullScale = FullScale(samples, scale);

    painter.setPen(DottedGreenPen);
    painter.rectangle(FrameLeft, FrameTop, FrameRight, FrameBottom);
    painter.line(FrameLeft, ZeroY, FrameRight, ZeroY);
    painter.line(390, FrameBottom, 390, FrameTop);

    painter.setPen(BlackPen);
    painter.text(360, 470, Sprintf("%7.4f", static_cast<double>(count / 2) / rate));
    const std::string endTime = Sprintf("%7.4f", static_cast<double>(count) / rate);
    painter.text(EndTimeLabelX(canvas, endTime), 470, endTime);
    painter.text(30, 50, Sprintf("%5.2f", fullScale));
    painter.text(30, 470, Sprintf("%5.2f", -fullScale));
    return fullScale;
}

// x(k) = trunc(k · 700 ÷ (count − 1) + 40) and y = trunc(270 − s · 200 ÷ F), evaluated in exactly
// that order. Multiplying by a precomputed 700 ÷ (count − 1) or 200 ÷ F rounds differently and
// puts the last of 80 samples on x = 739, or a normalised peak of 83 on y = 69, a pixel outside
// the frame; in this order the first and last samples and the peaks land on the frame's edges.
struct SamplePlacer {
    double lastIndex; // count − 1
    double fullScale;
    int x(std::size_t k) const { return PixelCoordinate(static_cast<double>(k) * 700.0 / lastIndex + FrameLeft); }
    int y(double sample) const { return PixelCoordinate(ZeroY - sample * 200.0 / fullScale); }
};

SamplePlacer Placer(std::size_t count, double fullScale)
{
    return {static_cast<double>(count - 1), fullScale};
}

std::string ProgressText(const WaveformInfo& info, std::size_t i, std::size_t count, std::uint32_t rate)
{
    const unsigned seconds = static_cast<unsigned>(i / rate);
    const unsigned percent = static_cast<unsigned>(i * 100 / count + 1);
    return info.channels == 1
               ? Sprintf("データを描画中\n　%d秒分(%d％)", seconds, percent)
               : Sprintf("ステレオデータを描画中   左、右の順\n　%d秒分(%d％)", seconds, percent);
}

} // namespace

void DrawWaveform(Picture& canvas, std::span<const double> samples, const WaveformInfo& info,
                  WaveformScale scale, const std::function<void(const std::string&)>& progress)
{
    const double fullScale = DrawFrameAndLabels(canvas, samples, info, scale);
    const std::size_t count = samples.size();
    if (fullScale == 0.0 || count < 2)
        return;
    const std::uint32_t rate = std::max<std::uint32_t>(info.sampleRate, 1);
    const SamplePlacer place = Placer(count, fullScale);
    Painter painter(canvas);
    painter.setPen({Blue, PenStyle::Solid});
    std::size_t nextProgress = 0;
    // Reports once per second of signal, for every segment start (the last sample starts none).
    const auto xOf = [&](std::size_t k) {
        if (k == nextProgress && k + 1 < count) {
            if (progress)
                progress(ProgressText(info, k, count, rate));
            nextProgress += rate;
        }
        return place.x(k);
    };
    DrawColumnPolyline(painter, count, xOf, [&](std::size_t k) { return place.y(samples[k]); });
}

void DrawWaveformEverySegment(Picture& canvas, std::span<const double> samples,
                              const WaveformInfo& info, WaveformScale scale)
{
    const double fullScale = DrawFrameAndLabels(canvas, samples, info, scale);
    const std::size_t count = samples.size();
    if (fullScale == 0.0 || count < 2)
        return;
    const SamplePlacer place = Placer(count, fullScale);
    Painter painter(canvas);
    painter.setPen({Blue, PenStyle::Solid});
    DrawEverySegment(painter, count, [&](std::size_t k) { return place.x(k); },
                     [&](std::size_t k) { return place.y(samples[k]); });
}

} // namespace kelvora
