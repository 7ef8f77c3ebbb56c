#pragma once
// Conversion of samples in integer units to the 16-bit values that are played and written.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kelvora::dsp {

// One sample to 16 bits: truncated toward zero, then held at −32768 … 32767 so that loud noise
// or an overshooting wave clips instead of wrapping round to the opposite sign. NaN gives 0.
std::int16_t ToPcm16(double sample) noexcept;

// Converts min(samples.size(), out.size()) samples into out and returns how many it wrote;
// out is caller-owned and nothing past that count is touched.
std::size_t ToPcm16(std::span<const double> samples, std::span<std::int16_t> out) noexcept;

// The whole span converted into a new buffer of the same length.
std::vector<std::int16_t> ToPcm16(std::span<const double> samples);

} // namespace kelvora::dsp
