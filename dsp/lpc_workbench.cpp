#include "dsp/lpc_workbench.h"

#include "dsp/fft.h"
#include "dsp/lpc.h"
#include "dsp/lpc_spectrum.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kelvora::dsp {
namespace {

// Everything one frame's analysis needs, allocated once per run.
struct FrameWork {
    FrameWork(std::size_t n, std::size_t order)
        : lpc(n, order), frame(n), forward(n), backward(n), levelsDb(n), levelsLn(n), areas(order + 1),
          cepstrum(order + 1), partnerCepstrum(order + 1), hann(n)
    {
        for (std::size_t i = 0; i < n; ++i)
            hann[i] = HannWindow(i, n);
    }
    LpcWorkspace lpc;
    std::vector<double> frame, forward, backward, levelsDb, levelsLn, areas, cepstrum, partnerCepstrum, hann;
};

void ReadFrame(std::span<const double> x, std::size_t start, std::size_t n, bool preemphasis, std::span<double> out)
{
    if (preemphasis)
        FirstDifference(x, start, n, out);
    else
        std::copy_n(x.begin() + static_cast<std::ptrdiff_t>(start), n, out.begin());
}

// Prediction of order p of the frame already in work.frame; its a, k and r stay in work.lpc.
void Analyse(FrameWork& work, std::size_t order, int log2Size)
{
    const LpcArrays arrays = work.lpc.arrays(order);
    std::copy(work.frame.begin(), work.frame.end(), arrays.re.begin());
    LpcAnalyzeFrame(arrays, order, log2Size);
}

void WriteRow(LpcResultTable& table, std::size_t row, LpcQuantity quantity, const FrameWork& work, std::size_t order,
              std::size_t half)
{
    std::span<double> entries = table.fullRow(row);
    const auto copyFrom = [&](const std::vector<double>& from, std::size_t first, std::size_t last) {
        for (std::size_t i = first; i <= last; ++i)
            entries[i] = from[i];
    };
    switch (quantity) {
    case LpcQuantity::Coefficients: copyFrom(work.lpc.coefficients, 1, order); break;
    case LpcQuantity::Reflection: copyFrom(work.lpc.reflection, 1, order); break;
    case LpcQuantity::Autocorrelation: copyFrom(work.lpc.autocorrelation, 0, std::min(order, half - 1)); break;
    case LpcQuantity::Areas: copyFrom(work.areas, 1, order); break;
    case LpcQuantity::Spectrum: copyFrom(work.levelsLn, 0, half - 1); break;
    case LpcQuantity::Cepstrum: copyFrom(work.cepstrum, 0, order); break;
    }
}

void FillForward(LpcResultTable& table, std::size_t half)
{
    for (std::size_t r = 1; r < LpcResultTable::Rows; ++r) {
        const std::span<const double> before = table.fullRow(r - 1);
        std::span<double> row = table.fullRow(r);
        for (std::size_t i = 0; i < half; ++i)
            if (row[i] == 0.0)
                row[i] = before[i];
    }
}

} // namespace

void LatticeInverseFilter(std::span<double> f, std::span<double> b, std::span<const double> k,
                          std::size_t order) noexcept
{
    const std::size_t n = std::min(f.size(), b.size());
    if (n == 0)
        return;
    const auto delay = [&] { std::copy_backward(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n - 1), b.begin() + static_cast<std::ptrdiff_t>(n)); };
    delay();
    for (std::size_t q = 1; q <= order && q < k.size(); ++q) {
        const double kq = k[q];
        for (std::size_t i = 0; i < n; ++i) {
            const double fi = f[i];
            f[i] = fi - kq * b[i];
            b[i] = b[i] - kq * fi;
        }
        delay();
    }
    b[0] = 0.0;
}

double CepstralDistanceDb(std::span<const double> c1, std::span<const double> c2, std::size_t order) noexcept
{
    double sum = 0.0;
    for (std::size_t i = 1; i <= order && i < c1.size() && i < c2.size(); ++i)
        sum += (c1[i] - c2[i]) * (c1[i] - c2[i]);
    return 10.0 / std::numbers::ln10 * std::sqrt(2.0 * sum);
}

std::optional<LpcWorkbenchResult> RunLpcWorkbench(std::span<const double> x, std::span<const double> partner,
                                                  const LpcWorkbenchParams& params, LpcResultTable& table,
                                                  const std::function<void()>& progress)
{
    const std::size_t n = std::size_t{1} << params.log2Size;
    const std::size_t half = n / 2;
    const std::size_t order = params.order;
    const std::size_t count = x.size();
    if (params.log2Size < 2 || n > LpcResultTable::Width * 2 || count < LpcWorkbenchMinimum(n))
        return std::nullopt;

    for (std::size_t r = 0; r < LpcResultTable::Rows; ++r)
        std::fill_n(table.fullRow(r).begin(), half, 0.0);
    table.rowLength = params.quantity == LpcQuantity::Spectrum ? half : order + 1;

    LpcWorkbenchResult result;
    result.forwardError.assign(count, 0.0);
    result.backwardError.assign(count, 0.0);
    result.cepstralDistance.assign(count, 0.0);
    FrameWork work(n, order);
    const std::size_t rowDivisor = count / half + 1;

    std::size_t s = 0;
    std::size_t j = 0;
    do {
        ReadFrame(x, s, n, params.preemphasis, work.frame);
        Analyse(work, order, params.log2Size);

        for (std::size_t i = 0; i < n; ++i)
            work.forward[i] = work.backward[i] = work.frame[i] * work.hann[i];
        LatticeInverseFilter(work.forward, work.backward, work.lpc.reflection, order);
        for (std::size_t i = 0; i < n && s + i < count; ++i) {
            result.forwardError[s + i] += work.forward[i];
            result.backwardError[s + i] += work.backward[i];
        }

        LpcEnvelope(work.lpc.coefficients, order, params.log2Size, work.forward, work.backward, work.levelsDb,
                    work.levelsLn);
        TubeAreas(work.lpc.reflection, order, 1.0, work.areas);
        LpcCepstrum(work.lpc.coefficients, order, work.cepstrum);

        WriteRow(table, std::min(LpcResultTable::Rows * j / rowDivisor, LpcResultTable::Rows - 1), params.quantity,
                 work, order, half);

        if (s + n <= partner.size()) {
            ReadFrame(partner, s, n, params.preemphasis, work.frame);
            Analyse(work, order, params.log2Size);
            LpcCepstrum(work.lpc.coefficients, order, work.partnerCepstrum);
            const double distance = CepstralDistanceDb(work.cepstrum, work.partnerCepstrum, order);
            std::fill_n(result.cepstralDistance.begin() + static_cast<std::ptrdiff_t>(s), std::min(half, count - s), distance);
        }

        ++j;
        s += half;
        if (progress)
            progress();
    } while (s < count - n);

    FillForward(table, half);
    result.frames = j;
    result.lastStart = s;
    return result;
}

} // namespace kelvora::dsp
