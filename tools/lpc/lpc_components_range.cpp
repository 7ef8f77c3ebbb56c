#include "tools/lpc/lpc_components_range.h"

#include <algorithm>

namespace kelvora {
namespace {

long long FromBar(int position, std::size_t n)
{
    return static_cast<long long>(static_cast<unsigned long long>(std::max(position, 0)) * n / IntervalBarRange);
}

int ToBar(long long samples, std::size_t n)
{
    if (n == 0 || samples <= 0)
        return 0;
    return static_cast<int>(static_cast<unsigned long long>(samples) * IntervalBarRange / n);
}

} // namespace

std::pair<std::size_t, std::size_t> KeepIntervalByStart(std::size_t n, std::size_t frameSize, long long start,
                                                        long long width)
{
    const long long last = static_cast<long long>(n) - static_cast<long long>(frameSize); // n − N
    if (start + width > last) {
        if (last - width <= 0) {
            start = 0;
            width = last;
        } else {
            start = last - width;
        }
    }
    return {static_cast<std::size_t>(std::max(start, 0LL)), static_cast<std::size_t>(std::max(width, 0LL))};
}

ComponentsInterval IntervalFromStartBar(std::size_t n, std::size_t frameSize, int startPosition, int widthPosition)
{
    const auto [start, width] = KeepIntervalByStart(n, frameSize, FromBar(startPosition, n), FromBar(widthPosition, n));
    return {start, width, ToBar(static_cast<long long>(start), n), widthPosition};
}

ComponentsInterval IntervalFromWidthBar(std::size_t n, std::size_t frameSize, int startPosition, int widthPosition)
{
    const long long last = static_cast<long long>(n) - static_cast<long long>(frameSize); // n − N
    long long start = FromBar(startPosition, n), width = FromBar(widthPosition, n);
    if (width < static_cast<long long>(frameSize))
        width = static_cast<long long>(frameSize);
    if (width > last)
        width = last;
    if (start + width > last) {
        if (last - start <= 0) {
            width = 0;
            start = last;
        } else {
            width = last - start;
        }
    }
    start = std::max(start, 0LL);
    width = std::max(width, 0LL);
    return {static_cast<std::size_t>(start), static_cast<std::size_t>(width), startPosition, ToBar(width, n)};
}

RangeAnalysis AnalyseRange(std::span<const double> signal, const ComponentsRange& range,
                           const dsp::LevelRange& levels, RangeWork& work, Picture& picture)
{
    picture.fill(White);
    RangeAnalysis result;
    if (!dsp::FillFrameMatrix(signal, range.start, range.width, range.order, range.log2Size, work.matrix, work.lpc))
        return result;
    result.analysed = true;
    if (work.extremesData != signal.data() || work.extremesSize != signal.size()) {
        work.extremes = SampleExtremes(signal);
        work.extremesData = signal.data();
        work.extremesSize = signal.size();
    }
    DrawIntervalBand(picture, signal, work.extremes, range.start, range.width);
    result.progressSteps = DrawLpcWaterfall(picture, work.matrix, range.log2Size, levels, work.waterfall);
    FinishRangePicture(picture);
    return result;
}

} // namespace kelvora
