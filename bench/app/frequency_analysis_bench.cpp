// The frequency-analysis dialog on a 10-minute 44.1 kHz sound at N = 65536: one start-bar event
// (cut, transform, graph, strip) should take under 50 ms on a 2-core machine. The whole-sound
// band of the strip is drawn once per opening; BM_WholeStripRedraw shows what every event would
// cost if it were drawn each time.

#include "bench/support/dialog_bench.h"
#include "tools/spectral/frequency_analysis_dialog.h"

#include <benchmark/benchmark.h>

namespace kelvora {
namespace {

constexpr std::uint32_t Rate = 44100;

// A vowel-like buzz with noise, so every frame has a real spectrum to draw.
const std::vector<double>& LongSound()
{
    static const std::vector<double> sound =
        bench::PartialsWithNoise(Rate, 600, {{9000, 130}, {4000, 740}, {2000, 1220}}, 800, 1);
    return sound;
}

struct Bench : bench::DialogBench {
    Bench() : DialogBench(LongSound(), Rate) {}
};

std::unique_ptr<FrequencyAnalysisDialog> OpenAt65536(Bench& bench, int displayRadio)
{
    auto dialog = std::make_unique<FrequencyAnalysisDialog>(bench.session, bench.services);
    dialog->init();
    dialog->press(FrequencyAnalysisDialog::Size65536);
    dialog->press(displayRadio);
    return dialog;
}

void StartBarEvent(benchmark::State& state, int displayRadio)
{
    Bench bench;
    auto dialog = OpenAt65536(bench, displayRadio);
    int position = 0;
    for (auto _ : state) {
        position = (position + 397) % 5001;
        dialog->scroll(FrequencyAnalysisDialog::StartBar, ScrollRequest::ThumbTrack, position);
        benchmark::DoNotOptimize(dialog->graph().pixel(100, 100));
    }
}

void BM_StartBarEventDb(benchmark::State& state)
{
    StartBarEvent(state, FrequencyAnalysisDialog::ShowDb);
}
BENCHMARK(BM_StartBarEventDb)->Unit(benchmark::kMillisecond);

void BM_StartBarEventCepstrum(benchmark::State& state)
{
    StartBarEvent(state, FrequencyAnalysisDialog::ShowCepstrum);
}
BENCHMARK(BM_StartBarEventCepstrum)->Unit(benchmark::kMillisecond);

// The cursor bar on a cepstrum: redraw with lifter, liftered cepstrum and envelope transform.
void BM_CursorEventCepstrum(benchmark::State& state)
{
    Bench bench;
    auto dialog = OpenAt65536(bench, FrequencyAnalysisDialog::ShowCepstrum);
    dialog->scroll(FrequencyAnalysisDialog::StartBar, ScrollRequest::ThumbTrack, 2500);
    int position = 0;
    for (auto _ : state) {
        position = (position + 37) % 1025;
        dialog->scroll(FrequencyAnalysisDialog::CursorBar, ScrollRequest::ThumbTrack, position);
        benchmark::DoNotOptimize(dialog->graph().pixel(100, 100));
    }
}
BENCHMARK(BM_CursorEventCepstrum)->Unit(benchmark::kMillisecond);

// Opening: includes drawing the whole-sound band once.
void BM_Opening(benchmark::State& state)
{
    Bench bench;
    for (auto _ : state) {
        FrequencyAnalysisDialog dialog(bench.session, bench.services);
        dialog.init();
        benchmark::DoNotOptimize(dialog.strip().pixel(10, 10));
    }
}
BENCHMARK(BM_Opening)->Unit(benchmark::kMillisecond);

// Baseline: the strip drawn afresh, as an event would cost without the cached band.
void BM_WholeStripRedraw(benchmark::State& state)
{
    const std::vector<double>& sound = LongSound();
    const double scale = StripScale(sound);
    const std::span<const double> frame(sound.data() + 1000000, 65536);
    Picture strip(800, 400);
    for (auto _ : state) {
        DrawFunnelStripFully(strip, sound, scale, 1000000, frame);
        benchmark::DoNotOptimize(strip.pixel(10, 10));
    }
}
BENCHMARK(BM_WholeStripRedraw)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kelvora
