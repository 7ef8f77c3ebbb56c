// kelvora lpc FILE --start SAMPLE --order P [--size N] [--preemphasis] [--json]: linear prediction
// of one frame, the numbers other tools can be checked against.

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/sound_input.h"
#include "dsp/lpc.h"
#include "util/sprintf.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <ostream>

namespace kelvora::cli {
namespace {

int Log2SizeOf(long long size)
{
    for (int m = 2; m <= 16; ++m)
        if (size == (1LL << m))
            return m;
    throw UsageError("--size must be a power of two from 4 to 65536, not " + std::to_string(size));
}

std::vector<double> Slice(const std::vector<double>& values, std::size_t from, std::size_t to)
{
    return {values.begin() + static_cast<std::ptrdiff_t>(from), values.begin() + static_cast<std::ptrdiff_t>(to)};
}

int RunLpc(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const Arguments arguments(args, {"--preemphasis", "--json"}, {"--start", "--order", "--size"});
    arguments.expectPositionals(1);
    arguments.required("--start");
    arguments.required("--order");
    const long long startArgument = *arguments.integer("--start");
    const long long orderArgument = *arguments.integer("--order");
    if (startArgument < 0 || orderArgument < 0)
        throw UsageError("--start and --order must not be negative");

    const std::string& path = arguments.positionals()[0];
    const auto sound = ReadSoundFile(path, err);
    if (!sound)
        return ExitBadInput;
    const unsigned rate = std::max<unsigned>(sound->format.sampleRate, 1);
    const dsp::LpcFrameLength frame =
        arguments.value("--size") ? dsp::LpcFrameLength{0, Log2SizeOf(*arguments.integer("--size"))}
                                  : dsp::LpcFrameSize(rate);
    const std::size_t n = std::size_t{1} << frame.log2Size;
    const std::size_t order = static_cast<std::size_t>(orderArgument);
    if (order > dsp::LpcOrderLimit(n))
        throw UsageError(Sprintf("--order must stay below half the frame: at most %zu for %zu samples",
                                 dsp::LpcOrderLimit(n), n));
    const std::vector<double>& signal = sound->left;
    if (!HoldsAFrame(path, signal.size(), n, err))
        return ExitBadInput;
    const std::size_t start = std::min(static_cast<std::size_t>(startArgument), signal.size() - n);

    dsp::LpcWorkspace work(n, order);
    const dsp::LpcArrays arrays = work.arrays(order);
    if (arguments.has("--preemphasis"))
        dsp::FirstDifference(signal, start, n, arrays.re);
    else
        std::copy_n(signal.begin() + static_cast<std::ptrdiff_t>(start), n, arrays.re.begin());
    const bool silent = dsp::LpcAnalyzeFrame(arrays, order, frame.log2Size) == dsp::LpcStatus::Silent;

    const nlohmann::json result = {
        {"start", start},
        {"size", n},
        {"order", order},
        {"silent", silent},
        {"a", Slice(work.coefficients, 0, order + 1)},
        {"k", Slice(work.reflection, 1, order + 1)},
        {"error", Slice(work.error, 1, order + 1)},
        {"r", Slice(work.autocorrelation, 0, std::min(order + 1, n / 2))},
    };
    if (arguments.has("--json")) {
        out << result.dump() << '\n';
        return ExitOk;
    }
    out << Sprintf("%s\n  frame of %zu samples from sample %zu, order %zu%s\n", path.c_str(), n, start,
                   order, silent ? " (silent: nothing to predict)" : "");
    for (std::size_t i = 1; i <= order; ++i)
        out << Sprintf("  %3zu  a=% .9f  k=% .9f  E=%.9f\n", i, work.coefficients[i], work.reflection[i],
                       work.error[i]);
    return ExitOk;
}

} // namespace

KELVORA_CLI_COMMAND({"lpc", "FILE --start SAMPLE --order P [--size N] [--preemphasis] [--json]",
                     "linear prediction of one frame: a[0..p], k[1..p], relative error E[1..p], "
                     "autocorrelation r[0..p]",
                     RunLpc});

} // namespace kelvora::cli
