#include "dsp/prediction_order.h"
#include "../support/test_signals.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace kelvora::dsp {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

TEST(PredictionOrder, ResidualAndCriteriaOfHandWorkedCases)
{
    // Frame 1, 2, 3 through 1 - z^-1 (zero before the start): 1, 1, 1.
    const std::vector<double> frame{1.0, 2.0, 3.0};
    EXPECT_EQ(PredictionErrorPower(frame, std::vector<double>{1.0, -1.0}, 1), 3.0);
    EXPECT_EQ(PredictionErrorPower(frame, std::vector<double>{1.0}, 0), 14.0);

    // 0.4 * 256 = 102.4: AIC adds 2p / 102.4, FPE's denominator at p = 99 is 102.4 - 100 = 2.4.
    EXPECT_DOUBLE_EQ(AicCriterion(0.5, 2.0, 10, 256), std::log(0.25) + 20.0 / 102.4);
    EXPECT_NEAR(FpeCriterion(1.0, 99, 256), 202.4 / 2.4, 1e-10);
    EXPECT_TRUE(std::isnan(AicCriterion(0.0, 0.0, 3, 256)));
}

TEST(PredictionOrder, LowestFiniteValueWinsAndTheLowestOrderWinsATie)
{
    const std::vector<double> tie{3.0, 1.0, 2.0, 1.0, NaN, 5.0};
    const OrderOptimum optimum = FindOptimalOrder(tie);
    EXPECT_TRUE(optimum.defined);
    EXPECT_FALSE(optimum.flat());
    EXPECT_EQ(optimum.order, 1u);
    EXPECT_EQ(optimum.lowest, 1.0);
    EXPECT_EQ(optimum.highest, 5.0);

    EXPECT_FALSE(FindOptimalOrder(std::vector<double>{NaN, NaN}).defined);
    const OrderOptimum flat = FindOptimalOrder(std::vector<double>{NaN, 2.0, 2.0});
    EXPECT_TRUE(flat.flat());
    EXPECT_EQ(flat.order, 1u);
}

class OrderSearch : public ::testing::Test {
protected:
    std::array<double, OrderCount> Criteria(const std::vector<double>& signal, OrderSearchParams params)
    {
        std::array<double, OrderCount> criteria{};
        int steps = 0;
        EXPECT_TRUE(EvaluateOrders(signal, params, work, criteria, [&] { ++steps; }));
        EXPECT_EQ(steps, 100);
        return criteria;
    }
    OrderSearchWork work;
};

TEST_F(OrderSearch, WhiteNoiseFavoursLowOrdersAndASecondOrderProcessOrderTwo)
{
    const auto noise = testing::UniformNoise(3000, 8000.0, 17);
    const auto aic = Criteria(noise, {500, 8, false, OrderCriterion::Aic});
    EXPECT_EQ(aic[0], 0.0); // Ep = E0 at order 0
    EXPECT_LE(FindOptimalOrder(aic).order, 3u);
    // The penalty 2p / 102.4 dominates: order 99 pays 1.93 and gains far less.
    EXPECT_GT(aic[99], 1.0);

    // x[t] = 1.6 x[t-1] - 0.9 x[t-2] + noise, unweighted, N = 1024.
    std::vector<double> ar(3000, 0.0);
    for (std::size_t t = 2; t < ar.size(); ++t)
        ar[t] = 1.6 * ar[t - 1] - 0.9 * ar[t - 2] + noise[t];
    const auto fitted = Criteria(ar, {1000, 10, false, OrderCriterion::Aic});
    EXPECT_EQ(fitted[0], 0.0);
    EXPECT_LT(fitted[2], fitted[1] - 1.0);
    const std::size_t best = FindOptimalOrder(fitted).order;
    EXPECT_GE(best, 2u);
    EXPECT_LE(best, 8u);

    // FPE of order 0 is (0.4 N + 1) / (0.4 N - 1) times the windowed frame's power.
    const auto fpe = Criteria(ar, {1000, 10, false, OrderCriterion::Fpe});
    double power = 0.0;
    for (std::size_t i = 0; i < 1024; ++i) {
        const double w = ar[1000 + i] * 0.5 * (1.0 - std::cos(6.283185307179586 * i / 1024.0));
        power += w * w;
    }
    EXPECT_NEAR(fpe[0] / power, 410.6 / 408.6, 1e-9);
    EXPECT_EQ(FindOptimalOrder(fpe).order, best);
}

TEST_F(OrderSearch, SilenceHasNoAicAndAFlatFpe)
{
    const std::vector<double> silence(600, 0.0);
    const auto aic = Criteria(silence, {0, 8, true, OrderCriterion::Aic});
    for (double value : aic)
        EXPECT_TRUE(std::isnan(value));
    EXPECT_FALSE(FindOptimalOrder(aic).defined);
    const auto fpe = Criteria(silence, {0, 8, true, OrderCriterion::Fpe});
    EXPECT_TRUE(FindOptimalOrder(fpe).flat());

    std::array<double, OrderCount> criteria{};
    EXPECT_FALSE(EvaluateOrders(silence, {0, 7, true, OrderCriterion::Aic}, work, criteria));
}

} // namespace
} // namespace kelvora::dsp
