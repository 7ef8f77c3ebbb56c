#pragma once
// The drawings of the LPC principal-component tool, all in one 800 x 552 picture: the analysed
// interval as a waveform band at the top left, the LPC spectra of its frames as a waterfall
// below it, and the first two component scores of every frame as a scatter plot on the right.

#include "canvas/picture.h"
#include "dsp/level_range.h"
#include "dsp/lpc_components.h"
#include "tools/audio/waveform_strip.h"

#include <QPoint>

#include <cstddef>
#include <span>
#include <vector>

namespace kelvora {

inline constexpr int ComponentsPictureWidth = 800;
inline constexpr int ComponentsPictureHeight = 552;
// D: the waterfall's depth, and the row below which the picture is left blank.
inline constexpr int WaterfallDepth = ComponentsPictureHeight - 40;
// Columns of the waterfall's time axis between two curves.
inline constexpr int WaterfallStep = 15;

// The interval start … start + width − 1 scaled to its own peak M: a polyline through
// (trunc(i × D / width), trunc(x / M × 50 + 50)), starting at its first point. An interval of
// zeros lies on the line y = 50. The interval must lie inside the signal. `extremes` indexes
// the same signal: each of the D columns is drawn as the span between its lowest and highest
// point (which is what the polyline's segments inside a column cover), so a long interval
// costs a few block look-ups per column instead of a segment per sample.
void DrawIntervalBand(Picture& picture, std::span<const double> signal, const SampleExtremes& extremes,
                      std::size_t start, std::size_t width);

// Row of curve point j (0 … 199) of the waterfall curve at depth c, δ pixels lower:
// trunc(200 − (level − Lmin) × 200 / (Lmax − Lmin) + c + δ).
int WaterfallY(double level, const dsp::LevelRange& range, int c, int delta);

// One waterfall curve at depth c from levels[0 … N/2) of an N-point LPC spectrum: point j lies at
// x = 100 + j with the level of bin trunc(j × N × 0.5 / 200). First a white pen 4 pixels wide is
// swept down the 96 rows below the curve (δ = 4, 8, … 96, each stroke begun at (100, D)), so
// that the curve hides the earlier curves behind it; then the curve is drawn in black, begun at
// (100, D).
void DrawWaterfallCurve(Picture& picture, std::span<const double> levels, std::size_t n, int c,
                        const dsp::LevelRange& range);

// Work arrays of the waterfall's spectra, sized on first use and kept.
struct WaterfallWork {
    std::vector<double> re, im, levels;
};

// The whole waterfall: for c = 0, 15, 30, … below D, the LPC spectrum (LpcEnvelope) of row
// trunc(1000 × c / D) of the matrix, drawn with DrawWaterfallCurve. Draws nothing without a
// usable level range. Returns how many times the progress bar steps (at c = 0, 500, …).
int DrawLpcWaterfall(Picture& picture, const dsp::FrameMatrix& matrix, int log2Size,
                     const dsp::LevelRange& range, WaterfallWork& work);

// Blanks the rows from D down and draws the base line from (50, D) to the right edge.
void FinishRangePicture(Picture& picture);

// Centre of a frame's mark in the scatter plot: (trunc(650 + s1 × 150 / max|s1|),
// trunc(250 − s2 × 250 / max|s2|)). A maximum of 0 has no scale: every score of that axis is 0
// and lies on the axis.
QPoint ScatterPoint(double s1, double s2, const dsp::ComponentScores& scores);

// The scatter plot: a white box (500, 0)–(799, 499) framed in black, its axes through (650, 250),
// and a black circle of radius 2 around the point of every frame (none while max|s1| is 0, when
// the plot has no scale).
void DrawPcaScatter(Picture& picture, const dsp::ComponentScores& scores);

// The mark of the current frame: a red circle of radius 4 drawn with a pen 4 pixels wide.
void MarkScatterPoint(Picture& picture, double s1, double s2, const dsp::ComponentScores& scores);

// A circle around `centre`: every pixel whose distance from it lies within penWidth / 2 of the
// radius gets the colour, and the pixels inside that ring turn white (the brush of the plot).
void DrawCircle(Picture& picture, QPoint centre, int radius, int penWidth, QRgb colour);

} // namespace kelvora
