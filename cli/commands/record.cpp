// kelvora record --seconds T -o OUT.wav: records T seconds from the default input as the
// recording dialog does (8000 Hz, 16-bit mono, in blocks of 50 ms) and writes them as WAV.

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/sound_input.h"
#include "platform/audio_input.h"
#include "tools/audio/recording.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <array>
#include <ostream>

namespace kelvora::cli {
namespace {

constexpr double LongestSeconds = 3600.0;
// Time allowed beyond the recording's own length before the input counts as stuck.
constexpr qint64 SlackMilliseconds = 5000;
constexpr int PollMilliseconds = 10;
constexpr const char* NoDevice = "kelvora record: no sound input device could be opened\n";

int RunRecord(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const Arguments arguments(args, {}, {"--seconds", "-o"});
    arguments.expectPositionals(0);
    arguments.required("--seconds");
    const double seconds = *arguments.number("--seconds");
    if (!(seconds > 0.0 && seconds <= LongestSeconds))
        throw UsageError("--seconds must lie above 0 and at most 3600");
    const auto wanted = static_cast<std::size_t>(seconds * RecordingRate);
    if (wanted == 0)
        throw UsageError("--seconds is shorter than one sample at 8000 Hz");
    const std::string path = arguments.required("-o");

    const platform::AudioInputFactory& factory = platform::DefaultAudioInputFactory();
    std::unique_ptr<platform::AudioInput> input = factory ? factory() : nullptr;
    if (input == nullptr || QCoreApplication::instance() == nullptr || !input->start(RecordingRate)) {
        err << NoDevice;
        return ExitBadInput;
    }
    RecordingTake take;
    std::array<std::int16_t, RecordingBlockLength> block{};
    QElapsedTimer clock;
    clock.start();
    const auto limit = static_cast<qint64>(seconds * 1000) + SlackMilliseconds;
    while (take.size() < wanted && clock.elapsed() < limit) {
        QEventLoop loop;
        QTimer::singleShot(PollMilliseconds, &loop, &QEventLoop::quit);
        loop.exec();
        while (take.size() < wanted && input->readBlock(block))
            take.append(block);
    }
    input->stop();
    if (take.size() < wanted) {
        err << "kelvora record: the sound device delivered " << take.size() << " of " << wanted
            << " samples in time\n";
        return ExitBadInput;
    }
    std::vector<double> samples = take.toDoubles();
    samples.resize(wanted);
    if (const int status = WriteSoundFile(path, files::WavFormat{}, samples, {}, err); status != ExitOk)
        return status;
    out << path << ": " << wanted << " samples recorded at 8000 Hz\n";
    return ExitOk;
}

} // namespace

KELVORA_CLI_COMMAND({"record", "--seconds T -o OUT.wav",
                     "records T seconds from the default input device (8000 Hz, 16-bit mono) into a WAV file",
                     RunRecord});

} // namespace kelvora::cli
