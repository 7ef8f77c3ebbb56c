#include "tools/spectral/analysis_range.h"

#include <algorithm>
#include <cstdint>

namespace kelvora {

std::size_t SamplesOfPosition(int position, std::size_t count) noexcept
{
    return static_cast<std::size_t>(static_cast<std::uint64_t>(std::max(position, 0)) * count / AnalysisBarRange);
}

int PositionOfSamples(std::size_t value, std::size_t count) noexcept
{
    if (count == 0)
        return 0;
    return static_cast<int>(static_cast<std::uint64_t>(value) * AnalysisBarRange / count);
}

AnalysisRange RepairSpectrogramWidth(AnalysisRange range, std::size_t count, std::size_t n) noexcept
{
    if (count < n)
        return range;
    range.width = std::clamp(range.width, std::min(n, count - n), count - n);
    if (range.start + range.width > count - n)
        range.start = count - range.width - n;
    return range;
}

AnalysisRange RepairSpectrogramStart(AnalysisRange range, std::size_t count, std::size_t n) noexcept
{
    if (count < n)
        return range;
    if (range.start + range.width > count - n)
        range.start = range.width > count - n ? 0 : count - range.width - n;
    return range;
}

AnalysisRange RepairFluctuationRange(AnalysisRange range, std::size_t count, std::size_t n) noexcept
{
    range.width = std::min(std::max(range.width, n), count);
    if (range.start + range.width > count)
        range.start = count - range.width;
    return range;
}

} // namespace kelvora
