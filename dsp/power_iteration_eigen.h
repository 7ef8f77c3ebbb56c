#pragma once
// Eigenvalues and eigenvectors of a symmetric positive semi-definite matrix (a covariance) by
// power iteration with deflation: simple, predictable in cost, and accurate enough for the
// leading components when the eigenvalues are well apart.

#include <cstddef>
#include <span>
#include <vector>

namespace kelvora::dsp {

inline constexpr int PowerIterationSteps = 100;

// Eigenvalues largest first; vectors[i * size + e] is component i of eigenvector e (column e is
// eigenvector e, of unit length).
struct EigenDecomposition {
    std::size_t size = 0;
    std::vector<double> values;
    std::vector<double> vectors;

    double component(std::size_t i, std::size_t e) const { return vectors[i * size + e]; }
};

// `matrix` holds size x size values row by row (it is only read). For each e = 0 .. size - 1,
// starting from a vector of ones: `steps` times w = S v, lambda = the w_i of largest magnitude,
// v = w / lambda; then v is scaled to unit length and becomes eigenvector e with eigenvalue
// lambda, and S loses v lambda v^T before the next e. For a positive eigenvalue lambda is
// max |w_i|; keeping the sign matters only for the tiny negative eigenvalues that rounding
// leaves in a deflated covariance, which would otherwise come out positive and be doubled by
// each deflation. The signs of the vectors are those this iteration gives (the projection of
// the ones vector on each eigenvector is positive).
// When what is left of S maps v to zero (a matrix of lower rank, or all zero), the remaining
// eigenvalues are 0 and their vectors are unit vectors orthogonal to the ones already found,
// rather than the 0/0 the iteration would give. A matrix shorter than size x size gives an
// empty decomposition of that size with no values.
EigenDecomposition PowerIterationEigen(std::span<const double> matrix, std::size_t size,
                                       int steps = PowerIterationSteps);

} // namespace kelvora::dsp
