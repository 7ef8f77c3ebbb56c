#pragma once
// The 1/f tool's picture (800 x 300): the slope of each frame across the interval along the top,
// the average spectrum on log-log axes with its red regression line and blue dotted lines of
// slope -1, and the verdict scale with an arrow text at the slope's place. Also the small card
// that explains the slope coefficient.

#include "canvas/picture.h"
#include "dsp/fluctuation.h"

#include <string>

namespace kelvora {

inline constexpr int FluctuationPictureWidth = 800;
inline constexpr int FluctuationPictureHeight = 300;

// Draws the whole picture for `result` on `picture` (made 800 x 300 and white first).
void DrawFluctuationPicture(Picture& picture, const dsp::FluctuationResult& result);

// The arrow text "左図の赤線の傾き係数＝%3.2f →" and its top, placed for a slope held to
// -3.1 … 1.1 so that it stays on the verdict scale; the printed value is the true one.
std::string VerdictArrowText(double slope);
int VerdictArrowY(double slope) noexcept;
inline constexpr int VerdictArrowX = 240;

// Line 1073: "-(%3.2f)=%3.2f" with the slope and its negative.
std::string SlopeResultLine(double slope);

// The explanation card: the slope coefficient is the exponent of f in 1/f.
Picture DrawSlopeCard();
inline constexpr int SlopeCardWidth = 220, SlopeCardHeight = 90;

// The slope time course's axis beside the picture: 0.0, -1.0 and -2.0 ticks, in a 50 x 60
// picture shown at dialog pixels (0, FluctuationAxisTop), in the dialog's coordinates.
inline constexpr int FluctuationAxisTop = 178;
Picture DrawSlopeAxis();

} // namespace kelvora
