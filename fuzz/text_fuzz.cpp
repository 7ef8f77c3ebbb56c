// Any bytes given to the text sample parser: no crash, finite values only, and values that
// survive formatting and parsing again to within the six decimals written.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "files/text_samples.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kelvora::files;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto samples = ParseTextSamples(text);
    if (!samples.Ok()) {
        if (samples.Error().message.empty())
            std::abort();
        return 0;
    }
    for (const double x : samples.Value()) {
        if (!std::isfinite(x))
            std::abort();
    }
    // A number takes at least one character.
    if (samples.Value().size() > size)
        std::abort();

    const auto again = ParseTextSamples(FormatTextSamples(samples.Value(), 8000));
    if (!again.Ok() || again.Value().size() != samples.Value().size())
        std::abort();
    for (std::size_t i = 0; i < again.Value().size(); ++i) {
        const double x = samples.Value()[i];
        if (std::fabs(again.Value()[i] - x) > 5e-7 + std::fabs(x) * 1e-15)
            std::abort();
    }
    return 0;
}
