#pragma once
// A continuous output for tests: nothing is heard, time passes only when the test advances
// the clock, and every sample written is kept in order.

#include "platform/audio_stream.h"

#include <algorithm>
#include <vector>

namespace kelvora::platform {

class FakeAudioStream : public AudioStream {
public:
    bool start(std::uint32_t sampleRate) override
    {
        stop();
        if (!deviceAvailable)
            return false;
        rate = sampleRate;
        running_ = true;
        return true;
    }
    void stop() override
    {
        running_ = false;
        played_ = written.size();
    }
    void write(std::span<const std::int16_t> samples) override
    {
        if (running_)
            written.insert(written.end(), samples.begin(), samples.end());
    }
    std::uint64_t queued() const override { return written.size() - played_; }
    bool running() const override { return running_; }

    // Lets `samples` samples of playing time pass.
    void advance(std::uint64_t samples)
    {
        if (running_)
            played_ = std::min<std::uint64_t>(written.size(), played_ + samples);
    }
    std::uint64_t played() const { return played_; }

    bool deviceAvailable = true;
    std::vector<std::int16_t> written; // every sample written while running, in order
    std::uint32_t rate = 0;

private:
    std::uint64_t played_ = 0;
    bool running_ = false;
};

} // namespace kelvora::platform
