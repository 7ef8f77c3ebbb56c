#include "tools/spectral/fluctuation_dialog.h"

#include "canvas/painter.h"
#include "tools/audio/strip_dialog.h"
#include "tools/spectral/fluctuation_picture.h"
#include "util/sprintf.h"

#include <algorithm>

namespace kelvora {
namespace {

using F = FluctuationDialog;
constexpr std::size_t N = dsp::FluctuationFrameSize;
constexpr const char* TooLittleDataFormat = "データ量が%d(ポイント)より少ないので動きません";

DialogTemplate FluctuationTemplate()
{
    using K = ControlKind;
    DialogTemplate t;
    t.caption = "１／ｆ ゆらぎ";
    t.size = {950, 560};
    t.pictures = {{F::StripPicture, QRect(50, 20, 650, 120)},
                  {F::MainPicture, QRect(50, 190, 650, 300)},
                  {F::AxisPicture, QRect(0, FluctuationAxisTop, 50, 60)},
                  {F::CardPicture, QRect(712, 420, SlopeCardWidth, SlopeCardHeight)}};
    t.controls = {
        {F::Notice, K::Label, "", QRect(712, 20, 230, 36)},
        {F::Progress, K::ProgressBar, "", QRect(712, 60, 200, 14)},
        {-1, K::Label, "動いている間は処理中です。\nFULLになる必要はありません。", QRect(712, 78, 230, 34)},
        {-1, K::Label, "ここを動かすと実行します。\n↓", QRect(712, 106, 230, 34)},
        {F::StartBar, K::HScrollBar, "", QRect(50, 142, 650, 17)},
        {-1, K::Label, "←選択区間の移動", QRect(712, 142, 230, 18)},
        {-1, K::Label, "狭い", QRect(14, 160, 34, 18)},
        {F::WidthBar, K::HScrollBar, "", QRect(50, 160, 650, 17)},
        {-1, K::Label, "広い　←選択区間の広さ", QRect(712, 160, 230, 18)},
        {-1, K::Label, "←選択区間の\n 傾き係数の時間変化 ", QRect(712, 192, 230, 34)},
        {-1, K::Label, "(dB)", QRect(10, 258, 40, 18)},
        {-1, K::Label,
         "左図は選択区間の平均スペクトルです。\n赤線はスペクトルの平均傾き係数\n青点線は係数＝－１つまり1/f\n"
         "赤線が青線に平行な場合\n１/ｆ 特性であることを示します。",
         QRect(712, 268, 236, 92)},
        {F::SlopeLine, K::Label, "", QRect(712, 380, 230, 20)},
        {F::IntervalLabel, K::Label, "Static", QRect(50, 498, 650, 20)},
        {IdOk, K::DefaultButton, "OK", QRect(836, 522, 96, 28)},
    };
    return t;
}

} // namespace

FluctuationDialog::FluctuationDialog(Session& session, Services&)
    : DialogModel(FluctuationTemplate()), session_(session),
      state_(session.toolState<FluctuationState>()), funnel_(StripWidth, StripHeight),
      axis_(DrawSlopeAxis()), card_(DrawSlopeCard())
{
    bars_.ids = {StartBar, WidthBar, 1029, 1033};
    bars_.maxima = {AnalysisBarRange, AnalysisBarRange};
}

std::span<const double> FluctuationDialog::signal() const
{
    return session_.traceSlots.samples(SlotNumber::X);
}

void FluctuationDialog::init()
{
    ControlState& progress = control(Progress);
    progress.minimum = 0;
    progress.maximum = 1000;
    progress.position = 0;
    if (signal().size() < N)
        setText(Notice, Sprintf(TooLittleDataFormat, static_cast<int>(N)));
    for (const int id : {StartBar, WidthBar}) {
        control(id).minimum = 0;
        control(id).maximum = AnalysisBarRange;
    }
    control(StartBar).position = state_.startPosition;
    control(WidthBar).position = state_.widthPosition;
    bars_.positions = {state_.startPosition, state_.widthPosition};
    strip_ = Picture(StripWidth, StripHeight);
    picture_ = Picture(FluctuationPictureWidth, FluctuationPictureHeight);
    funnel_.setSignal(signal(), StripFullScale, 1000, [this] { stepProgress(); });
    strip_ = funnel_.upperBand();
    invalidate();
}

void FluctuationDialog::scroll(int id, ScrollRequest request, int thumb)
{
    const int index = StepScrollBar(*this, request, thumb, id, bars_, session_.lastScrollBarIndex);
    if (index != 0 && index != 1)
        return;
    const std::size_t count = signal().size();
    if (index == 0) {
        setText(SlopeLine, "");
        if (count < N) {
            setText(Notice, Sprintf(TooLittleDataFormat, static_cast<int>(N)));
            return;
        }
        setText(Notice, "選択したデータを対象とする。");
    }
    if (count < N)
        return;
    // The repaired interval is stored back as positions; the thumbs stay where the user left them.
    const AnalysisRange wanted{SamplesOfPosition(bars_.positions[0], count), SamplesOfPosition(bars_.positions[1], count)};
    range_ = RepairFluctuationRange(wanted, count, N);
    bars_.positions[0] = PositionOfSamples(range_.start, count);
    bars_.positions[1] = PositionOfSamples(range_.width, count);
    state_.startPosition = bars_.positions[0];
    state_.widthPosition = bars_.positions[1];
    analyse();
}

void FluctuationDialog::analyse()
{
    const std::span<const double> samples = signal();
    const double rate = std::max<std::uint32_t>(session_.SampleRate(), 1);
    setText(IntervalLabel, Sprintf("切出し開始%lld(ms)から幅%lld(ms)の区間",
                                   static_cast<long long>(static_cast<double>(range_.start) * 1000 / rate),
                                   static_cast<long long>(static_cast<double>(range_.width) * 1000 / rate)));
    funnel_.drawInterval(strip_, range_.start, samples.subspan(range_.start, range_.width));
    int frames = 0;
    dsp::AnalyseFluctuation(samples, range_.start, range_.width, session_.SampleRate(), result_, [&] {
        if (++frames % 8 == 0)
            stepProgress();
    });
    DrawFluctuationPicture(picture_, result_);
    setText(SlopeLine, SlopeResultLine(result_.slope));
    invalidate();
}

void FluctuationDialog::stepProgress()
{
    StepProgressBar(control(Progress), 1);
}

void FluctuationDialog::command(int id)
{
    if (id != IdOk && id != IdCancel)
        return;
    if (session_.resultCanvas.isNull())
        session_.resultCanvas = Picture(ResultCanvasWidth, ResultCanvasHeight);
    Painter(session_.resultCanvas)
        .stretch(picture_, QRect(0, 0, picture_.width(), picture_.height()),
                 QRect(0, 0, ResultCanvasWidth, ResultCanvasHeight));
    endDialog(1);
}

const Picture* FluctuationDialog::picture(int index) const
{
    switch (index) {
    case StripPicture: return &strip_;
    case MainPicture: return &picture_;
    case AxisPicture: return &axis_;
    case CardPicture: return &card_;
    default: return nullptr;
    }
}

} // namespace kelvora
