#include "tools/lpc/vowel_dialog.h"

#include "canvas/painter.h"
#include "tools/lpc/vowel_chart.h"
#include "tools/spectral/frequency_analysis.h"
#include "util/sprintf.h"

#include <algorithm>

namespace kelvora {
namespace {

using V = VowelDialog;

constexpr const char* TooLittleDataFormat = "データ量が%d(ポイント)より少ないので動きません";
constexpr const char* SilentFrameText = "無音の区間です。フォルマントも声道の形も求まりません。";

DialogTemplate VowelTemplate()
{
    DialogTemplate t;
    t.caption = "母音・声道断面積推定";
    t.size = {760, 540};
    const ControlKind Label = ControlKind::Label;
    t.controls = {
        {V::Status, Label, "X（一番上）へ読み込んだデータを対象とします。", QRect(100, 4, 600, 20)},
        {V::FormantLabel, Label, "Static", QRect(100, 26, 400, 20)},

        {V::Progress, ControlKind::ProgressBar, "", QRect(516, 50, 230, 14)},
        {-1, Label, "動いている間は読み込み中です。\nFULLになる必要はありません。", QRect(516, 68, 230, 34)},
        {V::Defaults, Label, "Static", QRect(516, 110, 230, 52)},
        {V::OrderLabel, Label, "分析次数", QRect(516, 176, 230, 20)},
        {V::OrderBar, ControlKind::HScrollBar, "", QRect(516, 198, 230, 18)},

        {V::StartBar, ControlKind::HScrollBar, "", QRect(100, 258, 400, 18)},
        {V::Reminder, Label, "←ここをクリックすると実行します。", QRect(508, 258, 240, 40)},
    };
    t.pictures = {{V::SpectraPicture, QRect(100, 50, 400, 200)},
                  {V::ChartPicture, QRect(100, 300, VowelChartWidth, VowelChartHeight)}};
    return t;
}

} // namespace

VowelDialog::VowelDialog(Session& session, Services&)
    : DialogModel(VowelTemplate()), session_(session), state_(session.toolState<VowelState>())
{
    bars_.ids = {StartBar, OrderBar};
    bars_.maxima = {StartBarRange, OrderBarRange};
}

std::span<const double> VowelDialog::signal() const
{
    return session_.traceSlots.samples(SlotNumber::X);
}

std::uint32_t VowelDialog::sampleRate() const
{
    return std::max<std::uint32_t>(session_.SampleRate(), 1);
}

bool VowelDialog::tooLittleData() const
{
    return signal().size() < state_.frame.size;
}

std::size_t VowelDialog::startSample() const
{
    return StartSampleFor(state_.startPosition, signal().size(), state_.frame.size);
}

void VowelDialog::init()
{
    ControlState& progress = control(Progress);
    progress.minimum = 0;
    progress.maximum = 1000;
    progress.position = 0;

    const std::uint32_t rate = sampleRate();
    order_ = dsp::VowelDefaultOrder(rate);
    state_.orderPosition = static_cast<int>(order_);
    state_.frame = dsp::LpcFrameSize(rate);
    const std::size_t n = state_.frame.size;
    setText(Defaults, Sprintf("読込デフォルト\nフレーム=%d=%5.2f(ms)最適30ms\n分析次数の初期値=%d",
                              static_cast<int>(n), static_cast<double>(n) * 1000.0 / rate,
                              static_cast<int>(order_)));
    if (tooLittleData())
        setText(Status, Sprintf(TooLittleDataFormat, static_cast<int>(n)));

    control(StartBar).maximum = StartBarRange;
    control(StartBar).position = state_.startPosition;
    // A default order above the bar's range (55 at 44100 Hz) is used as it is; the thumb
    // stays at the bar's end until the bar is moved.
    control(OrderBar).maximum = OrderBarRange;
    control(OrderBar).position = std::min(state_.orderPosition, OrderBarRange);
    bars_.positions = {state_.startPosition, state_.orderPosition};
    start_ = startSample();
    setText(OrderLabel, Sprintf("次数=%d", static_cast<int>(order_)));

    waveform_ = Picture(VowelPictureWidth, VowelPictureHeight);
    DrawVowelWaveform(waveform_, signal());
    stepProgress(signal().size() / 1000);
    spectra_ = waveform_;
    chart_ = Picture(VowelChartWidth, VowelChartHeight);
    invalidate();
}

void VowelDialog::command(int id)
{
    if (id == IdOk || id == IdCancel)
        close();
}

void VowelDialog::scroll(int id, ScrollRequest request, int thumb)
{
    const int index = StepScrollBar(*this, request, thumb, id, bars_, session_.lastScrollBarIndex);
    state_.startPosition = bars_.positions[0];
    state_.orderPosition = bars_.positions[1];
    if (index == 0) {
        analyse();
    } else if (index == 1) {
        order_ = static_cast<std::size_t>(state_.orderPosition);
        setText(OrderLabel, Sprintf("次数=%d", state_.orderPosition));
        setText(Reminder, "←ここをクリック。(図を更新すべきです.)");
    }
}

void VowelDialog::analyse()
{
    setText(Reminder, "");
    const std::size_t n = state_.frame.size;
    if (tooLittleData()) {
        setText(Status, Sprintf(TooLittleDataFormat, static_cast<int>(n)));
        return;
    }
    const std::span<const double> samples = signal();
    start_ = startSample();
    frame_ = AnalyseVowel(samples, start_, state_.frame, order_, sampleRate(), state_.work);
    setText(Status, frame_.silent ? SilentFrameText : "読み込んだデータを対象とする。");

    spectra_ = waveform_;
    stepProgress(samples.size() / 1000);
    DrawVowelFrameBox(spectra_, start_, n, samples.size());
    DrawVowelSpectra(spectra_, frame_, state_.work);
    setText(FormantLabel, Sprintf("f1=%6.2f(Hz)  f2=%6.2f(Hz)", frame_.f1, frame_.f2));

    chart_.fill(White);
    VowelChart(chart_, frame_.f1, frame_.f2, VowelChartHeight, VowelChartWidth,
               state_.work.lpc.reflection, frame_.order);
    invalidate();
}

void VowelDialog::stepProgress(std::size_t times)
{
    ControlState& progress = control(Progress);
    const int span = progress.maximum - progress.minimum + 1;
    progress.position = progress.minimum +
                        static_cast<int>((static_cast<std::size_t>(progress.position - progress.minimum) + times) %
                                         static_cast<std::size_t>(span));
}

void VowelDialog::close()
{
    if (session_.resultCanvas.isNull())
        session_.resultCanvas = Picture(ResultCanvasWidth, ResultCanvasHeight);
    const QRect corner(0, 0, chart_.width(), chart_.height());
    Painter(session_.resultCanvas).stretch(chart_, corner, corner);
    endDialog(1);
}

const Picture* VowelDialog::picture(int index) const
{
    if (index == SpectraPicture)
        return &spectra_;
    if (index == ChartPicture)
        return &chart_;
    return nullptr;
}

} // namespace kelvora
