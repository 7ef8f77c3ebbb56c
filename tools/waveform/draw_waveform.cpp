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
    painter.text(710, 470, Sprintf("%7.4f", static_cast<double>(count) / rate));
    painter.text(30, 50, Sprintf("%5.2f", fullScale));
    painter.text(30, 470, Sprintf("%5.2f", -fullScale));
    return fullScale;
}

struct SamplePlacer {
    double xScale;
    double yScale;
    int x(std::size_t k) const { return PixelCoordinate(static_cast<double>(k) * xScale + FrameLeft); }
    int y(double sample) const { return PixelCoordinate(ZeroY - sample * yScale); }
};

SamplePlacer Placer(std::size_t count, double fullScale)
{
    return {700.0 / static_cast<double>(count - 1), 200.0 / fullScale};
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
