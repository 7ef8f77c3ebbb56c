#pragma once
// The choice of a prediction order: one frame analysed at every order 0 .. 99, the residual
// power of each inverse filter over the Hann-weighted frame, and Akaike's information criterion
// or the final prediction error of each order. Plain functions over caller-owned arrays.

#include "dsp/lpc.h"

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

namespace kelvora::dsp {

enum class OrderCriterion { Aic, Fpe };

inline constexpr std::size_t OrderCount = 100; // orders 0 .. 99

// One search: the frame of 2^log2Size samples at `start`, pre-emphasised by FirstDifference or
// not, judged by one criterion.
struct OrderSearchParams {
    std::size_t start = 0;
    int log2Size = 8;
    bool preemphasis = true;
    OrderCriterion criterion = OrderCriterion::Aic;

    std::size_t size() const noexcept { return std::size_t{1} << log2Size; }
    bool operator==(const OrderSearchParams&) const = default;
};

// Arrays of a search, sized once per frame length.
struct OrderSearchWork {
    LpcWorkspace lpc;
    std::vector<double> frame;    // the (pre-emphasised) frame as it is analysed
    std::vector<double> weighted; // the same, Hann-weighted: what the residual is taken over
    void resize(std::size_t n);
};

// Sum over n < N of (sum_{j<=p} a[j] f[n-j])^2 with f zero before its start: the power the
// inverse filter leaves of the frame. 0 when a holds fewer than p + 1 values.
double PredictionErrorPower(std::span<const double> frame, std::span<const double> a,
                            std::size_t order) noexcept;

// AIC of order p: ln(Ep / E0) + 2p / (0.4 N), 0.4 N being the effective length of a Hann-
// weighted frame. Not a number when the frame has no power (E0 = 0).
double AicCriterion(double errorPower, double framePower, std::size_t order, std::size_t n) noexcept;

// FPE of order p: (p + 0.4 N + 1) Ep / (0.4 N - p - 1). With N = 256 the denominator at p = 99
// is 2.4; it stays positive for every order below 0.4 N - 1.
double FpeCriterion(double errorPower, std::size_t order, std::size_t n) noexcept;

// The criterion of every order 0 .. 99 into criteria[0 .. 100): the frame (a sample past the
// signal's end counts as 0) is analysed by LpcAnalyzeFrame at each order, and its residual
// taken over the Hann-weighted frame. Returns false, writing nothing, when criteria holds fewer
// than 100 values or the frame is too short for order 99 (N < 256). progressStep, if given, is
// called once per order.
bool EvaluateOrders(std::span<const double> signal, const OrderSearchParams& params,
                    OrderSearchWork& work, std::span<double> criteria,
                    const std::function<void()>& progressStep = {});

// The lowest criterion and the first order that has it (so the lowest order wins a tie), with
// the largest for the graph's scale. Values that are not finite take no part; when none is
// finite the optimum is undefined.
struct OrderOptimum {
    std::size_t order = 0;
    double lowest = 0.0;
    double highest = 0.0;
    bool defined = false;
    // Every defined value the same: the criterion cannot tell the orders apart.
    bool flat() const noexcept { return defined && highest == lowest; }
};
OrderOptimum FindOptimalOrder(std::span<const double> criteria) noexcept;

} // namespace kelvora::dsp
