// kelvora convert IN OUT [--normalise]: from any sound or text sample file to a WAV, FLAC or text
// sample file.

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/sound_input.h"
#include "files/flac_writer.h"
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
    const bool toFlac = HasExtension(output, ".flac");
    if (!toText && !toFlac && !HasExtension(output, ".wav"))
        throw UsageError("the output must be a .wav, .flac or .txt file: " + output);
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
        written = toFlac ? files::WriteFlac16(output, format, sound->left, sound->right)
                         : files::WriteWav(output, format, sound->left, sound->right);
    }
    return ReportWrite(output, written, err);
}

} // namespace

KELVORA_CLI_COMMAND({"convert", "IN OUT [--normalise]",
                     "any sound file (WAV, FLAC, Ogg, MP3, AIFF...) or text file to WAV, to FLAC (16 bits, "
                     "for OUT ending in .flac) or to text (one number per line; text input is mono "
                     "8000 Hz 16 bits); --normalise scales text input to a peak of 32767",
                     RunConvert});

} // namespace kelvora::cli
