// kelvora fluctuation FILE [--start S] [--width W] [--picture OUT.png|OUT.bmp] [--json]: the 1/f
// analysis of the interval of W samples from sample S (by default the tool's opening interval),
// its picture, and the slope of the average spectrum and of each of the 800 frames.

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/picture_output.h"
#include "cli/sound_input.h"
#include "dsp/fluctuation.h"
#include "tools/spectral/analysis_range.h"
#include "tools/spectral/fluctuation_dialog.h"
#include "tools/spectral/fluctuation_picture.h"
#include "util/sprintf.h"

#include <nlohmann/json.hpp>

#include <ostream>

namespace kelvora::cli {
namespace {

std::size_t NonNegative(const Arguments& arguments, const std::string& option, std::size_t fallback)
{
    const std::optional<long long> value = arguments.integer(option);
    if (value && *value < 0)
        throw UsageError(option + " must not be negative");
    return value ? static_cast<std::size_t>(*value) : fallback;
}

const char* Verdict(double slope)
{
    if (slope > -0.5)
        return "white noise";
    if (slope > -1.5)
        return "1/f";
    return "regular";
}

int RunFluctuation(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const Arguments arguments(args, {"--json"}, {"--start", "--width", "--picture"});
    arguments.expectPositionals(1);
    const std::string& path = arguments.positionals()[0];
    const auto sound = ReadSoundFile(path, err);
    if (!sound)
        return ExitBadInput;
    const std::vector<double>& signal = sound->left;
    const std::size_t count = signal.size();
    if (!HoldsAFrame(path, count, dsp::FluctuationFrameSize, err))
        return ExitBadInput;
    const FluctuationState opening;
    const AnalysisRange byDefault{SamplesOfPosition(opening.startPosition, count),
                                  SamplesOfPosition(opening.widthPosition, count)};
    const AnalysisRange range = RepairFluctuationRange(
        {NonNegative(arguments, "--start", byDefault.start), NonNegative(arguments, "--width", byDefault.width)},
        count, dsp::FluctuationFrameSize);
    const std::uint32_t rate = std::max<std::uint32_t>(sound->format.sampleRate, 1);
    dsp::FluctuationResult result;
    dsp::AnalyseFluctuation(signal, range.start, range.width, rate, result);

    if (const auto picturePath = arguments.value("--picture")) {
        Picture picture;
        DrawFluctuationPicture(picture, result);
        if (const int status = WritePicture(picture, *picturePath, err); status != ExitOk)
            return status;
    }
    if (arguments.has("--json")) {
        nlohmann::json json;
        json["start"] = range.start;
        json["width"] = range.width;
        json["rate"] = rate;
        json["slope"] = result.slope;
        json["intercept"] = result.intercept;
        json["frame_slopes"] = result.frameSlopes;
        json["frequency_hz"] = nlohmann::json::array();
        json["average_db"] = nlohmann::json::array();
        for (std::size_t k = 1; k <= dsp::FluctuationLastBin; ++k) {
            json["frequency_hz"].push_back(static_cast<std::uint64_t>(rate) * k / dsp::FluctuationFrameSize);
            json["average_db"].push_back(result.averageDb[k]);
        }
        out << json.dump() << '\n';
    } else {
        out << Sprintf("%s\n  interval of %zu samples from sample %zu, %u Hz\n"
                       "  slope of the average spectrum %.3f (%s), intercept %.3f dB\n",
                       path.c_str(), range.width, range.start, rate, result.slope, Verdict(result.slope),
                       result.intercept);
    }
    return ExitOk;
}

} // namespace

KELVORA_CLI_COMMAND({"fluctuation", "FILE [--start S] [--width W] [--picture OUT.png|OUT.bmp] [--json]",
                     "1/f analysis of an interval (samples; left channel): spectral slope, its course over "
                     "800 frames, picture",
                     RunFluctuation});

} // namespace kelvora::cli
