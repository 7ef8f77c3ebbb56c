#pragma once
// The level range of a whole sound's spectra, fixed once so that curves drawn later for any
// part of the sound share one vertical scale.

#include <span>

namespace kelvora::dsp {

// Starts inverted (max below min) so that the first value sets both.
struct LevelRange {
    double max = -10000.0;
    double min = 1000.0;
    bool scalable() const noexcept { return max > min; }
};

// Over the frames at s = 0, then N, 2N, ... while s + N stays below the signal's size
// (N = 2^log2Size), each
// weighted with HannWindow and transformed forward: the highest and lowest of
// 10 log10(re^2 + im^2 + 1e-6) over the bins below N/2. A signal shorter than N gives its one
// frame with the missing samples as 0, so that shorter frames chosen later still have a scale;
// an empty signal leaves the range as it starts.
LevelRange SpectrumLevelRange(std::span<const double> signal, int log2Size);

} // namespace kelvora::dsp
