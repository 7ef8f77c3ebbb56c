#include "tools/audio/signal_generator_dialog.h"

#include "util/sprintf.h"

#include <algorithm>
#include <ctime>

namespace kelvora {
namespace {

using G = SignalGeneratorDialog;

// Table order: the two frame bars first, then length, frequency, amplitude and ratio.
enum BarIndex { MoveIndex = 0, WidthIndex = 1, LengthIndex = 2, FrequencyIndex = 3, AmplitudeIndex = 4, RatioIndex = 5 };

struct BarSetting {
    int id;
    int maximum;
    int start;
};
constexpr BarSetting Settings[] = {
    {G::MoveBar, 2000, 200},    {G::WidthBar, 2000, 10},      {G::LengthBar, 3000, 500},
    {G::FrequencyBar, 1000, 440}, {G::AmplitudeBar, 32767, 15000}, {G::RatioBar, 50, 50},
};

DialogTemplate GeneratorTemplate()
{
    using K = ControlKind;
    DialogTemplate t;
    t.caption = "信号発生";
    t.size = {820, 512};
    t.pictures.push_back({0, QRect(50, 220, StripShownWidth, StripShownHeight)});
    t.controls = {
        {-1, K::GroupBox, "サンプリング周波数", QRect(20, 8, 380, 52)},
        {G::Rate8k, K::RadioButton, "8KHz", QRect(32, 30, 70, 20), 1},
        {G::Rate16k, K::RadioButton, "16KHz", QRect(106, 30, 76, 20), 1},
        {G::Rate32k, K::RadioButton, "32KHz", QRect(186, 30, 76, 20), 1},
        {G::Rate44k, K::RadioButton, "44.1kHz(CD)", QRect(266, 30, 124, 20), 1},
        {G::Sine, K::RadioButton, "サイン波", QRect(440, 10, 300, 20), 2},
        {G::Triangle, K::RadioButton, "三角波", QRect(440, 32, 300, 20), 2},
        {G::Sawtooth, K::RadioButton, "ノコギリ波", QRect(440, 54, 300, 20), 2},
        {G::Rectangle, K::RadioButton, "非対称矩形波（50%=矩形波）", QRect(440, 76, 300, 20), 2},
        {G::Noise, K::RadioButton, "白色雑音（ガウス)", QRect(440, 98, 300, 20), 2},
        {G::LengthBar, K::HScrollBar, "", QRect(20, 72, 300, 17)},
        {G::LengthLabel, K::Label, "データ長", QRect(326, 72, 100, 18)},
        {G::AmplitudeBar, K::HScrollBar, "", QRect(20, 97, 300, 17)},
        {G::AmplitudeLabel, K::Label, "振幅", QRect(326, 97, 100, 18)},
        {G::FrequencyBar, K::HScrollBar, "", QRect(20, 122, 300, 17)},
        {G::FrequencyLabel, K::Label, "周波数", QRect(326, 122, 100, 18)},
        {G::RatioBar, K::HScrollBar, "", QRect(20, 147, 300, 17)},
        {G::RatioLabel, K::Label, "比率", QRect(326, 147, 440, 18)},
        {G::CreateButton, K::PushButton, "作成", QRect(632, 128, 170, 30)},
        {G::TargetNote, K::Label, "選択したデータを対象とします。", QRect(50, 196, 400, 18)},
        {G::MoveBar, K::HScrollBar, "", QRect(50, 352, 380, 17)},
        {-1, K::Label, "狭い", QRect(14, 377, 34, 18)},
        {G::WidthBar, K::HScrollBar, "", QRect(50, 377, 380, 17)},
        {-1, K::Label, "広い", QRect(436, 377, 34, 18)},
        {G::IntervalLabel, K::Label, "Static", QRect(50, 402, 540, 18)},
        {-1, K::Label, ProgressCaption, QRect(50, 426, 420, 18)},
        {G::Progress, K::ProgressBar, "", QRect(50, 446, 380, 12)},
        {G::PlayButton, K::PushButton, "選択部分再生", QRect(632, 350, 170, 26)},
        {G::StopButton, K::PushButton, "再生キャンセル", QRect(632, 380, 170, 26)},
        {IdOk, K::DefaultButton, "OK", QRect(580, 470, 120, 28)},
        {IdCancel, K::PushButton, "ｷｬﾝｾﾙ", QRect(708, 470, 94, 28)},
    };
    return t;
}

std::uint32_t RateOf(const DialogModel& d)
{
    if (d.isChecked(G::Rate16k))
        return 16000;
    if (d.isChecked(G::Rate32k))
        return 32000;
    if (d.isChecked(G::Rate44k))
        return 44100;
    return 8000;
}

dsp::WaveShape ShapeOf(const DialogModel& d)
{
    if (d.isChecked(G::Triangle))
        return dsp::WaveShape::Triangle;
    if (d.isChecked(G::Sawtooth))
        return dsp::WaveShape::Sawtooth;
    if (d.isChecked(G::Rectangle))
        return dsp::WaveShape::Rectangle;
    if (d.isChecked(G::Noise))
        return dsp::WaveShape::Noise;
    return dsp::WaveShape::Sine;
}

} // namespace

SignalGeneratorDialog::SignalGeneratorDialog(Session& session, Services& services)
    : DialogModel(GeneratorTemplate()),
      seedSource([] { return static_cast<std::uint32_t>(std::time(nullptr)); }), session_(session),
      services_(services), player_(*this, session.toolState<PlaybackState>(), services.audio)
{
}

void SignalGeneratorDialog::init()
{
    ControlState& progress = control(Progress);
    progress.minimum = 0;
    progress.maximum = 1000;
    progress.position = 0;
    checkRadio(Rate8k);
    checkRadio(Sine);
    session_.traceSlots.clear(SlotNumber::X);
    for (int i = 0; i < 6; ++i) {
        bars_.ids[i] = Settings[i].id;
        bars_.minima[i] = 0;
        bars_.maxima[i] = Settings[i].maximum;
        bars_.positions[i] = Settings[i].start;
        ControlState& bar = control(Settings[i].id);
        bar.minimum = 0;
        bar.maximum = Settings[i].maximum;
        bar.position = Settings[i].start;
    }
    frame_ = {};
    deriveSettings();
    invalidate();
}

dsp::GeneratorParams SignalGeneratorDialog::params() const
{
    dsp::GeneratorParams p;
    p.shape = ShapeOf(*this);
    p.rate = RateOf(*this);
    p.lengthMs = static_cast<std::uint32_t>(bars_.positions[LengthIndex]);
    p.frequency = static_cast<std::uint32_t>(bars_.positions[FrequencyIndex]);
    p.amplitude = static_cast<std::uint32_t>(bars_.positions[AmplitudeIndex]);
    p.dutyPercent = static_cast<std::uint32_t>(bars_.positions[RatioIndex]);
    return p;
}

// The rate, period and duty follow the controls at every click, so a rate chosen after "作成"
// plays and hands over the existing sound at the new rate.
void SignalGeneratorDialog::deriveSettings()
{
    const dsp::GeneratorParams p = params();
    SoundFormat& format = session_.soundFormat;
    format.formatTag = 1;
    format.channels = 1;
    format.samplesPerSecond = p.rate;
    format.averageBytesPerSecond = p.rate * 2;
    format.blockAlign = 2;
    format.bitsPerSample = 16;
    period_ = dsp::PeriodSamples(p);
    duty_ = dsp::DutySamples(p);
}

void SignalGeneratorDialog::command(int id)
{
    deriveSettings();
    switch (id) {
    case CreateButton: create(); break;
    case PlayButton:
        if (hasSound())
            player_.play(session_.traceSlots.samples(SlotNumber::X), frame_.start, frame_.width, session_.SampleRate());
        break;
    case StopButton: player_.stop(); break;
    case IdOk:
        player_.stop();
        endDialog(1);
        break;
    case IdCancel:
        player_.stop();
        session_.traceSlots.clear(SlotNumber::X);
        endDialog(1);
        break;
    default: break;
    }
}

void SignalGeneratorDialog::create()
{
    setText(CreateButton, "処理中");
    const dsp::GeneratorParams p = params();
    player_.stop();
    session_.traceSlots.fill(SlotNumber::X, dsp::Generate(p, seedSource ? seedSource() : 0));
    strip_.signalChanged();
    if (p.shape == dsp::WaveShape::Rectangle)
        setText(RatioLabel, Sprintf("%d％ 周波数=%d  1は%d個　　0は%d個", static_cast<int>(p.dutyPercent),
                                    static_cast<int>(dsp::WholePeriodsPerSecond(p)), static_cast<int>(duty_),
                                    static_cast<int>(period_ - duty_)));
    const std::size_t count = session_.traceSlots.samples(SlotNumber::X).size();
    frame_ = FrameFromBars(count, bars_.positions[MoveIndex], bars_.positions[WidthIndex]);
    bars_.positions[MoveIndex] = BarPosition(frame_.start, count);
    bars_.positions[WidthIndex] = BarPosition(frame_.width, count);
    control(MoveBar).position = bars_.positions[MoveIndex];
    control(WidthBar).position = bars_.positions[WidthIndex];
    redraw();
    setText(CreateButton, "作成");
}

void SignalGeneratorDialog::redraw()
{
    StepProgressBar(control(Progress), strip_.draw(session_.traceSlots.samples(SlotNumber::X), frame_.start, frame_.width));
    invalidate();
}

void SignalGeneratorDialog::scroll(int id, ScrollRequest request, int thumb)
{
    const int index = StepScrollBar(*this, request, thumb, id, bars_, session_.lastScrollBarIndex);
    const int position = bars_.positions[index];
    switch (index) {
    case MoveIndex:
    case WidthIndex: {
        if (!hasSound())
            return;
        const std::size_t count = session_.traceSlots.samples(SlotNumber::X).size();
        frame_ = FrameFromBars(count, bars_.positions[MoveIndex], bars_.positions[WidthIndex]);
        if (index == MoveIndex) {
            // Only a start pulled back to fit the width moves the thumb.
            const double wanted = bars_.positions[MoveIndex] * static_cast<double>(count) / BarRange;
            if (frame_.start != static_cast<std::uint32_t>(wanted))
                bars_.positions[MoveIndex] = BarPosition(frame_.start, count);
            control(MoveBar).position = bars_.positions[MoveIndex];
        } else {
            bars_.positions[MoveIndex] = BarPosition(frame_.start, count);
            bars_.positions[WidthIndex] = BarPosition(frame_.width, count);
        }
        const std::uint32_t rate = session_.SampleRate();
        setText(IntervalLabel, Sprintf("切出し開始%d(ms)から幅%d(ms)の区間", Milliseconds(frame_.start, rate),
                                       Milliseconds(frame_.width, rate)));
        redraw();
        break;
    }
    case LengthIndex: setText(LengthLabel, Sprintf("%dms", position)); break;
    case FrequencyIndex: setText(FrequencyLabel, Sprintf("%dHz", position)); break;
    case AmplitudeIndex: setText(AmplitudeLabel, Sprintf("振幅%d", position)); break;
    case RatioIndex: setText(RatioLabel, Sprintf("%d％", position)); break;
    default: break;
    }
}

void SignalGeneratorDialog::timer(int id)
{
    if (id == PlayTimer)
        player_.tick(strip_);
}

const Picture* SignalGeneratorDialog::picture(int index) const
{
    return index == 0 ? &strip_.shown() : nullptr;
}

} // namespace kelvora
