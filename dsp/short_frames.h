#pragma once
// The framing shared by the noise tools: 512-sample Hann-weighted frames every 256 samples,
// transformed forward (scaled by 1/512), changed in the frequency domain, transformed back and
// added up. With the 50 % overlap the Hann weights sum to one, so frames that come back
// unchanged rebuild the interior of the sound exactly.

#include <array>
#include <cstddef>
#include <span>

namespace kelvora::dsp {

inline constexpr int ShortFrameLog2 = 9;
inline constexpr std::size_t ShortFrameSize = std::size_t{1} << ShortFrameLog2; // 512
inline constexpr std::size_t ShortFrameHop = ShortFrameSize / 2;                // 256

using ShortFrame = std::array<double, ShortFrameSize>;

// HannWindow(i, 512) for i = 0 … 511.
const ShortFrame& ShortFrameWindow() noexcept;

// Number of frames a sound of `count` samples is cut into: starts 0, 256, … below count.
constexpr std::size_t ShortFrameCount(std::size_t count) noexcept
{
    return (count + ShortFrameHop - 1) / ShortFrameHop;
}

// real = the Hann-weighted samples x[start … start + 511], imag = 0, then the forward
// transform. Positions past the end of x are zero: nothing is read beyond it.
void LoadFrameSpectrum(std::span<const double> x, std::size_t start, ShortFrame& real,
                       ShortFrame& imag) noexcept;

// Transforms (real, imag) back (direction -1) and adds real[i] to output[start + i] for the
// positions inside output.
void AddFrameBack(ShortFrame& real, ShortFrame& imag, std::size_t start,
                  std::span<double> output) noexcept;

} // namespace kelvora::dsp
