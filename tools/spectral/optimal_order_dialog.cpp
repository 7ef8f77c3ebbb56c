#include "tools/spectral/optimal_order_dialog.h"

#include "canvas/painter.h"
#include "dsp/fft.h"
#include "tools/spectral/notice_blink_tick.h"
#include "tools/spectral/order_graph.h"
#include "util/sprintf.h"

#include <algorithm>

namespace kelvora {
namespace {

using O = OptimalOrderDialog;

constexpr int CriterionGroup = 1, SizeGroup = 2;

DialogTemplate OptimalOrderTemplate()
{
    DialogTemplate t;
    t.caption = "AIC";
    t.size = {760, 560};
    const ControlKind Radio = ControlKind::RadioButton, Label = ControlKind::Label,
                      Group = ControlKind::GroupBox;
    t.controls = {
        {O::Notice, Label, "X（一番上）へ読み込んだデータを対象とします。", QRect(100, 0, 640, 30)},
        {O::PositionLabel, Label, "Static", QRect(100, 30, 640, 18)},

        {O::Progress, ControlKind::ProgressBar, "", QRect(516, 54, 230, 14)},
        {-1, Label, "動いている間は読み込み中です。\nFULLになる必要はありません。", QRect(516, 72, 230, 34)},
        {-1, Group, "次数計算方法", QRect(516, 110, 230, 46)},
        {O::Aic, Radio, "AIC", QRect(530, 130, 90, 20), CriterionGroup},
        {O::Fpe, Radio, "FPE", QRect(630, 130, 90, 20), CriterionGroup},
        {-1, Group, "分析範囲（ポイント数）", QRect(516, 162, 230, 46)},
        {O::Size1024, Radio, "1024", QRect(530, 182, 64, 20), SizeGroup},
        {O::Size512, Radio, "512", QRect(600, 182, 64, 20), SizeGroup},
        {O::Size256, Radio, "256", QRect(670, 182, 64, 20), SizeGroup},
        {O::PreemphasisBox, ControlKind::CheckBox, "6dB/oct", QRect(516, 216, 230, 20)},

        {O::StartBar, ControlKind::HScrollBar, "", QRect(100, 258, 400, 18)},
        {O::Reminder, Label, "←ここをクリックすると実行します。", QRect(508, 258, 248, 40)},

        {-1, Label, "最大次数(X軸）100", QRect(100, 530, 300, 20)},
    };
    t.pictures = {{O::StripPicture, QRect(100, 50, 400, 200)},
                  {O::GraphPicture, QRect(100, 300, OrderGraphWidth, OrderGraphHeight)}};
    return t;
}

struct SizeRadio {
    int id;
    int log2Size;
};
constexpr SizeRadio SizeRadios[] = {{O::Size1024, 10}, {O::Size512, 9}, {O::Size256, 8}};

} // namespace

OptimalOrderDialog::OptimalOrderDialog(Session& session, Services&)
    : DialogModel(OptimalOrderTemplate()), session_(session),
      state_(session.toolState<OptimalOrderState>()), funnel_(StripWidth, StripHeight)
{
    bars_.ids = {StartBar, 1028, 1029, 1033};
    bars_.maxima = {StartBarRange};
}

std::span<const double> OptimalOrderDialog::signal() const
{
    return session_.traceSlots.samples(SlotNumber::X);
}

std::uint32_t OptimalOrderDialog::sampleRate() const
{
    return std::max<std::uint32_t>(session_.SampleRate(), 1);
}

void OptimalOrderDialog::init()
{
    ControlState& progress = control(Progress);
    progress.minimum = 0;
    progress.maximum = 1000;
    progress.position = 0;
    setChecked(PreemphasisBox, true);
    checkRadio(Size256);
    checkRadio(Aic);
    log2Size_ = 8;
    const std::size_t n = analysisSize();

    const double rate = sampleRate();
    setText(Notice, Sprintf("フレームポイント数=%d\nフレーム長=%5.2f(ms)", static_cast<int>(n),
                            static_cast<double>(n) * 1000.0 / rate));
    const std::size_t count = signal().size();
    if (count < n)
        startBlinking(NoticeBlink::TooLittleData);

    control(StartBar).maximum = StartBarRange;
    control(StartBar).position = state_.startPosition;
    bars_.positions = {state_.startPosition};
    start_ = StartSampleFor(state_.startPosition, count, n);
    setText(PositionLabel, Sprintf("スタート→%lld(ポイント)%5.2f(ms)から幅が%d(ポイント)%5.2f(ms)の区間",
                                   static_cast<long long>(start_), static_cast<double>(start_) * 1000.0 / rate,
                                   static_cast<int>(n), static_cast<double>(n) * 1000.0 / rate));

    graph_ = Picture(OrderGraphWidth, OrderGraphHeight);
    funnel_.setSignal(signal(), StripScale(signal()), 100, [this] { stepProgress(); });
    strip_ = funnel_.upperBand();
    lastN_ = n;
    lastPreemphasis_ = true;
    lastAic_ = true;
    invalidate();
}

void OptimalOrderDialog::readControls()
{
    for (const SizeRadio& radio : SizeRadios)
        if (isChecked(radio.id))
            log2Size_ = radio.log2Size;
}

void OptimalOrderDialog::command(int id)
{
    readControls();
    const bool preemphasis = isChecked(PreemphasisBox);
    const bool aic = isChecked(Aic);
    if (analysisSize() != lastN_ || preemphasis != lastPreemphasis_ || aic != lastAic_) {
        startBlinking(NoticeBlink::Reminder);
        lastN_ = analysisSize();
        lastPreemphasis_ = preemphasis;
        lastAic_ = aic;
    }
    if (id == IdOk || id == IdCancel)
        close();
}

void OptimalOrderDialog::scroll(int id, ScrollRequest request, int thumb)
{
    const int index = StepScrollBar(*this, request, thumb, id, bars_, session_.lastScrollBarIndex);
    state_.startPosition = bars_.positions[0];
    if (index == 0)
        analyse();
}

void OptimalOrderDialog::analyse()
{
    setText(Reminder, "");
    const std::span<const double> samples = signal();
    const std::size_t n = analysisSize();
    if (samples.size() < n) {
        startBlinking(NoticeBlink::TooLittleData);
        return;
    }
    const std::uint32_t rate = sampleRate();
    start_ = StartSampleFor(state_.startPosition, samples.size(), n);
    setText(PositionLabel, Sprintf("切出し開始%lld(ポイント) %lld(ms)から幅%d(ポイント)%lld(ms)の区間",
                                   static_cast<long long>(start_), static_cast<long long>(start_ * 1000 / rate),
                                   static_cast<int>(n), static_cast<long long>(n * 1000 / rate)));
    drawStrip();

    const dsp::OrderSearchParams params{start_, log2Size_, isChecked(PreemphasisBox),
                                        isChecked(Aic) ? dsp::OrderCriterion::Aic : dsp::OrderCriterion::Fpe};
    dsp::EvaluateOrders(samples, params, state_.work, state_.criteria);
    optimum_ = dsp::FindOptimalOrder(state_.criteria);
    DrawOrderGraph(graph_, state_.criteria, optimum_);
    const std::string reason = FlatGraphReason(optimum_);
    setText(Notice, reason.empty() ? "X（一番上）へ読み込んだデータを対象とする。" : reason);

    stopTimer(BlinkTimer);
    state_.blink.count = 0;
    invalidate();
}

void OptimalOrderDialog::drawStrip()
{
    // The lower band shows the frame Hann-weighted, without the pre-emphasis.
    const std::size_t n = analysisSize();
    const std::span<const double> samples = signal();
    stripFrame_.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        stripFrame_[i] = samples[start_ + i] * dsp::HannWindow(i, n);
        if (i % 100 == 0)
            stepProgress();
    }
    funnel_.drawInterval(strip_, start_, stripFrame_);
}

void OptimalOrderDialog::timer(int id)
{
    if (id == BlinkTimer)
        TickNoticeBlink(*this, state_.blink, {BlinkTimer, Reminder, Notice}, analysisSize());
}

void OptimalOrderDialog::startBlinking(int state)
{
    state_.blink.state = state;
    startTimer(BlinkTimer, BlinkMilliseconds);
}

void OptimalOrderDialog::stepProgress()
{
    ControlState& progress = control(Progress);
    progress.position += 1;
    if (progress.position > progress.maximum)
        progress.position = progress.minimum;
}

void OptimalOrderDialog::close()
{
    if (session_.resultCanvas.isNull())
        session_.resultCanvas = Picture(ResultCanvasWidth, ResultCanvasHeight);
    Painter(session_.resultCanvas)
        .stretch(graph_, QRect(0, 0, graph_.width(), graph_.height()),
                 QRect(0, 0, ResultCanvasWidth, ResultCanvasHeight));
    endDialog(1);
}

const Picture* OptimalOrderDialog::picture(int index) const
{
    if (index == StripPicture)
        return &strip_;
    if (index == GraphPicture)
        return &graph_;
    return nullptr;
}

} // namespace kelvora
