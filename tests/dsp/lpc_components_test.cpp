// The principal components of LPC coefficients: the power iteration against Jacobi rotations on
// the same covariance, a covariance and its eigen pair worked out by hand, residuals with zero
// and negative eigenvalues, and the level range of a sinusoid whose spectrum is known exactly.

#include "dsp/level_range.h"
#include "dsp/lpc_components.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace kelvora::dsp {
namespace {

// Cyclic Jacobi rotations: each rotation zeroes one off-diagonal pair of the symmetric n x n
// matrix a; the diagonal ends as the eigenvalues and the accumulated rotations v hold the
// eigenvectors in their columns. Shares nothing with the power iteration: no starting vector, no
// deflation, and it converges for any spacing of the eigenvalues. Returns (eigenvalue, vector)
// pairs, largest first.
std::vector<std::pair<double, std::vector<double>>> JacobiEigen(std::vector<double> a, std::size_t n)
{
    std::vector<double> v(n * n, 0.0);
    for (std::size_t i = 0; i < n; ++i)
        v[i * n + i] = 1.0;
    // Rotates columns (or rows, with stride n and step 1 swapped) p and q of m by (c, s).
    auto rotate = [n](std::vector<double>& m, std::size_t p, std::size_t q, double c, double s, bool rows) {
        for (std::size_t k = 0; k < n; ++k) {
            double& x = rows ? m[p * n + k] : m[k * n + p];
            double& y = rows ? m[q * n + k] : m[k * n + q];
            const double xp = x, yq = y;
            x = c * xp - s * yq;
            y = s * xp + c * yq;
        }
    };
    for (int sweep = 0; sweep < 50; ++sweep)
        for (std::size_t p = 0; p < n; ++p)
            for (std::size_t q = p + 1; q < n; ++q) {
                if (std::fabs(a[p * n + q]) < 1e-300)
                    continue;
                const double theta = (a[q * n + q] - a[p * n + p]) / (2.0 * a[p * n + q]);
                const double t = (theta >= 0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
                const double c = 1.0 / std::sqrt(t * t + 1.0), s = t * c;
                rotate(a, p, q, c, s, false);
                rotate(a, p, q, c, s, true);
                rotate(v, p, q, c, s, false);
            }
    std::vector<std::pair<double, std::vector<double>>> pairs;
    for (std::size_t e = 0; e < n; ++e) {
        std::vector<double> column(n);
        for (std::size_t k = 0; k < n; ++k)
            column[k] = v[k * n + e];
        pairs.emplace_back(a[e * n + e], column);
    }
    std::sort(pairs.begin(), pairs.end(), [](const auto& x, const auto& y) { return x.first > y.first; });
    return pairs;
}

// Frames whose six varying coefficients follow six hidden factors, each a third the size of the
// one before, along the orthonormal columns of a Householder reflection I − 2 u uᵀ / |u|²: a
// covariance with eigenvalues about 9 times apart.
FrameMatrix FactorMatrix()
{
    const double u[6] = {1, 2, -1, 0.5, 3, -2}, uu = 19.25;
    std::mt19937 random(7);
    std::normal_distribution<double> normal;
    FrameMatrix m;
    m.order = 7;
    for (std::size_t f = 0; f < ComponentFrames; ++f) {
        m.row(f)[0] = 1.0;
        double factor[6];
        for (int k = 0; k < 6; ++k)
            factor[k] = std::pow(3.0, -k) * normal(random);
        for (int j = 0; j < 6; ++j) {
            double x = -0.5;
            for (int k = 0; k < 6; ++k)
                x += factor[k] * ((j == k ? 1.0 : 0.0) - 2 * u[j] * u[k] / uu);
            m.row(f)[static_cast<std::size_t>(j) + 1] = x;
        }
    }
    return m;
}

TEST(PowerIterationEigen, AgreesWithJacobiRotationsWhenTheEigenvaluesAreFarApart)
{
    const std::vector<double> s = CoefficientCovariance(FactorMatrix());
    ASSERT_EQ(s.size(), 36u);
    const auto direct = JacobiEigen(s, 6);
    for (std::size_t e = 1; e < 6; ++e) // the comparison is only meaningful for these
        ASSERT_LT(direct[e].first / direct[e - 1].first, 0.5) << e;

    const EigenDecomposition power = PowerIterationEigen(s, 6);
    ASSERT_EQ(power.values.size(), 6u);
    for (std::size_t e = 0; e < 6; ++e)
        EXPECT_NEAR(power.values[e], direct[e].first, 1e-9 * direct[0].first) << "eigenvalue " << e;
    for (std::size_t e = 0; e < 3; ++e) {
        const double sign = power.component(0, e) * direct[e].second[0] < 0 ? -1.0 : 1.0;
        for (std::size_t i = 0; i < 6; ++i)
            EXPECT_NEAR(power.component(i, e), sign * direct[e].second[i], 1e-7) << "vector " << e << ", " << i;
    }
}

// p = 3: column 1 is a_f = f mod 2, column 2 is b_f = 2 a_f + c_f with c_f = 1 for f < 500.
// Sums over the 1000 rows: a 500, a² 500, b 1500, ab 1250, b² 3500, so
// S = [[250, 500], [500, 1250]] / 999, with eigenvalues (750 ± sqrt(500000)) / 999 and the
// leading eigenvector along (500, λ' − 250) for λ' = 750 + sqrt(500000).
class HandWorkedComponents : public ::testing::Test {
protected:
    HandWorkedComponents()
    {
        m.order = 3;
        for (std::size_t f = 0; f < ComponentFrames; ++f) {
            const double a = static_cast<double>(f % 2), c = f < 500 ? 1.0 : 0.0;
            m.row(f)[0] = 1.0;
            m.row(f)[1] = a;
            m.row(f)[2] = 2.0 * a + c;
        }
    }
    FrameMatrix m;
};

TEST_F(HandWorkedComponents, CovarianceEigenpairsAndScores)
{
    const PrincipalComponents pc = AnalyseComponents(m);
    ASSERT_EQ(pc.covariance.size(), 4u);
    EXPECT_NEAR(pc.covariance[0], 250.0 / 999, 1e-12);
    EXPECT_NEAR(pc.covariance[1], 500.0 / 999, 1e-12);
    EXPECT_NEAR(pc.covariance[2], 500.0 / 999, 1e-12);
    EXPECT_NEAR(pc.covariance[3], 1250.0 / 999, 1e-12);

    const double root = std::sqrt(500000.0);
    EXPECT_NEAR(pc.eigen.values[0], (750 + root) / 999, 1e-9);
    EXPECT_NEAR(pc.eigen.values[1], (750 - root) / 999, 1e-9);
    const double vx = 500, vy = 750 + root - 250, length = std::hypot(vx, vy);
    EXPECT_NEAR(pc.eigen.component(0, 0), vx / length, 1e-9);
    EXPECT_NEAR(pc.eigen.component(1, 0), vy / length, 1e-9);

    // Scores are not centred: frame 1 (a = 1, b = 3) and frame 998 (a = 0, b = 0).
    EXPECT_NEAR(pc.scores.first[1], (vx + 3 * vy) / length, 1e-9);
    EXPECT_EQ(pc.scores.first[998], 0.0);
    EXPECT_NEAR(pc.scores.firstPeak, (vx + 3 * vy) / length, 1e-9);
    // The second eigenvector is orthogonal to the first: (vy, -vx) up to sign.
    EXPECT_NEAR(std::fabs(pc.scores.second[1]), std::fabs(vy - 3 * vx) / length, 1e-6);
}

TEST(PowerIterationEigen, DeflationLeavesZeroAndNegativeEigenvaluesAsTheyAre)
{
    // diag(5, 0): after the first pair nothing is left, which must not turn into 0/0.
    const EigenDecomposition e = PowerIterationEigen(std::vector<double>{5, 0, 0, 0}, 2);
    EXPECT_DOUBLE_EQ(e.values[0], 5.0);
    EXPECT_DOUBLE_EQ(e.values[1], 0.0);
    EXPECT_DOUBLE_EQ(e.component(0, 0), 1.0);
    EXPECT_DOUBLE_EQ(e.component(1, 0), 0.0);
    EXPECT_NEAR(e.component(0, 1), 0.0, 1e-15);
    EXPECT_NEAR(e.component(1, 1), 1.0, 1e-15);

    // A negative eigenvalue keeps its sign, so deflation removes it: diag(3, -1, 0) ends with
    // 3, -1, 0 rather than 3, 1, 2.
    const EigenDecomposition n = PowerIterationEigen(std::vector<double>{3, 0, 0, 0, -1, 0, 0, 0, 0}, 3);
    EXPECT_NEAR(n.values[0], 3.0, 1e-12);
    EXPECT_NEAR(n.values[1], -1.0, 1e-12);
    EXPECT_NEAR(n.values[2], 0.0, 1e-12);

    // The vector of ones sets the orientation: S = 4 u u' with u = (6, 6, -7) / 11 maps the
    // ones onto 4 u (u . 1) = (20/11) u, so the first eigenvector is +u even though its
    // largest component is negative.
    const double u[3] = {6.0 / 11, 6.0 / 11, -7.0 / 11};
    std::vector<double> rank1(9);
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j)
            rank1[i * 3 + j] = 4.0 * u[i] * u[j];
    const EigenDecomposition r = PowerIterationEigen(rank1, 3);
    EXPECT_NEAR(r.values[0], 4.0, 1e-12);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_NEAR(r.component(i, 0), u[i], 1e-12) << i;

    // All zero (every frame alike): unit vectors, all finite.
    const EigenDecomposition z = PowerIterationEigen(std::vector<double>(9, 0.0), 3);
    for (std::size_t a = 0; a < 3; ++a)
        for (std::size_t b = 0; b < 3; ++b) {
            double dot = 0;
            for (std::size_t i = 0; i < 3; ++i)
                dot += z.component(i, a) * z.component(i, b);
            EXPECT_NEAR(dot, a == b ? 1.0 : 0.0, 1e-12);
        }
}

TEST(SpectrumLevelRange, ASinusoidOnABinSpansItsPeakAndTheFloor)
{
    // 4000 sin at bin 16 of 1024: the Hann-weighted, 1/N-scaled bin has magnitude 4000 / 4, so
    // the top is 10 log10(1000²) = 60 dB; bins away from 15 … 17 are zero up to rounding and
    // sit on the 1e-6 floor, -60 dB.
    const std::size_t n = 1024;
    std::vector<double> x(2 * n + 1);
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double amplitude = i < n ? 4000.0 : 8000.0;
        x[i] = amplitude * std::sin(2 * std::numbers::pi * 16.0 * static_cast<double>(i) / n);
    }
    // 2N samples: only the frame at 0 (the next start, N, is not below 2N − N).
    const LevelRange first = SpectrumLevelRange(std::span(x).first(2 * n), 10);
    EXPECT_NEAR(first.max, 60.0, 1e-6);
    EXPECT_NEAR(first.min, -60.0, 1e-3);
    // One sample more lets the louder second frame in: 20 log10(2000) = 66.02 dB.
    EXPECT_NEAR(SpectrumLevelRange(x, 10).max, 20 * std::log10(2000.0), 1e-6);
    // Shorter than one frame: the one frame, zero after the signal. Impulses of 1024000 at
    // N/4 and N/2 (Hann weights 0.5 and 1) give |X_k| = 1000 |0.5 (-i)^k + (-1)^k|: 1500 for k a
    // multiple of 4, 500 for k = 2 mod 4 (1118 for odd k), so 63.52 and 53.98 dB.
    std::vector<double> pulses(n / 2 + 1, 0.0);
    pulses[n / 4] = pulses[n / 2] = 1024000.0;
    const LevelRange shortRange = SpectrumLevelRange(pulses, 10);
    EXPECT_NEAR(shortRange.max, 20 * std::log10(1500.0), 1e-6);
    EXPECT_NEAR(shortRange.min, 20 * std::log10(500.0), 1e-6);
    EXPECT_FALSE(SpectrumLevelRange({}, 10).scalable());
}

} // namespace
} // namespace kelvora::dsp
