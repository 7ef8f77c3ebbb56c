// The linear-prediction dialogs on a 1-minute 44.1 kHz sound. One start-bar event of the vowel
// dialog (frame of 1024, order 55: spectrum, analysis, envelope, formants, both pictures) should
// take under 16 ms; one of the optimal-order dialog at N = 1024 (100 analyses and 100 residual
// passes, strip and graph) under 50 ms.

#include "bench/support/dialog_bench.h"
#include "tools/lpc/vowel_dialog.h"
#include "tools/spectral/optimal_order_dialog.h"

#include <benchmark/benchmark.h>

namespace kelvora {
namespace {

constexpr std::uint32_t Rate = 44100;

// A buzz with three formant-like partials and noise, so every frame has something to predict.
const std::vector<double>& MinuteOfSound()
{
    static const std::vector<double> sound =
        bench::PartialsWithNoise(Rate, 60, {{8000, 120}, {5000, 720}, {3000, 1080}, {1500, 2520}}, 500, 2);
    return sound;
}

struct Bench : bench::DialogBench {
    Bench() : DialogBench(MinuteOfSound(), Rate) {}
};

void BM_VowelStartBarEvent(benchmark::State& state)
{
    Bench bench;
    VowelDialog dialog(bench.session, bench.services);
    dialog.init();
    int position = 0;
    for (auto _ : state) {
        position = (position + 397) % 5001;
        dialog.scroll(VowelDialog::StartBar, ScrollRequest::ThumbTrack, position);
        benchmark::DoNotOptimize(dialog.chart().pixel(100, 100));
    }
}
BENCHMARK(BM_VowelStartBarEvent)->Unit(benchmark::kMillisecond);

void BM_OptimalOrderStartBarEvent1024(benchmark::State& state)
{
    Bench bench;
    OptimalOrderDialog dialog(bench.session, bench.services);
    dialog.init();
    dialog.press(OptimalOrderDialog::Size1024);
    int position = 0;
    for (auto _ : state) {
        position = (position + 397) % 5001;
        dialog.scroll(OptimalOrderDialog::StartBar, ScrollRequest::ThumbTrack, position);
        benchmark::DoNotOptimize(dialog.graph().pixel(100, 100));
    }
}
BENCHMARK(BM_OptimalOrderStartBarEvent1024)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kelvora
