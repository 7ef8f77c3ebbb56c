// kelvora convolve IN --with W -o OUT [--deconvolve]: IN convolved with (or deconvolved by) W
// through one FFT, normalised to a peak of 16380, written as a 16-bit WAV at IN's rate.

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/sound_input.h"
#include "dsp/convolution.h"
#include "files/wav.h"
#include "util/available_memory.h"

#include <ostream>

namespace kelvora::cli {
namespace {

int RunConvolve(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    (void)out;
    const Arguments arguments(args, {"--deconvolve"}, {"-o", "--with"});
    arguments.expectPositionals(1);
    const std::string output = arguments.required("-o");
    const std::string withPath = arguments.required("--with");
    const std::string& path = arguments.positionals()[0];
    const auto sound = ReadSoundFile(path, err);
    if (!sound)
        return ExitBadInput;
    const auto with = ReadSoundFile(withPath, err);
    if (!with)
        return ExitBadInput;

    const dsp::ConvolutionMode mode =
        arguments.has("--deconvolve") ? dsp::ConvolutionMode::Deconvolve : dsp::ConvolutionMode::Convolve;
    const dsp::ConvolutionResult result = dsp::RunConvolution(sound->left, with->left, mode, AvailableMemoryBytes());
    if (!result.ok()) {
        err << OneLine(path, result.error) << '\n';
        return ExitBadInput;
    }
    files::WavFormat format;
    format.sampleRate = sound->format.sampleRate;
    return WriteSoundFile(output, format, result.samples, {}, err);
}

} // namespace

KELVORA_CLI_COMMAND({"convolve", "IN --with W -o OUT [--deconvolve]",
                     "IN convolved with W (or divided by it in the frequency domain), normalised to a "
                     "peak of 16380; the result is a power of two long",
                     RunConvolve});

} // namespace kelvora::cli
