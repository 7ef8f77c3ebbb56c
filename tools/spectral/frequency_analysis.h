#pragma once
// What the frequency-analysis tool keeps between openings, and the pieces of one analysis that
// the dialog and the command line share: the work arrays, the start sample of a bar position,
// and analysing and drawing a frame into the graph picture.

#include "canvas/picture.h"
#include "dsp/spectrum.h"
#include "tools/spectral/analysis_export.h"
#include "tools/spectral/spectrum_graph.h"

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

namespace kelvora {

// The tool's arrays of N doubles, zero-filled whenever they are (re)allocated: the analysis
// result (real, imag), the cut frame, the plotted values, the liftered sequence and the
// envelope, plus the lifter curve the graph draws.
struct AnalysisWorkArrays {
    std::size_t size = 0;
    std::vector<double> real, imag, frame, display, liftered, envelope, lifterWindow;

    void Allocate(std::size_t n);
    void Free();
    SpectrumGraphArrays GraphArrays();
    // What the export reads (frame, envelope, liftered).
    ExportInput Export(int log2Size, dsp::AnalysisMode mode, std::uint32_t sampleRate) const;
};

// The blinking reminder of the analysis dialogs: 0 idle, 1 "the graph is stale", 2 "too little
// data", with its tick counter.
struct NoticeBlink {
    enum State : int { Idle = 0, Reminder = 1, TooLittleData = 2 };
    int state = Idle;
    int count = 0;
};

// Everything of the tool that survives the closing of its dialog (Session::toolState).
struct FrequencyAnalysisState {
    int startPosition = 25;   // start bar, 0 .. 5000
    int cursorPosition = 100; // cursor bar, 0 .. 1024
    double graphPeak = 0.0;   // GraphPeak: the graphs' scale, reset when N or the mode changes
    dsp::AnalysisMode mode = dsp::AnalysisMode::Db;
    AnalysisWorkArrays arrays;
    NoticeBlink blink;
    ExportOptions exportOptions;
};

inline constexpr int StartBarRange = 5000;
inline constexpr int CursorBarRange = 1024;

// First sample of the frame for a start-bar position: truncate(position * count / 5000),
// at most count - n, and 0 when the signal is shorter than n. Computed in 64 bits, so long
// sounds do not overflow.
std::size_t StartSampleFor(int position, std::size_t count, std::size_t n) noexcept;

// One analysis as a start-bar move runs it: cuts the frame at params.start (windowed when
// params.hann) into arrays.frame, computes the result of params.mode into arrays.real/imag, and
// draws the graph without a cursor on `graph` (cleared to white first). `arrays` must be
// allocated for params.size(). Returns false, with nothing changed, when the frame does not fit
// inside the signal.
bool AnalyseAndDraw(std::span<const double> signal, const dsp::AnalysisParams& params,
                    AnalysisWorkArrays& arrays, Picture& graph, double& graphPeak,
                    const GraphLayout& layout, const std::function<void()>& progressStep = {});

// Redraws the graph of `kind` from the arrays as they stand, with the cursor at `cursor`
// (0 .. 1, or NoCursor), on `graph` cleared to white: the cursor bar's redraw.
void RedrawGraph(AnalysisWorkArrays& arrays, int log2Size, GraphKind kind, double cursor,
                 Picture& graph, double& graphPeak, const GraphLayout& layout,
                 const std::function<void()>& progressStep = {});

} // namespace kelvora
