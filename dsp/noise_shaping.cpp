#include "dsp/noise_shaping.h"

#include "dsp/short_frames.h"

#include <algorithm>
#include <cmath>

namespace kelvora::dsp {

double PinkGain(std::size_t bin, std::uint32_t sampleRate) noexcept
{
    return std::sqrt(static_cast<double>(sampleRate) / static_cast<double>(ShortFrameSize) /
                     static_cast<double>(bin));
}

void ShapePink(std::span<double> samples, std::uint32_t sampleRate) noexcept
{
    constexpr std::size_t Half = ShortFrameSize / 2;
    ShortFrame gain{};
    for (std::size_t k = 1; k <= Half; ++k) {
        gain[k] = PinkGain(k, sampleRate);
        gain[ShortFrameSize - k] = gain[k]; // bin 256 is its own mirror and gets it once
    }
    ShortFrame real, imag;
    OverlapAdd output(samples);
    for (std::size_t start = 0; start < samples.size(); start += ShortFrameHop) {
        LoadFrameSpectrum(samples, start, real, imag);
        for (std::size_t k = 0; k < ShortFrameSize; ++k) {
            real[k] *= gain[k];
            imag[k] *= gain[k];
        }
        output.add(real, imag, start);
    }
}

} // namespace kelvora::dsp
