#include "tools/spectral/analysis_range.h"

#include <cstdint>

namespace kelvora {

AnalysisRange RangeFromPositions(int startPosition, int widthPosition, std::size_t count) noexcept
{
    auto value = [count](int position) {
        const auto p = static_cast<std::uint64_t>(position < 0 ? 0 : position);
        return static_cast<std::size_t>(p * count / RangeBarMaximum);
    };
    return {value(startPosition), value(widthPosition)};
}

int RangePosition(std::size_t value, std::size_t count) noexcept
{
    if (count == 0)
        return 0;
    return static_cast<int>(static_cast<std::uint64_t>(value) * RangeBarMaximum / count);
}

AnalysisRange RepairFluctuationRange(AnalysisRange range, std::size_t count, std::size_t n) noexcept
{
    if (range.width < n)
        range.width = n;
    if (range.width > count)
        range.width = count;
    if (range.start + range.width > count)
        range.start = count - range.width;
    return range;
}

} // namespace kelvora
