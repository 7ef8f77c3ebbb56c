#include "tools/spectral/export_options_dialog.h"

namespace kelvora {
namespace {

using D = ExportOptionsDialog;

constexpr const char* NotSelected = "選択されてません";

DialogTemplate ExportOptionsTemplate()
{
    DialogTemplate t;
    t.caption = "SAVE";
    t.size = {620, 420};
    t.controls = {
        {D::WaveformRadio, ControlKind::RadioButton,
         "切り出し区間の波形を保存　　－３２７６７～３２７６７の整数", QRect(16, 14, 580, 22), 1},
        {D::ResultRadio, ControlKind::RadioButton, "処理後（最下段の図）のSAVE", QRect(16, 42, 580, 22), 1},

        {-1, ControlKind::Label, "スペクトル", QRect(40, 78, 110, 18)},
        {D::SpectrumState, ControlKind::Label, NotSelected, QRect(160, 78, 200, 18)},
        {D::FrequencyBox, ControlKind::CheckBox, "周波数", QRect(40, 100, 84, 22)},
        {D::RealBox, ControlKind::CheckBox, "実数", QRect(130, 100, 84, 22)},
        {D::ImaginaryBox, ControlKind::CheckBox, "虚数", QRect(220, 100, 84, 22)},
        {D::PowerBox, ControlKind::CheckBox, "パワー", QRect(310, 100, 84, 22)},
        {D::AmplitudeBox, ControlKind::CheckBox, "振幅", QRect(400, 100, 84, 22)},
        {D::DbBox, ControlKind::CheckBox, "ｄB", QRect(490, 100, 84, 22)},

        {-1, ControlKind::Label, "自己相関(t-rの順) ", QRect(40, 136, 150, 18)},
        {D::CorrelationState, ControlKind::Label, NotSelected, QRect(200, 136, 200, 18)},
        {-1, ControlKind::Label,
         "ケプストラムーリフタリング(青線の部分)とスペクトル包絡（赤線の部分）", QRect(40, 158, 560, 18)},

        {-1, ControlKind::Label,
         "図の値は\n"
         "　　振幅なら３２７６７で\n"
         "　　パワなら３２７６７×３２７６７で割った値\n"
         "\n"
         "　　dBなら９０．３引いた値となる",
         QRect(40, 190, 560, 96)},

        {D::OkButton, ControlKind::DefaultButton,
         "OK?\n\n注意：同名のファイルを既にWORDやEXCELで開いていると保存できません。",
         QRect(16, 300, 470, 84)},
        {D::CancelButton, ControlKind::PushButton, "ｷｬﾝｾﾙ", QRect(504, 326, 100, 32)},
    };
    return t;
}

} // namespace

ExportOptionsDialog::ExportOptionsDialog(ExportOptions& options, dsp::AnalysisMode mode)
    : DialogModel(ExportOptionsTemplate()), options_(options), mode_(mode)
{
}

void ExportOptionsDialog::init()
{
    options_.cancelled = false;
    setChecked(DbBox, true);
    checkRadio(ResultRadio);
    updateStateLabels();
    options_.what = ExportWhat::Result;
    options_.columns[ColumnDb] = true;
}

void ExportOptionsDialog::readControls()
{
    if (isChecked(WaveformRadio))
        options_.what = ExportWhat::Waveform;
    if (isChecked(ResultRadio))
        options_.what = ExportWhat::Result;
    options_.columns[ColumnFrequency] = isChecked(FrequencyBox);
    options_.columns[ColumnReal] = isChecked(RealBox);
    options_.columns[ColumnImaginary] = isChecked(ImaginaryBox);
    options_.columns[ColumnPower] = isChecked(PowerBox);
    options_.columns[ColumnAmplitude] = isChecked(AmplitudeBox);
    options_.columns[ColumnDb] = isChecked(DbBox);
}

void ExportOptionsDialog::updateStateLabels()
{
    if (isChecked(WaveformRadio)) {
        setText(SpectrumState, NotSelected);
        setText(CorrelationState, NotSelected);
    } else if (isChecked(ResultRadio)) {
        const bool spectrum = mode_ == dsp::AnalysisMode::Db || mode_ == dsp::AnalysisMode::Power ||
                              mode_ == dsp::AnalysisMode::Amplitude;
        setText(SpectrumState, spectrum ? "選択" : "不選択");
        setText(CorrelationState, spectrum ? "不選択" : "選択");
    }
}

void ExportOptionsDialog::command(int id)
{
    readControls();
    updateStateLabels();
    if (id == OkButton) {
        endDialog(1);
    } else if (id == CancelButton) {
        options_.cancelled = true;
        endDialog(2);
    } else if (id == IdCancel) {
        endDialog(1);
    }
}

} // namespace kelvora
