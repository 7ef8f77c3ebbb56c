#include "dsp/pcm16.h"

#include <algorithm>
#include <cmath>

namespace kelvora::dsp {

std::int16_t ToPcm16(double sample) noexcept
{
    if (std::isnan(sample))
        return 0;
    // Compare before converting: casting an out-of-range double to an integer is undefined.
    const double truncated = std::trunc(sample);
    if (truncated >= 32767.0)
        return 32767;
    if (truncated <= -32768.0)
        return -32768;
    return static_cast<std::int16_t>(truncated);
}

std::size_t ToPcm16(std::span<const double> samples, std::span<std::int16_t> out) noexcept
{
    const std::size_t count = std::min(samples.size(), out.size());
    for (std::size_t i = 0; i < count; ++i)
        out[i] = ToPcm16(samples[i]);
    return count;
}

std::vector<std::int16_t> ToPcm16(std::span<const double> samples)
{
    std::vector<std::int16_t> out(samples.size());
    ToPcm16(samples, out);
    return out;
}

} // namespace kelvora::dsp
