#pragma once
// Sound input as the recording dialog needs it: 16-bit mono samples from the default input,
// handed over in whole blocks on the GUI thread. The dialog asks for blocks from its own
// timer, so every block arrives between two events of the dialog and never inside one.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace kelvora::platform {

// What the recording dialog shows in its window when nothing can be recorded.
inline constexpr const char* NoAudioInputNotice = "録音装置が使えません。録音できません。";

class AudioInput {
public:
    virtual ~AudioInput() = default;

    // Starts capturing 16-bit mono at `sampleRate` samples per second, dropping anything left
    // from an earlier capture. False, and nothing captured, when no device takes the format.
    virtual bool start(std::uint32_t sampleRate) = 0;
    // Ends capturing; samples not yet read are dropped. Harmless when not capturing.
    virtual void stop() = 0;
    // Moves the oldest whole block of block.size() samples captured so far into `block`. False,
    // with `block` untouched, when fewer samples than that wait; a part block stays queued
    // until the rest arrives.
    virtual bool readBlock(std::span<std::int16_t> block) = 0;
    // True from a successful start until stop().
    virtual bool capturing() const = 0;
};

// The program's real input, installed by the front end so that the headless commands can record
// through it as well. Empty until installed (and in test programs that install nothing).
using AudioInputFactory = std::function<std::unique_ptr<AudioInput>()>;
inline AudioInputFactory& DefaultAudioInputFactory()
{
    static AudioInputFactory factory;
    return factory;
}

} // namespace kelvora::platform
