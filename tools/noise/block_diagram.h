#pragma once
// The workbench's block diagram of the tracking method: the frame's spectrum, its power, the
// chain of delays holding the last frames, the variances of the runs feeding a minimum
// selector, the scaled noise power taken off the frame's power, and the gain that multiplies
// the spectrum before the inverse transform.

#include "canvas/picture.h"

namespace kelvora {

inline constexpr int BlockDiagramWidth = 304;
inline constexpr int BlockDiagramHeight = 288;

// The diagram in black on white, BlockDiagramWidth x BlockDiagramHeight.
Picture DrawBlockDiagram();

} // namespace kelvora
