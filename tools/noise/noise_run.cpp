#include "tools/noise/noise_run.h"

#include "dsp/noise_shaping.h"
#include "tools/audio/strip_dialog.h"

namespace kelvora {
namespace {

constexpr const char* BusyCaption = "処理中";
constexpr const char* FailureCaption = "雑音除去";
// The dialog is repainted every this many frames: often enough for a moving bar, rarely enough
// to cost nothing next to the frames themselves.
constexpr int FramesPerRepaint = 64;

class BusyButton {
public:
    BusyButton(DialogModel& dialog, int id) : dialog_(dialog), id_(id), caption_(dialog.text(id))
    {
        dialog_.setText(id_, BusyCaption);
        dialog_.repaintNow();
    }
    ~BusyButton()
    {
        dialog_.setText(id_, caption_);
        dialog_.invalidate();
    }
    BusyButton(const BusyButton&) = delete;
    BusyButton& operator=(const BusyButton&) = delete;

private:
    DialogModel& dialog_;
    int id_;
    std::string caption_;
};

} // namespace

dsp::SubtractionOutcome SubtractNoiseFromWorkSignal(DialogModel& dialog, Session& session, Services& services,
                                                    const dsp::SubtractionParams& params, int startButton,
                                                    int progressId)
{
    if (session.traceSlots.empty(SlotNumber::X))
        return {params.alpha, {}};
    const BusyButton busy(dialog, startButton);
    int frames = 0;
    const auto frameDone = [&] {
        StepProgressBar(dialog.control(progressId), 1);
        if (++frames % FramesPerRepaint == 0)
            dialog.repaintNow();
    };
    dsp::SubtractionOutcome outcome =
        dsp::SpectralSubtraction(session.traceSlots.samplesToChange(SlotNumber::X), params, frameDone);
    if (!outcome.ok())
        services.messages.showMessage(outcome.error, FailureCaption);
    return outcome;
}

void ShapeWorkSignalPink(DialogModel& dialog, Session& session, int startButton)
{
    if (session.traceSlots.empty(SlotNumber::X))
        return;
    const BusyButton busy(dialog, startButton);
    dsp::ShapePink(session.traceSlots.samplesToChange(SlotNumber::X), session.SampleRate());
}

} // namespace kelvora
