#pragma once
// The one player that every playing dialog uses: it plays the framed interval of the working
// signal once, and while it plays a 25 ms timer of the dialog moves a red cursor over the lower
// band of the dialog's strip.

#include "platform/audio_output.h"
#include "tools/audio/waveform_strip.h"
#include "tools/dialog/dialog_model.h"

#include <cstdint>
#include <span>
#include <vector>

namespace kelvora {

inline constexpr int PlayTimer = 1;
inline constexpr int PlayTickMilliseconds = 25;

// Shared by all dialogs for the whole run (Session::toolState<PlaybackState>()); only one modal
// dialog plays at a time.
struct PlaybackState {
    std::vector<std::int16_t> buffer; // the interval last played, kept until the next play
    std::uint32_t position = 0;       // the play position in samples at the last tick
};

// A dialog's side of the player. The dialog forwards its play and stop buttons and its timer
// PlayTimer here; the player stops by itself when the output reports the end of the buffer
// (and then calls the dialog's audioDone()). Destroying it stops playback, so a dialog that
// ends never leaves sound or a report behind.
class DialogPlayer {
public:
    // `output` may be null: playing is then silent and draws no cursor. cursorPenWidth is the
    // cursor's width in shown pixels.
    DialogPlayer(DialogModel& dialog, PlaybackState& state, platform::AudioOutput* output,
                 int cursorPenWidth = 1);
    ~DialogPlayer();
    DialogPlayer(const DialogPlayer&) = delete;
    DialogPlayer& operator=(const DialogPlayer&) = delete;

    // Plays samples start … start + width − 1 of `signal` (clipped to it) at `rate`, cutting off
    // whatever played before. Samples become 16-bit values truncated toward zero and held at the
    // 16-bit limits. An empty interval plays nothing.
    void play(std::span<const double> signal, std::uint32_t start, std::uint32_t width,
              std::uint32_t rate);
    // Ends playback and the timer; the cursor stays where it was drawn last.
    void stop();
    // The timer tick: draws the cursor at the output's position over `strip` (column
    // position × 650 ÷ width) and asks for a repaint. False when nothing was drawn (not playing,
    // or the output knows no position).
    bool tick(WaveformStrip& strip);
    bool playing() const { return playing_; }

private:
    DialogModel& dialog_;
    PlaybackState& state_;
    platform::AudioOutput* output_;
    int penWidth_;
    std::uint32_t width_ = 0;
    bool playing_ = false;
};

} // namespace kelvora
