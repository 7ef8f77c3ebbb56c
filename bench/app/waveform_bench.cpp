// Opening a long recording: a 10-minute 44.1 kHz 16-bit stereo WAV (made here) is read and both
// channels' waveform pictures are drawn. Target: under 1.5 s in all on a 2-core machine, with a
// peak memory of at most the two channels as doubles plus 30 %.

#include "../support/long_stereo_wav.h"
#include "files/wav.h"
#include "tools/shell/session.h"
#include "tools/waveform/draw_waveform.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace kelvora {
namespace {

constexpr std::uint32_t Rate = bench::LongRate;
constexpr std::size_t Frames = bench::LongFrames;
// The peak-memory counters are meaningful only when this benchmark runs alone:
// app_bench --benchmark_filter=OpenTenMinute

long PeakResidentKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_OpenTenMinuteStereo(benchmark::State& state)
{
    const std::string path = bench::LongStereoWav();
    const long before = PeakResidentKiB();
    for (auto _ : state) {
        auto sound = files::ReadWav(path);
        if (!sound.ok()) {
            state.SkipWithError(sound.error().message.c_str());
            return;
        }
        const WaveformInfo info{Rate, 16, 2};
        for (const auto* channel : {&sound.value().left, &sound.value().right}) {
            Picture canvas(ResultCanvasWidth, ResultCanvasHeight);
            DrawWaveform(canvas, *channel, info, WaveformScale::Absolute);
            benchmark::DoNotOptimize(canvas.pixel(400, 270));
        }
    }
    const double samplesMiB = 2.0 * Frames * sizeof(double) / (1024.0 * 1024.0);
    state.counters["peak_growth_MiB"] = double(PeakResidentKiB() - before) / 1024.0;
    state.counters["channels_as_doubles_MiB"] = samplesMiB;
    state.counters["peak_ratio"] = double(PeakResidentKiB() - before) / 1024.0 / samplesMiB;
}
BENCHMARK(BM_OpenTenMinuteStereo)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace kelvora
