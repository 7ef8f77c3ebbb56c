#pragma once
// The mixed tone of the hearing demonstration: two sines at 16 kHz, each given by a whole-hertz
// frequency and a peak amplitude, and the rules that turn a volume bar position into a level
// and an amplitude. 0 dB is a peak of 16383, so the two tones together stay within 16 bits.

#include <cstdint>
#include <span>

namespace kelvora::dsp {

inline constexpr std::uint32_t TwoTonesRate = 16000;
// Samples in the loop that plays: 2 s, whole periods of every whole-hertz frequency.
inline constexpr std::uint32_t TwoTonesLoopLength = 32000;
inline constexpr int ZeroDbAmplitude = 16383;

struct Tone {
    int frequency = 0; // Hz
    int amplitude = 0; // peak, 16-bit sample units
    bool operator==(const Tone&) const = default;
};

// Level in dB of a volume bar position 0 … 500 (top = 0): −position ÷ 5, truncated toward zero.
constexpr int LevelOfPosition(int position) noexcept
{
    return -position / 5;
}

// Peak amplitude of a level in dB: 16383 · √(10^(level ÷ 10)), truncated toward zero.
// 0 dB → 16383, −10 dB → 5180, −20 dB → 1638, −100 dB → 0.
int AmplitudeOfLevel(double level) noexcept;

// The level an amplitude shows as: 20 · log10(amplitude ÷ 16383), truncated toward zero; an
// amplitude of 0 or less, which has no level, shows as −100, the bottom of the bars.
int LevelOfAmplitude(int amplitude) noexcept;

// Sample n of the loop (n taken modulo 32000): trunc(A2 · sin(2π n F2 ÷ 16000) +
// A1 · sin(2π n F1 ÷ 16000)), held at the 16-bit limits.
std::int16_t TwoTonesSample(std::uint32_t n, const Tone& first, const Tone& second) noexcept;

// Fills `out` with samples from, from + 1, … of the loop.
void FillTwoTones(std::span<std::int16_t> out, std::uint64_t from, const Tone& first, const Tone& second) noexcept;

} // namespace kelvora::dsp
