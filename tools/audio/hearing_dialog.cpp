#include "tools/audio/hearing_dialog.h"

#include "util/sprintf.h"

#include <array>

namespace kelvora {
namespace {

using H = HearingDialog;

constexpr int LevelBarRange = 500, FrequencyBarRange = 7000;
constexpr int InitialLevelPosition1 = 50, InitialLevelPosition2 = 500, InitialFrequency = 440;
constexpr int ReferenceGroup = 1;
constexpr dsp::Tone InitialRecordedSetting{440, 163};

DialogTemplate HearingTemplate()
{
    using K = ControlKind;
    DialogTemplate t;
    t.caption = "ラウドネス曲線・マスカー作成";
    t.size = {560, 420};
    t.controls = {
        {-1, K::GroupBox, "第１音", QRect(10, 8, 265, 262)},
        {-1, K::Label, "ボリューム→", QRect(22, 36, 100, 20)},
        {H::LevelBar1, K::VScrollBar, "", QRect(126, 30, 20, 160)},
        {H::LevelLabel1, K::Label, "　[ｄＢ]", QRect(156, 100, 110, 20)},
        {H::FrequencyBar, K::HScrollBar, "", QRect(22, 208, 243, 18)},
        {H::FrequencyLabel, K::Label, "440 [Hz]", QRect(22, 234, 120, 20)},
        {H::LiveMark, K::Label, "", QRect(156, 234, 30, 20)},

        {-1, K::GroupBox, "第2音", QRect(285, 8, 265, 262)},
        {-1, K::Label, "ボリューム→", QRect(297, 36, 100, 20)},
        {H::LevelBar2, K::VScrollBar, "", QRect(401, 30, 20, 160)},
        {H::LevelLabel2, K::Label, "0　[dB]", QRect(431, 100, 110, 20)},
        {H::Reference1000, K::RadioButton, "1KHz", QRect(297, 208, 100, 20), ReferenceGroup},
        {H::Reference1200, K::RadioButton, "１．２KHz", QRect(401, 208, 140, 20), ReferenceGroup},

        {H::RecordButton, K::PushButton, "設定値記録", QRect(10, 284, 120, 28)},
        {H::RecordedLabel, K::Label, "", QRect(140, 290, 150, 20)},
        {H::RecordedMark, K::Label, "", QRect(292, 290, 30, 20)},
        {H::CompareButton, K::PushButton, "比較", QRect(10, 320, 120, 28)},
        {-1, K::Label, "マウス左ボタン：鳴る", QRect(340, 284, 210, 20)},
        {-1, K::Label, "マウス右ボタン：とまる", QRect(340, 308, 210, 20)},
        {IdOk, K::DefaultButton, "OK", QRect(330, 376, 100, 30)},
        {IdCancel, K::PushButton, "ｷｬﾝｾﾙ", QRect(440, 376, 100, 30)},
    };
    return t;
}

} // namespace

HearingDialog::HearingDialog(Services& services) : DialogModel(HearingTemplate()), services_(services)
{
    bars_.ids = {LevelBar1, LevelBar2, FrequencyBar};
    bars_.maxima = {LevelBarRange, LevelBarRange, FrequencyBarRange};
}

HearingDialog::~HearingDialog()
{
    stopSound();
}

void HearingDialog::init()
{
    first_ = {InitialFrequency, dsp::AmplitudeOfLevel(dsp::LevelOfPosition(InitialLevelPosition1))};
    savedLive_ = first_;
    second_ = {1000, 0};
    recorded_ = InitialRecordedSetting;
    compareFlag_ = false;
    setText(RecordedLabel, "   Hz   dB");
    checkRadio(Reference1000);
    bars_.positions = {InitialLevelPosition1, InitialLevelPosition2, InitialFrequency};
    for (std::size_t i = 0; i < 3; ++i) {
        ControlState& bar = control(bars_.ids[i]);
        bar.minimum = 0;
        bar.maximum = bars_.maxima[i];
        bar.position = bars_.positions[i];
    }
}

void HearingDialog::command(int id)
{
    // Every command first reads the reference radios, as the dialog always has.
    if (isChecked(Reference1000))
        second_.frequency = 1000;
    if (isChecked(Reference1200))
        second_.frequency = 1200;

    switch (id) {
    case RecordButton:
        recorded_ = first_;
        setText(RecordedLabel, Sprintf("%dHz  %ddB", first_.frequency, dsp::LevelOfAmplitude(first_.amplitude)));
        break;
    case CompareButton:
        if (compareFlag_) {
            savedLive_ = first_;
            first_ = recorded_;
            setText(LiveMark, "");
            setText(RecordedMark, "←");
        } else {
            first_ = savedLive_;
            setText(LiveMark, "↑");
            setText(RecordedMark, "");
        }
        compareFlag_ = !compareFlag_;
        break;
    case IdOk:
    case IdCancel:
        stopSound();
        endDialog(1);
        break;
    default: break;
    }
}

void HearingDialog::scroll(int id, ScrollRequest request, int thumb)
{
    StepScrollBar(*this, request, thumb, id, bars_, lastBarIndex_);
    if (id == LevelBar1) {
        const int level = dsp::LevelOfPosition(bars_.positions[0]);
        first_.amplitude = savedLive_.amplitude = dsp::AmplitudeOfLevel(level);
        first_.frequency = savedLive_.frequency;
        setText(LevelLabel1, Sprintf("%d [dB]", level));
        setText(RecordedMark, "");
    } else if (id == LevelBar2) {
        const int level = dsp::LevelOfPosition(bars_.positions[1]);
        second_.amplitude = dsp::AmplitudeOfLevel(level);
        setText(LevelLabel2, Sprintf("%d [dB]", level));
    } else if (id == FrequencyBar) {
        first_.frequency = savedLive_.frequency = bars_.positions[2];
        first_.amplitude = savedLive_.amplitude;
        setText(FrequencyLabel, Sprintf("%d [Hz]", bars_.positions[2]));
        setText(RecordedMark, "");
    }
}

void HearingDialog::mouse(MouseButton button)
{
    if (button == MouseButton::Left)
        startSound();
    else
        stopSound();
}

void HearingDialog::timer(int id)
{
    if (id == ToneTimer)
        writeAhead();
}

void HearingDialog::startSound()
{
    // A click while the sound runs changes nothing.
    if (sounding_ || services_.stream == nullptr || !services_.stream->start(dsp::TwoTonesRate))
        return;
    sounding_ = true;
    written_ = 0;
    writeAhead();
    startTimer(ToneTimer, ToneTickMilliseconds);
}

void HearingDialog::stopSound()
{
    if (!sounding_)
        return;
    services_.stream->stop();
    stopTimer(ToneTimer);
    sounding_ = false;
}

void HearingDialog::writeAhead()
{
    if (!sounding_)
        return;
    std::array<std::int16_t, WriteAheadSamples> chunk{};
    const std::uint64_t queued = services_.stream->queued();
    if (queued >= WriteAheadSamples)
        return;
    const std::span<std::int16_t> room = std::span(chunk).first(WriteAheadSamples - queued);
    dsp::FillTwoTones(room, written_, first_, second_);
    services_.stream->write(room);
    written_ += room.size();
}

} // namespace kelvora
