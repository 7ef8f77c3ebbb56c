#pragma once
// The two cuts of the waveform editor, shared by the dialog and the command line.

#include "tools/audio/strip_dialog.h"

#include <optional>
#include <string>
#include <vector>

namespace kelvora {

// Keeps only samples frame.start … frame.start + frame.width − 1 (the frame is first clipped to
// the signal). Returns the frame the editor shows next: start 0 and width one less than the new
// count, so that keeping again without moving the frame drops the last sample; a one-sample
// result keeps its one sample framed.
FrameRange KeepInterval(std::vector<double>& samples, FrameRange frame);

// Removes samples frame.start … frame.start + frame.width − 1 (clipped to the signal). Returns
// the frame the editor shows next: the same start with width 1, moved back onto the last sample
// when the cut took the end of the signal, and (0, 0) when nothing is left.
FrameRange DeleteInterval(std::vector<double>& samples, FrameRange frame);

// Why start … start + width − 1 is not an interval of a signal of `count` samples (a negative
// start, a width below 1, or an end past the signal), or nothing when it is one.
std::optional<std::string> FrameProblem(std::size_t count, long long start, long long width);

} // namespace kelvora
