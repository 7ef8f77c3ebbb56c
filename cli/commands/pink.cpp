// kelvora pink IN -o OUT [--passes K]: the spectrum reshaped to fall as 1/f in power, frame by
// frame, as "Noise作成" does it (white noise becomes pink noise; two passes give 1/f^2).

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/sound_input.h"
#include "dsp/noise_shaping.h"

#include <ostream>

namespace kelvora::cli {
namespace {

int RunPink(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const Arguments arguments(args, {}, {"-o", "--passes"});
    arguments.expectPositionals(1);
    const std::string output = arguments.required("-o");
    const long long passes = arguments.integer("--passes").value_or(1);
    if (passes < 1 || passes > 100)
        throw UsageError("--passes must lie in 1 … 100");
    const std::string& path = arguments.positionals()[0];
    auto sound = ReadSoundFile(path, err);
    if (!sound)
        return ExitBadInput;
    for (long long pass = 0; pass < passes; ++pass)
        for (std::vector<double>* channel : {&sound->left, &sound->right})
            dsp::ShapePink(*channel, sound->format.sampleRate);
    if (const int status = WriteSoundFile(output, sound->format, sound->left, sound->right, err); status != ExitOk)
        return status;
    out << output << ": " << sound->left.size() << " samples, " << passes << (passes == 1 ? " pass" : " passes")
        << '\n';
    return ExitOk;
}

} // namespace

KELVORA_CLI_COMMAND({"pink", "IN -o OUT [--passes K]",
                     "the spectrum shaped to a 1/f power slope (white noise becomes pink noise)", RunPink});

} // namespace kelvora::cli
