#pragma once
// Convolution and deconvolution of two sounds through the shared FFT, as the echo tool applies a
// room's impulse response to a dry sound. Results are normalised so that their peak is half of
// the 16-bit range (32760 × 0.5 = 16380), whatever the scale of the transforms.

#include "dsp/fft.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kelvora::dsp {

inline constexpr double ConvolutionPeak = 32760.0 * 0.5;

// Largest transform: 2^29 points, so x.size() + w.size() must stay below 2^29.
inline constexpr int MaxConvolutionOrder = 29;
static_assert(MaxConvolutionOrder <= FftMaxLog2Size);

// No limit on the memory of a run beyond what the system gives.
inline constexpr std::size_t UnlimitedWorkBytes = static_cast<std::size_t>(-1);

// The most memory a run with a transform of 2^order points holds at once: its four work arrays
// of 2^order doubles and, past 2^20 points, the transform's tables of about twice that many.
std::size_t ConvolutionWorkBytes(int order) noexcept;

// W bins whose power is below this share of W's strongest bin count as zeros when dividing:
// 160 dB down is far below anything a 16-bit sound carries and far above the transform's rounding.
inline constexpr double DeconvolutionFloor = 1e-16;

enum class ConvolutionMode {
    Convolve,   // multiply the spectra
    Deconvolve, // divide X's spectrum by W's
    None,       // leave W's spectrum as it is: the result is W, normalised and padded
};

struct ConvolutionResult {
    std::vector<double> samples; // 2^order samples on success, empty on failure
    std::string error;           // Japanese message for the user; empty on success

    [[nodiscard]] bool ok() const noexcept { return error.empty(); }
};

// log2 of the transform size for sounds of totalCount samples together: the smallest k with
// 2^k > totalCount, so a linear convolution (totalCount − 1 samples) never wraps round.
// 1024 gives 11. nullopt when that exceeds MaxConvolutionOrder.
std::optional<int> ConvolutionTransformOrder(std::size_t totalCount) noexcept;

// Transforms x and w (both zero-padded to M = 2^ConvolutionTransformOrder(x.size() + w.size())),
// combines the spectra as mode says, transforms back and scales the M real samples so that the
// largest magnitude is ConvolutionPeak. Deconvolution sets the quotient of every bin where W is
// (numerically) zero to 0 rather than dividing by it; see DeconvolutionFloor. The inputs are only
// read. Fails with a message when w is empty, when the sounds are too long for one transform,
// when the memory for the work arrays cannot be had, and when the result is silent or not
// finite, so that nothing is scaled by an undefined peak.
// A run whose ConvolutionWorkBytes exceed workBytesLimit is refused exactly as a failed
// allocation is: callers pass what the system can still give, since on Linux an allocation
// past it seldom fails but gets the process killed later, and tests pass a small limit.
ConvolutionResult RunConvolution(std::span<const double> x, std::span<const double> w,
                                 ConvolutionMode mode, std::size_t workBytesLimit = UnlimitedWorkBytes);

// RunConvolution with ConvolutionMode::Convolve: x * w, M samples normalised.
ConvolutionResult Convolve(std::span<const double> x, std::span<const double> w);

// RunConvolution with ConvolutionMode::Deconvolve: x / w in the frequency domain.
ConvolutionResult Deconvolve(std::span<const double> x, std::span<const double> w);

} // namespace kelvora::dsp
