#pragma once
// The prediction coefficients of 1000 frames spread evenly over an interval of a sound, one row
// per frame: the numbers whose variation the principal-component analysis describes.

#include "dsp/lpc.h"

#include <cstddef>
#include <span>
#include <vector>

namespace kelvora::dsp {

inline constexpr std::size_t ComponentFrames = 1000;
inline constexpr std::size_t MaxComponentOrder = 100;

// Row f holds a[0 .. p-1] of frame f (a[0] = 1); the rest of the row is 0. The last coefficient
// a[p] is not kept, so the q = p - 1 coefficients a[1 .. p-1] are the ones that vary.
struct FrameMatrix {
    std::size_t order = 0; // p, 1 .. MaxComponentOrder
    std::vector<double> values = std::vector<double>(ComponentFrames * MaxComponentOrder, 0.0);

    std::span<double> row(std::size_t f) { return std::span(values).subspan(f * MaxComponentOrder, MaxComponentOrder); }
    std::span<const double> row(std::size_t f) const
    {
        return std::span(values).subspan(f * MaxComponentOrder, MaxComponentOrder);
    }
    double at(std::size_t f, std::size_t j) const { return values[f * MaxComponentOrder + j]; }
    // q: the coefficients that take part in the covariance.
    std::size_t varyingCount() const { return order > 0 ? order - 1 : 0; }
};

// First sample of frame f of the interval (start, width): start + trunc(f × width / 1000), so
// an interval of fewer than 1000 samples gives neighbouring frames the same start.
std::size_t ComponentFrameStart(std::size_t start, std::size_t width, std::size_t f) noexcept;

// Fills every row of `matrix` with order p (clamped to 1 .. MaxComponentOrder) from the raw
// frames of N = 2^log2Size samples at ComponentFrameStart(start, width, f): LpcAnalyzeFrame
// (which applies the Hann window), then a[0 .. p-1] into row f and zeros after it. A frame whose
// samples are all 0 repeats the row before it (for the first frame every one of its p entries is
// 1e-5), so that silence neither divides by zero nor jumps to the white coefficients. `work` is
// resized once for N and reused. Returns false and changes nothing when the last frame would
// reach past the signal or log2Size is outside 1 .. FftMaxLog2Size.
bool FillFrameMatrix(std::span<const double> signal, std::size_t start, std::size_t width,
                     std::size_t order, int log2Size, FrameMatrix& matrix, LpcWorkspace& work);

} // namespace kelvora::dsp
