// kelvora lpc-workbench IN [--frame 1024|512|256] [--order P] [--preemphasis]
//   [--table a|k|r|area|spectrum|cepstrum] [--table-csv OUT.csv] [--with W.wav] [--out-x X.wav]
//   [--out-y Y.wav] [--out-e E.wav] [--out-ye YE.csv] [--json]: the LPC workbench's pass over a
// whole sound, as its dialog runs it; X is 30 × the forward error, YE the cepstral distance to W.

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/sound_input.h"
#include "cli/workbench_output.h"
#include "dsp/lpc.h"
#include "dsp/lpc_workbench.h"
#include "tools/lpc/lpc_workbench_dialog.h"
#include "util/sprintf.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <map>
#include <ostream>
#include <utility>

namespace kelvora::cli {
namespace {

const std::map<std::string, dsp::LpcQuantity> Quantities = {
    {"a", dsp::LpcQuantity::Coefficients},     {"k", dsp::LpcQuantity::Reflection},
    {"r", dsp::LpcQuantity::Autocorrelation},  {"area", dsp::LpcQuantity::Areas},
    {"spectrum", dsp::LpcQuantity::Spectrum}, {"cepstrum", dsp::LpcQuantity::Cepstrum},
};

int Log2FrameOf(long long frame)
{
    switch (frame) {
    case 1024: return 10;
    case 512: return 9;
    case 256: return 8;
    default: throw UsageError("--frame must be 1024, 512 or 256");
    }
}

std::vector<std::vector<double>> TableRows(const dsp::LpcResultTable& table)
{
    std::vector<std::vector<double>> rows;
    for (std::size_t r = 0; r < dsp::LpcResultTable::Rows; ++r) {
        const auto values = table.row(r);
        std::vector<double> row = {static_cast<double>(r)};
        row.insert(row.end(), values.begin(), values.end());
        rows.push_back(std::move(row));
    }
    return rows;
}

int RunLpcWorkbenchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const Arguments arguments(args, {"--preemphasis", "--json"},
                              {"--frame", "--order", "--table", "--table-csv", "--with", "--out-x", "--out-y",
                               "--out-e", "--out-ye"});
    arguments.expectPositionals(1);
    const auto frame = arguments.integer("--frame");
    const auto order = IntegerWithin(arguments, "--order", 1, 100);
    const std::string tableName = arguments.value("--table").value_or("area");
    const auto quantity = Quantities.find(tableName);
    if (quantity == Quantities.end())
        throw UsageError("--table must be a, k, r, area, spectrum or cepstrum");

    const std::string& path = arguments.positionals()[0];
    const auto sound = ReadSoundFile(path, err);
    if (!sound)
        return ExitBadInput;
    std::vector<double> partner;
    if (const auto withPath = arguments.value("--with")) {
        const auto with = ReadSoundFile(*withPath, err);
        if (!with)
            return ExitBadInput;
        partner = with->left;
    }
    const std::uint32_t rate = sound->format.sampleRate;
    dsp::LpcWorkbenchParams params;
    params.log2Size = frame ? Log2FrameOf(*frame) : std::clamp(dsp::LpcFrameSize(rate).log2Size, 8, 10);
    params.order = order ? static_cast<std::size_t>(*order) : std::clamp(dsp::RequiredTractOrder(rate), 1u, 100u);
    params.preemphasis = arguments.has("--preemphasis");
    params.quantity = quantity->second;

    dsp::LpcResultTable table;
    const auto result = dsp::RunLpcWorkbench(sound->left, partner, params, table);
    if (!result) {
        const std::size_t n = std::size_t{1} << params.log2Size;
        err << OneLine(path, Sprintf(TooShortFormat, static_cast<int>(dsp::LpcWorkbenchMinimum(n)))) << '\n';
        return ExitBadInput;
    }
    std::vector<double> x(result->forwardError.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = 30.0 * result->forwardError[i];
    for (const auto& [option, samples] : {std::pair{"--out-x", &std::as_const(x)}, std::pair{"--out-y", &result->forwardError},
                                          std::pair{"--out-e", &result->backwardError}})
        if (const int status = WriteSlotIfAsked(arguments, option, *samples, rate, err); status != ExitOk)
            return status;
    if (const auto yePath = arguments.value("--out-ye")) {
        std::vector<std::vector<double>> rows;
        rows.reserve(result->cepstralDistance.size());
        for (std::size_t i = 0; i < result->cepstralDistance.size(); ++i)
            rows.push_back({static_cast<double>(i), result->cepstralDistance[i]});
        if (const int status = WriteCsv(*yePath, "sample,ye_db", rows, err); status != ExitOk)
            return status;
    }
    if (const auto tablePath = arguments.value("--table-csv")) {
        std::string header = "row";
        for (std::size_t i = 0; i < table.rowLength; ++i)
            header += "," + tableName + std::to_string(i);
        if (const int status = WriteCsv(*tablePath, header, TableRows(table), err); status != ExitOk)
            return status;
    }

    const std::size_t n = std::size_t{1} << params.log2Size;
    if (arguments.has("--json")) {
        nlohmann::json json = {{"frame", n},
                               {"order", params.order},
                               {"frames", result->frames},
                               {"last_start", result->lastStart},
                               {"y_at_last_start", result->forwardError[result->lastStart]},
                               {"row_length", table.rowLength}};
        if (!partner.empty()) {
            double sum = 0.0;
            for (double d : result->cepstralDistance)
                sum += d;
            json["mean_cepstral_distance_db"] = sum / static_cast<double>(result->cepstralDistance.size());
        }
        out << json.dump() << '\n';
        return ExitOk;
    }
    out << result->frames << " frames of " << n << " points, order " << params.order << "; "
        << Sprintf("%d %f", static_cast<int>(result->lastStart), result->forwardError[result->lastStart]) << '\n';
    return ExitOk;
}

} // namespace

KELVORA_CLI_COMMAND({"lpc-workbench",
                     "IN [--frame 1024|512|256] [--order P] [--preemphasis] [--table a|k|r|area|spectrum|cepstrum] "
                     "[--table-csv OUT.csv] [--with W.wav] [--out-x X.wav] [--out-y Y.wav] [--out-e E.wav] "
                     "[--out-ye YE.csv] [--json]",
                     "linear prediction every half frame over IN: forward (Y) and backward (E) errors, X = 30 Y, the "
                     "500-row table of one quantity, and the cepstral distance to W (YE)",
                     RunLpcWorkbenchCommand});

} // namespace kelvora::cli
