#include "dsp/convolution.h"

#include "dsp/fft.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <string>

namespace kelvora::dsp {

std::optional<int> ConvolutionTransformOrder(std::size_t totalCount) noexcept
{
    for (int k = 0; k <= MaxConvolutionOrder; ++k) {
        if ((std::size_t{1} << k) > totalCount)
            return k;
    }
    return std::nullopt;
}

std::size_t ConvolutionWorkBytes(int order) noexcept
{
    const std::size_t doubles = (order > FftLargestKeptPlanLog2 ? 6 : 4) * (std::size_t{1} << order);
    return doubles * sizeof(double);
}

namespace {

ConvolutionResult Failure(std::string message)
{
    return ConvolutionResult{{}, std::move(message)};
}

// Quotient of every bin, with W's (numerical) zeros giving 0 instead of infinities.
void DivideSpectra(std::span<const double> xRe, std::span<const double> xIm,
                   std::span<double> wRe, std::span<double> wIm) noexcept
{
    double strongest = 0.0;
    for (std::size_t k = 0; k < wRe.size(); ++k)
        strongest = std::max(strongest, wRe[k] * wRe[k] + wIm[k] * wIm[k]);
    const double floor = strongest * DeconvolutionFloor;
    for (std::size_t k = 0; k < wRe.size(); ++k) {
        const double a = xRe[k], b = xIm[k], c = wRe[k], d = wIm[k];
        const double power = c * c + d * d;
        if (!(power > floor)) {
            wRe[k] = 0.0;
            wIm[k] = 0.0;
            continue;
        }
        wRe[k] = (a * c + b * d) / power;
        wIm[k] = (b * c - a * d) / power;
    }
}

void MultiplySpectra(std::span<const double> xRe, std::span<const double> xIm,
                     std::span<double> wRe, std::span<double> wIm) noexcept
{
    for (std::size_t k = 0; k < wRe.size(); ++k) {
        const double a = xRe[k], b = xIm[k], c = wRe[k], d = wIm[k];
        wRe[k] = a * c - b * d;
        wIm[k] = b * c + a * d;
    }
}

// The transform of 2^order points, once its inputs are known to fit. Throws std::bad_alloc when
// the work arrays or the transform's tables cannot be had, or would pass workBytesLimit.
ConvolutionResult Transform(std::span<const double> x, std::span<const double> w, ConvolutionMode mode,
                            int order, std::size_t workBytesLimit)
{
    if (ConvolutionWorkBytes(order) > workBytesLimit)
        throw std::bad_alloc();
    const std::size_t size = std::size_t{1} << order;

    // X's spectrum goes to the second pair, W's to the first, which then receives the result.
    std::vector<double> firstRe(size, 0.0), firstIm(size, 0.0);
    std::vector<double> secondRe(size, 0.0), secondIm(size, 0.0);
    std::copy(x.begin(), x.end(), secondRe.begin());
    FftInPlace(secondRe, secondIm, order, FftForward);
    std::copy(w.begin(), w.end(), firstRe.begin());
    FftInPlace(firstRe, firstIm, order, FftForward);

    if (mode == ConvolutionMode::Convolve)
        MultiplySpectra(secondRe, secondIm, firstRe, firstIm);
    else if (mode == ConvolutionMode::Deconvolve)
        DivideSpectra(secondRe, secondIm, firstRe, firstIm);
    FftInPlace(firstRe, firstIm, order, FftConjugate);

    double peak = 0.0;
    bool finite = true;
    for (const double v : firstRe) {
        finite = finite && std::isfinite(v);
        peak = std::max(peak, std::abs(v));
    }
    if (!finite)
        return Failure("結果に不正な値（無限大など）が現れたため、Xは変更していません。");
    if (peak == 0.0)
        return Failure("結果がすべて0になったため正規化できません。Xは変更していません。");
    for (double& v : firstRe)
        v = v * ConvolutionPeak / peak;
    return ConvolutionResult{std::move(firstRe), {}};
}

} // namespace

ConvolutionResult RunConvolution(std::span<const double> x, std::span<const double> w,
                                 ConvolutionMode mode, std::size_t workBytesLimit)
{
    if (w.empty())
        return Failure("Ｗに信号がありません。先に「Ｗへ保存」で相手の信号を保存してください。");
    const std::optional<int> order = ConvolutionTransformOrder(x.size() + w.size());
    if (!order)
        return Failure("信号が長すぎて畳み込めません。XとWの長さの合計を536870911サンプル以下にしてください。");
    try {
        return Transform(x, w, mode, *order, workBytesLimit);
    } catch (const std::bad_alloc&) {
        // Whatever was allocated has been freed on the way out; X and W were only read.
        const std::size_t megabytes = (ConvolutionWorkBytes(*order) + (1u << 20) - 1) >> 20;
        return Failure("メモリが足りないため畳み込めません（作業用に" + std::to_string(megabytes)
                       + "MBが必要です）。Xは変更していません。");
    }
}

ConvolutionResult Convolve(std::span<const double> x, std::span<const double> w)
{
    return RunConvolution(x, w, ConvolutionMode::Convolve);
}

ConvolutionResult Deconvolve(std::span<const double> x, std::span<const double> w)
{
    return RunConvolution(x, w, ConvolutionMode::Deconvolve);
}

} // namespace kelvora::dsp
