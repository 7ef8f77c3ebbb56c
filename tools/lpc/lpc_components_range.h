#pragma once
// The interval of the LPC principal-component tool and what one change of it redraws: the
// rules by which the start and width bars (0 … 2000 each) choose the interval, and the range
// analysis (waveform band, FrameMatrix of 1000 frames, waterfall) into the tool's picture.

#include "canvas/picture.h"
#include "dsp/level_range.h"
#include "dsp/lpc.h"
#include "dsp/lpc_frame_matrix.h"
#include "tools/lpc/lpc_components_drawing.h"

#include <cstddef>
#include <span>
#include <utility>

namespace kelvora {

inline constexpr int IntervalBarRange = 2000;

// The interval in samples and the bar positions that show it.
struct ComponentsInterval {
    std::size_t start = 0;
    std::size_t width = 0;
    int startPosition = 0;
    int widthPosition = 0;
    friend bool operator==(const ComponentsInterval&, const ComponentsInterval&) = default;
};

// Both rules read start = trunc(P0 × n / 2000) and width = trunc(P1 × n / 2000) for a signal of
// n samples and frames of N, and keep every frame inside the signal (start + width ≤ n − N);
// they need n ≥ N.
// Start bar: an interval reaching past n − N moves back to start at n − N − width, or, when the
// width alone is too much, becomes (0, n − N). P0 follows the start.
ComponentsInterval IntervalFromStartBar(std::size_t n, std::size_t frameSize, int startPosition, int widthPosition);
// The start bar's repair on an interval given in samples (n ≥ N): returns (start, width).
std::pair<std::size_t, std::size_t> KeepIntervalByStart(std::size_t n, std::size_t frameSize, long long start,
                                                        long long width);
// Width bar: the width is held to N … n − N first (the upper bound wins); then an interval
// reaching past n − N is narrowed to end there, or, when the start alone is too late, becomes
// (n − N, 0). P1 follows the width.
ComponentsInterval IntervalFromWidthBar(std::size_t n, std::size_t frameSize, int startPosition, int widthPosition);

// One range analysis: the interval, the prediction order p (1 … 100) and the frame length.
struct ComponentsRange {
    std::size_t start = 0;
    std::size_t width = 0;
    std::size_t order = 30;
    int log2Size = 10;
};

// The work arrays of range analyses, kept between them.
struct RangeWork {
    dsp::FrameMatrix matrix;
    dsp::LpcWorkspace lpc;
    WaterfallWork waterfall;
    // Block extremes of the signal for the waveform band, built once per signal (a signal is
    // known by its address and size; its samples must not change in place).
    SampleExtremes extremes;
    const double* extremesData = nullptr;
    std::size_t extremesSize = 0;
};

struct RangeAnalysis {
    bool analysed = false; // false: the frames do not fit in the signal; the picture is white
    int progressSteps = 0;
};

// Fills the picture white, then draws the interval band, fills work.matrix (dsp::FillFrameMatrix)
// and draws the waterfall scaled to `levels`, and blanks the rows below the waterfall.
RangeAnalysis AnalyseRange(std::span<const double> signal, const ComponentsRange& range,
                           const dsp::LevelRange& levels, RangeWork& work, Picture& picture);

} // namespace kelvora
