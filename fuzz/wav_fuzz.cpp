// Any bytes given to the WAV decoder: no crash, no read past the buffer, and a decoded sound
// that agrees with itself and survives a write and a second read unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "files/wav.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kelvora::files;
    std::size_t steps = 0;
    const auto sound = DecodeWav(std::span<const std::uint8_t>(data, size), [&](const std::string&) { ++steps; });
    if (!sound.ok()) {
        if (sound.error().message.empty())
            std::abort();
        return 0;
    }
    const WavSound& s = sound.value();
    if (s.format.channels == 2 ? s.right.size() != s.left.size() : !s.right.empty())
        std::abort();
    if (s.left.size() * s.format.channels * (s.format.bitsPerSample / 8u) > size)
        std::abort();
    if (steps != (s.left.size() + s.format.sampleRate - 1) / s.format.sampleRate)
        std::abort();

    // Decoded samples are in range, so writing them back and reading again must give them back.
    const auto again = DecodeWav(EncodeWav(s.format, s.left, s.right));
    if (!again.ok() || again.value().left != s.left || again.value().right != s.right)
        std::abort();
    return 0;
}
