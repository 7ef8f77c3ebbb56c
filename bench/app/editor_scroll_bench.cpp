// One scroll event of the waveform editor on a 10-minute 44.1 kHz sound: the bar rule, the new
// frame, the strip redrawn (the whole-signal band is kept from the opening, the framed band is
// drawn per column from block extremes) and shrunk for display. Target: under 50 ms per event
// on a 2-core machine. The opening, which draws the whole-signal band once, and the step-by-step
// reference drawing of the same strip are measured beside it for comparison.

#include "platform/fake_audio_output.h"
#include "platform/scripted_ui.h"
#include "tools/audio/waveform_editor.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>

namespace kelvora {
namespace {

constexpr std::uint32_t Rate = 44100;
constexpr std::size_t Count = std::size_t{Rate} * 600;

const std::vector<double>& TenMinutes()
{
    static const std::vector<double> sound = [] {
        std::vector<double> s(Count);
        for (std::size_t n = 0; n < Count; ++n) {
            const double t = static_cast<double>(n) / Rate;
            s[n] = 20000 * std::sin(2 * std::numbers::pi * 220 * t) * (0.55 + 0.45 * std::sin(2 * std::numbers::pi * 0.7 * t));
        }
        return s;
    }();
    return sound;
}

struct EditorBench {
    EditorBench() : services{files, messages, urls, dialogs, "", &output}
    {
        session.soundFormat.samplesPerSecond = Rate;
        session.traceSlots.fill(SlotNumber::X, TenMinutes());
    }
    Session session;
    platform::ScriptedFileChooser files;
    platform::RecordingMessageBox messages;
    platform::RecordingUrlOpener urls;
    ScriptedDialogRunner dialogs;
    platform::FakeAudioOutput output;
    Services services;
};

void BM_EditorOpen(benchmark::State& state)
{
    EditorBench bench;
    for (auto _ : state) {
        WaveformEditor editor(bench.session, bench.services);
        editor.init();
        benchmark::DoNotOptimize(editor.strip().shown().pixel(0, 0));
    }
}
BENCHMARK(BM_EditorOpen)->Unit(benchmark::kMillisecond)->Iterations(3);

// Alternates the two bars so that every event moves the frame; the width stays near the
// opening's 90 %, the costliest case for the framed band.
void BM_EditorScroll(benchmark::State& state)
{
    EditorBench bench;
    WaveformEditor editor(bench.session, bench.services);
    editor.init();
    int step = 0;
    for (auto _ : state) {
        if (step % 2 == 0)
            editor.scroll(WaveformEditor::MoveBar, ScrollRequest::ThumbTrack, 50 + step % 100);
        else
            editor.scroll(WaveformEditor::WidthBar, ScrollRequest::ThumbTrack, 1700 + step % 200);
        ++step;
        benchmark::DoNotOptimize(editor.strip().shown().pixel(0, 0));
    }
}
BENCHMARK(BM_EditorScroll)->Unit(benchmark::kMillisecond);

// The same strip drawn one segment per sample: the cost every scroll event would have without
// the kept band and the per-column drawing.
void BM_StripEverySegment(benchmark::State& state)
{
    const std::vector<double>& sound = TenMinutes();
    for (auto _ : state)
        benchmark::DoNotOptimize(DrawWaveformStripEverySegment(sound, Count / 20, static_cast<std::uint32_t>(Count * 0.9)));
}
BENCHMARK(BM_StripEverySegment)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
} // namespace kelvora
