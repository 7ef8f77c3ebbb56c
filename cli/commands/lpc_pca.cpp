// kelvora lpc-pca FILE [--start S] [--width W] [--order P] [--frame 1024|512|256]
//   [--picture OUT.png|OUT.bmp] [--export LPC_DATA.txt] [--json]:
// the principal components of the LPC coefficients of 1000 frames spread over samples
// S … S + W − 1, as the "KPC-PAC" dialog computes, draws and exports them after "全計算(保存)".

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/picture_output.h"
#include "cli/sound_input.h"
#include "tools/audio/waveform_strip.h"
#include "tools/lpc/lpc_components_export.h"
#include "tools/lpc/lpc_components_range.h"
#include "tools/shell/session.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <ostream>
#include <tuple>

namespace kelvora::cli {
namespace {

int Log2FrameOf(long long size)
{
    for (int m : {8, 9, 10})
        if (size == (1LL << m))
            return m;
    throw UsageError("--frame must be 1024, 512 or 256, not " + std::to_string(size));
}

int RunLpcPca(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const Arguments arguments(args, {"--json"}, {"--start", "--width", "--order", "--frame", "--picture", "--export"});
    arguments.expectPositionals(1);
    const int log2Size = Log2FrameOf(arguments.integer("--frame").value_or(1024));
    const std::size_t frame = std::size_t{1} << log2Size;
    const long long order = arguments.integer("--order").value_or(30);
    if (order < 1 || order > static_cast<long long>(dsp::MaxComponentOrder))
        throw UsageError("--order must lie between 1 and 100");
    const long long start = arguments.integer("--start").value_or(0);
    if (start < 0)
        throw UsageError("--start must not be negative");
    if (arguments.integer("--width").value_or(0) < 0)
        throw UsageError("--width must not be negative");

    const std::string& path = arguments.positionals()[0];
    const auto sound = ReadSoundFile(path, err);
    if (!sound)
        return ExitBadInput;
    const std::vector<double>& signal = sound->left;
    if (!HoldsAFrame(path, signal.size(), frame, err))
        return ExitBadInput;
    const long long width = arguments.integer("--width").value_or(static_cast<long long>(signal.size() - frame));
    ComponentsRange range;
    std::tie(range.start, range.width) = KeepIntervalByStart(signal.size(), frame, start, width);
    range.order = static_cast<std::size_t>(order);
    range.log2Size = log2Size;
    const std::uint32_t rate = std::max<std::uint32_t>(sound->format.sampleRate, 1);

    RangeWork work;
    Picture drawing(ComponentsPictureWidth, ComponentsPictureHeight);
    AnalyseRange(signal, range, dsp::SpectrumLevelRange(signal, 10), work, drawing);
    const dsp::PrincipalComponents components = dsp::AnalyseComponents(work.matrix);
    DrawPcaScatter(drawing, components.scores);
    if (!(components.scores.firstPeak > 0.0))
        err << path << ": every first score is 0 (order " << order << "), so the scatter plot has no scale\n";

    if (const auto picturePath = arguments.value("--picture")) {
        const Picture shown = ShrinkKeepingLines(drawing, ResultCanvasWidth, ResultCanvasHeight);
        if (const int status = WritePicture(shown, *picturePath, err); status != ExitOk)
            return status;
    }
    if (const auto exportPath = arguments.value("--export")) {
        const files::Status written = WriteComponentsExport(*exportPath, work.matrix, components, range.width, rate);
        if (!written)
            return ReportWrite(*exportPath, written, err);
    }

    if (arguments.has("--json")) {
        nlohmann::json json = {{"start", range.start},
                               {"width", range.width},
                               {"order", range.order},
                               {"frame", frame},
                               {"rate", rate},
                               {"eigenvalues", components.eigen.values},
                               {"score_max", {components.scores.firstPeak, components.scores.secondPeak}}};
        out << json.dump() << '\n';
    } else {
        out << path << "\n  1000 frames of " << frame << " samples over samples " << range.start << " … "
            << range.start + range.width << ", order " << range.order << ", " << rate << " Hz\n  eigenvalues:";
        for (std::size_t e = 0; e < components.eigen.values.size() && e < 5; ++e)
            out << ' ' << components.eigen.values[e];
        out << (components.eigen.values.size() > 5 ? " …" : "") << "\n  largest |s1|, |s2|: "
            << components.scores.firstPeak << ", " << components.scores.secondPeak << '\n';
    }
    return ExitOk;
}

} // namespace

KELVORA_CLI_COMMAND({"lpc-pca",
                     "FILE [--start S] [--width W] [--order P] [--frame 1024|512|256] "
                     "[--picture OUT.png|OUT.bmp] [--export LPC_DATA.txt] [--json]",
                     "principal components of the LPC coefficients of 1000 frames of an interval: "
                     "waterfall, scatter plot, text export, eigenvalues",
                     RunLpcPca});

} // namespace kelvora::cli
