#include "dsp/short_frames.h"

#include "dsp/fft.h"

#include <algorithm>

namespace kelvora::dsp {

const ShortFrame& ShortFrameWindow() noexcept
{
    static const ShortFrame window = [] {
        ShortFrame w{};
        for (std::size_t i = 0; i < ShortFrameSize; ++i)
            w[i] = HannWindow(i, ShortFrameSize);
        return w;
    }();
    return window;
}

void LoadFrameSpectrum(std::span<const double> x, std::size_t start, ShortFrame& real,
                       ShortFrame& imag) noexcept
{
    const ShortFrame& window = ShortFrameWindow();
    const std::size_t inside = start < x.size() ? std::min(ShortFrameSize, x.size() - start) : 0;
    for (std::size_t i = 0; i < inside; ++i)
        real[i] = window[i] * x[start + i];
    std::fill(real.begin() + static_cast<std::ptrdiff_t>(inside), real.end(), 0.0);
    imag.fill(0.0);
    FftInPlace(real, imag, ShortFrameLog2, FftForward);
}

void AddFrameBack(ShortFrame& real, ShortFrame& imag, std::size_t start,
                  std::span<double> output) noexcept
{
    FftInPlace(real, imag, ShortFrameLog2, FftConjugate);
    const std::size_t inside = start < output.size() ? std::min(ShortFrameSize, output.size() - start) : 0;
    for (std::size_t i = 0; i < inside; ++i)
        output[start + i] += real[i];
}

} // namespace kelvora::dsp
