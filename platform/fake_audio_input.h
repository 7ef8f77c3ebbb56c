#pragma once
// An audio input for tests and benchmarks: the blocks it delivers are scripted, or made on
// demand by a generator, and nothing is read from a device.

#include "platform/audio_input.h"

#include <algorithm>
#include <deque>
#include <vector>

namespace kelvora::platform {

class FakeAudioInput : public AudioInput {
public:
    bool start(std::uint32_t sampleRate) override
    {
        ++startCount;
        if (!deviceAvailable)
            return false;
        rate = sampleRate;
        capturing_ = true;
        return true;
    }
    void stop() override { capturing_ = false; }
    bool readBlock(std::span<std::int16_t> block) override
    {
        if (!capturing_)
            return false;
        if (!script.empty()) {
            const std::vector<std::int16_t>& next = script.front();
            std::fill(block.begin(), block.end(), std::int16_t{0});
            std::copy_n(next.begin(), std::min(next.size(), block.size()), block.begin());
            script.pop_front();
            return true;
        }
        if (generator && generated < generatorBlocks) {
            generator(block, generated++);
            return true;
        }
        return false;
    }
    bool capturing() const override { return capturing_; }

    bool deviceAvailable = true;                   // false: every start fails
    std::deque<std::vector<std::int16_t>> script; // blocks delivered first, one per read
    // Then generatorBlocks blocks made by the generator (block, index of the block).
    std::function<void(std::span<std::int16_t>, std::uint64_t)> generator;
    std::uint64_t generatorBlocks = 0;
    std::uint64_t generated = 0;
    std::uint32_t rate = 0;
    int startCount = 0;

private:
    bool capturing_ = false;
};

} // namespace kelvora::platform
