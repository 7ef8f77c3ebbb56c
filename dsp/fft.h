#pragma once
// The one transform of the program: an in-place power-of-two FFT over separate real and
// imaginary arrays, plus the window and power conventions every spectral tool shares.

#include <cstddef>
#include <span>

namespace kelvora::dsp {

inline constexpr int FftForward = 1;    // scaled by 1/n
inline constexpr int FftConjugate = -1; // conjugate input, unscaled: the inverse for Hermitian input
inline constexpr int FftMaxLog2Size = 29; // 536 870 912 points, the longest convolution
// Tables of sizes up to this are built once and kept; larger ones live for one call.
inline constexpr int FftLargestKeptPlanLog2 = 20;

// Transforms (real, imag), each of 2^log2Size elements, in place. Direction +1 gives
// X[k] = (1/n) sum x[j] e^{-2 pi i jk/n}; -1 gives sum conj(x[j]) e^{-2 pi i jk/n}, which for a
// Hermitian spectrum is the unscaled real inverse. Any other direction: unscaled forward.
// Both spans must hold at least 2^log2Size elements (0 <= log2Size <= 29). Up to 2^20 points it
// allocates nothing once the twiddle table of that size has been built; larger sizes build
// their tables (about 2 · 2^log2Size doubles) for the call and free them after it, and throw
// std::bad_alloc, with the arrays untouched, when that memory cannot be had. Only the first
// 2^log2Size elements are read or written; the two spans must not overlap. A size outside
// 0 .. 29 or a span that is too short is a caller's bug: the arrays are then left untouched
// rather than overrun. Safe to call from several threads at once on different arrays.
void FftInPlace(std::span<double> real, std::span<double> imag, int log2Size, int direction);

// The inner loops exist in a portable form and in one using 256-bit AVX registers where the
// processor has them; FftInPlace takes the best. Both give the same results to rounding.
enum class FftKernel { Portable, Avx };

// The kernel FftInPlace uses on this processor.
FftKernel BestFftKernel() noexcept;

// FftInPlace with a chosen kernel, for tests and benchmarks that compare the two; a kernel the
// processor lacks falls back to the portable one.
void FftInPlaceUsing(FftKernel kernel, std::span<double> real, std::span<double> imag,
                     int log2Size, int direction);

// Periodic Hann weight of sample i in a frame of n samples, with the program's literal constant.
double HannWindow(std::size_t i, std::size_t n) noexcept;

// |X|^2 on the 16-bit full scale: (re^2 + im^2) / 32767^2.
double NormalisedPower(double re, double im) noexcept;

// 10 log10(power + 1e-11): the dB value of the displays, floored at exactly -110 dB.
double PowerToDb(double power) noexcept;

} // namespace kelvora::dsp
