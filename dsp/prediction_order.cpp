#include "dsp/prediction_order.h"

#include "dsp/fft.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kelvora::dsp {
namespace {

// 0.4 N: the effective length of a Hann-weighted frame of N samples.
double EffectiveLength(std::size_t n)
{
    return 0.4 * static_cast<double>(n);
}

void TakeFrame(std::span<const double> signal, const OrderSearchParams& params, std::span<double> out)
{
    const std::size_t n = params.size();
    if (params.preemphasis) {
        FirstDifference(signal, params.start, n, out);
        return;
    }
    for (std::size_t i = 0; i < n; ++i)
        out[i] = params.start + i < signal.size() ? signal[params.start + i] : 0.0;
}

} // namespace

void OrderSearchWork::resize(std::size_t n)
{
    lpc.resize(n, OrderCount - 1);
    frame.resize(n);
    weighted.resize(n);
}

double PredictionErrorPower(std::span<const double> frame, std::span<const double> a,
                            std::size_t order) noexcept
{
    if (a.size() < order + 1)
        return 0.0;
    double power = 0.0;
    for (std::size_t n = 0; n < frame.size(); ++n) {
        double residual = 0.0;
        const std::size_t taps = std::min(order, n);
        for (std::size_t j = 0; j <= taps; ++j)
            residual += a[j] * frame[n - j];
        power += residual * residual;
    }
    return power;
}

double AicCriterion(double errorPower, double framePower, std::size_t order, std::size_t n) noexcept
{
    if (!(framePower > 0.0))
        return std::numeric_limits<double>::quiet_NaN();
    return std::log(errorPower / framePower) + 2.0 * static_cast<double>(order) / EffectiveLength(n);
}

double FpeCriterion(double errorPower, std::size_t order, std::size_t n) noexcept
{
    const double p = static_cast<double>(order);
    return (p + EffectiveLength(n) + 1.0) * errorPower / (EffectiveLength(n) - p - 1.0);
}

bool EvaluateOrders(std::span<const double> signal, const OrderSearchParams& params,
                    OrderSearchWork& work, std::span<double> criteria,
                    const std::function<void()>& progressStep)
{
    if (criteria.size() < OrderCount || params.log2Size < 8 || params.log2Size > FftMaxLog2Size)
        return false;
    const std::size_t n = params.size();
    work.resize(n);
    TakeFrame(signal, params, work.frame);
    double framePower = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        work.weighted[i] = work.frame[i] * HannWindow(i, n);
        framePower += work.weighted[i] * work.weighted[i];
    }

    for (std::size_t order = 0; order < OrderCount; ++order) {
        const LpcArrays arrays = work.lpc.arrays(order);
        std::copy(work.frame.begin(), work.frame.end(), arrays.re.begin());
        LpcAnalyzeFrame(arrays, order, params.log2Size);
        const double errorPower = PredictionErrorPower(work.weighted, arrays.coefficients, order);
        criteria[order] = params.criterion == OrderCriterion::Aic
                              ? AicCriterion(errorPower, framePower, order, n)
                              : FpeCriterion(errorPower, order, n);
        if (progressStep)
            progressStep();
    }
    return true;
}

OrderOptimum FindOptimalOrder(std::span<const double> criteria) noexcept
{
    OrderOptimum optimum;
    for (std::size_t p = 0; p < criteria.size(); ++p) {
        const double value = criteria[p];
        if (!std::isfinite(value))
            continue;
        if (!optimum.defined) {
            optimum = {p, value, value, true};
            continue;
        }
        if (value < optimum.lowest) {
            optimum.lowest = value;
            optimum.order = p;
        }
        optimum.highest = std::max(optimum.highest, value);
    }
    return optimum;
}

} // namespace kelvora::dsp
