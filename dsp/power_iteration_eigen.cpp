#include "dsp/power_iteration_eigen.h"

#include <algorithm>
#include <cmath>

namespace kelvora::dsp {
namespace {

void MultiplyInto(std::span<const double> s, std::size_t n, std::span<const double> v, std::span<double> w)
{
    for (std::size_t i = 0; i < n; ++i) {
        double sum = 0.0;
        for (std::size_t j = 0; j < n; ++j)
            sum += s[i * n + j] * v[j];
        w[i] = sum;
    }
}

double Norm(std::span<const double> v)
{
    double sum = 0.0;
    for (double x : v)
        sum += x * x;
    return std::sqrt(sum);
}

// A unit vector orthogonal to the first `found` eigenvectors: the ones vector, or failing that
// the first unit axis, with their parts along the found vectors removed.
void OrthogonalUnitVector(const EigenDecomposition& result, std::size_t found, std::span<double> v)
{
    const std::size_t n = result.size;
    for (std::size_t candidate = 0; candidate <= n; ++candidate) {
        for (std::size_t i = 0; i < n; ++i)
            v[i] = candidate == 0 ? 1.0 : (i + 1 == candidate ? 1.0 : 0.0);
        // Twice, so that rounding left by the first pass is removed too.
        for (int pass = 0; pass < 2; ++pass)
            for (std::size_t e = 0; e < found; ++e) {
                double along = 0.0;
                for (std::size_t i = 0; i < n; ++i)
                    along += v[i] * result.component(i, e);
                for (std::size_t i = 0; i < n; ++i)
                    v[i] -= along * result.component(i, e);
            }
        const double norm = Norm(v);
        if (norm > 1e-6) {
            for (double& x : v)
                x /= norm;
            return;
        }
    }
}

} // namespace

EigenDecomposition PowerIterationEigen(std::span<const double> matrix, std::size_t size, int steps)
{
    EigenDecomposition result;
    result.size = size;
    if (matrix.size() < size * size)
        return result;
    result.values.assign(size, 0.0);
    result.vectors.assign(size * size, 0.0);
    std::vector<double> s(matrix.begin(), matrix.begin() + static_cast<std::ptrdiff_t>(size * size));
    std::vector<double> v(size), w(size);

    for (std::size_t e = 0; e < size; ++e) {
        std::fill(v.begin(), v.end(), 1.0);
        double lambda = 0.0;
        for (int step = 0; step < steps; ++step) {
            MultiplyInto(s, size, v, w);
            // lambda = max |w_i|, so v keeps the orientation the vector of ones gave it (and
            // the scatter plot its usual side). When S turns v round (w . v < 0), as a slightly
            // negative eigenvalue left by rounding after deflation does, lambda is negated:
            // v then keeps its direction instead of flipping every step, and the deflation
            // below removes that eigenvalue instead of doubling it.
            lambda = 0.0;
            double along = 0.0;
            for (std::size_t i = 0; i < size; ++i) {
                lambda = std::max(lambda, std::fabs(w[i]));
                along += w[i] * v[i];
            }
            if (along < 0.0)
                lambda = -lambda;
            if (lambda == 0.0 || !std::isfinite(lambda))
                break;
            for (std::size_t i = 0; i < size; ++i)
                v[i] = w[i] / lambda;
        }
        if (lambda == 0.0 || !std::isfinite(lambda)) {
            // Nothing is left of S: every remaining eigenvalue is 0.
            lambda = 0.0;
            OrthogonalUnitVector(result, e, v);
        } else {
            const double norm = Norm(v);
            for (double& x : v)
                x /= norm;
        }
        result.values[e] = lambda;
        for (std::size_t i = 0; i < size; ++i)
            result.vectors[i * size + e] = v[i];
        for (std::size_t i = 0; i < size; ++i)
            for (std::size_t j = 0; j < size; ++j)
                s[i * size + j] -= v[i] * lambda * v[j];
    }
    return result;
}

} // namespace kelvora::dsp
