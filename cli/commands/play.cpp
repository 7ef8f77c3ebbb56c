// kelvora play FILE [--start S --width W]: plays a sound (or S … S + W − 1 of it, in samples) on
// the default output device and returns when it has been played.

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/sound_input.h"
#include "dsp/pcm16.h"
#include "platform/audio_output.h"
#include "tools/audio/waveform_edit.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <ostream>

namespace kelvora::cli {
namespace {

// Time allowed beyond the sound's own length before playing counts as stuck.
constexpr int SlackMilliseconds = 5000;
constexpr const char* NoDevice = "kelvora play: no sound output device could be opened\n";

int RunPlay(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    (void)out;
    const Arguments arguments(args, {}, {"--start", "--width"});
    arguments.expectPositionals(1);
    const std::string& path = arguments.positionals()[0];
    const auto sound = ReadSoundFile(path, err);
    if (!sound)
        return ExitBadInput;
    const std::vector<double>& samples = sound->left;
    if (samples.empty()) {
        err << path << ": the sound has no samples to play\n";
        return ExitBadInput;
    }
    const long long start = arguments.integer("--start").value_or(0);
    const long long width = arguments.integer("--width").value_or(static_cast<long long>(samples.size()) - start);
    if (auto problem = FrameProblem(samples.size(), start, width))
        throw UsageError(*problem);

    const platform::AudioOutputFactory& factory = platform::DefaultAudioOutputFactory();
    std::unique_ptr<platform::AudioOutput> output = factory ? factory() : nullptr;
    if (output == nullptr || QCoreApplication::instance() == nullptr) {
        err << NoDevice;
        return ExitBadInput;
    }
    const std::vector<std::int16_t> buffer = dsp::ToPcm16(
        std::span<const double>(samples).subspan(static_cast<std::size_t>(start), static_cast<std::size_t>(width)));
    QEventLoop loop;
    bool finished = false;
    output->setFinishedHandler([&] {
        finished = true;
        loop.quit();
    });
    if (!output->play(buffer, sound->format.sampleRate)) {
        err << NoDevice;
        return ExitBadInput;
    }
    const long long lengthMs = width * 1000LL / std::max<std::uint32_t>(sound->format.sampleRate, 1);
    QTimer::singleShot(static_cast<int>(std::min<long long>(lengthMs + SlackMilliseconds, 1LL << 30)), &loop,
                       &QEventLoop::quit);
    loop.exec();
    if (!finished) {
        output->stop();
        err << "kelvora play: the sound device did not finish playing in time\n";
        return ExitBadInput;
    }
    return ExitOk;
}

} // namespace

KELVORA_CLI_COMMAND({"play", "FILE [--start S --width W]",
                     "plays the sound, or W samples of it from sample S, on the default output device",
                     RunPlay});

} // namespace kelvora::cli
