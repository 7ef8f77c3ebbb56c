// kelvora spectrogram FILE [--start S] [--width W] [--frame 1024|512|256] [--slice P]
//   [--picture OUT.png|OUT.bmp] [--csv OUT.csv] [--json]: the spectrogram tool's picture of an
// interval (start and width in samples, held inside the sound as the width bar holds them), and
// the level matrix behind it: one row per column, its time in seconds and the dB level of each
// of the 512 rows, under a header of the rows' frequencies in Hz.

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/picture_output.h"
#include "cli/sound_input.h"
#include "files/atomic_write.h"
#include "tools/spectral/spectrogram.h"
#include "util/sprintf.h"

#include <nlohmann/json.hpp>

#include <ostream>
#include <sstream>

namespace kelvora::cli {
namespace {

int Log2FrameOf(long long frame)
{
    switch (frame) {
    case 1024: return 10;
    case 512: return 9;
    case 256: return 8;
    default: throw UsageError("--frame must be 1024, 512 or 256");
    }
}

std::string LevelTable(const SpectrogramLevelMatrix& matrix, std::size_t n, std::uint32_t rate)
{
    std::string text = "time_s";
    for (int r = 0; r < SpectrogramRows; ++r)
        text += Sprintf(",%.4f", static_cast<double>(SpectrogramBinOfRow(r, n)) * rate / static_cast<double>(n));
    text += '\n';
    for (std::size_t c = 0; c < matrix.frameStarts.size(); ++c) {
        text += Sprintf("%.6f", static_cast<double>(matrix.frameStarts[c]) / rate);
        for (int r = 0; r < SpectrogramRows; ++r)
            text += Sprintf(",%.3f", matrix.levels[c * SpectrogramRows + static_cast<std::size_t>(r)]);
        text += '\n';
    }
    return text;
}

int RunSpectrogram(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const Arguments arguments(args, {"--json"}, {"--start", "--width", "--frame", "--slice", "--picture", "--csv"});
    arguments.expectPositionals(1);
    const int log2Size = Log2FrameOf(arguments.integer("--frame").value_or(1024));
    const std::size_t n = std::size_t{1} << log2Size;
    const long long slicePosition = arguments.integer("--slice").value_or(-1);
    if (arguments.value("--slice") && (slicePosition < 0 || slicePosition > AnalysisBarRange))
        throw UsageError("--slice must be a bar position from 0 to 2000");
    const long long startArgument = arguments.integer("--start").value_or(-1);
    const long long widthArgument = arguments.integer("--width").value_or(-1);
    if ((arguments.value("--start") && startArgument < 0) || (arguments.value("--width") && widthArgument < 0))
        throw UsageError("--start and --width must not be negative");

    const std::string& path = arguments.positionals()[0];
    const auto sound = ReadSoundFile(path, err);
    if (!sound)
        return ExitBadInput;
    const std::vector<double>& signal = sound->left;
    const std::size_t count = signal.size();
    if (!HoldsAFrame(path, count, n, err))
        return ExitBadInput;
    const std::uint32_t rate = std::max<std::uint32_t>(sound->format.sampleRate, 1);
    // The tool's opening interval unless given, then held inside the sound as the width bar does.
    AnalysisRange range{startArgument >= 0 ? static_cast<std::size_t>(startArgument) : count / 5,
                        widthArgument >= 0 ? static_cast<std::size_t>(widthArgument) : count / 5};
    range.start = std::min(range.start, count);
    range = RepairSpectrogramWidth(range, count, n);

    const DbRange db = ScanDbRange(signal, log2Size);
    Picture picture(SpectrogramWidth, SpectrogramHeight);
    DrawSpectrogramImage(picture, signal, range, log2Size, db.max);
    DrawSpectrogramAxes(picture, range, rate, BlackPen);
    std::optional<std::size_t> slice;
    if (slicePosition >= 0) {
        slice = SliceStart(static_cast<int>(slicePosition), range, count, n);
        DrawSpectrogramSlice(picture, signal, *slice, log2Size, db, Pen{Blue});
    }

    if (const auto picturePath = arguments.value("--picture"))
        if (const int status = WritePicture(picture, *picturePath, err); status != ExitOk)
            return status;
    if (const auto csvPath = arguments.value("--csv")) {
        const std::string table = LevelTable(ComputeSpectrogramLevels(signal, range, log2Size), n, rate);
        if (const int status = ReportWrite(*csvPath, files::WriteFileAtomically(
                *csvPath, std::span(reinterpret_cast<const std::uint8_t*>(table.data()), table.size())), err); status != ExitOk)
            return status;
    }

    if (arguments.has("--json")) {
        // A sound of exactly one frame has no frame for the range scan: its range is unknown.
        const bool scanned = db.max >= db.min;
        nlohmann::json json = {{"start", range.start},
                               {"width", range.width},
                               {"frame", n},
                               {"max_db", scanned ? nlohmann::json(db.max) : nlohmann::json()},
                               {"min_db", scanned ? nlohmann::json(db.min) : nlohmann::json()},
                               {"rate", rate}};
        if (slice)
            json["slice_start"] = *slice;
        out << json.dump() << '\n';
    } else {
        out << Sprintf("%s\n  interval of %zu samples from sample %zu, frames of %zu, %u Hz\n"
                       "  levels of the sound: %.3f to %.3f dB\n",
                       path.c_str(), range.width, range.start, n, rate, db.min, db.max);
    }
    return ExitOk;
}

} // namespace

KELVORA_CLI_COMMAND({"spectrogram",
                     "FILE [--start S] [--width W] [--frame 1024|512|256] [--slice P] "
                     "[--picture OUT.png|OUT.bmp] [--csv OUT.csv] [--json]",
                     "colour spectrogram of an interval (samples) of a sound, with its level matrix as CSV",
                     RunSpectrogram});

} // namespace kelvora::cli
