#include "dsp/spectrum.h"

#include "dsp/fft.h"

#include <algorithm>
#include <cmath>

namespace kelvora::dsp {
namespace {

constexpr double Pi = 3.141592653589793;
constexpr double DbFloor = -110.0;

bool ValidSize(int log2Size) noexcept
{
    return log2Size >= 0 && log2Size <= FftMaxLog2Size;
}

std::size_t SizeOf(int log2Size) noexcept
{
    return std::size_t{1} << log2Size;
}

// True when log2Size is usable and every array holds at least N elements.
template <class... Spans>
bool Fits(int log2Size, const Spans&... spans) noexcept
{
    return ValidSize(log2Size) && ((spans.size() >= SizeOf(log2Size)) && ...);
}

void Zero(std::span<double> values, std::size_t n) noexcept
{
    std::fill_n(values.begin(), n, 0.0);
}

} // namespace

double BinFrequency(std::size_t bin, std::size_t n, double sampleRate) noexcept
{
    return static_cast<double>(bin) / static_cast<double>(n) * sampleRate;
}

bool CutFrame(std::span<const double> signal, std::size_t start, std::size_t n, bool withHann,
              std::span<double> out) noexcept
{
    if (n == 0 || out.size() < n || start > signal.size() || signal.size() - start < n)
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        const double v = signal[start + i];
        out[i] = withHann ? v * HannWindow(i, n) : v;
    }
    return true;
}

void PowerSpectrumInPlace(std::span<double> real, std::span<double> imag, int log2Size)
{
    if (!Fits(log2Size, real, imag))
        return;
    const std::size_t n = SizeOf(log2Size);
    Zero(imag, n);
    FftInPlace(real, imag, log2Size, FftForward);
    for (std::size_t k = 0; k < n; ++k) {
        real[k] = NormalisedPower(real[k], imag[k]);
        imag[k] = 0.0;
    }
}

void AutocorrelationInPlace(std::span<double> real, std::span<double> imag, int log2Size)
{
    if (!Fits(log2Size, real, imag))
        return;
    Zero(imag, SizeOf(log2Size));
    FftInPlace(real, imag, log2Size, FftConjugate);
}

void CepstrumInPlace(std::span<double> real, std::span<double> imag, int log2Size)
{
    if (!Fits(log2Size, real, imag))
        return;
    const std::size_t n = SizeOf(log2Size);
    for (std::size_t k = 0; k < n; ++k)
        real[k] = PowerToDb(real[k]);
    Zero(imag, n);
    FftInPlace(real, imag, log2Size, FftConjugate);
}

bool AnalyseFrame(std::span<const double> signal, const AnalysisParams& params,
                  std::span<double> frame, std::span<double> real, std::span<double> imag)
{
    if (!Fits(params.log2Size, frame, real, imag))
        return false;
    const std::size_t n = params.size();
    if (!CutFrame(signal, params.start, n, params.hann, frame))
        return false;
    std::copy_n(frame.begin(), n, real.begin());
    PowerSpectrumInPlace(real, imag, params.log2Size);
    if (params.mode == AnalysisMode::Autocorrelation)
        AutocorrelationInPlace(real, imag, params.log2Size);
    else if (params.mode == AnalysisMode::Cepstrum)
        CepstrumInPlace(real, imag, params.log2Size);
    return true;
}

void DisplayValues(std::span<const double> real, AnalysisMode mode, int log2Size,
                   std::span<double> display) noexcept
{
    if (!Fits(log2Size, real, display))
        return;
    const std::size_t n = SizeOf(log2Size);
    for (std::size_t k = 0; k < n; ++k) {
        double v = real[k];
        if (mode == AnalysisMode::Db) {
            v = PowerToDb(v);
            if (!(v >= DbFloor)) // also puts NaN, from a value without a logarithm, on the floor
                v = DbFloor;
        } else if (mode == AnalysisMode::Amplitude) {
            v = std::sqrt(v);
        }
        display[k] = v;
    }
}

double DisplayPeak(std::span<const double> display, AnalysisMode mode, int log2Size) noexcept
{
    if (!Fits(log2Size, display))
        return 0.0;
    const std::size_t n = SizeOf(log2Size);
    double peak = 0.0;
    for (std::size_t k = mode == AnalysisMode::Cepstrum ? 1 : 0; k < n; ++k) {
        const double a = std::fabs(display[k]);
        if (a > peak)
            peak = a;
    }
    return peak;
}

double LifterLength(int log2Size, double cursor) noexcept
{
    if (!ValidSize(log2Size))
        return 0.0;
    return static_cast<double>(SizeOf(log2Size) / 2) * cursor;
}

std::size_t LifterAndEnvelope(std::span<const double> display, double lifterLength, int log2Size,
                              std::span<double> lifterWindow, std::span<double> liftered,
                              std::span<double> envelope, std::span<double> imagWork)
{
    if (!Fits(log2Size, display, lifterWindow, liftered, envelope, imagWork))
        return 0;
    const std::size_t n = SizeOf(log2Size);
    const double length = lifterLength;
    Zero(lifterWindow, n);
    Zero(liftered, n);
    std::size_t points = 0;
    // The half-way index n/2 is its own mirror; past it the mirrored writes would overlap.
    for (std::size_t k = 0; static_cast<double>(k) < length && k <= n / 2; ++k) {
        const double kd = static_cast<double>(k);
        lifterWindow[k] = 0.5 * (std::cos(6.283185303 * 0.5 * kd / length) + 1.0);
        const double value = 0.5 * (std::cos(Pi * kd / length) + 1.0) * display[k];
        liftered[k] = value;
        if (k >= 1)
            liftered[n - k] = value;
        points = k + 1;
    }
    std::copy_n(liftered.begin(), n, envelope.begin());
    Zero(imagWork, n);
    FftInPlace(envelope, imagWork, log2Size, FftForward);
    return points;
}

EnvelopeRange EnvelopeRangeOf(std::span<const double> envelope, int log2Size) noexcept
{
    EnvelopeRange range;
    if (!Fits(log2Size, envelope))
        return range;
    const std::size_t half = SizeOf(log2Size) / 2;
    for (std::size_t i = 0; i < half; ++i) {
        const float v = static_cast<float>(envelope[i]);
        if (v < range.min)
            range.min = v;
        if (v > range.max)
            range.max = v;
    }
    return range;
}

void RawSpectrum(std::span<const double> frame, int log2Size, std::span<double> real,
                 std::span<double> imag)
{
    if (!Fits(log2Size, frame, real, imag))
        return;
    const std::size_t n = SizeOf(log2Size);
    std::copy_n(frame.begin(), n, real.begin());
    Zero(imag, n);
    FftInPlace(real, imag, log2Size, FftForward);
}

SpectrumRow RawSpectrumRow(double re, double im, std::size_t bin, std::size_t n,
                           double sampleRate) noexcept
{
    SpectrumRow row;
    row.frequency = BinFrequency(bin, n, sampleRate);
    row.real = re;
    row.imag = im;
    row.power = re * re + im * im;
    row.amplitude = std::sqrt(row.power);
    row.db = 10.0 * std::log10(row.power + 1e-11);
    return row;
}

bool NormalisedAutocorrelation(std::span<const double> frame, int log2Size,
                               std::span<double> real, std::span<double> imag)
{
    if (!Fits(log2Size, frame, real, imag))
        return false;
    const std::size_t n = SizeOf(log2Size);
    RawSpectrum(frame, log2Size, real, imag);
    for (std::size_t k = 0; k < n; ++k)
        real[k] = real[k] * real[k] + imag[k] * imag[k];
    AutocorrelationInPlace(real, imag, log2Size);
    const double lagZero = real[0];
    if (!(lagZero > 0.0))
        return false;
    for (std::size_t k = 0; k < n; ++k)
        real[k] /= lagZero;
    return true;
}

} // namespace kelvora::dsp
