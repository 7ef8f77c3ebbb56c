#pragma once
// Linear prediction of one frame: the pre-emphasis, the frame length and the default orders the
// tools start from, and the analysis itself (Hann window, circular autocorrelation through the
// FFT, Levinson-Durbin recursion). Plain functions over caller-owned arrays: nothing here
// allocates, draws or keeps state, so the dialogs, the command line and the tests share them.
//
// Sign convention: the inverse filter is A(z) = 1 + a1 z^-1 + ... + ap z^-p with a0 = 1, and the
// last coefficient of every order is minus that order's reflection coefficient (a_i = -k_i).

#include <cstddef>
#include <span>
#include <vector>

namespace kelvora::dsp {

// Frame length of the linear-prediction tools: N = 2^log2Size samples.
struct LpcFrameLength {
    std::size_t size = 0;
    int log2Size = 0;
    bool operator==(const LpcFrameLength&) const = default;
};

// 256 points at 8000 Hz, 512 at 16000 Hz and 1024 above 16000 Hz (23.2 ms at 44100 Hz). Any other
// rate gets the power of two closest to 30 ms (256 at 11025 and 12000 Hz), never fewer than 4
// points, so that a first use at an unusual rate never has an empty frame.
LpcFrameLength LpcFrameSize(unsigned sampleRate) noexcept;

// Order a 17 cm vocal tract needs at this rate: trunc(2 * 17 * rate / 35000 + 1), twice the tract
// length over the speed of sound (35000 cm/s), times the rate, plus one. 8 at 8000 Hz, 11 at
// 11025, 16 at 16000, 43 at 44100, 47 at 48000.
unsigned RequiredTractOrder(unsigned sampleRate) noexcept;

// The vowel tool's starting order, rate * 10 / 8000 in integers: 10 at 8000 Hz, 13 at 11025,
// 20 at 16000, 55 at 44100.
unsigned VowelDefaultOrder(unsigned sampleRate) noexcept;

// Highest order a frame of n points supports: the recursion reads r[1..p] of the n/2 lags, so
// p stays below n/2 (and within LpcMaxOrder). 0 for frames of fewer than 4 points.
std::size_t LpcOrderLimit(std::size_t n) noexcept;
inline constexpr std::size_t LpcMaxOrder = 4095;

// Pre-emphasis by the first difference, +6 dB per octave: out[i] = s[start+i] - s[start+i+1] for
// i < n. A sample past the end of the signal counts as 0, so the last frame of a sound never
// reads beyond it. Writes nothing if out holds fewer than n values.
void FirstDifference(std::span<const double> samples, std::size_t start, std::size_t n,
                     std::span<double> out) noexcept;

enum class LpcStatus {
    Analysed,     // a, k and the errors describe the frame
    Silent,       // the frame had no power: treated as white (a = [1, 0 ...], k = 0, errors 1)
    BadArguments, // a size outside 2 .. 2^FftMaxLog2Size or an array too short: nothing written
};

// Arrays of one analysis of order p on frames of N = 2^log2Size points; the caller owns them.
// re and im need N values, autocorrelation N/2, and coefficients, reflection and error p + 1.
struct LpcArrays {
    std::span<double> re;
    std::span<double> im;
    std::span<double> autocorrelation;
    std::span<double> coefficients;
    std::span<double> reflection;
    std::span<double> error;
};

// Linear prediction of order p of the frame in arrays.re[0..N):
//  1. the frame is multiplied by HannWindow and im set to 0;
//  2. its circular autocorrelation (forward transform, |X|^2, inverse) divided by lag 0 goes to
//     autocorrelation[0..N/2), so autocorrelation[0] = 1;
//  3. the Levinson-Durbin recursion gives coefficients a[0..p] (a[0] = 1), reflection k[1..p]
//     and error E[0..p], the residual power after each order relative to the frame power,
//     E[i] = prod_{j<=i} (1 - k_j^2). E[1..p] is also copied into im[1..p]; k[0] is 0.
// re and im are scratch afterwards. Orders above LpcOrderLimit(N) are not analysed: their k and
// a are 0 and their E repeats the last one. A silent frame, or a prediction that became perfect
// (E = 0), stops the recursion the same way instead of dividing by zero. Allocates nothing.
LpcStatus LpcAnalyzeFrame(const LpcArrays& arrays, std::size_t order, int log2Size) noexcept;

// Owns the arrays of LpcAnalyzeFrame for frames of n points and orders up to maxOrder. Sized once
// (resize allocates only when a size grows) and reused for every frame.
struct LpcWorkspace {
    LpcWorkspace() = default;
    LpcWorkspace(std::size_t n, std::size_t maxOrder) { resize(n, maxOrder); }
    void resize(std::size_t n, std::size_t maxOrder);
    // Views of the first n (re, im), n/2 and order + 1 values; order must not exceed maxOrder.
    LpcArrays arrays(std::size_t order) noexcept;

    std::size_t size = 0;
    std::vector<double> re, im, autocorrelation, coefficients, reflection, error;
};

} // namespace kelvora::dsp
