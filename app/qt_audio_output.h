#pragma once
// The audio output on the default sound device through Qt Multimedia: the buffer is pushed into
// the sink as it makes room, the position is what the server has taken from the sink (handed
// over less still queued), and the end is reported when the server has taken all of it.

#include "platform/audio_output.h"

#include <memory>

namespace kelvora {

class QtAudioOutput : public platform::AudioOutput {
public:
    QtAudioOutput();
    ~QtAudioOutput() override;
    QtAudioOutput(const QtAudioOutput&) = delete;
    QtAudioOutput& operator=(const QtAudioOutput&) = delete;

    bool play(std::span<const std::int16_t> samples, std::uint32_t sampleRate) override;
    void stop() override;
    std::optional<std::uint64_t> position() const override;
    bool playing() const override;
    // Also false when the system lists no output device at all.
    bool available() const override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Makes QtAudioOutput the program's default output (platform::DefaultAudioOutputFactory), so
// that the headless commands play through it. Call once after the application object exists.
void InstallQtAudioOutput();

} // namespace kelvora
