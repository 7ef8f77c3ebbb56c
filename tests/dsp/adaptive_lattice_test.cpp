// The adaptive lattice against a two-sample case worked by hand and against the closed form of
// a never-forgetting first stage.

#include "dsp/adaptive_lattice.h"
#include "../support/test_signals.h"

#include <gtest/gtest.h>

namespace kelvora::dsp {
namespace {

TEST(AdaptiveLattice, SilenceLeavesEverythingZero)
{
    const LatticeResult r = RunAdaptiveLattice(std::vector<double>(300, 0.0), {0.9, 0.5, 4, true});
    ASSERT_EQ(r.reflection.size(), 5u);
    ASSERT_EQ(r.forwardError.size(), 300u);
    for (double w : r.reflection)
        EXPECT_EQ(w, 0.0);
    for (std::size_t n = 0; n < 300; ++n)
        EXPECT_TRUE(r.forwardError[n] == 0.0 && r.backwardError[n] == 0.0 && r.coefficientPower[n] == 0.0) << n;
}

// x = (1, 2), p = 1, α = γ = 0.5. Sample 0: b̄ = 0, C = 0, D = 0.5, W = 0, so Y = 1, E = 0.
// Sample 1: b̄ = 1, C = 2, D = 0.25 + 0.5·4 + 0.5·1 = 2.75, W = 8/11,
// E = 1 − 2W = −5/11, Y = 2 − W = 14/11, YE = W² = 64/121.
TEST(AdaptiveLattice, TwoSamplesWorkedByHand)
{
    const std::vector<double> x = {1.0, 2.0};
    const LatticeResult r = RunAdaptiveLattice(x, {0.5, 0.5, 1, false});
    EXPECT_DOUBLE_EQ(r.forwardError[0], 1.0);
    EXPECT_DOUBLE_EQ(r.backwardError[0], 0.0);
    EXPECT_DOUBLE_EQ(r.coefficientPower[0], 0.0);
    EXPECT_DOUBLE_EQ(r.reflection[1], 8.0 / 11.0);
    EXPECT_DOUBLE_EQ(r.forwardError[1], 14.0 / 11.0);
    EXPECT_DOUBLE_EQ(r.backwardError[1], -5.0 / 11.0);
    EXPECT_DOUBLE_EQ(r.coefficientPower[1], 64.0 / 121.0);
}

// With α = γ = 1 nothing is forgotten and stage 1 sees f = x[n], b̄ = x[n − 1], so its final
// coefficient is Σ x[n] x[n−1] / Σ x[n]², whatever the later stages do.
TEST(AdaptiveLattice, NeverForgettingFirstStageIsTheRunningRatio)
{
    const std::vector<double> x = testing::UniformNoise(2000, 1000.0, 7);
    double cross = 0.0, power = 0.0;
    for (std::size_t n = 0; n < x.size(); ++n) {
        cross += x[n] * (n > 0 ? x[n - 1] : 0.0);
        power += x[n] * x[n];
    }
    const LatticeResult r = RunAdaptiveLattice(x, {1.0, 1.0, 3, false});
    EXPECT_NEAR(r.reflection[1], cross / power, 1e-12);
    EXPECT_EQ(r.reflection[0], 0.0);
}

// The causal pre-emphasis starts from a previous sample of 0: a constant 5 enters as 5, 0, 0, …
TEST(AdaptiveLattice, CausalPreemphasisStartsFromZero)
{
    const LatticeResult r = RunAdaptiveLattice(std::vector<double>(4, 5.0), {0.9, 1.0, 1, true});
    EXPECT_EQ(r.forwardError[0], 5.0);
    EXPECT_EQ(r.forwardError[1], 0.0);
    EXPECT_EQ(r.backwardError[1], 5.0); // the delayed 5 passes the stage, whose W is still 0
}

} // namespace
} // namespace kelvora::dsp
