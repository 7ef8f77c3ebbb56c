#pragma once
// The audio input on the default sound device through Qt Multimedia. The source is polled
// whenever a block is asked for: its own count of waiting bytes is the one that is right (the
// device it returns always reports 0), and reads that come back short are collected until a
// whole block is there.

#include "platform/audio_input.h"

#include <memory>

namespace kelvora {

class QtAudioInput : public platform::AudioInput {
public:
    QtAudioInput();
    ~QtAudioInput() override;
    QtAudioInput(const QtAudioInput&) = delete;
    QtAudioInput& operator=(const QtAudioInput&) = delete;

    bool start(std::uint32_t sampleRate) override;
    void stop() override;
    bool readBlock(std::span<std::int16_t> block) override;
    bool capturing() const override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Makes QtAudioInput the program's default input (platform::DefaultAudioInputFactory), so that
// the headless commands record through it. Call once after the application object exists.
void InstallQtAudioInput();

} // namespace kelvora
