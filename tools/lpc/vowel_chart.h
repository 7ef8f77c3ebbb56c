#pragma once
// The vowel chart of the vowel tool: F1 across the left half, F2 up the height, the five
// reference regions of the Japanese vowels with their labels, the measured vowel as a red dot,
// and on the right half the vocal-tract area profile from the glottis to the lips.

#include "canvas/picture.h"

#include <QPoint>

#include <array>
#include <cstddef>
#include <span>

namespace kelvora {

inline constexpr int VowelChartWidth = 572, VowelChartHeight = 225;

// One reference region: 15 points (F1, F2) in Hz, joined in order and closed.
struct VowelRegion {
    const char* vowel;
    std::array<std::array<int, 2>, 15> points;
};
extern const std::array<VowelRegion, 5> VowelRegions;

// Where the chart of `width` x `height` pixels puts (f1, f2) Hz: x = d * F1 / 2800 + 40 and
// y = c - (c - 20) * F2 / 3400 - 20 with c the height and d = width - 40, in integers.
// (The chart's F1 axis spans 0 .. 1400 Hz over the left half, F2 0 .. 3400 Hz over the height.)
QPoint VowelChartPoint(int f1, int f2, int height = VowelChartHeight, int width = VowelChartWidth);

// Draws the whole chart of `width` x `height` onto `chart` (expected white): axes with ticks and
// labels, the regions, the vowel labels, the red dot at (f1, f2) Hz and the tract profile of the
// reflection coefficients k[1 .. p] (TubeAreas with A0 = 10, drawn as pixel heights) with "声門"
// and "唇" under its ends.
void VowelChart(Picture& chart, double f1, double f2, int height, int width,
                std::span<const double> reflection, std::size_t order);

} // namespace kelvora
