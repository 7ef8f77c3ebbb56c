#include "dsp/lpc_frame_matrix.h"

#include "dsp/fft.h"

#include <algorithm>

namespace kelvora::dsp {
namespace {

constexpr double SilentFirstFrameValue = 1e-5;

bool IsSilent(std::span<const double> frame)
{
    return std::all_of(frame.begin(), frame.end(), [](double x) { return x == 0.0; });
}

} // namespace

std::size_t ComponentFrameStart(std::size_t start, std::size_t width, std::size_t f) noexcept
{
    return start + static_cast<std::size_t>(static_cast<double>(f) * static_cast<double>(width) /
                                            static_cast<double>(ComponentFrames));
}

bool FillFrameMatrix(std::span<const double> signal, std::size_t start, std::size_t width,
                     std::size_t order, int log2Size, FrameMatrix& matrix, LpcWorkspace& work)
{
    if (log2Size < 1 || log2Size > FftMaxLog2Size)
        return false;
    const std::size_t n = std::size_t{1} << log2Size;
    const std::size_t lastStart = ComponentFrameStart(start, width, ComponentFrames - 1);
    if (lastStart > signal.size() || signal.size() - lastStart < n)
        return false;
    const std::size_t p = std::clamp<std::size_t>(order, 1, MaxComponentOrder);
    if (work.size != n || work.coefficients.size() < MaxComponentOrder + 1)
        work.resize(n, MaxComponentOrder);
    const LpcArrays arrays = work.arrays(p);

    matrix.order = p;
    for (std::size_t f = 0; f < ComponentFrames; ++f) {
        const std::span<double> row = matrix.row(f);
        const std::size_t at = ComponentFrameStart(start, width, f);
        if (f > 0 && at == ComponentFrameStart(start, width, f - 1)) {
            // A narrow interval gives neighbouring rows the same frame: analysed once.
            const std::span<const double> previous = matrix.row(f - 1);
            std::copy(previous.begin(), previous.end(), row.begin());
            continue;
        }
        const std::span<const double> frame = signal.subspan(at, n);
        if (IsSilent(frame)) {
            if (f == 0) {
                std::fill(row.begin(), row.end(), 0.0);
                std::fill(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(p), SilentFirstFrameValue);
            } else {
                const std::span<const double> previous = matrix.row(f - 1);
                std::copy(previous.begin(), previous.end(), row.begin());
            }
            continue;
        }
        std::copy(frame.begin(), frame.end(), arrays.re.begin());
        LpcAnalyzeFrame(arrays, p, log2Size);
        std::fill(row.begin(), row.end(), 0.0);
        std::copy(arrays.coefficients.begin(), arrays.coefficients.begin() + static_cast<std::ptrdiff_t>(p),
                  row.begin());
    }
    return true;
}

} // namespace kelvora::dsp
