#pragma once
// The analysed interval of the spectral tools with two scroll bars: a start bar and a width bar,
// both 0 … 2000 over the whole sound, and the rules that keep the interval usable.

#include <cstddef>

namespace kelvora {

inline constexpr int RangeBarMaximum = 2000;

struct AnalysisRange {
    std::size_t start = 0;
    std::size_t width = 0;
    bool operator==(const AnalysisRange&) const = default;
};

// truncate(position * count / 2000) for both bars, in 64 bits.
AnalysisRange RangeFromPositions(int startPosition, int widthPosition, std::size_t count) noexcept;

// The bar position of a sample value: truncate(value * 2000 / count); 0 for an empty sound.
int RangePosition(std::size_t value, std::size_t count) noexcept;

// The 1/f tool's repair, in this order: the width is at least the frame length n, then the
// interval ends inside the sound (S = count - width otherwise). count must be at least n.
AnalysisRange RepairFluctuationRange(AnalysisRange range, std::size_t count, std::size_t n) noexcept;

} // namespace kelvora
