// One hour of recording (72000 blocks of 50 ms) through the recording dialog with a scripted
// input: each block must be processed in well under its 50 ms (target: under 1 ms), and the
// memory must grow with the take alone, linearly. The counters give the time per block, the
// take's storage and the process's peak resident size after 10, 30 and 60 minutes. The peak is
// the process's own, so it includes the earlier lengths' hand-overs: for a clean figure run one
// length per process (--benchmark_filter=BM_RecordingBlocks/72000/).

#include "platform/fake_audio_input.h"
#include "platform/scripted_ui.h"
#include "tools/audio/recording_dialog.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>

namespace kelvora {
namespace {

double PeakResidentMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_RecordingBlocks(benchmark::State& state)
{
    const auto blocks = static_cast<std::uint64_t>(state.range(0));
    for (auto _ : state) {
        Session session;
        platform::ScriptedFileChooser files;
        platform::RecordingMessageBox messages;
        platform::RecordingUrlOpener urls;
        ScriptedDialogRunner dialogs;
        platform::FakeAudioInput input;
        // A buzz with a changing pitch and a little hiss, different in every block.
        input.generator = [](std::span<std::int16_t> block, std::uint64_t index) {
            std::uint32_t seed = static_cast<std::uint32_t>(index) * 2654435761u;
            for (std::size_t i = 0; i < block.size(); ++i) {
                seed = seed * 1664525u + 1013904223u;
                const double t = static_cast<double>(index * block.size() + i) / 8000.0;
                block[i] = static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * (200 + index % 300) * t) +
                                                     static_cast<double>(seed >> 22) - 512);
            }
        };
        input.generatorBlocks = blocks;
        Services services{files, messages, urls, dialogs, "", nullptr, &input};
        RecordingDialog dialog(session, services);
        dialog.init();
        dialog.press(RecordingDialog::RecordButton);
        const auto start = std::chrono::steady_clock::now();
        while (input.generated < blocks)
            dialog.timer(RecordingDialog::BlockTimer);
        const std::chrono::duration<double, std::micro> elapsed = std::chrono::steady_clock::now() - start;
        state.counters["us_per_block"] = elapsed.count() / static_cast<double>(blocks);
        state.counters["take_MB"] = static_cast<double>(dialog.take().capacityBytes()) / (1024.0 * 1024.0);
        state.counters["peak_rss_MB"] = PeakResidentMegabytes();
        dialog.press(IdOk);
        benchmark::DoNotOptimize(session.traceSlots.samples(SlotNumber::X).data());
    }
}
BENCHMARK(BM_RecordingBlocks)->Arg(12000)->Arg(36000)->Arg(72000)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
} // namespace kelvora
