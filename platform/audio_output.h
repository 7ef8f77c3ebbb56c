#pragma once
// Sound output as the playing dialogs need it: one 16-bit mono buffer at a time, a position in
// samples for the moving cursor, and a report on the GUI thread when the buffer has been played.
// Without a device the output stays usable and silent, and says so once.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace kelvora::platform {

// What the user is told (once, in the status bar) when nothing can be played.
inline constexpr const char* NoAudioDeviceNotice =
    "音声出力装置が使えません。再生は無音になります。";

class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    // Ends whatever is playing (without a finished report for it), then plays `samples` from the
    // start at `sampleRate` samples per second. The output keeps its own copy, so the caller's
    // buffer may change at once. False, and silence, when no device takes the sound; an empty
    // buffer or a rate of 0 plays nothing and also answers false.
    virtual bool play(std::span<const std::int16_t> samples, std::uint32_t sampleRate) = 0;
    // Ends playback at once; no finished report follows. Harmless when nothing plays.
    virtual void stop() = 0;
    // Samples of the current buffer played so far, 0 … its length; it stays at the length after
    // the buffer has ended. Nothing when no buffer is open (never played, stopped, or failed).
    virtual std::optional<std::uint64_t> position() const = 0;
    // True from a successful play until the buffer has ended or stop() was called.
    virtual bool playing() const = 0;
    // False once the output has found that it has no device to play on.
    virtual bool available() const = 0;

    // Called once per successful play, on the GUI thread from the event loop, when the whole
    // buffer has been played. The handler may call play() or stop().
    void setFinishedHandler(std::function<void()> handler) { finished_ = std::move(handler); }
    // Called with NoAudioDeviceNotice the first time the output finds it has no device.
    void setUnavailableHandler(std::function<void(const std::string&)> handler)
    {
        unavailable_ = std::move(handler);
    }

protected:
    void reportFinished()
    {
        // A copy, because the handler may replace itself (stop, play again) while it runs.
        if (auto handler = finished_)
            handler();
    }
    void reportUnavailable()
    {
        if (unavailableReported_)
            return;
        unavailableReported_ = true;
        if (auto handler = unavailable_)
            handler(NoAudioDeviceNotice);
    }
    bool unavailableReported() const { return unavailableReported_; }

private:
    std::function<void()> finished_;
    std::function<void(const std::string&)> unavailable_;
    bool unavailableReported_ = false;
};

// The program's real output, installed by the front end so that the headless commands can
// play through it as well. Empty until installed (and in test programs that install nothing).
using AudioOutputFactory = std::function<std::unique_ptr<AudioOutput>()>;
inline AudioOutputFactory& DefaultAudioOutputFactory()
{
    static AudioOutputFactory factory;
    return factory;
}

} // namespace kelvora::platform
