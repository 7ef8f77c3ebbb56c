#include "tools/audio/playback.h"

#include "dsp/pcm16.h"

#include <algorithm>

namespace kelvora {

DialogPlayer::DialogPlayer(DialogModel& dialog, PlaybackState& state, platform::AudioOutput* output,
                           int cursorPenWidth)
    : dialog_(dialog), state_(state), output_(output), penWidth_(cursorPenWidth)
{
}

DialogPlayer::~DialogPlayer()
{
    if (playing_)
        stop();
}

void DialogPlayer::play(std::span<const double> signal, std::uint32_t start, std::uint32_t width,
                        std::uint32_t rate)
{
    stop();
    start = static_cast<std::uint32_t>(std::min<std::size_t>(start, signal.size()));
    width = static_cast<std::uint32_t>(std::min<std::size_t>(width, signal.size() - start));
    if (width == 0)
        return;
    state_.buffer = dsp::ToPcm16(signal.subspan(start, width));
    state_.position = 0;
    width_ = width;
    if (output_ == nullptr)
        return;
    output_->setFinishedHandler([this] {
        stop();
        dialog_.audioDone();
    });
    if (!output_->play(state_.buffer, rate)) {
        // No device: silence, and no cursor to move.
        output_->setFinishedHandler({});
        return;
    }
    playing_ = true;
    dialog_.stopTimer(PlayTimer);
    dialog_.startTimer(PlayTimer, PlayTickMilliseconds);
}

void DialogPlayer::stop()
{
    if (output_ != nullptr) {
        output_->setFinishedHandler({});
        output_->stop();
    }
    dialog_.stopTimer(PlayTimer);
    playing_ = false;
}

bool DialogPlayer::tick(WaveformStrip& strip)
{
    if (!playing_ || output_ == nullptr || width_ == 0)
        return false;
    const auto position = output_->position();
    if (!position)
        return false;
    state_.position = static_cast<std::uint32_t>(std::min<std::uint64_t>(*position, width_));
    // 64-bit, so that a position in a long sound cannot wrap round the product.
    const auto x = static_cast<int>(static_cast<std::uint64_t>(state_.position) * StripShownWidth / width_);
    strip.showCursor(x, penWidth_);
    dialog_.invalidate();
    return true;
}

} // namespace kelvora
