#include "dsp/level_range.h"

#include "dsp/fft.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kelvora::dsp {

LevelRange SpectrumLevelRange(std::span<const double> signal, int log2Size)
{
    LevelRange range;
    if (log2Size < 0 || log2Size > FftMaxLog2Size)
        return range;
    const std::size_t n = std::size_t{1} << log2Size;
    if (signal.empty())
        return range;
    // Only a signal shorter than one frame reaches past its end: the missing samples count as 0.
    const auto at = [signal](std::size_t i) { return i < signal.size() ? signal[i] : 0.0; };
    std::vector<double> re(n), im(n);
    std::size_t s = 0;
    do {
        for (std::size_t i = 0; i < n; ++i) {
            re[i] = at(s + i) * HannWindow(i, n);
            im[i] = 0.0;
        }
        FftInPlace(re, im, log2Size, FftForward);
        for (std::size_t i = 0; i < n / 2; ++i) {
            const double level = 10.0 * std::log10(re[i] * re[i] + im[i] * im[i] + 1e-6);
            range.max = std::max(range.max, level);
            range.min = std::min(range.min, level);
        }
        s += n;
    } while (s + n < signal.size());
    return range;
}

} // namespace kelvora::dsp
