#pragma once
// The framing shared by the noise tools: 512-sample Hann-weighted frames every 256 samples,
// transformed forward (scaled by 1/512), changed in the frequency domain, transformed back and
// added up. With the 50 % overlap the Hann weights sum to one, so frames that come back
// unchanged rebuild the interior of the sound exactly.

#include <array>
#include <cstddef>
#include <span>

namespace kelvora::dsp {

inline constexpr int ShortFrameLog2 = 9;
inline constexpr std::size_t ShortFrameSize = std::size_t{1} << ShortFrameLog2; // 512
inline constexpr std::size_t ShortFrameHop = ShortFrameSize / 2;                // 256

using ShortFrame = std::array<double, ShortFrameSize>;

// HannWindow(i, 512) for i = 0 … 511.
const ShortFrame& ShortFrameWindow() noexcept;

// real = the Hann-weighted samples x[start … start + 511], imag = 0, then the forward
// transform. Positions past the end of x are zero: nothing is read beyond it.
void LoadFrameSpectrum(std::span<const double> x, std::size_t start, ShortFrame& real,
                       ShortFrame& imag) noexcept;

// Overlap-add of the transformed-back frames into the sound itself, half a frame behind the
// frame being read: a sample is written only once no later frame covers it, so every frame is
// still cut from the original samples and no copy of the sound is needed.
class OverlapAdd {
public:
    explicit OverlapAdd(std::span<double> samples) : samples_(samples) {}

    // Transforms (real, imag) back (direction -1) and adds it to the frame starting at `start`
    // (frames come in the order 0, 256, 512, …). Samples start … start + 255 are then complete
    // and are written to the sound.
    void add(ShortFrame& real, ShortFrame& imag, std::size_t start) noexcept;

private:
    std::span<double> samples_;
    ShortFrame pending_{}; // the sums for samples start … start + 511
};

} // namespace kelvora::dsp
