// The linear-prediction dialogs on a 1-minute 44.1 kHz sound. One start-bar event of the vowel
// dialog (frame of 1024, order 55: spectrum, analysis, envelope, formants, both pictures) should
// take under 16 ms; one of the optimal-order dialog at N = 1024 (100 analyses and 100 residual
// passes, strip and graph) under 50 ms.

#include "platform/scripted_ui.h"
#include "tools/lpc/vowel_dialog.h"
#include "tools/spectral/optimal_order_dialog.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace kelvora {
namespace {

constexpr std::uint32_t Rate = 44100;
constexpr std::size_t Samples = std::size_t{Rate} * 60;

// A buzz with three formant-like partials and noise, so every frame has something to predict.
const std::vector<double>& MinuteOfSound()
{
    static const std::vector<double> sound = [] {
        std::vector<double> x(Samples);
        std::mt19937 random(2);
        std::normal_distribution<double> noise(0, 500);
        for (std::size_t i = 0; i < Samples; ++i) {
            const double t = static_cast<double>(i) / Rate;
            x[i] = 8000 * std::sin(2 * M_PI * 120 * t) + 5000 * std::sin(2 * M_PI * 720 * t) +
                   3000 * std::sin(2 * M_PI * 1080 * t) + 1500 * std::sin(2 * M_PI * 2520 * t) + noise(random);
        }
        return x;
    }();
    return sound;
}

struct Bench {
    Bench()
    {
        session.traceSlots.fill(SlotNumber::X, MinuteOfSound());
        session.soundFormat.samplesPerSecond = Rate;
    }
    Session session;
    platform::ScriptedFileChooser files;
    platform::RecordingMessageBox messages;
    platform::RecordingUrlOpener urls;
    ScriptedDialogRunner dialogs;
    Services services{files, messages, urls, dialogs, ""};
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
