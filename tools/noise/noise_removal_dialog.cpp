#include "tools/noise/noise_removal_dialog.h"

#include "tools/noise/noise_run.h"

namespace kelvora {
namespace {

using D = NoiseRemovalDialog;

DialogTemplate NoiseRemovalTemplate()
{
    using K = ControlKind;
    DialogTemplate t;
    t.caption = "簡単な雑音除去";
    t.size = {420, 204};
    t.controls = {
        {-1, K::Label, "定常な雑音を除去。何でもかんでも除去はできません。", QRect(16, 12, 350, 20)},
        {-1, K::Label, "例：もうほとんど+ひげそり.wav", QRect(16, 36, 350, 20)},
        {-1, K::Label, "α×10", QRect(16, 72, 50, 22)},
        {D::AlphaSpin, K::SpinBox, "", QRect(70, 68, 64, 26), 0, false, D::AlphaEdit},
        {-1, K::Label, "この値を上げすぎると原音まで歪みます。", QRect(146, 72, 262, 20)},
        {D::StartButton, K::PushButton, "開始", QRect(16, 116, 118, 28)},
        {D::Progress, K::ProgressBar, "", QRect(146, 122, 262, 16)},
        {IdOk, K::DefaultButton, "OK", QRect(206, 164, 96, 28)},
        {IdCancel, K::PushButton, "ｷｬﾝｾﾙ", QRect(312, 164, 96, 28)},
    };
    return t;
}

} // namespace

NoiseRemovalDialog::NoiseRemovalDialog(Session& session, Services& services)
    : DialogModel(NoiseRemovalTemplate()), session_(session), services_(services),
      state_(session.toolState<NoiseRemovalState>())
{
}

void NoiseRemovalDialog::init()
{
    ControlState& progress = control(Progress);
    progress.minimum = 0;
    progress.maximum = 100;
    progress.position = 0;
    ControlState& spin = control(AlphaSpin);
    spin.minimum = 0;
    spin.maximum = 50;
    showSpinPosition(AlphaSpin, state_.alphaTenths);
}

void NoiseRemovalDialog::command(int id)
{
    switch (id) {
    case AlphaEdit: state_.alphaTenths = control(AlphaSpin).position; break;
    case StartButton:
        SubtractNoiseFromWorkSignal(*this, session_, services_, {Numl, Slen, alpha()}, StartButton, Progress);
        endDialog(1);
        break;
    case IdOk:
    case IdCancel: endDialog(1); break;
    default: break;
    }
}

} // namespace kelvora
