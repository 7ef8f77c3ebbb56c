// The spectrogram on a 1-minute 44.1 kHz sound: one redraw of the 650 columns (transforms of
// 1024 points, levels and pixels) should take under 16 ms on a 2-core machine. The columns are
// shared between threads; the picture must not depend on how many there are, which the
// benchmark checks before it measures. BM_StartBarEvent is the whole event as the dialog runs
// it, with the strip of the interval.

#include "bench/support/dialog_bench.h"
#include "tools/spectral/spectrogram_dialog.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace kelvora {
namespace {

constexpr std::uint32_t Rate = 44100;
constexpr std::size_t Samples = std::size_t{Rate} * 60;

const std::vector<double>& MinuteSound()
{
    static const std::vector<double> sound = [] {
        std::vector<double> x(Samples);
        std::mt19937 random(1);
        std::normal_distribution<double> noise(0, 800);
        for (std::size_t i = 0; i < Samples; ++i) {
            const double t = static_cast<double>(i) / Rate;
            x[i] = 9000 * std::sin(2 * M_PI * 130 * t) + 4000 * std::sin(2 * M_PI * (740 + 200 * std::sin(t)) * t) +
                   noise(random);
        }
        return x;
    }();
    return sound;
}

const AnalysisRange WholeSound{0, Samples - 2048};

void BM_SpectrogramRedraw(benchmark::State& state)
{
    const int threads = static_cast<int>(state.range(0));
    const double maxDb = ScanDbRange(MinuteSound(), 10).max;
    Picture single(SpectrogramWidth, SpectrogramHeight), shared(SpectrogramWidth, SpectrogramHeight);
    DrawSpectrogramImage(single, MinuteSound(), WholeSound, 10, maxDb, 1);
    DrawSpectrogramImage(shared, MinuteSound(), WholeSound, 10, maxDb, threads);
    if (!(single == shared)) {
        state.SkipWithError("the picture depends on the number of threads");
        return;
    }
    Picture picture(SpectrogramWidth, SpectrogramHeight);
    for (auto _ : state) {
        DrawSpectrogramImage(picture, MinuteSound(), WholeSound, 10, maxDb, threads);
        DrawSpectrogramAxes(picture, WholeSound, Rate, BlackPen);
        benchmark::DoNotOptimize(picture.image().constBits());
    }
}
BENCHMARK(BM_SpectrogramRedraw)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StartBarEvent(benchmark::State& state)
{
    bench::DialogBench bench(MinuteSound(), Rate);
    SpectrogramDialog dialog(bench.session, bench.services);
    dialog.init();
    int position = 0;
    for (auto _ : state) {
        dialog.scroll(SpectrogramDialog::StartBar, ScrollRequest::ThumbTrack, position);
        position = (position + 97) % 1500;
    }
}
BENCHMARK(BM_StartBarEvent)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace kelvora
