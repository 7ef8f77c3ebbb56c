#include "tools/audio/waveform_edit.h"

#include "util/sprintf.h"

#include <algorithm>

namespace kelvora {
namespace {

FrameRange Clip(const std::vector<double>& samples, FrameRange frame)
{
    frame.start = static_cast<std::uint32_t>(std::min<std::size_t>(frame.start, samples.size()));
    frame.width = static_cast<std::uint32_t>(std::min<std::size_t>(frame.width, samples.size() - frame.start));
    return frame;
}

} // namespace

FrameRange KeepInterval(std::vector<double>& samples, FrameRange frame)
{
    frame = Clip(samples, frame);
    samples.erase(samples.begin() + frame.start + frame.width, samples.end());
    samples.erase(samples.begin(), samples.begin() + frame.start);
    const auto count = static_cast<std::uint32_t>(samples.size());
    if (count == 0)
        return {};
    return {0, std::max<std::uint32_t>(count - 1, 1)};
}

FrameRange DeleteInterval(std::vector<double>& samples, FrameRange frame)
{
    frame = Clip(samples, frame);
    samples.erase(samples.begin() + frame.start, samples.begin() + frame.start + frame.width);
    const auto count = static_cast<std::uint32_t>(samples.size());
    if (count == 0)
        return {};
    return {std::min(frame.start, count - 1), 1};
}

std::optional<std::string> FrameProblem(std::size_t count, long long start, long long width)
{
    if (count == 0)
        return "the sound has no samples";
    if (start < 0 || width < 1 || static_cast<unsigned long long>(start) >= count ||
        static_cast<unsigned long long>(width) > count - static_cast<unsigned long long>(start))
        return Sprintf("--start and --width must frame samples of the sound (0 … %zu): start >= 0, "
                       "width >= 1, start + width <= %zu",
                       count - 1, count);
    return std::nullopt;
}

} // namespace kelvora
