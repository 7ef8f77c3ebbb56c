#pragma once
// The continuous output on the default sound device through Qt Multimedia: written samples are
// pushed into a sink with a short buffer as it makes room, so little more than what the writer
// queued lies between a change and the ear.

#include "platform/audio_stream.h"

#include <memory>

namespace kelvora {

class QtAudioStream : public platform::AudioStream {
public:
    QtAudioStream();
    ~QtAudioStream() override;
    QtAudioStream(const QtAudioStream&) = delete;
    QtAudioStream& operator=(const QtAudioStream&) = delete;

    bool start(std::uint32_t sampleRate) override;
    void stop() override;
    void write(std::span<const std::int16_t> samples) override;
    std::uint64_t queued() const override;
    bool running() const override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Makes QtAudioStream the program's default stream (platform::DefaultAudioStreamFactory).
void InstallQtAudioStream();

} // namespace kelvora
