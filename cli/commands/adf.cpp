// kelvora adf IN [--mode enhancer|filter] [--reference REF.wav] [--delay M] [--taps L]
//   [--reference-delay D] [--mu 0.1] [--leak 1.0] [--out-x X.wav] [--out-y Y.wav] [--out-e E.wav]
//   [--json]: the normalised LMS filter over a whole sound, as the adaptive-filter dialog runs it.
// X is the error at half of full scale, or IN itself when the error is all zeros.

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/sound_input.h"
#include "cli/workbench_output.h"
#include "dsp/adaptive_filter.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <utility>

namespace kelvora::cli {
namespace {

dsp::AdaptiveMode ModeOf(const Arguments& arguments)
{
    const std::string mode = arguments.value("--mode").value_or("enhancer");
    if (mode == "enhancer")
        return dsp::AdaptiveMode::LineEnhancer;
    if (mode == "filter")
        return dsp::AdaptiveMode::Filter;
    throw UsageError("--mode must be enhancer or filter");
}

int RunAdf(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const Arguments arguments(args, {"--json"},
                              {"--mode", "--reference", "--delay", "--taps", "--reference-delay", "--mu", "--leak",
                               "--out-x", "--out-y", "--out-e"});
    arguments.expectPositionals(1);
    dsp::AdaptiveFilterParams params;
    params.mode = ModeOf(arguments);
    params.delay = static_cast<std::size_t>(IntegerWithin(arguments, "--delay", 1, 4000).value_or(1));
    params.taps = static_cast<std::size_t>(IntegerWithin(arguments, "--taps", 1, 1000).value_or(200));
    params.referenceDelay = static_cast<std::size_t>(IntegerWithin(arguments, "--reference-delay", 0, 100).value_or(0));
    params.mu = NumberWithin(arguments, "--mu", 0.0, 2.0).value_or(0.1);
    params.leak = NumberWithin(arguments, "--leak", 0.0, 1.0).value_or(1.0);
    const bool filterMode = params.mode == dsp::AdaptiveMode::Filter;
    if (filterMode != arguments.value("--reference").has_value())
        throw UsageError(filterMode ? "--mode filter needs --reference" : "--reference belongs to --mode filter");

    const std::string& path = arguments.positionals()[0];
    const auto sound = ReadSoundFile(path, err);
    if (!sound)
        return ExitBadInput;
    std::vector<double> reference;
    if (filterMode) {
        const auto referenceSound = ReadSoundFile(*arguments.value("--reference"), err);
        if (!referenceSound)
            return ExitBadInput;
        reference = referenceSound->left;
    }

    dsp::SmoothedPowers powers;
    const dsp::AdaptiveFilterResult result = dsp::RunAdaptiveFilter(sound->left, reference, params, powers);
    std::vector<double> x = dsp::ScaledToHalfFullScale(result.error);
    if (x.empty()) {
        x = sound->left;
        if (arguments.value("--out-x"))
            err << "the error is all zeros: X is written unchanged\n";
    }
    const std::uint32_t rate = sound->format.sampleRate;
    for (const auto& [option, samples] : {std::pair{"--out-x", &std::as_const(x)}, std::pair{"--out-y", &result.output},
                                          std::pair{"--out-e", &result.error}})
        if (const int status = WriteSlotIfAsked(arguments, option, *samples, rate, err); status != ExitOk)
            return status;

    const double kpk = dsp::ErrorToInputDb(powers);
    if (arguments.has("--json")) {
        nlohmann::json json = {{"mode", filterMode ? "filter" : "enhancer"},
                               {"taps", params.taps},
                               {"samples", sound->left.size()},
                               {"weights", result.weights},
                               {"weight_maximum", result.weightMaximum}};
        // JSON has no NaN or infinity: a silent input has no ratio.
        json["kpk_db"] = std::isfinite(kpk) ? nlohmann::json(kpk) : nlohmann::json(nullptr);
        out << json.dump() << '\n';
        return ExitOk;
    }
    out << "kpk " << kpk << " dB, " << params.taps << " taps, largest weight " << result.weightMaximum << '\n';
    return ExitOk;
}

} // namespace

KELVORA_CLI_COMMAND({"adf",
                     "IN [--mode enhancer|filter] [--reference REF.wav] [--delay M] [--taps L] [--reference-delay D] "
                     "[--mu 0.1] [--leak 1.0] [--out-x X.wav] [--out-y Y.wav] [--out-e E.wav] [--json]",
                     "the adaptive line enhancer or adaptive filter over IN: final weights, output (Y), error (E) "
                     "and the error-to-input power ratio",
                     RunAdf});

} // namespace kelvora::cli
