#include "dsp/noise_shaping.h"

#include "dsp/short_frames.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <stdexcept>
#include <vector>

namespace kelvora::dsp {

double PinkGain(std::size_t bin, std::uint32_t sampleRate) noexcept
{
    return std::sqrt(static_cast<double>(sampleRate) / static_cast<double>(ShortFrameSize) /
                     static_cast<double>(bin));
}

std::string ShapePink(std::span<double> samples, std::uint32_t sampleRate, std::pmr::memory_resource* memory)
{
    std::pmr::vector<double> output(memory);
    try {
        output.resize(samples.size());
    } catch (const std::bad_alloc&) {
        return "メモリが足りないため処理できません。音は元のままです。";
    } catch (const std::length_error&) {
        return "音が長すぎるため処理できません。音は元のままです。";
    }
    constexpr std::size_t Half = ShortFrameSize / 2;
    ShortFrame gain{};
    for (std::size_t k = 1; k <= Half; ++k) {
        gain[k] = PinkGain(k, sampleRate);
        gain[ShortFrameSize - k] = gain[k]; // bin 256 is its own mirror and gets it once
    }
    ShortFrame real, imag;
    for (std::size_t start = 0; start < samples.size(); start += ShortFrameHop) {
        LoadFrameSpectrum(samples, start, real, imag);
        for (std::size_t k = 0; k < ShortFrameSize; ++k) {
            real[k] *= gain[k];
            imag[k] *= gain[k];
        }
        AddFrameBack(real, imag, start, output);
    }
    std::copy(output.begin(), output.end(), samples.begin());
    return {};
}

} // namespace kelvora::dsp
