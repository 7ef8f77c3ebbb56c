#pragma once
// "信号発生": builds a test sound (sine, triangle, sawtooth, rectangle or Gaussian noise) in the
// working signal, shows it on a WaveformStrip with a red frame that can be played, and hands it
// to the frame on "OK".

#include "dsp/signal_generator.h"
#include "tools/audio/playback.h"
#include "tools/audio/strip_dialog.h"
#include "tools/audio/waveform_strip.h"
#include "tools/dialog/dialog_model.h"
#include "tools/dialog/step_scroll_bar.h"
#include "tools/services.h"
#include "tools/shell/session.h"

#include <functional>

namespace kelvora {

class SignalGeneratorDialog : public DialogModel {
public:
    enum : int {
        Rate8k = 1062, Rate16k = 1063, Rate32k = 1064, Rate44k = 1065,
        Sine = 1066, Triangle = 1067, Sawtooth = 1068, Rectangle = 1069, Noise = 1070,
        LengthBar = 1029, AmplitudeBar = 1053, FrequencyBar = 1033, RatioBar = 1055,
        LengthLabel = 1031, FrequencyLabel = 1034, AmplitudeLabel = 1054, RatioLabel = 1056,
        CreateButton = 1040,
        MoveBar = 1049, WidthBar = 1028, IntervalLabel = 1048, TargetNote = 1058,
        PlayButton = 1041, StopButton = 1101, Progress = 1042,
    };

    SignalGeneratorDialog(Session& session, Services& services);

    void init() override;
    void command(int id) override;
    void scroll(int id, ScrollRequest request, int thumb) override;
    void timer(int id) override;
    const Picture* picture(int index) const override;

    // The settings as the controls hold them now (rate from the checked rate button).
    dsp::GeneratorParams params() const;
    FrameRange frame() const { return frame_; }
    const WaveformStrip& strip() const { return strip_; }
    const ScrollBarTable& bars() const { return bars_; }
    // Period and duty in samples, as last derived from the controls.
    std::uint32_t period() const { return period_; }
    std::uint32_t duty() const { return duty_; }

    // The noise seed of each "作成"; the time in seconds unless a test replaces it.
    std::function<std::uint32_t()> seedSource;

private:
    bool hasSound() const { return !session_.traceSlots.empty(SlotNumber::X); }
    void deriveSettings();
    void create();
    void setFrameFromBars(bool recomputeWidthPosition);
    void redraw();

    Session& session_;
    Services& services_;
    WaveformStrip strip_;
    DialogPlayer player_;
    ScrollBarTable bars_;
    FrameRange frame_;
    std::uint32_t period_ = 0;
    std::uint32_t duty_ = 0;
};

} // namespace kelvora
