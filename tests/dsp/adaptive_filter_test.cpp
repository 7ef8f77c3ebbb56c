// The normalised LMS filter against closed forms: on a constant with one tap the weight closes
// the gap to 1 by the factor 1 − μ at every sample.

#include "dsp/adaptive_filter.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kelvora::dsp {
namespace {

AdaptiveFilterParams OneTap(AdaptiveMode mode)
{
    AdaptiveFilterParams p;
    p.mode = mode;
    p.delay = 1;
    p.taps = 1;
    p.mu = 0.1;
    p.leak = 1.0;
    return p;
}

// Line enhancer, M = L = 1, β = 1, on c: sample 0 sees no input (e = c, w stays 0.1); from then
// on w ← w + μ(1 − w), so 1 − w = 0.9^(n+1) after sample n and e[n] = c · 0.9^n.
TEST(AdaptiveFilter, LineEnhancerLearnsAConstant)
{
    constexpr double c = 1000.0;
    SmoothedPowers powers;
    const AdaptiveFilterResult r = RunAdaptiveFilter(std::vector<double>(250, c), {}, OneTap(AdaptiveMode::LineEnhancer), powers);
    EXPECT_DOUBLE_EQ(r.error[0], c);
    for (std::size_t n : {1u, 2u, 10u, 100u})
        EXPECT_NEAR(r.error[n], c * std::pow(0.9, n), 1e-9) << n;
    EXPECT_NEAR(r.output[249], c, 1e-6);
    EXPECT_NEAR(r.weights[0], 1.0, 1e-9);

    // Row r holds the weight after the last sample n with trunc(100 n / 250) = r.
    for (std::size_t row : {0u, 1u, 57u, 99u}) {
        std::size_t last = 0;
        for (std::size_t n = 0; n < 250; ++n)
            if (n * 100 / 250 == row)
                last = n;
        EXPECT_NEAR(r.history[row], 1.0 - std::pow(0.9, last + 1), 1e-12) << row;
    }
    EXPECT_NEAR(r.weightMaximum, 1.0, 1e-9);
}

// Px = (x² + 1000 Px) / 1001 from 0 gives c² (1 − (1000/1001)^n), and a second run goes on
// from where the first stopped.
TEST(AdaptiveFilter, SmoothedPowersCarryOverBetweenRuns)
{
    constexpr double c = 3.0;
    SmoothedPowers powers;
    const std::vector<double> x(400, c);
    RunAdaptiveFilter(x, {}, OneTap(AdaptiveMode::LineEnhancer), powers);
    EXPECT_NEAR(powers.input, c * c * (1.0 - std::pow(1000.0 / 1001.0, 400)), 1e-12);
    RunAdaptiveFilter(x, {}, OneTap(AdaptiveMode::LineEnhancer), powers);
    EXPECT_NEAR(powers.input, c * c * (1.0 - std::pow(1000.0 / 1001.0, 800)), 1e-12);
    EXPECT_NEAR(ErrorToInputDb(powers), 10.0 * std::log10(powers.error / powers.input), 1e-12);
}

// In filter mode the desired value is the reference D samples late, and 0 before its start and
// past its end: a 5-sample reference against 12 samples of X reads nothing beyond it.
TEST(AdaptiveFilter, ReferenceIsReadOnlyWithinItsLength)
{
    AdaptiveFilterParams p = OneTap(AdaptiveMode::Filter);
    p.delay = 7; // ignored: the filter has no input delay
    p.referenceDelay = 2;
    const std::vector<double> reference = {1, 2, 3, 4, 5};
    const std::vector<double> desired = {0, 0, 1, 2, 3, 4, 5, 0, 0, 0, 0, 0};
    SmoothedPowers powers;
    const AdaptiveFilterResult r = RunAdaptiveFilter(std::vector<double>(12, 1.0), reference, p, powers);
    EXPECT_DOUBLE_EQ(r.output[0], 0.1); // x[0] itself reaches the tap at once
    for (std::size_t n = 0; n < desired.size(); ++n)
        EXPECT_DOUBLE_EQ(r.error[n] + r.output[n], desired[n]) << n;
}

TEST(AdaptiveFilter, ScaledToHalfFullScaleAndItsSilentCase)
{
    EXPECT_TRUE(ScaledToHalfFullScale(std::vector<double>(5, 0.0)).empty());
    const std::vector<double> scaled = ScaledToHalfFullScale(std::vector<double>{1.0, -4.0, 2.0});
    ASSERT_EQ(scaled.size(), 3u);
    EXPECT_DOUBLE_EQ(scaled[0], 32767.0 * 0.5 / 4.0);
    EXPECT_DOUBLE_EQ(scaled[1], -32767.0 * 0.5);
    EXPECT_DOUBLE_EQ(scaled[2], 32767.0 * 0.5 / 2.0);
}

} // namespace
} // namespace kelvora::dsp
