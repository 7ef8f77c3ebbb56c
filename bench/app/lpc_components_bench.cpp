// The LPC principal-component dialog on a 1-minute 44.1 kHz sound. One range change (the start
// bar: the strip, the interval band, 1000 analyses at N = 1024 and p = 30, the waterfall of 35
// spectra) should take under 50 ms; "全計算" (covariance over 1000 rows, the eigen solution of
// the 29 x 29 covariance, scores and scatter) under 100 ms. The analyses alone and the
// components alone are measured beside them.

#include "dsp/lpc_components.h"
#include "bench/support/dialog_bench.h"
#include "tools/lpc/lpc_components_dialog.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace kelvora {
namespace {

constexpr std::uint32_t Rate = 44100;
constexpr std::size_t Samples = std::size_t{Rate} * 60;

// A buzz through a gliding resonance with some noise: every frame's coefficients differ.
const std::vector<double>& Speechlike()
{
    static const std::vector<double> sound = [] {
        std::vector<double> x(Samples);
        std::mt19937 random(1);
        std::normal_distribution<double> noise(0, 300);
        double y1 = 0, y2 = 0;
        for (std::size_t i = 0; i < Samples; ++i) {
            const double t = static_cast<double>(i) / Rate;
            const double formant = 500 + 1500 * (0.5 + 0.5 * std::sin(2 * M_PI * 0.3 * t));
            const double r = 0.995, c = 2 * r * std::cos(2 * M_PI * formant / Rate);
            const double pulse = (i % 340 == 0 ? 3000.0 : 0.0) + noise(random);
            const double y = pulse + c * y1 - r * r * y2;
            y2 = y1;
            y1 = y;
            x[i] = std::clamp(y, -32767.0, 32767.0);
        }
        return x;
    }();
    return sound;
}

struct Bench : bench::DialogBench {
    Bench() : DialogBench(Speechlike(), Rate)
    {
        dialog = std::make_unique<LpcComponentsDialog>(session, services);
        dialog->init();
    }
    std::unique_ptr<LpcComponentsDialog> dialog;
};

// Width bar position 200 gives a 6-second interval, 2000 the whole minute (whose waveform band
// runs over 2.6 million samples).
void BM_RangeChange(benchmark::State& state)
{
    Bench bench;
    bench.dialog->scroll(LpcComponentsDialog::WidthBar, ScrollRequest::ThumbTrack, static_cast<int>(state.range(0)));
    int position = 0;
    for (auto _ : state) {
        position = (position + 97) % 1800;
        bench.dialog->scroll(LpcComponentsDialog::StartBar, ScrollRequest::ThumbTrack, position);
        benchmark::DoNotOptimize(bench.dialog->drawing().pixel(150, 150));
    }
}
BENCHMARK(BM_RangeChange)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond);

// "全計算" without the save dialog (answered with a cancel).
void BM_ComputeAll(benchmark::State& state)
{
    Bench bench;
    for (auto _ : state) {
        bench.files.answer(std::nullopt);
        bench.dialog->press(LpcComponentsDialog::ComputeButton);
        benchmark::DoNotOptimize(bench.dialog->components()->eigen.values[0]);
    }
}
BENCHMARK(BM_ComputeAll)->Unit(benchmark::kMillisecond);

// The 1000 analyses of a range change alone.
void BM_FillFrameMatrix(benchmark::State& state)
{
    dsp::FrameMatrix matrix;
    dsp::LpcWorkspace work;
    for (auto _ : state) {
        dsp::FillFrameMatrix(Speechlike(), 441000, 264600, 30, 10, matrix, work);
        benchmark::DoNotOptimize(matrix.values.data());
    }
}
BENCHMARK(BM_FillFrameMatrix)->Unit(benchmark::kMillisecond);

// The numbers of "全計算" alone: covariance, eigen solution, scores.
void BM_AnalyseComponents(benchmark::State& state)
{
    dsp::FrameMatrix matrix;
    dsp::LpcWorkspace work;
    dsp::FillFrameMatrix(Speechlike(), 441000, 264600, 30, 10, matrix, work);
    for (auto _ : state)
        benchmark::DoNotOptimize(dsp::AnalyseComponents(matrix).eigen.values[0]);
}
BENCHMARK(BM_AnalyseComponents)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kelvora
