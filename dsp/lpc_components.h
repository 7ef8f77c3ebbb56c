#pragma once
// Principal components of the prediction coefficients of a FrameMatrix: their covariance over
// the 1000 frames, its eigen decomposition, and the first two component scores of every frame.

#include "dsp/lpc_frame_matrix.h"
#include "dsp/power_iteration_eigen.h"

#include <cstddef>
#include <span>
#include <vector>

namespace kelvora::dsp {

// Covariance of the columns 1 .. q of all 1000 rows (q = p - 1), q x q values row by row:
// S[i][j] = (sum x_fi x_fj - (sum x_fi / 1000) 1000 (sum x_fj / 1000)) / 999, counting every
// row, also rows that repeat a frame. Empty for p = 1.
std::vector<double> CoefficientCovariance(const FrameMatrix& matrix);

// Score of one row on eigenvector `component`: sum over j = 1 .. q of row[j] × its component
// j - 1. The coefficients are not centred. 0 when the decomposition has no such component.
double ComponentScore(std::span<const double> row, const EigenDecomposition& eigen, std::size_t component);

struct ComponentScores {
    std::vector<double> first;  // s1 of every frame
    std::vector<double> second; // s2 of every frame
    double firstPeak = 0.0;     // largest |s1|
    double secondPeak = 0.0;    // largest |s2|
};

// Everything "全計算" computes from a FrameMatrix.
struct PrincipalComponents {
    std::size_t order = 0; // p of the matrix they came from
    std::vector<double> covariance;
    EigenDecomposition eigen;
    ComponentScores scores;
};

ComponentScores ScoresOf(const FrameMatrix& matrix, const EigenDecomposition& eigen);
PrincipalComponents AnalyseComponents(const FrameMatrix& matrix);

} // namespace kelvora::dsp
