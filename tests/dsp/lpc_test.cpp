#include "dsp/lpc.h"
#include "dsp/lpc_spectrum.h"
#include "../support/test_signals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace kelvora::dsp {
namespace {

constexpr double TwoPi = 2.0 * std::numbers::pi;
constexpr double Guard = 12345.0; // written past every array's end; must survive each analysis

// Owns the arrays of one analysis, each followed by guard values that catch overruns.
struct Analysis {
    Analysis(std::size_t n, std::size_t order)
        : n(n), order(order), re(n + 4, Guard), im(n + 4, Guard), r(n / 2 + 4, Guard),
          a(order + 5, Guard), k(order + 5, Guard), e(order + 5, Guard)
    {
    }
    LpcStatus run(const std::vector<double>& frame, int log2Size)
    {
        std::copy(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(n), re.begin());
        const auto first = [](std::vector<double>& v, std::size_t count) {
            return std::span<double>(v).first(count);
        };
        return LpcAnalyzeFrame({first(re, n), first(im, n), first(r, n / 2), first(a, order + 1),
                                first(k, order + 1), first(e, order + 1)},
                               order, log2Size);
    }
    bool guardsIntact() const
    {
        const auto tailIntact = [](const std::vector<double>& v, std::size_t used) {
            return std::all_of(v.begin() + static_cast<std::ptrdiff_t>(used), v.end(),
                               [](double x) { return x == Guard; });
        };
        return tailIntact(re, n) && tailIntact(im, n) && tailIntact(r, n / 2) &&
               tailIntact(a, order + 1) && tailIntact(k, order + 1) && tailIntact(e, order + 1);
    }
    std::size_t n, order;
    std::vector<double> re, im, r, a, k, e;
};

// x[t] = -a1 x[t-1] - a2 x[t-2] + noise: the autoregressive process whose inverse filter is
// 1 + a1 z^-1 + a2 z^-2 (poles at radius sqrt(a2)). The first 500 samples let it settle.
std::vector<double> ArProcess(std::size_t count, double a1, double a2, unsigned seed)
{
    const auto noise = testing::UniformNoise(count + 500, 1000.0, seed);
    std::vector<double> x(count + 500, 0.0);
    for (std::size_t t = 2; t < x.size(); ++t)
        x[t] = -a1 * x[t - 1] - a2 * x[t - 2] + noise[t];
    return {x.begin() + 500, x.end()};
}

// Solves M y = rhs by Gaussian elimination with partial pivoting (M is n x n, row-major).
std::vector<double> SolveLinear(std::vector<double> m, std::vector<double> rhs)
{
    const std::size_t n = rhs.size();
    for (std::size_t col = 0; col < n; ++col) {
        std::size_t pivot = col;
        for (std::size_t row = col + 1; row < n; ++row)
            if (std::abs(m[row * n + col]) > std::abs(m[pivot * n + col]))
                pivot = row;
        for (std::size_t c = 0; c < n; ++c)
            std::swap(m[col * n + c], m[pivot * n + c]);
        std::swap(rhs[col], rhs[pivot]);
        for (std::size_t row = col + 1; row < n; ++row) {
            const double factor = m[row * n + col] / m[col * n + col];
            for (std::size_t c = col; c < n; ++c)
                m[row * n + c] -= factor * m[col * n + c];
            rhs[row] -= factor * rhs[col];
        }
    }
    std::vector<double> y(n);
    for (std::size_t row = n; row-- > 0;) {
        double sum = rhs[row];
        for (std::size_t c = row + 1; c < n; ++c)
            sum -= m[row * n + c] * y[c];
        y[row] = sum / m[row * n + row];
    }
    return y;
}

// |A(e^{jw})|^2 of a[0..p], summed directly at w.
double InverseFilterPower(const std::vector<double>& a, std::size_t order, double w)
{
    double re = 0.0, im = 0.0;
    for (std::size_t j = 0; j <= order; ++j) {
        re += a[j] * std::cos(w * static_cast<double>(j));
        im -= a[j] * std::sin(w * static_cast<double>(j));
    }
    return re * re + im * im;
}

TEST(LpcAnalysis, CoefficientsSolveTheNormalEquationsOfTheWindowedFrame)
{
    constexpr std::size_t N = 256, P = 12;
    const auto frame = ArProcess(N, -1.2, 0.7, 3);
    Analysis lpc(N, P);
    ASSERT_EQ(lpc.run(frame, 8), LpcStatus::Analysed);
    EXPECT_TRUE(lpc.guardsIntact());

    // The reference: the Hann-weighted frame's circular autocorrelation summed directly.
    std::vector<double> w(N), r(P + 1);
    for (std::size_t i = 0; i < N; ++i)
        w[i] = frame[i] * 0.5 * (1.0 - std::cos(TwoPi * static_cast<double>(i) / N));
    for (std::size_t lag = 0; lag <= P; ++lag)
        for (std::size_t i = 0; i < N; ++i)
            r[lag] += w[i] * w[(i + lag) % N];
    for (std::size_t lag = P + 1; lag-- > 0;)
        r[lag] /= r[0];
    for (std::size_t lag = 0; lag <= P; ++lag)
        EXPECT_NEAR(lpc.r[lag], r[lag], 1e-7) << lag;

    // sum_j a_j r|i-j| = -r_i for i = 1..p.
    std::vector<double> toeplitz(P * P), rhs(P);
    for (std::size_t i = 0; i < P; ++i) {
        rhs[i] = -r[i + 1];
        for (std::size_t j = 0; j < P; ++j)
            toeplitz[i * P + j] = r[i > j ? i - j : j - i];
    }
    const auto a = SolveLinear(toeplitz, rhs);
    EXPECT_EQ(lpc.a[0], 1.0);
    for (std::size_t j = 1; j <= P; ++j)
        EXPECT_NEAR(lpc.a[j], a[j - 1], 1e-6) << j;

    // E[i] = prod (1 - k^2), returned in im as well; the final E is also 1 + sum a_j r_j.
    double product = 1.0;
    for (std::size_t i = 1; i <= P; ++i) {
        product *= 1.0 - lpc.k[i] * lpc.k[i];
        EXPECT_NEAR(lpc.e[i], product, 1e-12) << i;
        EXPECT_EQ(lpc.im[i], lpc.e[i]);
    }
    double residual = 1.0;
    for (std::size_t j = 1; j <= P; ++j)
        residual += a[j - 1] * r[j];
    EXPECT_NEAR(lpc.e[P], residual, 1e-7);

    // Lower orders nest: the same k prefix, and their last coefficient is minus their last k.
    // Analysing twice gives the same numbers bit for bit (no state between calls).
    for (std::size_t order : {1u, 5u, 12u}) {
        Analysis lower(N, order);
        lower.run(frame, 8);
        EXPECT_EQ(lower.a[order], -lower.k[order]);
        for (std::size_t i = 1; i <= order; ++i)
            EXPECT_EQ(lower.k[i], lpc.k[i]);
    }
}

TEST(LpcAnalysis, RecoversTheCoefficientsOfAKnownProcess)
{
    const auto x = ArProcess(1024, -1.3, 0.8, 11);
    Analysis second(1024, 2), fourth(1024, 4);
    second.run(x, 10);
    fourth.run(x, 10);
    EXPECT_NEAR(second.a[1], -1.3, 0.05);
    EXPECT_NEAR(second.a[2], 0.8, 0.05);
    EXPECT_NEAR(second.k[2], -0.8, 0.05); // a_p = -k_p
    EXPECT_NEAR(fourth.a[3], 0.0, 0.06);
    EXPECT_NEAR(fourth.a[4], 0.0, 0.06);
}

TEST(LpcAnalysis, OrderZeroAndASinusoidOfOrderTwo)
{
    Analysis none(256, 0);
    none.run(testing::UniformNoise(256, 1.0, 5), 8);
    EXPECT_EQ(none.a[0], 1.0);
    std::vector<double> re(256), im(256), levels(256);
    LpcEnvelope(none.a, 0, 8, re, im, levels);
    const double flat = 10.0 * std::log10(256.0 * 256.0 + 1e-11); // 1/|1/N|^2
    for (double level : levels)
        EXPECT_NEAR(level, flat, 1e-9);

    // 1000 Hz at 8000 Hz is bin 32 of 256: the pole pair sits on the unit circle there.
    Analysis sine(256, 2);
    sine.run(testing::Sine(256, 1000.0, 8000.0, 10000.0), 8);
    EXPECT_GT(std::abs(sine.k[2]), 0.99);
    LpcEnvelope(sine.a, 2, 8, re, im, levels);
    EXPECT_EQ(std::max_element(levels.begin(), levels.begin() + 128) - levels.begin(), 32);
}

TEST(LpcAnalysis, SilenceAndOrdersBeyondTheFrameGiveNumbers)
{
    Analysis silent(256, 10);
    EXPECT_EQ(silent.run(std::vector<double>(256, 0.0), 8), LpcStatus::Silent);
    EXPECT_TRUE(silent.guardsIntact());
    for (std::size_t i = 1; i <= 10; ++i) {
        EXPECT_EQ(silent.a[i], 0.0);
        EXPECT_EQ(silent.k[i], 0.0);
        EXPECT_EQ(silent.e[i], 1.0);
    }
    std::vector<double> re(256), im(256), levels(256), areas(11);
    LpcEnvelope(silent.a, 10, 8, re, im, levels);
    EXPECT_EQ(PickFormants(levels, 256, 8000), FormantBins{});
    TubeAreas(silent.k, 10, 10.0, areas);
    EXPECT_EQ(areas, std::vector<double>(11, 10.0));

    // Order 40 on 16 points: lags 1..7 exist, so orders 8..40 predict nothing more.
    Analysis tiny(16, 40);
    EXPECT_EQ(LpcOrderLimit(16), 7u);
    EXPECT_EQ(tiny.run(testing::UniformNoise(16, 1.0, 9), 4), LpcStatus::Analysed);
    EXPECT_TRUE(tiny.guardsIntact());
    for (std::size_t i = 8; i <= 40; ++i) {
        EXPECT_EQ(tiny.k[i], 0.0);
        EXPECT_EQ(tiny.a[i], 0.0);
        EXPECT_EQ(tiny.e[i], tiny.e[7]);
    }
    EXPECT_TRUE(std::isfinite(tiny.e[7]));
    EXPECT_EQ(silent.run(std::vector<double>(256, 1.0), 0), LpcStatus::BadArguments);
}

TEST(LpcDerived, CepstrumAndEnvelopeMatchTheInverseFilterSummedDirectly)
{
    constexpr std::size_t N = 512, P = 10;
    Analysis lpc(N, P);
    lpc.run(ArProcess(N, -1.5, 0.85, 21), 9);

    std::vector<double> lnInversePower(N);
    for (std::size_t i = 0; i < N; ++i)
        lnInversePower[i] = -std::log(InverseFilterPower(lpc.a, P, TwoPi * i / N));

    // ln|1/A|^2 = ln(1/A) + conj: its inverse transform at n > 0 is c_n of ln(1/A).
    std::vector<double> c(P + 1);
    LpcCepstrum(lpc.a, P, c);
    EXPECT_EQ(c[0], 0.0);
    for (std::size_t n = 1; n <= P; ++n) {
        double want = 0.0;
        for (std::size_t i = 0; i < N; ++i)
            want += lnInversePower[i] * std::cos(TwoPi * static_cast<double>(i * n % N) / N);
        EXPECT_NEAR(c[n], want / N, 1e-9) << n;
    }

    // Both envelopes of 1/|A/N|^2, one with the 1e-11 term, one in dB and natural log.
    std::vector<double> re(N), im(N), withFloor(N), db(N), ln(N);
    LpcEnvelope(lpc.a, P, 9, re, im, withFloor);
    LpcEnvelope(lpc.a, P, 9, re, im, db, ln);
    for (std::size_t i = 0; i < N; i += 37) {
        const double inverse = double(N) * N * std::exp(lnInversePower[i]);
        EXPECT_NEAR(withFloor[i], 10.0 * std::log10(inverse + 1e-11), 1e-9) << i;
        EXPECT_NEAR(db[i], 10.0 * std::log10(inverse), 1e-9) << i;
        EXPECT_NEAR(ln[i], std::log(inverse), 1e-9) << i;
    }
}

TEST(LpcDerived, TubeAreasStepByTheReflectionCoefficients)
{
    // 10 * (1 - 0.5) / 1.5 = 10/3, then * 1.5 / 0.5 back to 10; k = -1 has no finite area.
    std::vector<double> areas(4);
    TubeAreas(std::vector<double>{0.0, 0.5, -0.5, -1.0}, 3, 10.0, areas);
    EXPECT_DOUBLE_EQ(areas[1], 10.0 / 3.0);
    EXPECT_DOUBLE_EQ(areas[2], 10.0);
    EXPECT_DOUBLE_EQ(areas[3], 10.0);
}

TEST(LpcDerived, FormantsAreTheFirstPeakAndThePeakAfterTheNextDip)
{
    // A hand-made spectrum of 256 bins: rising to a peak at 1, down to 3, peak at 6, flat shoulder
    // with a dip at 9, peak at 12, then falling.
    std::vector<double> levels(256, 0.0);
    const double shape[] = {0, 5, 4, 3, 4, 5, 6, 5, 5, 4, 5, 6, 7, 6};
    std::copy(std::begin(shape), std::end(shape), levels.begin());
    for (std::size_t i = 14; i < 256; ++i)
        levels[i] = 6.0 - static_cast<double>(i);
    // 8000 Hz: the scan starts at 70 * 256 / 8000 = 2, past the peak at bin 1; the shoulder at
    // 7..8 is no dip (not strictly below both), the dip at 3 comes before F1 and does not count.
    EXPECT_EQ(PickFormants(levels, 256, 8000), (FormantBins{6, 12}));
    // 44100 Hz with 256 points: 70 * 256 / 44100 = 0, raised to 1, so bin 1 is F1.
    EXPECT_EQ(PickFormants(levels, 256, 44100), (FormantBins{1, 6}));

    // A peak with no dip after it before N/2 - 3 = 125 leaves F2 at 0; a dip at 125 is too late.
    std::vector<double> oneHill(256);
    for (std::size_t i = 0; i < 256; ++i)
        oneHill[i] = -std::abs(static_cast<double>(i) - 40.0);
    oneHill[125] = -200.0;
    EXPECT_EQ(PickFormants(oneHill, 256, 8000), (FormantBins{40, 0}));
}

TEST(LpcRules, FrameSizesAndDefaultOrdersOfEachRate)
{
    EXPECT_EQ(LpcFrameSize(8000), (LpcFrameLength{256, 8}));   // 32 ms
    EXPECT_EQ(LpcFrameSize(16000), (LpcFrameLength{512, 9}));  // 32 ms
    EXPECT_EQ(LpcFrameSize(44100), (LpcFrameLength{1024, 10}));
    EXPECT_EQ(LpcFrameSize(16001), (LpcFrameLength{1024, 10}));
    // Other rates: the power of two nearest 30 ms (330.75 and 360 points -> 256; 30 -> 32; 165 ->
    // 128), and never an empty frame.
    EXPECT_EQ(LpcFrameSize(11025), (LpcFrameLength{256, 8}));
    EXPECT_EQ(LpcFrameSize(12000), (LpcFrameLength{256, 8}));
    EXPECT_EQ(LpcFrameSize(1000), (LpcFrameLength{32, 5}));
    EXPECT_EQ(LpcFrameSize(5500), (LpcFrameLength{128, 7}));
    EXPECT_EQ(LpcFrameSize(0), (LpcFrameLength{4, 2}));

    const unsigned rates[] = {8000, 11025, 16000, 44100, 48000};
    const unsigned tract[] = {8, 11, 16, 43, 47};
    const unsigned vowel[] = {10, 13, 20, 55, 60};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(RequiredTractOrder(rates[i]), tract[i]) << rates[i];
        EXPECT_EQ(VowelDefaultOrder(rates[i]), vowel[i]) << rates[i];
    }
    EXPECT_EQ(LpcOrderLimit(256), 127u);
    EXPECT_EQ(LpcOrderLimit(2), 0u);
}

TEST(LpcRules, FirstDifferenceCountsTheSampleAfterTheSignalAsZero)
{
    const std::vector<double> s{1.0, 4.0, 9.0, 16.0};
    std::vector<double> d(3, Guard);
    FirstDifference(s, 1, 3, d);
    EXPECT_EQ(d, (std::vector<double>{-5.0, -7.0, 16.0}));
    FirstDifference(s, 6, 2, d);
    EXPECT_EQ(d, (std::vector<double>{0.0, 0.0, 16.0}));
}

} // namespace
} // namespace kelvora::dsp
