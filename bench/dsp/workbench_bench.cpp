// The linear-prediction workbenches over whole sounds, each reported as a real-time factor
// (seconds of sound per second of computing): the LPC workbench over 1 minute at 16 kHz (order
// 16, N 512), the adaptive lattice over 1 minute at 16 kHz (order 16) and the adaptive filter with
// 200 taps over 10 s at 8 kHz. Targets: 100×, 100× and 20×.

#include "dsp/adaptive_filter.h"
#include "dsp/adaptive_lattice.h"
#include "dsp/lpc_workbench.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace {

using namespace kelvora::dsp;

// A buzz with two resonances and noise, so every frame and every stage has work to do.
std::vector<double> Voice(std::size_t seconds, double rate)
{
    std::vector<double> x(static_cast<std::size_t>(seconds * rate));
    std::mt19937 random(3);
    std::normal_distribution<double> noise(0.0, 500.0);
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        x[i] = 7000 * std::sin(2 * std::numbers::pi * 120 * t) + 3000 * std::sin(2 * std::numbers::pi * 700 * t) +
               1500 * std::sin(2 * std::numbers::pi * 1200 * t) + noise(random);
    }
    return x;
}

void ReportRealTime(benchmark::State& state, double soundSeconds)
{
    state.counters["realtime_x"] =
        benchmark::Counter(soundSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_LpcWorkbenchMinute16k(benchmark::State& state)
{
    const std::vector<double> x = Voice(60, 16000);
    LpcResultTable table;
    const LpcWorkbenchParams params{9, 16, true, LpcQuantity::Areas};
    for (auto _ : state)
        benchmark::DoNotOptimize(RunLpcWorkbench(x, {}, params, table));
    ReportRealTime(state, 60.0);
}
BENCHMARK(BM_LpcWorkbenchMinute16k)->Unit(benchmark::kMillisecond);

void BM_AdaptiveLatticeMinute16k(benchmark::State& state)
{
    const std::vector<double> x = Voice(60, 16000);
    const LatticeParams params{0.999, 1.0, 16, true};
    for (auto _ : state)
        benchmark::DoNotOptimize(RunAdaptiveLattice(x, params));
    ReportRealTime(state, 60.0);
}
BENCHMARK(BM_AdaptiveLatticeMinute16k)->Unit(benchmark::kMillisecond);

void BM_AdaptiveFilter200Taps10s8k(benchmark::State& state)
{
    const std::vector<double> x = Voice(10, 8000);
    AdaptiveFilterParams params;
    params.taps = 200;
    for (auto _ : state) {
        SmoothedPowers powers;
        benchmark::DoNotOptimize(RunAdaptiveFilter(x, {}, params, powers));
    }
    ReportRealTime(state, 10.0);
}
BENCHMARK(BM_AdaptiveFilter200Taps10s8k)->Unit(benchmark::kMillisecond);

} // namespace
