#pragma once
// The one PCM format record of the session: what the file readers found, what the devices
// open with and what the writers write.

#include <cstdint>

namespace kelvora {

struct SoundFormat {
    std::uint16_t formatTag = 1;
    std::uint16_t channels = 1;
    std::uint32_t samplesPerSecond = 8000; // SampleRate
    std::uint32_t averageBytesPerSecond = 16000;
    std::uint16_t blockAlign = 2;
    std::uint16_t bitsPerSample = 16;

    // The standard reset: PCM, mono, 8000 Hz, 16 bits.
    void Reset() { *this = SoundFormat{}; }
    friend bool operator==(const SoundFormat&, const SoundFormat&) = default;
};

} // namespace kelvora
