#pragma once
// AnalysisRange: the start and width of the analysed interval, set with two scroll bars of
// range 0 … 2000 (start bar and width bar), and the rules by which the spectrogram and the 1/f
// tool keep the interval inside the sound.

#include <cstddef>

namespace kelvora {

inline constexpr int AnalysisBarRange = 2000;

struct AnalysisRange {
    std::size_t start = 0;
    std::size_t width = 0;
    bool operator==(const AnalysisRange&) const = default;
};

// Samples of a bar position: truncate(position · count ÷ 2000).
std::size_t SamplesOfPosition(int position, std::size_t count) noexcept;
// Bar position of a sample value: truncate(value · 2000 ÷ count); 0 for an empty sound.
int PositionOfSamples(std::size_t value, std::size_t count) noexcept;

// The spectrogram's repair after the width bar moved: width at least n and at most
// count − n, then start + width at most count − n. Unchanged when count < n (nothing can be
// analysed then).
AnalysisRange RepairSpectrogramWidth(AnalysisRange range, std::size_t count, std::size_t n) noexcept;
// The spectrogram's repair after the start bar moved: only start + width at most count − n,
// the start held at 0 when the width alone leaves no room.
AnalysisRange RepairSpectrogramStart(AnalysisRange range, std::size_t count, std::size_t n) noexcept;

// The 1/f tool's repair after either bar moved, in this order: the width is at least the frame
// length n, then the interval ends inside the sound (start = count − width otherwise). A sound
// shorter than n gets the whole sound.
AnalysisRange RepairFluctuationRange(AnalysisRange range, std::size_t count, std::size_t n) noexcept;

} // namespace kelvora
