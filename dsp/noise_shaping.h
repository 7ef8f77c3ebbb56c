#pragma once
// Reshapes a sound's spectrum frame by frame so that every frequency's amplitude falls as
// 1/sqrt(f), its power as 1/f: white noise comes out as pink (1/f) noise. Same framing as the
// spectral subtraction: 512-sample Hann frames every 256 samples, overlap-add.

#include <cstddef>
#include <cstdint>
#include <span>

namespace kelvora::dsp {

// Gain of bin k (1 … 256) of a 512-point frame at `sampleRate`: sqrt(R / 512 / k), which is
// (R / 512) / sqrt(f) at the bin's frequency f = k R / 512.
double PinkGain(std::size_t bin, std::uint32_t sampleRate) noexcept;

// Replaces `samples` with the shaped sound of the same length, in place: in every frame bin 0
// (the constant part) becomes 0 and bins k and 512 - k are multiplied by PinkGain(k). There is
// no normalisation. Allocates nothing.
void ShapePink(std::span<double> samples, std::uint32_t sampleRate) noexcept;

} // namespace kelvora::dsp
