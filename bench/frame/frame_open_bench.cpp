// Opening a 10-minute 44.1 kHz stereo WAV in the real frame (offscreen), as a dropped file or a
// file named at start-up opens: read, both channels drawn, two windows, with the progress dialog
// on screen throughout. The same file through `kelvora draw` is measured beside it as the
// baseline. Target: the frame within 1.5 times the command line. The counters show how often the
// progress bar was painted, so it can be seen that the dialog still moves.

#include "../support/long_stereo_wav.h"
#include "app/frame_window.h"
#include "cli/cli_command.h"
#include "platform/fake_audio_output.h"
#include "platform/scripted_ui.h"

#include <QApplication>
#include <QEvent>
#include <QMdiArea>
#include <QProgressBar>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace kelvora {
namespace {

// Counts the paints of progress bars anywhere in the application.
class ProgressPaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && qobject_cast<QProgressBar*>(watched) != nullptr)
            ++paints;
        return false;
    }
};

void BM_FrameOpensTenMinuteStereo(benchmark::State& state)
{
    const std::string path = bench::LongStereoWav();
    Session session;
    platform::ScriptedFileChooser files;
    platform::RecordingMessageBox messages;
    platform::RecordingUrlOpener urls;
    platform::FakeAudioOutput audio;
    FrameWindow frame(session, MenuKind::Standard, {&files, &messages, &urls, "", &audio});
    frame.show();
    ProgressPaintCounter counter;
    qApp->installEventFilter(&counter);
    for (auto _ : state) {
        frame.shell().openFiles({path});
        state.PauseTiming();
        if (frame.dataWindows().size() != 2 || !messages.messages.empty()) {
            state.SkipWithError("the file did not open into two windows");
            break;
        }
        frame.mdiArea().closeAllSubWindows();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    qApp->removeEventFilter(&counter);
    state.counters["progress_paints_per_open"] = double(counter.paints) / double(state.iterations());
}
BENCHMARK(BM_FrameOpensTenMinuteStereo)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_CommandLineDrawsTheSameFile(benchmark::State& state)
{
    const std::string path = bench::LongStereoWav();
    const std::string picture = (std::filesystem::temp_directory_path() / "kelvora-bench-draw.png").string();
    for (auto _ : state) {
        std::ostringstream out, err;
        if (cli::RunCli({"draw", path, "-o", picture}, out, err) != cli::ExitOk) {
            state.SkipWithError(err.str().c_str());
            break;
        }
    }
    std::filesystem::remove(picture);
}
BENCHMARK(BM_CommandLineDrawsTheSameFile)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace
} // namespace kelvora

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
