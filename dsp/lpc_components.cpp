#include "dsp/lpc_components.h"

#include <algorithm>
#include <cmath>

namespace kelvora::dsp {

std::vector<double> CoefficientCovariance(const FrameMatrix& matrix)
{
    const std::size_t q = matrix.varyingCount();
    const double rows = static_cast<double>(ComponentFrames);
    std::vector<double> sums(q, 0.0), products(q * q, 0.0);
    for (std::size_t f = 0; f < ComponentFrames; ++f) {
        const std::span<const double> x = matrix.row(f).subspan(1, q);
        for (std::size_t i = 0; i < q; ++i) {
            sums[i] += x[i];
            for (std::size_t j = 0; j < q; ++j)
                products[i * q + j] += x[i] * x[j];
        }
    }
    std::vector<double> covariance(q * q);
    for (std::size_t i = 0; i < q; ++i)
        for (std::size_t j = 0; j < q; ++j)
            covariance[i * q + j] = (products[i * q + j] - (sums[i] / rows) * rows * (sums[j] / rows)) / (rows - 1.0);
    return covariance;
}

double ComponentScore(std::span<const double> row, const EigenDecomposition& eigen, std::size_t component)
{
    if (component >= eigen.values.size())
        return 0.0;
    double score = 0.0;
    for (std::size_t j = 1; j <= eigen.size && j < row.size(); ++j)
        score += row[j] * eigen.component(j - 1, component);
    return score;
}

ComponentScores ScoresOf(const FrameMatrix& matrix, const EigenDecomposition& eigen)
{
    ComponentScores scores;
    scores.first.resize(ComponentFrames);
    scores.second.resize(ComponentFrames);
    for (std::size_t f = 0; f < ComponentFrames; ++f) {
        scores.first[f] = ComponentScore(matrix.row(f), eigen, 0);
        scores.second[f] = ComponentScore(matrix.row(f), eigen, 1);
        scores.firstPeak = std::max(scores.firstPeak, std::fabs(scores.first[f]));
        scores.secondPeak = std::max(scores.secondPeak, std::fabs(scores.second[f]));
    }
    return scores;
}

PrincipalComponents AnalyseComponents(const FrameMatrix& matrix)
{
    PrincipalComponents result;
    result.order = matrix.order;
    result.covariance = CoefficientCovariance(matrix);
    result.eigen = PowerIterationEigen(result.covariance, matrix.varyingCount());
    result.scores = ScoresOf(matrix, result.eigen);
    return result;
}

} // namespace kelvora::dsp
