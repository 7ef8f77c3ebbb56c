#pragma once
// The numbers behind the frequency-analysis tool: a frame cut out of a sound (optionally Hann
// weighted), its power spectrum, autocorrelation and cepstrum, the values a graph plots, the
// liftering and spectral envelope of the cepstrum and autocorrelation graphs, and the raw
// (16-bit scale) values of the export. Plain functions over caller-owned arrays: nothing here
// allocates, draws or keeps state, so the dialog, the command line and the tests share them.
//
// Sizes: N = 2^log2Size with 0 <= log2Size <= FftMaxLog2Size; every array named below must hold
// at least N elements and only the first N are used. Functions that get a bad size or a short
// array write nothing (and return false or 0 where they return something).

#include <cstddef>
#include <span>

namespace kelvora::dsp {

// What the analysis shows; the values are the tool's mode numbers.
enum class AnalysisMode : int {
    Db = 4,
    Autocorrelation = 5,
    Cepstrum = 6,
    Power = 7,
    Amplitude = 8,
};

// One analysis of a frame, as the dialog, the command line and the tests describe it.
struct AnalysisParams {
    int log2Size = 10;                    // N = 2^log2Size samples (8 .. 16 in the dialog)
    std::size_t start = 0;                // first sample of the frame
    AnalysisMode mode = AnalysisMode::Db; // what is computed after the power spectrum
    bool hann = true;                     // weight the frame with HannWindow

    std::size_t size() const noexcept { return std::size_t{1} << log2Size; }
    bool operator==(const AnalysisParams&) const = default;
};

// Frequency in Hz of bin `bin` of an n-point transform at `sampleRate` samples per second.
double BinFrequency(std::size_t bin, std::size_t n, double sampleRate) noexcept;

// Copies signal[start .. start+n) into out[0 .. n), each value multiplied by HannWindow(i, n)
// when withHann is set. Returns false and writes nothing when the frame does not lie wholly
// inside the signal, n is 0 or out is shorter than n.
bool CutFrame(std::span<const double> signal, std::size_t start, std::size_t n, bool withHann,
              std::span<double> out) noexcept;

// real holds a real frame (imag is ignored and zeroed first): afterwards real[k] is
// NormalisedPower of bin k of the 1/N-scaled forward transform, for every k < N, and imag is 0.
void PowerSpectrumInPlace(std::span<double> real, std::span<double> imag, int log2Size);

// real holds a power spectrum (any scale): afterwards it holds the autocorrelation, the
// direction -1 transform of it, without 1/N: element 0 is the sum of the spectrum. imag is
// zeroed first and afterwards holds only rounding residue.
void AutocorrelationInPlace(std::span<double> real, std::span<double> imag, int log2Size);

// real holds a normalised power spectrum: afterwards it holds the cepstrum, the direction -1
// transform of PowerToDb of each element. imag as for AutocorrelationInPlace.
void CepstrumInPlace(std::span<double> real, std::span<double> imag, int log2Size);

// The whole computation of one analysis: cuts the frame at params.start into `frame` (windowed
// if params.hann), leaves its power spectrum in `real` and, for the autocorrelation and cepstrum
// modes, transforms that on to the autocorrelation or cepstrum; imag ends as 0 or residue.
// Returns false and writes nothing when the frame does not fit inside the signal (the dialog
// limits the start to count - N first) or an array is short.
bool AnalyseFrame(std::span<const double> signal, const AnalysisParams& params,
                  std::span<double> frame, std::span<double> real, std::span<double> imag);

// The values a graph plots from the analysis result in `real`: dB (PowerToDb, held at the
// -110 dB floor, which also catches values that have no logarithm), the power or the
// autocorrelation or cepstrum unchanged, or the amplitude sqrt(power). Writes display[0 .. N).
void DisplayValues(std::span<const double> real, AnalysisMode mode, int log2Size,
                   std::span<double> display) noexcept;

// Largest |display[k]| over k < N, leaving out element 0 for the cepstrum (its huge mean level
// would flatten the rest). 0 for an empty range; NaN values are passed over.
double DisplayPeak(std::span<const double> display, AnalysisMode mode, int log2Size) noexcept;

// Lifter length in lags for a cursor at fraction `cursor` (0 .. 1) of the graph: (N/2) * cursor.
// The "no cursor" value -1 gives a negative length, which lifters nothing.
double LifterLength(int log2Size, double cursor) noexcept;

// Liftering of an autocorrelation or cepstrum and the spectral envelope it gives. `display`
// holds the plotted values D. For k = 0, 1, ... while k < lifterLength (and k <= N/2):
//   lifterWindow[k] = 0.5 (cos(6.283185303 * 0.5 k / L) + 1), the curve shown to the user;
//   liftered[k] = liftered[N-k] = 0.5 (cos(pi k / L) + 1) D[k], mirrored so that the sequence
//   stays even and its transform real;
// every other element of both arrays is 0. envelope gets the 1/N-scaled forward transform of the
// liftered sequence (real part; the envelope proper is envelope[0 .. N/2)) and imagWork its
// imaginary part. The four output arrays must not overlap `display` or each other. Returns the
// number of lifter points written, 0 for a length <= 0.
std::size_t LifterAndEnvelope(std::span<const double> display, double lifterLength, int log2Size,
                              std::span<double> lifterWindow, std::span<double> liftered,
                              std::span<double> envelope, std::span<double> imagWork);

// The envelope's range over envelope[0 .. N/2) as the graph scales it, in single precision.
// An envelope with max <= min (flat, or from a lifter of length 0) has no scale and is not
// drawn.
struct EnvelopeRange {
    float min = 1e20f;
    float max = -1e20f;
    bool drawable() const noexcept { return max > min; }
};
EnvelopeRange EnvelopeRangeOf(std::span<const double> envelope, int log2Size) noexcept;

// Export: the 1/N-scaled forward transform of the cut frame on the raw 16-bit scale;
// real and imag receive the spectrum, `frame` is not changed.
void RawSpectrum(std::span<const double> frame, int log2Size, std::span<double> real,
                 std::span<double> imag);

// One line of the spectrum export for bin `bin`: frequency (Hz), real and imaginary part,
// power re^2 + im^2, amplitude sqrt(power) and dB 10 log10(power + 1e-11), all raw.
struct SpectrumRow {
    double frequency = 0;
    double real = 0;
    double imag = 0;
    double power = 0;
    double amplitude = 0;
    double db = 0;
};
SpectrumRow RawSpectrumRow(double re, double im, std::size_t bin, std::size_t n,
                           double sampleRate) noexcept;

// Export: autocorrelation of the cut frame from its raw power spectrum, divided by its value at
// lag 0 so that real[0] = 1. A frame without power (all zero) has no such scale: the function
// then returns false and leaves the undivided autocorrelation (all zero) in real, for the caller
// to report instead of writing numbers that are not numbers. imag ends as residue.
bool NormalisedAutocorrelation(std::span<const double> frame, int log2Size,
                               std::span<double> real, std::span<double> imag);

} // namespace kelvora::dsp
