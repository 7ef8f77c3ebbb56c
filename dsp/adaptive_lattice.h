#pragma once
// The adaptive lattice predictor: every stage re-estimates its reflection coefficient at every
// sample from exponentially forgotten cross- and auto-power sums, so the lattice follows a
// changing spectrum sample by sample.

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

namespace kelvora::dsp {

struct LatticeParams {
    double alpha = 0.999;     // forgetting factor of the power sums, 0 < alpha <= 1
    double gamma = 1.0;       // weight of the forward power against the backward power, 0 .. 1
    std::size_t order = 10;   // number of stages p
    bool preemphasis = false; // causal x[n] − x[n−1] before the lattice
    friend bool operator==(const LatticeParams&, const LatticeParams&) = default;
};

struct LatticeResult {
    std::vector<double> reflection;       // p + 1 values: 0, then each stage's final coefficient
    std::vector<double> forwardError;     // one per input sample: the last stage's forward error
    std::vector<double> backwardError;    // one per input sample: the last stage's backward error
    std::vector<double> coefficientPower; // one per input sample: the sum of squared coefficients
};

// Runs the lattice once over x from a zero state. Stage m keeps C (forgotten Σ f·b̄),
// D (forgotten Σ γf² + (1−γ)b̄²) and its delay b̄, and takes C/D as its coefficient whenever D is
// not zero (so a stage that has seen only silence keeps 0 and passes its input). `progress`, if
// given, is called once every 100 samples.
LatticeResult RunAdaptiveLattice(std::span<const double> x, const LatticeParams& params,
                                 const std::function<void()>& progress = {});

} // namespace kelvora::dsp
