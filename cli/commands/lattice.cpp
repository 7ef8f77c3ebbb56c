// kelvora lattice IN [--alpha A] [--gamma G] [--order P] [--preemphasis] [--out-x X.wav]
//   [--out-y Y.wav] [--out-e E.wav] [--json]: the adaptive lattice predictor over a whole sound, as
// the lattice dialog runs it; X is 32 × the backward error.

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/sound_input.h"
#include "cli/workbench_output.h"
#include "dsp/adaptive_lattice.h"
#include "dsp/lpc.h"

#include <nlohmann/json.hpp>

#include <ostream>
#include <utility>

namespace kelvora::cli {
namespace {

int RunLattice(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const Arguments arguments(args, {"--preemphasis", "--json"},
                              {"--alpha", "--gamma", "--order", "--out-x", "--out-y", "--out-e"});
    arguments.expectPositionals(1);
    dsp::LatticeParams params;
    params.alpha = NumberWithin(arguments, "--alpha", 0.001, 1.0).value_or(0.999);
    params.gamma = NumberWithin(arguments, "--gamma", 0.0, 1.0).value_or(1.0);
    const auto order = IntegerWithin(arguments, "--order", 1, 100);
    params.preemphasis = arguments.has("--preemphasis");

    const std::string& path = arguments.positionals()[0];
    const auto sound = ReadSoundFile(path, err);
    if (!sound)
        return ExitBadInput;
    const std::uint32_t rate = sound->format.sampleRate;
    params.order = order ? static_cast<std::size_t>(*order) : dsp::RequiredTractOrder(rate);

    const dsp::LatticeResult result = dsp::RunAdaptiveLattice(sound->left, params);
    std::vector<double> x(result.backwardError.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = 32.0 * result.backwardError[i];
    for (const auto& [option, samples] : {std::pair{"--out-x", &std::as_const(x)}, std::pair{"--out-y", &result.forwardError},
                                          std::pair{"--out-e", &result.backwardError}})
        if (const int status = WriteSlotIfAsked(arguments, option, *samples, rate, err); status != ExitOk)
            return status;

    const double finalPower = result.coefficientPower.empty() ? 0.0 : result.coefficientPower.back();
    if (arguments.has("--json")) {
        const nlohmann::json json = {{"order", params.order},
                                     {"alpha", params.alpha},
                                     {"gamma", params.gamma},
                                     {"samples", sound->left.size()},
                                     {"reflection", result.reflection},
                                     {"coefficient_power", finalPower}};
        out << json.dump() << '\n';
        return ExitOk;
    }
    out << "order " << params.order << ", " << sound->left.size() << " samples\nreflection";
    for (std::size_t m = 1; m < result.reflection.size(); ++m)
        out << ' ' << result.reflection[m];
    out << "\nsum of squared coefficients " << finalPower << '\n';
    return ExitOk;
}

} // namespace

KELVORA_CLI_COMMAND({"lattice", "IN [--alpha 0.999] [--gamma 1.0] [--order P] [--preemphasis] [--out-x X.wav] "
                                "[--out-y Y.wav] [--out-e E.wav] [--json]",
                     "the adaptive lattice predictor over IN: final reflection coefficients, forward (Y) and "
                     "backward (E) errors, X = 32 E",
                     RunLattice});

} // namespace kelvora::cli
