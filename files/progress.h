#pragma once
// The progress hook of the long file loops.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kelvora::files {

// Called by a reader or writer at each step of its loop (once per second of signal, or once per
// 8000 values for text) with the Japanese line to show; the caller advances its bar by one per
// call. An empty function means no progress is shown.
using ProgressText = std::function<void(const std::string& text)>;

// The common form of those lines, e.g. "データを読込み中\n　3秒分(40％)": the action, a line
// break, an ideographic space, the whole seconds done and the percentage (done · 100 ÷ total + 1,
// so it starts at 1 and never reaches 101).
inline std::string SecondsAndPercentText(std::string_view action, std::uint64_t done,
                                         std::uint64_t perSecond, std::uint64_t total)
{
    const std::uint64_t seconds = perSecond == 0 ? 0 : done / perSecond;
    const std::uint64_t percent = total == 0 ? 1 : done * 100 / total + 1;
    std::string text(action);
    text += "\n　";
    text += std::to_string(seconds);
    text += "秒分(";
    text += std::to_string(percent);
    text += "％)";
    return text;
}

} // namespace kelvora::files
