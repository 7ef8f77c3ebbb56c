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

void OverlapAdd::add(ShortFrame& real, ShortFrame& imag, std::size_t start) noexcept
{
    FftInPlace(real, imag, ShortFrameLog2, FftConjugate);
    for (std::size_t i = 0; i < ShortFrameSize; ++i)
        pending_[i] += real[i];
    const std::size_t complete = start < samples_.size() ? std::min(ShortFrameHop, samples_.size() - start) : 0;
    std::copy_n(pending_.begin(), complete, samples_.begin() + static_cast<std::ptrdiff_t>(start));
    std::copy(pending_.begin() + ShortFrameHop, pending_.end(), pending_.begin());
    std::fill(pending_.begin() + ShortFrameHop, pending_.end(), 0.0);
}

} // namespace kelvora::dsp
