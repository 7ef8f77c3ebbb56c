#pragma once
// A continuous 16-bit mono output that is fed a little at a time, for sounds made while they
// play: the writer keeps only a short stretch queued, so a change of what it writes is heard
// almost at once.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace kelvora::platform {

class AudioStream {
public:
    virtual ~AudioStream() = default;

    // Opens the default output at `sampleRate` samples per second with nothing queued. False,
    // and silence, when no device takes the format.
    virtual bool start(std::uint32_t sampleRate) = 0;
    // Ends the sound at once and drops whatever is queued. Harmless when not running.
    virtual void stop() = 0;
    // Queues the samples behind those written before; the stream keeps its own copy.
    virtual void write(std::span<const std::int16_t> samples) = 0;
    // Samples written but not yet played.
    virtual std::uint64_t queued() const = 0;
    // True from a successful start until stop().
    virtual bool running() const = 0;
};

// The program's real stream, installed by the front end for the headless commands and the
// dialogs. Empty until installed.
using AudioStreamFactory = std::function<std::unique_ptr<AudioStream>()>;
inline AudioStreamFactory& DefaultAudioStreamFactory()
{
    static AudioStreamFactory factory;
    return factory;
}

} // namespace kelvora::platform
