#include "dsp/spectrum.h"
#include "../support/test_signals.h"

#include "dsp/fft.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <random>
#include <vector>

namespace kelvora::dsp {
namespace {

constexpr double TwoPi = 6.283185307179586476925;

// (1/N) sum_l x[l] x[(l + lag) mod N]: the circular autocorrelation the power spectrum encodes.
double CircularAutocorrelation(const std::vector<double>& x, std::size_t lag)
{
    const std::size_t n = x.size();
    double sum = 0.0;
    for (std::size_t l = 0; l < n; ++l)
        sum += x[l] * x[(l + lag) % n];
    return sum / static_cast<double>(n);
}

struct Work {
    explicit Work(std::size_t n) : frame(n), real(n), imag(n) {}
    std::vector<double> frame, real, imag;
};

TEST(Analysis, SineOfOneKilohertzPeaksAtBin128AtMinus12Db)
{
    const auto signal = testing::Sine(3000, 1000.0, 8000.0, 16384.0);
    const AnalysisParams params{10, 500, AnalysisMode::Db, false};
    Work w(1024);
    ASSERT_TRUE(AnalyseFrame(signal, params, w.frame, w.real, w.imag));
    std::vector<double> display(1024);
    DisplayValues(w.real, params.mode, params.log2Size, display);
    const auto peak = std::max_element(display.begin(), display.begin() + 512);
    EXPECT_EQ(peak - display.begin(), 128);
    const double want = 10.0 * std::log10(std::pow(16384.0 / 2.0 / 32767.0, 2.0));
    EXPECT_NEAR(want, -12.04, 1e-3);
    EXPECT_NEAR(*peak, want, 1e-8);
    EXPECT_NEAR(display[1024 - 128], want, 1e-8);
    EXPECT_LT(display[127], -100.0); // exact bin: nothing leaks next door
    EXPECT_NEAR(DisplayPeak(display, params.mode, params.log2Size), 110.0, 1e-9);
    EXPECT_EQ(std::vector<double>(w.frame.begin(), w.frame.end()),
              std::vector<double>(signal.begin() + 500, signal.begin() + 1524));

    // The export writes the same peak unnormalised: 90.309 dB higher.
    RawSpectrum(w.frame, 10, w.real, w.imag);
    const SpectrumRow row = RawSpectrumRow(w.real[128], w.imag[128], 128, 1024, 8000.0);
    EXPECT_DOUBLE_EQ(row.frequency, 1000.0);
    EXPECT_NEAR(row.amplitude, 8192.0, 1e-6);
    EXPECT_NEAR(row.db - want, 10.0 * std::log10(32767.0 * 32767.0), 1e-9);
    EXPECT_NEAR(row.db - want, 90.309, 1e-3);
}

TEST(Analysis, HannFrameAndRefusedFrames)
{
    const auto signal = testing::UniformNoise(2048, 20000.0, 1u);
    std::vector<double> out(256, 7.0);
    ASSERT_TRUE(CutFrame(signal, 1792, 256, true, out)); // ends on the last sample
    EXPECT_EQ(out[0], 0.0);
    EXPECT_DOUBLE_EQ(out[128], signal[1792 + 128] * 0.5 * (1.0 - std::cos(6.283185303 * 0.5)));
    EXPECT_DOUBLE_EQ(out[255], signal[2047] * HannWindow(255, 256));

    std::vector<double> untouched(256, 7.0);
    EXPECT_FALSE(CutFrame(signal, 1793, 256, true, untouched));
    EXPECT_FALSE(CutFrame(signal, 5000, 256, false, untouched));
    EXPECT_FALSE(CutFrame(signal, 0, 512, false, untouched)); // out too short
    EXPECT_EQ(untouched, std::vector<double>(256, 7.0));

    Work w(1024);
    const std::vector<double> shortSignal(1000, 1.0);
    EXPECT_FALSE(AnalyseFrame(shortSignal, AnalysisParams{}, w.frame, w.real, w.imag));
    EXPECT_EQ(w.real, std::vector<double>(1024, 0.0));
}

TEST(Analysis, AutocorrelationIsTheCircularOneOfTheFrame)
{
    const std::size_t n = 512;
    const auto signal = testing::UniformNoise(n, 20000.0, 2u);
    const AnalysisParams power{9, 0, AnalysisMode::Power, true};
    Work p(n);
    ASSERT_TRUE(AnalyseFrame(signal, power, p.frame, p.real, p.imag));
    double powerSum = 0.0;
    for (double v : p.real)
        powerSum += v;

    AnalysisParams autocorrelation = power;
    autocorrelation.mode = AnalysisMode::Autocorrelation;
    Work a(n);
    ASSERT_TRUE(AnalyseFrame(signal, autocorrelation, a.frame, a.real, a.imag));
    EXPECT_NEAR(a.real[0], powerSum, 1e-12 * powerSum);
    // Raw scale: lag 0 is the mean square of the windowed frame (Parseval), lag t the circular
    // autocorrelation / N; the normalised power divides both by 32767^2.
    const double scale = 32767.0 * 32767.0;
    for (std::size_t lag : {std::size_t{0}, std::size_t{1}, std::size_t{37}, n - 1})
        EXPECT_NEAR(a.real[lag] * scale, CircularAutocorrelation(a.frame, lag),
                    1e-9 * CircularAutocorrelation(a.frame, 0))
            << "lag " << lag;

    std::vector<double> re(n), im(n);
    RawSpectrum(a.frame, 9, re, im);
    double raw = 0.0;
    for (std::size_t k = 0; k < n; ++k)
        raw += RawSpectrumRow(re[k], im[k], k, n, 8000.0).power;
    EXPECT_NEAR(raw, CircularAutocorrelation(a.frame, 0), 1e-9 * raw);
}

TEST(Analysis, CepstrumOfFlatSpectrumIsAnImpulseAndItsEnvelopeTheLevel)
{
    const std::size_t n = 256;
    const double power = 0.003;
    std::vector<double> re(n, power), im(n, 1.0);
    CepstrumInPlace(re, im, 8);
    const double level = 10.0 * std::log10(power + 1e-11);
    EXPECT_NEAR(re[0], static_cast<double>(n) * level, 1e-9);
    for (std::size_t k = 1; k < n; ++k)
        ASSERT_NEAR(re[k], 0.0, 1e-10) << k;
    EXPECT_LT(DisplayPeak(re, AnalysisMode::Cepstrum, 8), 1e-10); // element 0 left out

    std::vector<double> window(n), liftered(n), envelope(n), work(n);
    const std::size_t points = LifterAndEnvelope(re, LifterLength(8, 0.25), 8, window, liftered,
                                                 envelope, work);
    EXPECT_EQ(points, 32u);
    for (std::size_t k = 0; k < n / 2; ++k)
        ASSERT_NEAR(envelope[k], level, 1e-9) << k;
    EXPECT_FALSE(EnvelopeRangeOf(envelope, 8).drawable()); // flat: no scale to stretch to
}

TEST(Lifter, WindowMirroredSequenceAndEnvelopeMatchTheirDefinitions)
{
    const std::size_t n = 64;
    const int m = 6;
    const auto display = testing::UniformNoise(n, 20000.0, 3u);
    const double length = LifterLength(m, 0.3); // 9.6 lags: k = 0 .. 9
    EXPECT_DOUBLE_EQ(length, 9.6);
    std::vector<double> window(n, 5.0), liftered(n, 5.0), envelope(n), work(n);
    ASSERT_EQ(LifterAndEnvelope(display, length, m, window, liftered, envelope, work), 10u);

    EXPECT_EQ(window[0], 1.0);
    EXPECT_EQ(liftered[0], display[0]);
    std::vector<double> want(n, 0.0);
    for (std::size_t k = 0; k < 10; ++k) {
        const double kd = static_cast<double>(k);
        EXPECT_NEAR(window[k], 0.5 * (std::cos(3.1415926515 * kd / 9.6) + 1.0), 1e-15);
        want[k] = 0.5 * (std::cos(TwoPi / 2.0 * kd / 9.6) + 1.0) * display[k];
        if (k > 0)
            want[n - k] = want[k];
    }
    EXPECT_GT(window[9], 0.0);
    EXPECT_LT(window[9], 0.02);
    for (std::size_t k = 10; k < n; ++k)
        EXPECT_EQ(window[k], 0.0);
    for (std::size_t k = 0; k < n; ++k)
        EXPECT_NEAR(liftered[k], want[k], 1e-9) << k;
    // Envelope: (1/N) sum_j liftered[j] e^{-2 pi i jk/N}; even sequence, so real only.
    for (std::size_t k = 0; k < n; ++k) {
        std::complex<double> sum = 0.0;
        for (std::size_t j = 0; j < n; ++j)
            sum += want[j] * std::polar(1.0, -TwoPi * static_cast<double>((j * k) % n) / 64.0);
        EXPECT_NEAR(envelope[k], sum.real() / 64.0, 1e-9) << k;
        EXPECT_NEAR(work[k], 0.0, 1e-9) << k;
    }
    EXPECT_TRUE(EnvelopeRangeOf(envelope, m).drawable());

    // No cursor: nothing liftered, an all-zero envelope that must not be drawn.
    const double noCursor = LifterLength(m, -1.0);
    EXPECT_EQ(LifterAndEnvelope(display, noCursor, m, window, liftered, envelope, work), 0u);
    EXPECT_EQ(liftered, std::vector<double>(n, 0.0));
    EXPECT_EQ(envelope, std::vector<double>(n, 0.0));
    EXPECT_FALSE(EnvelopeRangeOf(envelope, m).drawable());

    // The whole half: L = N/2 fills k = 0 .. N/2-1 and the mirror never overwrites it.
    EXPECT_EQ(LifterAndEnvelope(display, LifterLength(m, 1.0), m, window, liftered, envelope, work),
              32u);
    EXPECT_EQ(liftered[32], 0.0);
    EXPECT_EQ(liftered[1], liftered[63]);
}

TEST(Display, FloorsAmplitudeAndPeak)
{
    std::vector<double> real{0.0, 0.25, 1e-12, -3.0};
    std::vector<double> d(4);
    DisplayValues(real, AnalysisMode::Db, 2, d);
    EXPECT_NEAR(d[0], -110.0, 1e-12);
    EXPECT_NEAR(d[1], 10.0 * std::log10(0.25), 1e-9);
    EXPECT_GE(d[2], -110.0);
    EXPECT_EQ(d[3], -110.0); // no logarithm: on the floor, not NaN
    DisplayValues(real, AnalysisMode::Amplitude, 1, d);
    EXPECT_EQ(d[1], 0.5);
    EXPECT_EQ(DisplayPeak(std::vector<double>{-9.0, 4.0}, AnalysisMode::Autocorrelation, 1), 9.0);
    EXPECT_EQ(DisplayPeak(std::vector<double>{-9.0, 4.0}, AnalysisMode::Cepstrum, 1), 4.0);
}

TEST(Export, NormalisedAutocorrelationAndTheSilentFrame)
{
    const std::size_t n = 256;
    const auto frame = testing::UniformNoise(n, 20000.0, 4u);
    std::vector<double> re(n), im(n);
    ASSERT_TRUE(NormalisedAutocorrelation(frame, 8, re, im));
    EXPECT_EQ(re[0], 1.0);
    const double lagZero = CircularAutocorrelation(frame, 0);
    for (std::size_t lag : {std::size_t{1}, std::size_t{100}, n - 1})
        EXPECT_NEAR(re[lag], CircularAutocorrelation(frame, lag) / lagZero, 1e-12) << lag;

    const std::vector<double> silence(n, 0.0);
    EXPECT_FALSE(NormalisedAutocorrelation(silence, 8, re, im));
    for (double v : re)
        ASSERT_EQ(v, 0.0); // reported, not filled with NaN
}

} // namespace
} // namespace kelvora::dsp
