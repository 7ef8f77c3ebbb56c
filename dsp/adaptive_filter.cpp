#include "dsp/adaptive_filter.h"

#include <algorithm>
#include <cmath>

namespace kelvora::dsp {
namespace {

// The tap line: the newest input first. Each input is written twice, L apart, so the L newest
// values always lie contiguously from `newest` and the inner loops need no wrap-around.
class TapLine {
public:
    explicit TapLine(std::size_t taps) : taps_(taps), buffer_(2 * taps, 0.0), start_(0) {}
    void push(double value)
    {
        start_ = start_ == 0 ? taps_ - 1 : start_ - 1;
        buffer_[start_] = value;
        buffer_[start_ + taps_] = value;
    }
    // Input i samples old at index i, for i = 0 .. L − 1.
    const double* newest() const { return buffer_.data() + start_; }

private:
    std::size_t taps_;
    std::vector<double> buffer_;
    std::size_t start_;
};

double Delayed(std::span<const double> signal, std::size_t n, std::size_t delay)
{
    return n >= delay && n - delay < signal.size() ? signal[n - delay] : 0.0;
}

} // namespace

AdaptiveFilterResult RunAdaptiveFilter(std::span<const double> x, std::span<const double> reference,
                                       const AdaptiveFilterParams& params, SmoothedPowers& powers,
                                       const std::function<void()>& progress)
{
    const std::size_t taps = std::max<std::size_t>(params.taps, 1);
    const bool filterMode = params.mode == AdaptiveMode::Filter;
    const std::size_t delay = filterMode ? 0 : params.delay;
    const std::size_t count = x.size();

    AdaptiveFilterResult result;
    result.output.assign(count, 0.0);
    result.error.assign(count, 0.0);
    result.weights.assign(taps, 0.0);
    result.weights[0] = 0.1;
    result.history.assign((WeightHistoryRows + 1) * taps, 0.0);
    double* w = result.weights.data();
    TapLine line(taps);

    for (std::size_t n = 0; n < count; ++n) {
        line.push(Delayed(x, n, delay));
        const double* tap = line.newest();
        double inputPower = 0.0;
        double y = 0.0;
        for (std::size_t i = 0; i < taps; ++i) {
            inputPower += tap[i] * tap[i];
            y += tap[i] * w[i];
        }
        const double gain = inputPower == 0.0 ? 0.0 : 1.0 / inputPower;
        const double desired = filterMode ? Delayed(reference, n, params.referenceDelay) : x[n];
        const double e = desired - y;
        result.output[n] = y;
        result.error[n] = e;
        const double step = params.mu * gain * e;
        for (std::size_t i = 0; i < taps; ++i)
            w[i] = params.leak * w[i] + step * tap[i];

        powers.input = (x[n] * x[n] + 1000.0 * powers.input) / 1001.0;
        powers.error = (e * e + 1000.0 * powers.error) / 1001.0;

        const std::size_t row = n * WeightHistoryRows / count; // exact: no 57.999… for 58
        double* historyRow = result.history.data() + std::min(row, WeightHistoryRows) * taps;
        for (std::size_t i = 0; i < taps; ++i) {
            result.weightMaximum = std::max(result.weightMaximum, std::fabs(w[i]));
            historyRow[i] = w[i];
        }
        if (progress && n % 100 == 0)
            progress();
    }
    return result;
}

double ErrorToInputDb(const SmoothedPowers& powers)
{
    return 10.0 * std::log10(powers.error / powers.input);
}

std::vector<double> ScaledToHalfFullScale(std::span<const double> samples)
{
    double peak = 0.0;
    for (double s : samples)
        peak = std::max(peak, std::fabs(s));
    if (peak == 0.0 || !std::isfinite(peak))
        return {};
    std::vector<double> scaled(samples.size());
    for (std::size_t n = 0; n < samples.size(); ++n)
        scaled[n] = samples[n] / peak * 32767.0 * 0.5;
    return scaled;
}

} // namespace kelvora::dsp
