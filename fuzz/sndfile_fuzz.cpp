// Any bytes given to libsndfile through the memory virtual I/O, as the sound loader does for
// every file that is not a plain PCM WAV: no crash, no read past the buffer, and a decoded sound
// on the 16-bit scale that survives a FLAC write and a second read unchanged.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "files/flac_writer.h"
#include "files/sndfile_reader.h"

namespace {

// Round trips are skipped for long sounds so that each input stays quick.
constexpr std::size_t MaxRoundTripFrames = 1 << 16;

bool OnSixteenBitScale(double sample)
{
    return sample >= -32768 && sample <= 32767 && sample == std::trunc(sample);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kelvora::files;
    const auto read = DecodeWithSndfile(std::span<const std::uint8_t>(data, size), [](const std::string&) {});
    if (!read.ok()) {
        if (read.error().message.empty())
            std::abort();
        return 0;
    }
    const WavSound& s = read.value().sound;
    if (s.format.bitsPerSample != 16 || s.format.sampleRate == 0)
        std::abort();
    if (s.format.channels == 2 ? s.right.size() != s.left.size() : (s.format.channels != 1 || !s.right.empty()))
        std::abort();
    for (const auto* channel : {&s.left, &s.right}) {
        for (const double sample : *channel) {
            if (!OnSixteenBitScale(sample))
                std::abort();
        }
    }

    // Whole 16-bit samples are exactly what a 16-bit FLAC holds.
    if (s.left.size() > MaxRoundTripFrames)
        return 0;
    const auto flac = EncodeFlac16(s.format, s.left, s.right);
    if (!flac.ok())
        return 0; // a rate FLAC cannot carry
    const auto again = DecodeWithSndfile(flac.value());
    if (!again.ok() || again.value().sound.left != s.left || again.value().sound.right != s.right)
        std::abort();
    return 0;
}
