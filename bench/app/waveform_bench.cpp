// Opening a long recording: a 10-minute 44.1 kHz 16-bit stereo WAV (made here) is read and both
// channels' waveform pictures are drawn. Target: under 1.5 s in all on a 2-core machine, with a
// peak memory of at most the two channels as doubles plus 30 %.

#include "files/wav.h"
#include "tools/shell/session.h"
#include "tools/waveform/draw_waveform.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cmath>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace kelvora {
namespace {

constexpr std::uint32_t Rate = 44100;
constexpr std::size_t Frames = std::size_t{Rate} * 600;
// The peak-memory counters are meaningful only when this benchmark runs alone:
// app_bench --benchmark_filter=OpenTenMinute

// Writes the test file frame by frame so that making it does not raise the peak being measured.
std::string LongStereoFile()
{
    static const std::string path = [] {
        const auto file = std::filesystem::temp_directory_path() / "kelvora-bench-10min-stereo.wav";
        if (std::filesystem::exists(file) && std::filesystem::file_size(file) == 44 + Frames * 4)
            return file.string();
        files::WavFormat format{2, Rate, Rate * 4, 4, 16};
        const std::vector<std::uint8_t> header = files::EncodeWav(format, std::vector<double>{}, std::vector<double>{});
        std::vector<std::uint8_t> patched = header;
        const std::uint32_t dataSize = static_cast<std::uint32_t>(Frames * 4);
        const std::uint32_t riffSize = 36 + dataSize;
        std::memcpy(&patched[4], &riffSize, 4);
        std::memcpy(&patched[40], &dataSize, 4);
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(patched.data()), 44);
        std::vector<std::int16_t> block(2 * Rate);
        for (std::size_t start = 0; start < Frames; start += Rate) {
            for (std::size_t i = 0; i < Rate; ++i) {
                const double t = double(start + i) / Rate;
                block[2 * i] = static_cast<std::int16_t>(20000 * std::sin(2 * M_PI * 220 * t) * std::exp(-t / 300));
                block[2 * i + 1] = static_cast<std::int16_t>(12000 * std::sin(2 * M_PI * 3 * t) * std::sin(2 * M_PI * 440 * t));
            }
            out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size() * 2));
        }
        return file.string();
    }();
    return path;
}

long PeakResidentKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_OpenTenMinuteStereo(benchmark::State& state)
{
    const std::string path = LongStereoFile();
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
