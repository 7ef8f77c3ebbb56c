// Opening a long recording in another format: the same 10-minute 44.1 kHz 16-bit stereo sound
// as a WAV file (the own reader) and as a FLAC file (libsndfile), both read with ReadSound in
// the same run. Target: the FLAC within 2x the WAV's time (the "flac_over_wav" counter).

#include "files/sound_file.h"
#include "files/wav.h"

#include <benchmark/benchmark.h>
#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <vector>

namespace kelvora::files {
namespace {

constexpr std::uint32_t Rate = 44100;
constexpr std::size_t Frames = std::size_t{Rate} * 600;

// One second of the test sound, frame by frame: a slowly decaying 220 Hz tone on the left, a
// 440 Hz tone under a 3 Hz tremolo on the right, plus a little deterministic noise so that the
// FLAC encoder has real work (its file is about half the WAV's size).
std::vector<short> SecondOfSound(std::size_t start)
{
    std::vector<short> block(2 * Rate);
    std::uint32_t noise = static_cast<std::uint32_t>(start) * 2654435761u + 1;
    for (std::size_t i = 0; i < Rate; ++i) {
        const double t = double(start + i) / Rate;
        noise = noise * 1664525u + 1013904223u;
        const double dither = double(noise >> 20) - 2048.0;
        block[2 * i] = static_cast<short>(20000 * std::sin(2 * std::numbers::pi * 220 * t) * std::exp(-t / 300) + dither);
        block[2 * i + 1] = static_cast<short>(12000 * std::sin(2 * std::numbers::pi * 3 * t) *
                                                  std::sin(2 * std::numbers::pi * 440 * t) + dither);
    }
    return block;
}

// Writes the sound once per machine in the given container, a second at a time so that making
// it does not hold the whole sound in memory.
std::string TestFile(const char* name, int format)
{
    const auto file = std::filesystem::temp_directory_path() / name;
    if (std::filesystem::exists(file))
        return file.string();
    const auto partial = file.string() + ".part";
    SF_INFO info{};
    info.channels = 2;
    info.samplerate = Rate;
    info.format = format;
    SNDFILE* out = sf_open(partial.c_str(), SFM_WRITE, &info);
    if (out == nullptr)
        return {};
    for (std::size_t start = 0; start < Frames; start += Rate)
        sf_writef_short(out, SecondOfSound(start).data(), Rate);
    sf_close(out);
    std::filesystem::rename(partial, file);
    return file.string();
}

double ProcessCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Wall-clock and CPU seconds of one read. On a shared machine the wall clock also counts
// other programs' turns, so the CPU ratio is the steadier one.
struct ReadTime {
    double wall = 0;
    double cpu = 0;
    std::size_t frames = 0;
};

ReadTime TimeRead(const std::string& path)
{
    const auto begin = std::chrono::steady_clock::now();
    const double cpuBegin = ProcessCpuSeconds();
    auto sound = ReadSound(path);
    ReadTime time;
    time.cpu = ProcessCpuSeconds() - cpuBegin;
    time.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    time.frames = sound.ok() ? sound.value().sound.left.size() : 0;
    return time;
}

void BM_OpenTenMinuteFlacAgainstWav(benchmark::State& state)
{
    const std::string wav = TestFile("kelvora-bench-10min-stereo-noisy.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const std::string flac = TestFile("kelvora-bench-10min-stereo-noisy.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    ReadTime wavTotal, flacTotal;
    for (auto _ : state) {
        const ReadTime wavTime = TimeRead(wav);
        const ReadTime flacTime = TimeRead(flac);
        if (wavTime.frames != Frames || flacTime.frames != Frames) {
            state.SkipWithError("a test file did not read whole");
            return;
        }
        wavTotal.wall += wavTime.wall;
        wavTotal.cpu += wavTime.cpu;
        flacTotal.wall += flacTime.wall;
        flacTotal.cpu += flacTime.cpu;
        state.SetIterationTime(flacTime.wall);
    }
    const double iterations = double(state.iterations());
    state.counters["wav_ms"] = 1000 * wavTotal.wall / iterations;
    state.counters["flac_ms"] = 1000 * flacTotal.wall / iterations;
    state.counters["flac_over_wav"] = flacTotal.wall / wavTotal.wall;
    state.counters["flac_over_wav_cpu"] = flacTotal.cpu / wavTotal.cpu;
    state.counters["flac_MiB"] = double(std::filesystem::file_size(flac)) / (1024.0 * 1024.0);
}
BENCHMARK(BM_OpenTenMinuteFlacAgainstWav)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

} // namespace
} // namespace kelvora::files
