#pragma once
// What the workbench tools do with the trace slots besides running: the smoothed power ratio of
// Y written into E, the move of W into YE, and the plot of one slot that a dialog shows in its
// own picture.

#include "canvas/picture.h"
#include "tools/shell/sound_format.h"
#include "tools/shell/trace_slots.h"

#include <span>
#include <vector>

namespace kelvora {

inline constexpr const char* PowerRatioCaption = "EにYの平均パワを出力";

// True when the slot holds at least one sample: an empty slot and a slot of no samples are
// both "nothing stored".
bool HoldsSamples(const TraceSlots& traceSlots, SlotNumber slot);

// The smoothed variance-to-squared-mean ratio of |y| in dB, sample by sample:
// m = (100 m + |y|) / 101, v = (100 v + (m − |y|)²) / 101, value 10 log10(v / m²). While m is
// still 0 (nothing but zeros so far) the ratio is undefined and the value is 0 dB, so silence
// plots as a flat line instead of filling E with not-a-numbers.
std::vector<double> SmoothedPowerRatioDb(std::span<const double> y);

// E = SmoothedPowerRatioDb(Y), with Y's count. Returns false (and changes nothing) when Y holds
// no samples.
bool YPowerRatio(TraceSlots& traceSlots);

// YE takes W's samples and W keeps its count with every sample zeroed. With nothing in W, YE
// is left empty too. Returns whether anything was moved.
bool MoveWToYE(TraceSlots& traceSlots);

// One slot drawn as a new sound's window would draw it, scaled to its largest magnitude, on a
// fresh 750 x 530 picture: the picture a dialog shows after it has changed that slot.
Picture SlotPlot(std::span<const double> samples, const SoundFormat& format);

} // namespace kelvora
