// kelvora formants FILE [--order P] [--step-ms MS] --csv OUT: F1 and F2 of every frame of the
// whole sound, picked as the vowel tool picks them, one line per frame.

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/sound_input.h"
#include "files/atomic_write.h"
#include "tools/lpc/vowel_analysis.h"
#include "util/sprintf.h"

#include <algorithm>
#include <ostream>
#include <string>

namespace kelvora::cli {
namespace {

int RunFormants(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const Arguments arguments(args, {}, {"--order", "--step-ms", "--csv"});
    arguments.expectPositionals(1);
    const std::string csvPath = arguments.required("--csv");
    const auto orderArgument = arguments.integer("--order");
    if (orderArgument.value_or(0) < 0)
        throw UsageError("--order must not be negative");
    const double stepMs = arguments.number("--step-ms").value_or(10.0);
    if (!(stepMs > 0.0 && stepMs <= 60000.0))
        throw UsageError("--step-ms must be a positive number of milliseconds");

    const std::string& path = arguments.positionals()[0];
    const auto sound = ReadSoundFile(path, err);
    if (!sound)
        return ExitBadInput;
    const unsigned rate = std::max<unsigned>(sound->format.sampleRate, 1);
    const dsp::LpcFrameLength frame = dsp::LpcFrameSize(rate);
    const std::vector<double>& signal = sound->left;
    if (!HoldsAFrame(path, signal.size(), frame.size, err))
        return ExitBadInput;
    const std::size_t order = orderArgument ? static_cast<std::size_t>(*orderArgument) : dsp::VowelDefaultOrder(rate);
    const std::size_t step = std::max<std::size_t>(static_cast<std::size_t>(stepMs * rate / 1000.0), 1);

    // Each frame's time is that of its centre.
    std::string csv = "time_s,f1_hz,f2_hz\n";
    VowelWork work;
    std::size_t frames = 0;
    for (std::size_t start = 0; start + frame.size <= signal.size(); start += step, ++frames) {
        const VowelFrame found = AnalyseVowel(signal, start, frame, order, rate, work);
        csv += Sprintf("%.6f,%.2f,%.2f\n", (static_cast<double>(start) + frame.size / 2.0) / rate,
                       found.f1, found.f2);
    }
    const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(csv.data()), csv.size());
    if (const int status = ReportWrite(csvPath, files::WriteFileAtomically(csvPath, bytes), err);
        status != ExitOk)
        return status;
    out << Sprintf("%zu frames of %zu samples every %zu samples, order %zu, written to %s\n", frames,
                   frame.size, step, std::min(order, dsp::LpcOrderLimit(frame.size)), csvPath.c_str());
    return ExitOk;
}

} // namespace

KELVORA_CLI_COMMAND({"formants", "FILE [--order P] [--step-ms MS] --csv OUT",
                     "F1 and F2 over time: every frame of the whole sound, as the vowel tool picks them, "
                     "timed at the frame's centre",
                     RunFormants});

} // namespace kelvora::cli
