// kelvora order FILE --start SAMPLE [--size 1024|512|256] [--criterion aic|fpe] [--no-preemphasis]
//   [--picture OUT] [--json]: the optimal prediction order of one frame, as the "AIC" tool finds it.

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/picture_output.h"
#include "cli/sound_input.h"
#include "dsp/prediction_order.h"
#include "tools/spectral/order_graph.h"
#include "util/sprintf.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <ostream>

namespace kelvora::cli {
namespace {

int Log2SizeOf(long long size)
{
    for (int m = 8; m <= 10; ++m)
        if (size == (1LL << m))
            return m;
    throw UsageError("--size must be 256, 512 or 1024, not " + std::to_string(size));
}

// A criterion value for JSON: one that is not a number (a silent frame's AIC) becomes null.
nlohmann::json JsonValue(double value)
{
    return std::isfinite(value) ? nlohmann::json(value) : nlohmann::json(nullptr);
}

int RunOrder(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const Arguments arguments(args, {"--no-preemphasis", "--json"},
                              {"--start", "--size", "--criterion", "--picture"});
    arguments.expectPositionals(1);
    arguments.required("--start");
    const long long startArgument = *arguments.integer("--start");
    if (startArgument < 0)
        throw UsageError("--start must not be negative");
    dsp::OrderSearchParams params;
    params.log2Size = Log2SizeOf(arguments.integer("--size").value_or(256));
    params.preemphasis = !arguments.has("--no-preemphasis");
    const std::string criterionName = arguments.value("--criterion").value_or("aic");
    if (criterionName == "fpe")
        params.criterion = dsp::OrderCriterion::Fpe;
    else if (criterionName != "aic")
        throw UsageError("--criterion must be aic or fpe");

    const std::string& path = arguments.positionals()[0];
    const auto sound = ReadSoundFile(path, err);
    if (!sound)
        return ExitBadInput;
    const std::vector<double>& signal = sound->left;
    const std::size_t n = params.size();
    if (!HoldsAFrame(path, signal.size(), n, err))
        return ExitBadInput;
    params.start = std::min(static_cast<std::size_t>(startArgument), signal.size() - n);

    dsp::OrderSearchWork work;
    std::array<double, dsp::OrderCount> criteria{};
    dsp::EvaluateOrders(signal, params, work, criteria);
    const dsp::OrderOptimum optimum = dsp::FindOptimalOrder(criteria);
    const std::string reason = FlatGraphReason(optimum);

    if (const auto picturePath = arguments.value("--picture")) {
        Picture graph(OrderGraphWidth, OrderGraphHeight);
        DrawOrderGraph(graph, criteria, optimum);
        if (const int status = WritePicture(graph, *picturePath, err); status != ExitOk)
            return status;
    }
    if (arguments.has("--json")) {
        nlohmann::json values = nlohmann::json::array();
        for (double value : criteria)
            values.push_back(JsonValue(value));
        nlohmann::json result = {
            {"start", params.start},
            {"size", n},
            {"criterion_name", criterionName},
            {"preemphasis", params.preemphasis},
            {"order", optimum.defined ? nlohmann::json(optimum.order) : nlohmann::json(nullptr)},
            {"minimum", optimum.defined ? JsonValue(optimum.lowest) : nlohmann::json(nullptr)},
            {"criterion", values},
        };
        if (!reason.empty())
            result["note"] = reason;
        out << result.dump() << '\n';
        return ExitOk;
    }
    out << path << '\n'
        << Sprintf("  frame of %zu samples from sample %zu, %s, %s\n", n, params.start,
                   params.preemphasis ? "pre-emphasised" : "not pre-emphasised", criterionName.c_str());
    if (optimum.defined && !optimum.flat())
        out << Sprintf("  optimal order %zu, criterion %.6f\n", optimum.order, optimum.lowest);
    else
        out << "  no optimal order: " << (optimum.defined ? "every order has the same criterion"
                                                          : "the frame is silent")
            << '\n';
    return ExitOk;
}

} // namespace

KELVORA_CLI_COMMAND({"order",
                     "FILE --start SAMPLE [--size 1024|512|256] [--criterion aic|fpe] [--no-preemphasis] "
                     "[--picture OUT] [--json]",
                     "the optimal prediction order of one frame: AIC or FPE of orders 0 to 99 and its graph",
                     RunOrder});

} // namespace kelvora::cli
