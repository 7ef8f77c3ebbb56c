#pragma once
// An audio output for tests: nothing is heard, time passes only when the test advances the
// clock, and every buffer played is kept for inspection.

#include "platform/audio_output.h"

#include <algorithm>
#include <vector>

namespace kelvora::platform {

class FakeAudioOutput : public AudioOutput {
public:
    bool play(std::span<const std::int16_t> samples, std::uint32_t sampleRate) override
    {
        stop();
        ++playCount;
        if (!deviceAvailable) {
            reportUnavailable();
            return false;
        }
        if (samples.empty() || sampleRate == 0)
            return false;
        buffer.assign(samples.begin(), samples.end());
        rate = sampleRate;
        elapsedMs_ = 0;
        open_ = true;
        playing_ = true;
        return true;
    }
    void stop() override
    {
        open_ = false;
        playing_ = false;
        ++stopCount;
    }
    std::optional<std::uint64_t> position() const override
    {
        if (!open_)
            return std::nullopt;
        return std::min<std::uint64_t>(buffer.size(), elapsedMs_ * rate / 1000);
    }
    bool playing() const override { return playing_; }
    bool available() const override { return deviceAvailable; }

    // Lets `milliseconds` of playing time pass; reports the end of the buffer when it is reached,
    // as the event loop would deliver it.
    void advance(std::uint64_t milliseconds)
    {
        if (!playing_)
            return;
        elapsedMs_ += milliseconds;
        if (*position() >= buffer.size()) {
            playing_ = false;
            reportFinished();
        }
    }

    bool deviceAvailable = true;   // false: every play fails as with no sound card
    std::vector<std::int16_t> buffer; // the last buffer played
    std::uint32_t rate = 0;
    int playCount = 0;
    int stopCount = 0;

private:
    std::uint64_t elapsedMs_ = 0;
    bool open_ = false;
    bool playing_ = false;
};

} // namespace kelvora::platform
