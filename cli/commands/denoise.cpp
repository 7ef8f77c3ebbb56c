// kelvora denoise IN -o OUT [--alpha A] [--numl N] [--slen L] [--fixed-noise] [--auto-alpha]
//   [--passes K]: stationary noise removed by spectral subtraction, as "簡単な雑音除去" does it by
// default (numl 30, slen 3, alpha 1.4) and the workbench with its options; each channel alike.

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/sound_input.h"
#include "dsp/spectral_subtraction.h"

#include <ostream>

namespace kelvora::cli {
namespace {

long long InRange(const Arguments& arguments, const std::string& option, long long low, long long high,
                  long long fallback)
{
    const long long value = arguments.integer(option).value_or(fallback);
    if (value < low || value > high)
        throw UsageError(option + " must lie in " + std::to_string(low) + " … " + std::to_string(high));
    return value;
}

int RunDenoise(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const Arguments arguments(args, {"--fixed-noise", "--auto-alpha"},
                              {"-o", "--alpha", "--numl", "--slen", "--passes"});
    arguments.expectPositionals(1);
    const std::string output = arguments.required("-o");
    dsp::SubtractionParams params;
    params.numl = static_cast<int>(InRange(arguments, "--numl", 0, dsp::MaxNoiseHistory, 30));
    params.slen = static_cast<int>(InRange(arguments, "--slen", 0, 50, 3));
    params.alpha = arguments.number("--alpha").value_or(1.4);
    if (!(params.alpha >= 0.0 && params.alpha <= 100.0))
        throw UsageError("--alpha must lie in 0 … 100");
    params.fixedNoise = arguments.has("--fixed-noise");
    params.autoAlpha = arguments.has("--auto-alpha");
    if (params.autoAlpha && !params.fixedNoise)
        throw UsageError("--auto-alpha belongs to --fixed-noise");
    const long long passes = InRange(arguments, "--passes", 1, 100, 1);

    const std::string& path = arguments.positionals()[0];
    auto sound = ReadSoundFile(path, err);
    if (!sound)
        return ExitBadInput;
    for (long long pass = 0; pass < passes; ++pass)
        for (std::vector<double>* channel : {&sound->left, &sound->right}) {
            if (channel->empty())
                continue;
            const dsp::SubtractionOutcome outcome = dsp::SpectralSubtraction(*channel, params);
            if (!outcome.ok()) {
                err << OneLine(path, outcome.error) << '\n';
                return ExitBadInput;
            }
        }
    if (const int status = WriteSoundFile(output, sound->format, sound->left, sound->right, err); status != ExitOk)
        return status;
    out << output << ": " << sound->left.size() << " samples, " << passes << (passes == 1 ? " pass" : " passes")
        << '\n';
    return ExitOk;
}

} // namespace

KELVORA_CLI_COMMAND({"denoise",
                     "IN -o OUT [--alpha A] [--numl N] [--slen L] [--fixed-noise [--auto-alpha]] [--passes K]",
                     "stationary noise removed by spectral subtraction (defaults numl 30, slen 3, alpha 1.4)",
                     RunDenoise});

} // namespace kelvora::cli
