// kelvora edit IN -o OUT (--keep|--delete) --start S --width W: keeps only, or deletes, samples
// S … S + W − 1 of a sound, as the waveform editor does, and writes the result as a WAV file.

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/sound_input.h"
#include "files/wav.h"
#include "tools/audio/waveform_edit.h"

#include <ostream>

namespace kelvora::cli {
namespace {

int RunEdit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    (void)out;
    const Arguments arguments(args, {"--keep", "--delete"}, {"-o", "--start", "--width"});
    arguments.expectPositionals(1);
    const std::string output = arguments.required("-o");
    if (arguments.has("--keep") == arguments.has("--delete"))
        throw UsageError("give exactly one of --keep and --delete");
    (void)arguments.required("--start");
    (void)arguments.required("--width");
    const long long start = *arguments.integer("--start");
    const long long width = *arguments.integer("--width");

    const std::string& path = arguments.positionals()[0];
    auto sound = ReadSoundFile(path, err);
    if (!sound)
        return ExitBadInput;
    std::vector<double>& samples = sound->left;
    if (samples.empty()) {
        err << path << ": the sound has no samples to edit\n";
        return ExitBadInput;
    }
    if (auto problem = FrameProblem(samples.size(), start, width))
        throw UsageError(*problem);
    const FrameRange frame{static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(width)};
    if (arguments.has("--keep"))
        KeepInterval(samples, frame);
    else
        DeleteInterval(samples, frame);
    if (samples.empty()) {
        err << path << ": deleting the whole sound leaves nothing to write\n";
        return ExitBadInput;
    }

    files::WavFormat format = sound->format;
    format.channels = 1;
    return WriteSoundFile(output, format, samples, {}, err);
}

} // namespace

KELVORA_CLI_COMMAND({"edit", "IN -o OUT (--keep|--delete) --start S --width W",
                     "keeps only, or deletes, W samples from sample S (the first channel) and writes a WAV",
                     RunEdit});

} // namespace kelvora::cli
