#pragma once
// Qt's raster fills and text drawing leave the upper halves of the AVX registers in use. Until
// they are cleared, every scalar SSE instruction of ordinary compiled code (cos, log10, the
// frame and curve loops) pays a state-transition penalty: cutting a 65536-point Hann-weighted
// frame right after a QImage fill took 8 ms instead of 0.5 ms. The picture and painter functions
// that call into Qt's raster code clear the state before they return.

namespace kelvora {

// Marks the upper vector register halves clean (vzeroupper) on x86 processors with AVX;
// nothing elsewhere. Cheap enough to call once per analysis or drawing.
void ClearUpperVectorState() noexcept;

} // namespace kelvora
