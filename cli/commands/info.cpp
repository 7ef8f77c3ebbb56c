// kelvora info FILE [--json]: the format and size of a sound file.

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/sound_input.h"
#include "util/sprintf.h"

#include <algorithm>
#include <cmath>
#include <ostream>

namespace kelvora::cli {
namespace {

int RunInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const Arguments arguments(args, {"--json"}, {});
    arguments.expectPositionals(1);
    const std::string& path = arguments.positionals()[0];
    const auto sound = ReadSoundFile(path, err);
    if (!sound)
        return ExitBadInput;

    const files::WavFormat& format = sound->format;
    double peak = 0.0;
    for (double s : sound->left)
        peak = std::max(peak, std::fabs(s));
    for (double s : sound->right)
        peak = std::max(peak, std::fabs(s));
    const std::size_t samples = sound->left.size();
    const double seconds = format.sampleRate ? static_cast<double>(samples) / format.sampleRate : 0.0;

    if (arguments.has("--json")) {
        out << Sprintf("{\"channels\":%d,\"rate\":%u,\"bits\":%d,\"samples\":%zu,\"seconds\":%.6f,\"peak\":%.6g}\n",
                       format.channels, format.sampleRate, format.bitsPerSample, samples, seconds, peak);
    } else {
        out << Sprintf("%s\n  channels %d, %u Hz, %d bits\n  %zu samples per channel, %.6f s, peak %.6g\n",
                       path.c_str(), format.channels, format.sampleRate, format.bitsPerSample, samples,
                       seconds, peak);
    }
    return ExitOk;
}

} // namespace

KELVORA_CLI_COMMAND({"info", "FILE [--json]",
                     "channels, rate, bits, samples per channel, seconds and peak of a sound file or .txt sound",
                     RunInfo});

} // namespace kelvora::cli
