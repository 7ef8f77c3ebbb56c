#pragma once
// What the editor, the join and the convolution dialogs share: the working signal (slot X) on a
// WaveformStrip at (50, 20), a red frame set by a move bar and a width bar (0 … 2000 each), the
// interval text, the progress bar the drawing steps, and the play and stop buttons.

#include "tools/audio/playback.h"
#include "tools/audio/waveform_strip.h"
#include "tools/dialog/dialog_model.h"
#include "tools/dialog/step_scroll_bar.h"
#include "tools/services.h"
#include "tools/shell/session.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvora {

// Start and width of a red frame, in samples.
struct FrameRange {
    std::uint32_t start = 0;
    std::uint32_t width = 0;
    friend bool operator==(const FrameRange&, const FrameRange&) = default;
};

// The frame the two bars (0 … 2000) select in a signal of `count` samples: start and width are
// position × count ÷ 2000, truncated; a width of 0 becomes 1 and the start moves back so that
// the frame ends inside the signal. A signal of 0 samples has the empty frame (0, 0).
FrameRange FrameFromBars(std::size_t count, int movePosition, int widthPosition);

// A bar position for a sample index: index × 2000 ÷ count, truncated; 0 for an empty signal.
int BarPosition(std::size_t index, std::size_t count);

// Frame times in milliseconds, as the interval labels show them (truncated; a rate of 0 is
// taken as 1).
int Milliseconds(std::size_t samples, std::uint32_t rate);

// Steps a progress bar `steps` times by 1; a step past the maximum starts over at the minimum.
void StepProgressBar(ControlState& bar, long long steps);

// The frame controls and texts every framed dialog uses.
inline constexpr int BarRange = 2000;
inline constexpr const char* MoveCaption = "←選択区間の移動";
inline constexpr const char* WidthCaption = "←選択区間の広さ";
inline constexpr const char* ProgressCaption = "動いている間は処理中です。FULLになる必要はありません。";

class StripDialog : public DialogModel {
public:
    enum : int {
        MoveBar = 1049,
        WidthBar = 1028,
        IntervalLabel = 1048,
        Progress = 1042,
        PlayButton = 1101,
        StopButton = 1107,
    };

    void scroll(int id, ScrollRequest request, int thumb) override;
    void timer(int id) override;
    const Picture* picture(int index) const override;

    FrameRange frame() const { return frame_; }
    const WaveformStrip& strip() const { return strip_; }
    const ScrollBarTable& bars() const { return bars_; }

protected:
    StripDialog(DialogTemplate dialogTemplate, Session& session, Services& services);

    // Slot X; an empty slot reads as no samples and is not filled by reading it.
    std::vector<double>& signal();
    // Sets the frame (clipped to the signal), redraws the strip and asks for a repaint.
    void setFrame(FrameRange frame);
    // Redraws after the samples changed in place.
    void signalChanged();
    // Gives the bars their range 0 … 2000 and the positions of the frame's start (both bars,
    // as the join and convolution dialogs open) or of start and width.
    void setBars(int movePosition, int widthPosition);
    // Play and stop buttons; true when `id` was one of them.
    bool playCommand(int id);
    // Stops playing and ends the dialog; without `keepResult` slot X is emptied, so no window opens.
    void finish(bool keepResult);
    // The interval text after a scroll: "切出し開始%d(ms)から幅%d(ms)の区間".
    virtual std::string intervalText() const;

    Session& session_;
    Services& services_;
    WaveformStrip strip_;
    DialogPlayer player_;
    ScrollBarTable bars_;
    FrameRange frame_;

private:
    std::vector<double> none_;
    void redraw();
};

// The template parts of the three framed dialogs: the strip at (50, 20), the bars with their
// captions, the interval label, the progress bar and the play and stop buttons, laid out in
// the first 300 pixels below the dialog's top.
void AddStripControls(DialogTemplate& dialogTemplate, const char* upperCaption, const char* lowerCaption);

} // namespace kelvora
