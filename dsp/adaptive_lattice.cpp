#include "dsp/adaptive_lattice.h"

namespace kelvora::dsp {

LatticeResult RunAdaptiveLattice(std::span<const double> x, const LatticeParams& params,
                                 const std::function<void()>& progress)
{
    const std::size_t p = params.order;
    const double alpha = params.alpha;
    const double gamma = params.gamma;
    LatticeResult result;
    result.reflection.assign(p + 1, 0.0);
    result.forwardError.assign(x.size(), 0.0);
    result.backwardError.assign(x.size(), 0.0);
    result.coefficientPower.assign(x.size(), 0.0);
    std::vector<double> cross(p + 1, 0.0), power(p + 1, 0.0), delayed(p + 1, 0.0);
    double* w = result.reflection.data();

    double previous = 0.0;
    for (std::size_t n = 0; n < x.size(); ++n) {
        double input = x[n];
        if (params.preemphasis) {
            input = x[n] - previous;
            previous = x[n];
        }
        double f = input;
        double g = input;
        double sumOfSquares = 0.0;
        for (std::size_t m = 1; m <= p; ++m) {
            const double bd = delayed[m];
            cross[m] = alpha * cross[m] + f * bd;
            power[m] = alpha * power[m] + gamma * f * f + (1.0 - gamma) * bd * bd;
            if (power[m] != 0.0)
                w[m] = cross[m] / power[m];
            delayed[m] = g;
            const double nextG = bd - w[m] * f;
            f = f - w[m] * bd;
            g = nextG;
            sumOfSquares += w[m] * w[m];
        }
        result.forwardError[n] = f;
        result.backwardError[n] = g;
        result.coefficientPower[n] = sumOfSquares;
        if (progress && n % 100 == 0)
            progress();
    }
    return result;
}

} // namespace kelvora::dsp
