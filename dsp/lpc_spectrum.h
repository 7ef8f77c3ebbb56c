#pragma once
// What the tools derive from a set of prediction coefficients a[0..p] (a[0] = 1): the LPC
// spectrum, the LPC cepstrum, the stepped vocal-tract area profile and the choice of F1 and F2.
// Plain functions over caller-owned arrays; nothing allocates or keeps state.

#include <cstddef>
#include <span>

namespace kelvora::dsp {

// The LPC spectrum of the vowel tool: re and im are cleared over N = 2^log2Size points, a[0..p]
// copied into re, transformed forward (so they hold A/N), and for every bin i < N
//   levelsDb[i] = 10 log10(1 / (re^2 + im^2) + 1e-11).
// The model's gain is not applied: the curve is only drawn after min-max scaling. levelsDb may
// be re itself. Writes nothing when an array is short or p >= N.
void LpcEnvelope(std::span<const double> a, std::size_t order, int log2Size, std::span<double> re,
                 std::span<double> im, std::span<double> levelsDb) noexcept;

// The workbench's variant, without the 1e-11 term: levelsDb[i] = 10 log10(1 / |A/N|^2) and beside
// it levelsLn[i] = ln(1 / |A/N|^2). A zero of A on the unit circle (|k| = 1 exactly) would give an
// infinite level; the power is held at the smallest normal double instead, so the levels stay
// finite. Either output may be re itself; the two must differ.
void LpcEnvelope(std::span<const double> a, std::size_t order, int log2Size, std::span<double> re,
                 std::span<double> im, std::span<double> levelsDb,
                 std::span<double> levelsLn) noexcept;

// The LPC cepstrum, the expansion ln(1/A(z)) = sum c[n] z^-n: c[0] = 0 and for n = 1..p
//   c[n] = -a[n] - sum_{j=1..n-1} (1 - j/n) a[j] c[n-j].
// c needs p + 1 values; writes nothing when a or c is short.
void LpcCepstrum(std::span<const double> a, std::size_t order, std::span<double> c) noexcept;

// Vocal-tract areas from the reflection coefficients k[1..p]: A[0] = firstArea and
// A[i] = A[i-1] (1 - k_i) / (1 + k_i). Section 0 is the glottis end, section p the lips. A section
// behind k_i = -1 (a closed end, no finite area) keeps the area before it. areas needs p + 1
// values; writes nothing when k or areas is short.
void TubeAreas(std::span<const double> k, std::size_t order, double firstArea,
               std::span<double> areas) noexcept;

// Bins of the first two formants in an LPC spectrum L[0..N). The scan starts at the bin of 70 Hz,
// 70 N / rate in integers (at least 1, so that every bin has a left neighbour), and runs while
// i < N/2 - 3. A peak is L[i] greater than both neighbours, a dip less than both. The first peak
// is F1; after it the first dip arms the search, and the next peak is F2. A formant not found
// is 0, and so is everything for a flat spectrum. Frequencies are rate * bin / N.
struct FormantBins {
    std::size_t first = 0;
    std::size_t second = 0;
    bool operator==(const FormantBins&) const = default;
};
FormantBins PickFormants(std::span<const double> levels, std::size_t n,
                         unsigned sampleRate) noexcept;

} // namespace kelvora::dsp
