#include "tools/noise/spectral_subtraction_dialog.h"

#include "tools/noise/block_diagram.h"
#include "tools/noise/noise_run.h"
#include "util/sprintf.h"

namespace kelvora {
namespace {

using D = SpectralSubtractionDialog;

DialogTemplate WorkbenchTemplate()
{
    using K = ControlKind;
    DialogTemplate t;
    t.caption = "ﾀﾞｲｱﾛｸﾞ";
    t.size = {640, 460};
    t.pictures = {{D::DiagramPicture, QRect(16, 16, BlockDiagramWidth * 5 / 4, BlockDiagramHeight * 5 / 4)}};
    t.controls = {
        {-1, K::Label, "numl", QRect(420, 20, 60, 24)},
        {D::NumlSpin, K::SpinBox, "", QRect(484, 16, 72, 26), 0, false, D::NumlEdit},
        {-1, K::Label, "slen", QRect(420, 56, 60, 24)},
        {D::SlenSpin, K::SpinBox, "", QRect(484, 52, 72, 26), 0, false, D::SlenEdit},
        {-1, K::Label, "α×10", QRect(420, 92, 60, 24)},
        {D::AlphaSpin, K::SpinBox, "", QRect(484, 88, 72, 26), 0, false, D::AlphaEdit},
        {D::FixedNoiseBox, K::CheckBox, "既存の方法", QRect(420, 134, 200, 22)},
        {D::AutoAlphaBox, K::CheckBox, "既存の方法でαを\n（Y*N＋YN＊－N*N)／N*N", QRect(420, 162, 210, 40)},
        {D::ParameterText, K::Label, "Static", QRect(16, 390, 400, 20)},
        {D::StartButton, K::PushButton, "開始", QRect(420, 230, 120, 30)},
        {D::Progress, K::ProgressBar, "", QRect(420, 270, 200, 16)},
        {IdOk, K::DefaultButton, "OK", QRect(420, 416, 96, 28)},
        {IdCancel, K::PushButton, "ｷｬﾝｾﾙ", QRect(526, 416, 96, 28)},
    };
    return t;
}

struct SpinSetting {
    int id;
    int maximum;
};
constexpr SpinSetting Spins[] = {{D::NumlSpin, dsp::MaxNoiseHistory}, {D::SlenSpin, 50}, {D::AlphaSpin, 50}};

} // namespace

SpectralSubtractionDialog::SpectralSubtractionDialog(Session& session, Services& services)
    : DialogModel(WorkbenchTemplate()), session_(session), services_(services),
      state_(session.toolState<SpectralSubtractionState>()), diagram_(DrawBlockDiagram())
{
}

void SpectralSubtractionDialog::init()
{
    ControlState& progress = control(Progress);
    progress.minimum = 0;
    progress.maximum = 1000;
    progress.position = 0;
    for (const SpinSetting& spin : Spins) {
        control(spin.id).minimum = 0;
        control(spin.id).maximum = spin.maximum;
    }
    showSpinPosition(NumlSpin, state_.numl);
    showSpinPosition(SlenSpin, state_.slen);
    showSpinPosition(AlphaSpin, state_.alphaTenths);
    state_.shownAlpha = state_.alphaTenths / 10.0;
    showParameters();
}

dsp::SubtractionParams SpectralSubtractionDialog::params() const
{
    return {state_.numl, state_.slen, state_.alphaTenths / 10.0, isChecked(FixedNoiseBox), isChecked(AutoAlphaBox)};
}

void SpectralSubtractionDialog::showParameters()
{
    setText(ParameterText, Sprintf("numl=%d  slen=%d alpha=%f", state_.numl, state_.slen, state_.shownAlpha));
}

void SpectralSubtractionDialog::command(int id)
{
    switch (id) {
    case NumlEdit:
    case SlenEdit:
    case AlphaEdit:
        state_.numl = control(NumlSpin).position;
        state_.slen = control(SlenSpin).position;
        state_.alphaTenths = control(AlphaSpin).position;
        state_.shownAlpha = state_.alphaTenths / 10.0;
        showParameters();
        break;
    case StartButton: {
        const dsp::SubtractionParams run = params();
        const dsp::SubtractionOutcome outcome =
            SubtractNoiseFromWorkSignal(*this, session_, services_, run, StartButton, Progress);
        // The text shows the alpha the run used last: the per-bin value with 1059, else the
        // spin's, so that it never names a per-bin alpha that a later run no longer applies.
        if (outcome.ok()) {
            state_.shownAlpha = outcome.alpha;
            showParameters();
        }
        break;
    }
    case IdOk:
    case IdCancel: endDialog(1); break;
    default: break;
    }
}

const Picture* SpectralSubtractionDialog::picture(int index) const
{
    return index == DiagramPicture ? &diagram_ : nullptr;
}

} // namespace kelvora
