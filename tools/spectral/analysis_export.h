#pragma once
// The frequency-analysis export: the cut frame, or what the analysis made of it, as a
// tab-separated text file for a spreadsheet. Values are on the raw 16-bit scale (the graph's
// amplitude times 32767, its power times 32767^2, its dB plus 90.3).
//
// File layouts (every line ends with "\n"):
//   waveform:        "波形", then N lines "%f" of the cut frame (windowed if the window was on).
//   dB/power/ampl.:  a header of the chosen column names, each followed by a tab, then for
//                    bins 0 .. N/2-1 one line of the chosen values, each "%f" and a tab.
//   autocorrelation: N lines "%f\t%f" of the lag in seconds and the autocorrelation divided by
//                    its value at lag 0 (so the first line reads 1.000000).
//   cepstrum:        "先にスペクトル包絡（赤）、その後にケプストラム（青）のデータ", then for every
//                    fourth bin i < N/2 a line "%f\t%f" of the frequency in Hz and the envelope;
//                    then the line "ケプストラム（青）" and for every lag i < N/2 a line
//                    "%f\t%f" of the quefrency in seconds and the liftered cepstrum, as the last
//                    cepstrum graph left both (zeros until a graph was drawn with a cursor).

#include "dsp/spectrum.h"
#include "files/result.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace kelvora {

enum class ExportWhat : int { Waveform = 1, Result = 2 };

// Columns of the spectrum export, in the order they are written.
enum ExportColumn : int {
    ColumnFrequency,
    ColumnReal,
    ColumnImaginary,
    ColumnPower,
    ColumnAmplitude,
    ColumnDb,
    ExportColumnCount,
};

// What the options dialog chose; kept for the whole run like the tool's other settings.
struct ExportOptions {
    ExportWhat what = ExportWhat::Result;
    std::array<bool, ExportColumnCount> columns{false, false, false, false, false, true};
    bool cancelled = false;
};

// The state of the analysis that the writer reads. Every span holds at least N = 2^log2Size
// values; none is changed.
struct ExportInput {
    std::span<const double> frame;    // the cut frame
    std::span<const double> envelope; // the envelope of the last autocorrelation/cepstrum graph
    std::span<const double> liftered; // the liftered sequence of that graph
    int log2Size = 10;
    dsp::AnalysisMode mode = dsp::AnalysisMode::Db;
    std::uint32_t sampleRate = 8000; // 0 is taken as 1
};

// The names of the export columns as the header line writes them.
const char* ExportColumnName(ExportColumn column) noexcept;

// The file's text for the input and options. Fails (CannotWrite, with a Japanese message)
// when the autocorrelation of an all-zero frame is asked for, which has no value at lag 0 to
// divide by, and when the arrays are shorter than N.
files::Result<std::string> AnalysisExportText(const ExportInput& input, const ExportOptions& options);

// The text above written to `path` through WriteFileAtomically; either failure is returned.
files::Status WriteAnalysisExport(const std::string& path, const ExportInput& input,
                                  const ExportOptions& options);

} // namespace kelvora
