// kelvora fft FILE [--start SAMPLE] [--size N] [--mode db|power|amplitude|autocorrelation|cepstrum]
//   [--no-window] [--cursor C] [--picture OUT.png|OUT.bmp]
//   [--export OUT.txt [--what waveform|result] [--columns frequency,real,...]] [--json]:
// one frame of the frequency analysis, as the dialog computes, draws and exports it.

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/picture_output.h"
#include "cli/sound_input.h"
#include "dsp/fft.h"
#include "tools/shell/session.h"
#include "tools/spectral/frequency_analysis.h"
#include "util/sprintf.h"

#include <map>
#include <ostream>
#include <sstream>

namespace kelvora::cli {
namespace {

const std::map<std::string, dsp::AnalysisMode> Modes = {
    {"db", dsp::AnalysisMode::Db},
    {"power", dsp::AnalysisMode::Power},
    {"amplitude", dsp::AnalysisMode::Amplitude},
    {"autocorrelation", dsp::AnalysisMode::Autocorrelation},
    {"cepstrum", dsp::AnalysisMode::Cepstrum},
};

const std::map<std::string, ExportColumn> Columns = {
    {"frequency", ColumnFrequency}, {"real", ColumnReal},           {"imaginary", ColumnImaginary},
    {"power", ColumnPower},         {"amplitude", ColumnAmplitude}, {"db", ColumnDb},
};

int Log2SizeOf(long long size)
{
    for (int m = 8; m <= 16; ++m)
        if (size == (1LL << m))
            return m;
    throw UsageError("--size must be a power of two from 256 to 65536, not " + std::to_string(size));
}

ExportOptions ExportOptionsOf(const Arguments& arguments)
{
    ExportOptions options;
    const std::string what = arguments.value("--what").value_or("result");
    if (what == "waveform")
        options.what = ExportWhat::Waveform;
    else if (what != "result")
        throw UsageError("--what must be waveform or result");
    if (const auto list = arguments.value("--columns")) {
        options.columns.fill(false);
        std::stringstream names(*list);
        std::string name;
        while (std::getline(names, name, ',')) {
            const auto column = Columns.find(name);
            if (column == Columns.end())
                throw UsageError("unknown column \"" + name +
                                 "\" (frequency, real, imaginary, power, amplitude, db)");
            options.columns[column->second] = true;
        }
    }
    return options;
}

struct Peak {
    std::size_t bin = 0;
    double db = -110.0;
};

// The largest normalised dB value over bins 0 .. N/2-1 of the frame's power spectrum.
Peak SpectrumPeak(std::span<const double> frame, int log2Size)
{
    const std::size_t n = std::size_t{1} << log2Size;
    std::vector<double> real(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(n)), imag(n);
    dsp::PowerSpectrumInPlace(real, imag, log2Size);
    Peak peak;
    peak.db = dsp::PowerToDb(real[0]);
    for (std::size_t k = 1; k < n / 2; ++k)
        if (const double db = dsp::PowerToDb(real[k]); db > peak.db) {
            peak.db = db;
            peak.bin = k;
        }
    return peak;
}

int RunFft(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const Arguments arguments(args, {"--no-window", "--json"},
                              {"--start", "--size", "--mode", "--cursor", "--picture", "--export",
                               "--what", "--columns"});
    arguments.expectPositionals(1);
    const int log2Size = Log2SizeOf(arguments.integer("--size").value_or(1024));
    const std::size_t n = std::size_t{1} << log2Size;
    const std::string modeName = arguments.value("--mode").value_or("db");
    const auto mode = Modes.find(modeName);
    if (mode == Modes.end())
        throw UsageError("--mode must be db, power, amplitude, autocorrelation or cepstrum");
    const long long startArgument = arguments.integer("--start").value_or(0);
    if (startArgument < 0)
        throw UsageError("--start must not be negative");
    const double cursor = arguments.number("--cursor").value_or(NoCursor);
    if (arguments.value("--cursor") && !(cursor >= 0.0 && cursor <= 1.0))
        throw UsageError("--cursor must lie between 0 and 1");
    if (!arguments.value("--export") && (arguments.value("--what") || arguments.value("--columns")))
        throw UsageError("--what and --columns belong to --export");
    const ExportOptions exportOptions = ExportOptionsOf(arguments);

    const std::string& path = arguments.positionals()[0];
    const auto sound = ReadSoundFile(path, err);
    if (!sound)
        return ExitBadInput;
    const std::vector<double>& signal = sound->left;
    if (!HoldsAFrame(path, signal.size(), n, err))
        return ExitBadInput;

    dsp::AnalysisParams params;
    params.log2Size = log2Size;
    params.start = std::min(static_cast<std::size_t>(startArgument), signal.size() - n);
    params.mode = mode->second;
    params.hann = !arguments.has("--no-window");
    const std::uint32_t rate = std::max<std::uint32_t>(sound->format.sampleRate, 1);
    const GraphLayout layout{ResultCanvasWidth, ResultCanvasHeight, rate};

    AnalysisWorkArrays arrays;
    arrays.Allocate(n);
    Picture graph(ResultCanvasWidth, ResultCanvasHeight);
    double graphPeak = 0.0;
    AnalyseAndDraw(signal, params, arrays, graph, graphPeak, layout);
    if (cursor >= 0.0)
        RedrawGraph(arrays, log2Size, GraphKindFor(params.mode), cursor, graph, graphPeak, layout);

    if (const auto picturePath = arguments.value("--picture"))
        if (const int status = WritePicture(graph, *picturePath, err); status != ExitOk)
            return status;
    if (const auto exportPath = arguments.value("--export")) {
        const files::Status written =
            WriteAnalysisExport(*exportPath, arrays.Export(log2Size, params.mode, rate), exportOptions);
        if (!written) {
            err << OneLine(*exportPath, written.error().message) << '\n';
            return ExitBadInput;
        }
    }

    const Peak peak = SpectrumPeak(arrays.frame, log2Size);
    const double peakHz = dsp::BinFrequency(peak.bin, n, rate);
    if (arguments.has("--json")) {
        out << Sprintf("{\"size\":%zu,\"start\":%zu,\"rate\":%u,\"mode\":\"%s\",\"window\":%s,"
                       "\"peak_bin\":%zu,\"peak_hz\":%.6f,\"peak_db\":%.6f}\n",
                       n, params.start, rate, modeName.c_str(), params.hann ? "true" : "false",
                       peak.bin, peakHz, peak.db);
    } else {
        out << Sprintf("%s\n  frame of %zu samples from sample %zu (%s), %u Hz\n"
                       "  spectrum peak: bin %zu, %.3f Hz, %.3f dB\n",
                       path.c_str(), n, params.start, params.hann ? "Hann window" : "no window", rate,
                       peak.bin, peakHz, peak.db);
    }
    return ExitOk;
}

} // namespace

KELVORA_CLI_COMMAND({"fft",
                     "FILE [--start SAMPLE] [--size N] [--mode db|power|amplitude|autocorrelation|cepstrum] "
                     "[--no-window] [--cursor C] [--picture OUT.png|OUT.bmp] [--export OUT.txt "
                     "[--what waveform|result] [--columns frequency,real,imaginary,power,amplitude,db]] [--json]",
                     "one frame of a sound (left channel): spectrum, autocorrelation or cepstrum graph, text export, peak",
                     RunFft});

} // namespace kelvora::cli
