// kelvora vowel FILE [--start SAMPLE] [--order P] [--picture OUT] [--spectra OUT] [--json]: F1, F2
// and the vocal-tract areas of one frame, as the vowel tool finds them, with its chart.

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/picture_output.h"
#include "cli/sound_input.h"
#include "tools/lpc/vowel_analysis.h"
#include "tools/lpc/vowel_chart.h"
#include "tools/spectral/frequency_analysis.h"
#include "util/sprintf.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <ostream>

namespace kelvora::cli {
namespace {

// The vowel tool's start bar opens at 25 of 5000.
constexpr int DefaultStartPosition = 25;

int RunVowel(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const Arguments arguments(args, {"--json"}, {"--start", "--order", "--picture", "--spectra"});
    arguments.expectPositionals(1);
    const auto startArgument = arguments.integer("--start");
    const auto orderArgument = arguments.integer("--order");
    if (startArgument.value_or(0) < 0 || orderArgument.value_or(0) < 0)
        throw UsageError("--start and --order must not be negative");

    const std::string& path = arguments.positionals()[0];
    const auto sound = ReadSoundFile(path, err);
    if (!sound)
        return ExitBadInput;
    const unsigned rate = std::max<unsigned>(sound->format.sampleRate, 1);
    const dsp::LpcFrameLength frame = dsp::LpcFrameSize(rate);
    const std::vector<double>& signal = sound->left;
    if (!HoldsAFrame(path, signal.size(), frame.size, err))
        return ExitBadInput;
    const std::size_t start =
        startArgument ? std::min(static_cast<std::size_t>(*startArgument), signal.size() - frame.size)
                      : StartSampleFor(DefaultStartPosition, signal.size(), frame.size);
    const std::size_t order =
        orderArgument ? static_cast<std::size_t>(*orderArgument) : dsp::VowelDefaultOrder(rate);

    VowelWork work;
    const VowelFrame found = AnalyseVowel(signal, start, frame, order, rate, work);

    if (const auto picturePath = arguments.value("--picture")) {
        Picture chart(VowelChartWidth, VowelChartHeight);
        VowelChart(chart, found.f1, found.f2, VowelChartHeight, VowelChartWidth, work.lpc.reflection,
                   found.order);
        if (const int status = WritePicture(chart, *picturePath, err); status != ExitOk)
            return status;
    }
    if (const auto spectraPath = arguments.value("--spectra")) {
        Picture spectra(VowelPictureWidth, VowelPictureHeight);
        DrawVowelWaveform(spectra, signal);
        DrawVowelFrameBox(spectra, start, frame.size, signal.size());
        DrawVowelSpectra(spectra, found, work);
        if (const int status = WritePicture(spectra, *spectraPath, err); status != ExitOk)
            return status;
    }

    if (arguments.has("--json")) {
        const nlohmann::json result = {
            {"start", start},       {"frame", frame.size}, {"rate", rate},
            {"order", found.order}, {"f1", found.f1},      {"f2", found.f2},
            {"silent", found.silent},
            {"areas", std::vector<double>(work.areas.begin(), work.areas.begin() +
                                                                  static_cast<std::ptrdiff_t>(found.order + 1))},
        };
        out << result.dump() << '\n';
        return ExitOk;
    }
    out << Sprintf("%s\n  frame of %zu samples (%.2f ms) from sample %zu, order %zu\n"
                   "  f1=%6.2f(Hz)  f2=%6.2f(Hz)%s\n",
                   path.c_str(), frame.size, frame.size * 1000.0 / rate, start, found.order, found.f1,
                   found.f2, found.silent ? "  (silent frame: no formants)" : "");
    return ExitOk;
}

} // namespace

KELVORA_CLI_COMMAND({"vowel", "FILE [--start SAMPLE] [--order P] [--picture OUT] [--spectra OUT] [--json]",
                     "F1, F2 and vocal-tract areas of one frame; the vowel chart (--picture) and the "
                     "waveform with spectrum and LPC envelope (--spectra)",
                     RunVowel});

} // namespace kelvora::cli
