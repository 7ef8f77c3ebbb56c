#include "dsp/two_tones.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kelvora::dsp {

int AmplitudeOfLevel(double level) noexcept
{
    return static_cast<int>(ZeroDbAmplitude * std::sqrt(std::pow(10.0, level / 10.0)));
}

int LevelOfAmplitude(int amplitude) noexcept
{
    if (amplitude <= 0)
        return -100;
    return static_cast<int>(20.0 * std::log10(static_cast<double>(amplitude) / ZeroDbAmplitude));
}

std::int16_t TwoTonesSample(std::uint32_t n, const Tone& first, const Tone& second) noexcept
{
    // The loop index keeps the phase exact however long the sound runs.
    const double t = static_cast<double>(n % TwoTonesLoopLength);
    const double value = second.amplitude * std::sin(2.0 * std::numbers::pi * t * second.frequency / TwoTonesRate) +
                         first.amplitude * std::sin(2.0 * std::numbers::pi * t * first.frequency / TwoTonesRate);
    return static_cast<std::int16_t>(std::clamp(value, -32768.0, 32767.0));
}

void FillTwoTones(std::span<std::int16_t> out, std::uint64_t from, const Tone& first, const Tone& second) noexcept
{
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = TwoTonesSample(static_cast<std::uint32_t>((from + i) % TwoTonesLoopLength), first, second);
}

} // namespace kelvora::dsp
