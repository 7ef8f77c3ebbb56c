// kelvora draw FILE -o OUT.png|OUT.bmp [--normalised] [--channel left|right]: the waveform
// picture a sound gets when it is opened.

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/picture_output.h"
#include "cli/sound_input.h"
#include "tools/shell/session.h"
#include "tools/waveform/draw_waveform.h"

#include <ostream>

namespace kelvora::cli {
namespace {

int RunDraw(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    (void)out;
    const Arguments arguments(args, {"--normalised"}, {"-o", "--channel"});
    arguments.expectPositionals(1);
    const std::string output = arguments.required("-o");
    const std::string channel = arguments.value("--channel").value_or("left");
    if (channel != "left" && channel != "right")
        throw UsageError("--channel must be left or right");
    const std::string& path = arguments.positionals()[0];
    const auto sound = ReadSoundFile(path, err);
    if (!sound)
        return ExitBadInput;
    if (channel == "right" && sound->format.channels != 2) {
        err << path << ": the sound has no right channel\n";
        return ExitBadInput;
    }

    Picture canvas(ResultCanvasWidth, ResultCanvasHeight);
    DrawWaveform(canvas, channel == "right" ? sound->right : sound->left,
                 {sound->format.sampleRate, sound->format.bitsPerSample, sound->format.channels},
                 arguments.has("--normalised") ? WaveformScale::Normalised : WaveformScale::Absolute);
    return WritePicture(canvas, output, err);
}

} // namespace

KELVORA_CLI_COMMAND({"draw", "FILE -o OUT.png|OUT.bmp [--normalised] [--channel left|right]",
                     "the 750 x 530 waveform picture of one channel (left unless told)", RunDraw});

} // namespace kelvora::cli
