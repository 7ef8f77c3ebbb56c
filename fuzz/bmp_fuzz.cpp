// Any bytes given to the BMP decoder: no crash, no read past the buffer, no allocation beyond
// what the buffer describes, and a decoded picture that survives a write and a second read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "files/bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kelvora::files;
    const auto image = DecodeBmp(std::span<const std::uint8_t>(data, size));
    if (!image.ok()) {
        if (image.error().message.empty())
            std::abort();
        return 0;
    }
    const RgbImage& picture = image.value();
    if (picture.width <= 0 || picture.height <= 0
        || picture.pixels.size() != static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height))
        std::abort();
    // Every pixel comes from at least one byte of the file.
    if (picture.pixels.size() > size)
        std::abort();
    const auto again = DecodeBmp(EncodeBmp24(picture));
    if (!again.ok() || !(again.value() == picture))
        std::abort();
    return 0;
}
