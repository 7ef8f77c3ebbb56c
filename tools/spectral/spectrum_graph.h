#pragma once
// The frequency-analysis graph: a dB, power or amplitude spectrum, an autocorrelation or a
// cepstrum (with its lifter, liftered cepstrum and spectral envelope), with axes, tick labels,
// unit captions and an optional reading cursor. The numbers are worked out first
// (ComputeSpectrumGraph), then drawn from arrays and a layout (DrawSpectrumGraph), so each half
// can be checked on its own.

#include "canvas/picture.h"
#include "dsp/spectrum.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

namespace kelvora {

enum class GraphKind : int { Db = 1, Autocorrelation = 2, Cepstrum = 3, Power = 4, Amplitude = 5 };

GraphKind GraphKindFor(dsp::AnalysisMode mode) noexcept;

// The cursor value that means "no cursor".
inline constexpr double NoCursor = -1.0;

struct GraphLayout {
    int width = 750;  // W
    int height = 530; // H
    std::uint32_t sampleRate = 8000; // Hz; 0 is taken as 1

    int PlotHeight() const noexcept { return height - 35; }
    // x of point i of an n-point analysis: 60 + floor(i * (W - 60) / (n / 2)).
    int X(std::size_t i, std::size_t n) const noexcept;
};

// The arrays one graph works on, each of at least N elements, owned by the caller.
struct SpectrumGraphArrays {
    std::span<double> real;         // the analysis result (see SpectrumGraph); left unchanged
    std::span<double> imag;         // work: ends as the imaginary part of the envelope transform
    std::span<double> display;      // out: the plotted values D
    std::span<double> lifterWindow; // out (kinds 2, 3): the lifter curve
    std::span<double> liftered;     // out (kinds 2, 3): the liftered sequence
    std::span<double> envelope;     // out (kinds 2, 3): its transform; the envelope is [0, N/2)
};

// What DrawSpectrumGraph needs: the values and the scale, without any further computation.
struct SpectrumGraphData {
    GraphKind kind = GraphKind::Db;
    int log2Size = 10;
    double cursor = NoCursor;
    double scale = 0; // M, the GraphPeak in force for this drawing
    std::span<const double> display;
    std::span<const double> lifterWindow;
    std::span<const double> liftered;
    std::span<const double> envelope;
    std::size_t lifterPoints = 0; // points of the lifter and liftered curves
    dsp::EnvelopeRange envelopeRange;
};

// Works out the values of one graph. `real` must hold, for kinds Db, Power and Amplitude, the
// normalised power spectrum; for Autocorrelation the direction -1 transform of it; for Cepstrum
// the direction -1 transform of its dB values. Fills display; for kinds 2 and 3 also the lifter
// curve, the liftered sequence (lifter length (N/2) * cursor, none for NoCursor) and its
// envelope. graphPeak is the process-wide scale: it grows to the largest |D[k]| (the
// cepstrum's element 0 left out) and is never lowered here. A log2Size outside 1 .. 20 or
// short arrays give an empty result (no points) and change nothing.
SpectrumGraphData ComputeSpectrumGraph(const SpectrumGraphArrays& arrays, int log2Size,
                                       GraphKind kind, double cursor, double& graphPeak);

// Draws the graph on `target` (normally white, W x H as the layout says) in black, with the
// lifter in green, the liftered sequence in blue and the envelope in red for kinds 2 and 3
// (the envelope only when its maximum exceeds its minimum). A zero scale draws the values as
// 0 rather than dividing by it. The last x label and the cursor's texts are moved left where
// they would run past the right edge, and the cursor's texts are kept inside vertically.
// progressStep is called at every 1000th point of the main curve and of the envelope. A cursor
// below 0 (NoCursor) draws none.
void DrawSpectrumGraph(Picture& target, const SpectrumGraphData& data, const GraphLayout& layout,
                       const std::function<void()>& progressStep = {});

// Both steps, as the dialog calls them.
void SpectrumGraph(Picture& target, const SpectrumGraphArrays& arrays, int log2Size, GraphKind kind,
                   double cursor, double& graphPeak, const GraphLayout& layout,
                   const std::function<void()>& progressStep = {});

} // namespace kelvora
