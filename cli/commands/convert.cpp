// kelvora convert IN OUT [--normalise]: between WAV and text sample files.

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/sound_input.h"
#include "files/text_samples.h"
#include "files/wav.h"

#include <ostream>

namespace kelvora::cli {
namespace {

int RunConvert(const std::vector<std::string>& args, std::ostream&, std::ostream& err)
{
    const Arguments arguments(args, {"--normalise"}, {});
    arguments.expectPositionals(2);
    const std::string& input = arguments.positionals()[0];
    const std::string& output = arguments.positionals()[1];
    const bool toText = HasExtension(output, ".txt");
    if (!toText && !HasExtension(output, ".wav"))
        throw UsageError("the output must be a .wav or .txt file: " + output);
    if (arguments.has("--normalise") && !HasExtension(input, ".txt"))
        throw UsageError("--normalise applies to text input only");

    auto sound = ReadSoundFile(input, err);
    if (!sound)
        return ExitBadInput;
    if (arguments.has("--normalise"))
        files::NormaliseToFullScale(sound->left);

    // A stereo file becomes a text file of its left channel, as the window of that channel saves.
    files::Status written;
    if (toText) {
        written = files::WriteText(output, sound->left, sound->format.sampleRate);
    } else {
        files::WavFormat format = sound->format;
        if (format.channels != 2)
            sound->right.clear();
        written = files::WriteWav(output, format, sound->left, sound->right);
    }
    return ReportWrite(output, written, err);
}

} // namespace

KELVORA_CLI_COMMAND({"convert", "IN OUT [--normalise]",
                     "WAV to text (one number per line) or text to WAV (mono 8000 Hz 16 bits); "
                     "--normalise scales text input to a peak of 32767",
                     RunConvert});

} // namespace kelvora::cli
