// kelvora echo FILE --start S --width W [--json]: the echo time of a sound from the line fitted to
// its energy envelope over samples S … S + W − 1, as the convolution dialog measures it.

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/sound_input.h"
#include "dsp/echo_time.h"
#include "tools/audio/waveform_edit.h"
#include "util/sprintf.h"

#include <ostream>

namespace kelvora::cli {
namespace {

int RunEcho(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const Arguments arguments(args, {"--json"}, {"--start", "--width"});
    arguments.expectPositionals(1);
    (void)arguments.required("--start");
    (void)arguments.required("--width");
    const long long start = *arguments.integer("--start");
    const long long width = *arguments.integer("--width");
    const std::string& path = arguments.positionals()[0];
    const auto sound = ReadSoundFile(path, err);
    if (!sound)
        return ExitBadInput;
    if (sound->left.empty()) {
        err << path << ": the sound has no samples to measure\n";
        return ExitBadInput;
    }
    if (auto problem = FrameProblem(sound->left.size(), start, width))
        throw UsageError(*problem);

    const dsp::EchoTimeResult result = dsp::MeasureEchoTime(sound->left, static_cast<std::size_t>(start),
                                                            static_cast<std::size_t>(width), sound->format.sampleRate);
    if (!result.ok()) {
        err << OneLine(path, result.error) << '\n';
        return ExitBadInput;
    }
    if (arguments.has("--json")) {
        const std::string echo = result.decays ? Sprintf("%.6g", result.echoMs) : "null";
        out << Sprintf("{\"echo_ms\":%s,\"level_start_db\":%.6g,\"level_end_db\":%.6g,\"width_ms\":%lld,"
                       "\"slope_db_per_sample\":%.6g,\"fit_start\":%zu,\"fit_width\":%zu}\n",
                       echo.c_str(), result.levelStartDb, result.levelEndDb, static_cast<long long>(result.widthMs),
                       result.slopeDbPerSample, result.fitStart, result.fitWidth);
    } else {
        out << dsp::EchoTimeLabel(result) << '\n';
    }
    return ExitOk;
}

} // namespace

KELVORA_CLI_COMMAND({"echo", "FILE --start S --width W [--json]",
                     "echo time (60 dB decay) from the energy envelope fitted over W samples from sample S",
                     RunEcho});

} // namespace kelvora::cli
