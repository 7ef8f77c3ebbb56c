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
    if (!samples.ok()) {
        if (samples.error().message.empty())
            std::abort();
        return 0;
    }
    for (const double x : samples.value()) {
        if (!std::isfinite(x))
            std::abort();
    }
    // A number takes at least one character.
    if (samples.value().size() > size)
        std::abort();

    const auto again = ParseTextSamples(FormatTextSamples(samples.value(), 8000));
    if (!again.ok() || again.value().size() != samples.value().size())
        std::abort();
    for (std::size_t i = 0; i < again.value().size(); ++i) {
        const double x = samples.value()[i];
        if (std::fabs(again.value()[i] - x) > 5e-7 + std::fabs(x) * 1e-15)
            std::abort();
    }
    return 0;
}
