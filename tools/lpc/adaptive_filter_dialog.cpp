#include "tools/lpc/adaptive_filter_dialog.h"

#include "canvas/painter.h"
#include "tools/audio/strip_dialog.h"
#include "tools/lpc/block_diagrams.h"
#include "tools/lpc/trace_slot_ops.h"
#include "util/sprintf.h"

#include <algorithm>
#include <utility>

namespace kelvora {
namespace {

using A = AdaptiveFilterDialog;

enum BarIndex { DelayIndex, TapsIndex, ReferenceDelayIndex, RowIndex, MuIndex, LeakIndex, BarCount };

struct BarSetting {
    int id;
    int minimum;
    int maximum;
};
constexpr BarSetting Bars[BarCount] = {
    {A::DelayBar, 1, 4000}, {A::TapsBar, 1, 1000}, {A::ReferenceDelayBar, 0, 100},
    {A::RowBar, 0, 99},     {A::MuBar, 0, 200},    {A::LeakBar, 0, 100},
};

constexpr int RightColumn = 500, PlotTop = 472, PlotWidth = 320, PlotHeight = 226;

DialogTemplate AdaptiveFilterTemplate()
{
    using K = ControlKind;
    DialogTemplate t;
    t.caption = "適応フィルタ";
    t.size = {720, 740};
    t.pictures = {
        {A::HistoryPicture, QRect(RightColumn, 50, A::PictureSize, A::PictureSize)},
        {A::Diagram, QRect(20, 300, DiagramWidth, AdaptiveFilterDiagramHeight)},
        {A::WPlot, QRect(20, PlotTop, PlotWidth, PlotHeight)},
        {A::YEPlot, QRect(40 + PlotWidth, PlotTop, PlotWidth, PlotHeight)},
    };
    t.controls = {
        {A::EnhancerRadio, K::RadioButton, "適応ラインエンハンサ", QRect(20, 12, 200, 20), 1},
        {A::FilterRadio, K::RadioButton, "適応フィルタ", QRect(230, 12, 200, 20), 1},
        {A::DelayBar, K::HScrollBar, "", QRect(20, 44, 200, 17)},
        {A::DelayLabel, K::Label, "", QRect(230, 44, 250, 18)},
        {A::TapsBar, K::HScrollBar, "", QRect(20, 72, 200, 17)},
        {A::TapsLabel, K::Label, "", QRect(230, 72, 250, 18)},
        {A::ReferenceDelayBar, K::HScrollBar, "", QRect(20, 100, 200, 17)},
        {A::ReferenceDelayLabel, K::Label, "", QRect(230, 100, 250, 18)},
        {A::MuBar, K::HScrollBar, "", QRect(20, 128, 200, 17)},
        {A::MuLabel, K::Label, "", QRect(230, 128, 250, 18)},
        {A::LeakBar, K::HScrollBar, "", QRect(20, 156, 200, 17)},
        {A::LeakLabel, K::Label, "", QRect(230, 156, 250, 18)},
        {A::StartButton, K::PushButton, "START", QRect(20, 188, 120, 28)},
        {A::Progress, K::ProgressBar, "", QRect(150, 196, 320, 12)},
        {A::RowBar, K::HScrollBar, "", QRect(20, 228, 200, 17)},
        {A::RowLabel, K::Label, "", QRect(230, 228, 250, 18)},
        {A::MoveButton, K::PushButton, MoveWToYECaption, QRect(20, 256, 300, 28)},
        {-1, K::Label, "重みの履歴", QRect(RightColumn, 28, 200, 18)},
        {-1, K::Label, "移動後のW", QRect(20, PlotTop - 22, PlotWidth, 18)},
        {-1, K::Label, "移動後のYE（適応フィルタの参照信号）", QRect(40 + PlotWidth, PlotTop - 22, PlotWidth, 18)},
        {IdCancel, K::PushButton, "閉じる", QRect(560, 300, 120, 28)},
    };
    return t;
}

} // namespace

AdaptiveFilterDialog::AdaptiveFilterDialog(Session& session, Services& services)
    : DialogModel(AdaptiveFilterTemplate()), session_(session), services_(services),
      settings_(session.toolState<AdaptiveFilterSettings>())
{
}

void AdaptiveFilterDialog::init()
{
    checkRadio(EnhancerRadio);
    // Opening selects the line enhancer, whose delay is at least 1 (the filter mode may have left 0).
    settings_.delay = std::max(settings_.delay, Bars[DelayIndex].minimum);
    ControlState& progress = control(Progress);
    progress.minimum = 0;
    progress.maximum = 1000;
    progress.position = 0;
    const int positions[BarCount] = {settings_.delay, settings_.taps, settings_.referenceDelay,
                                     settings_.row,   settings_.mu,   settings_.leak};
    for (int i = 0; i < BarCount; ++i) {
        bars_.ids[i] = Bars[i].id;
        bars_.minima[i] = Bars[i].minimum;
        bars_.maxima[i] = Bars[i].maximum;
        bars_.positions[i] = positions[i];
        ControlState& bar = control(Bars[i].id);
        bar.minimum = Bars[i].minimum;
        bar.maximum = Bars[i].maximum;
        bar.position = positions[i];
    }
    setText(DelayLabel, Sprintf("Ｍ=%d", settings_.delay));
    setText(TapsLabel, Sprintf("タップ長=%d ", settings_.taps));
    setText(ReferenceDelayLabel, Sprintf("YEの遅延量=%d ", settings_.referenceDelay));
    setText(MuLabel, Sprintf("myuの係数　%f", settings_.mu / 100.0));
    setText(LeakLabel, Sprintf("忘却係数　%f", settings_.leak / 100.0));

    // Y and E start as silence of X's length. YE is kept: it may hold the reference that an
    // earlier W→YE move put there.
    const std::size_t count = std::as_const(session_.traceSlots).samples(SlotNumber::X).size();
    session_.traceSlots.fill(SlotNumber::Y, std::vector<double>(count, 0.0));
    session_.traceSlots.fill(SlotNumber::E, std::vector<double>(count, 0.0));
    picture_ = Picture(PictureSize, PictureSize);
    diagram_ = AdaptiveFilterDiagram();
    wPlot_ = Picture(ResultCanvasWidth, ResultCanvasHeight);
    yePlot_ = Picture(ResultCanvasWidth, ResultCanvasHeight);
    invalidate();
}

dsp::AdaptiveFilterParams AdaptiveFilterDialog::params() const
{
    dsp::AdaptiveFilterParams p;
    p.mode = isChecked(FilterRadio) ? dsp::AdaptiveMode::Filter : dsp::AdaptiveMode::LineEnhancer;
    p.delay = static_cast<std::size_t>(std::max(settings_.delay, 0));
    p.taps = static_cast<std::size_t>(settings_.taps);
    p.referenceDelay = static_cast<std::size_t>(settings_.referenceDelay);
    p.mu = settings_.mu / 100.0;
    p.leak = settings_.leak / 100.0;
    return p;
}

// The filter has no input delay: the M bar goes to 0 whenever the filter mode is chosen. The
// line enhancer needs one of at least a sample (at 0 it would see the very sample it predicts
// and learn nothing but the identity), so back in that mode a delay of 0 becomes 1 again.
void AdaptiveFilterDialog::applyMode()
{
    const bool filterMode = isChecked(FilterRadio);
    if (!filterMode && settings_.delay >= Bars[DelayIndex].minimum)
        return;
    const int delay = filterMode ? 0 : Bars[DelayIndex].minimum;
    settings_.delay = delay;
    bars_.positions[DelayIndex] = delay;
    control(DelayBar).position = delay;
    setText(DelayLabel, Sprintf("Ｍ=%d ", delay));
}

void AdaptiveFilterDialog::command(int id)
{
    applyMode();
    switch (id) {
    case StartButton: run(); break;
    case MoveButton:
        MoveWToYE(session_.traceSlots);
        wPlot_ = SlotPlot(std::as_const(session_.traceSlots).samples(SlotNumber::W), session_.soundFormat);
        yePlot_ = SlotPlot(std::as_const(session_.traceSlots).samples(SlotNumber::YE), session_.soundFormat);
        invalidate();
        break;
    case IdOk:
    case IdCancel: endDialog(1); break;
    default: break;
    }
}

void AdaptiveFilterDialog::scroll(int id, ScrollRequest request, int thumb)
{
    const int index = StepScrollBar(*this, request, thumb, id, bars_, session_.lastScrollBarIndex);
    const int position = bars_.positions[index];
    switch (index) {
    case DelayIndex:
        settings_.delay = position;
        setText(DelayLabel, Sprintf("Ｍ=%d ", position));
        break;
    case TapsIndex:
        settings_.taps = position;
        setText(TapsLabel, Sprintf("タップ長=%d ", position));
        break;
    case ReferenceDelayIndex:
        settings_.referenceDelay = position;
        setText(ReferenceDelayLabel, Sprintf("YEの遅延量=%d ", position));
        break;
    case RowIndex:
        settings_.row = position;
        drawHistoryRow(position);
        break;
    case MuIndex:
        settings_.mu = position;
        setText(MuLabel, Sprintf("myuの係数　%f", position / 100.0));
        break;
    case LeakIndex:
        settings_.leak = position;
        setText(LeakLabel, Sprintf("忘却係数　%f", position / 100.0));
        break;
    default: break;
    }
}

void AdaptiveFilterDialog::run()
{
    setText(StartButton, "処理中");
    TraceSlots& traceSlots = session_.traceSlots;
    const TraceSlots& readOnly = traceSlots;
    long long steps = 0;
    dsp::AdaptiveFilterResult result =
        dsp::RunAdaptiveFilter(readOnly.samples(SlotNumber::X), readOnly.samples(SlotNumber::YE), params(),
                               settings_.powers, [&steps] { ++steps; });
    StepProgressBar(control(Progress), steps);
    // The running figure is shown once, at the end: rewriting it at every sample would cost
    // more than the filter itself and show the same final text.
    setText(RowLabel, Sprintf("kpk=%f ", dsp::ErrorToInputDb(settings_.powers)));

    std::vector<double> scaled = dsp::ScaledToHalfFullScale(result.error);
    history_ = std::move(result.history);
    weightMaximum_ = result.weightMaximum;
    historyTaps_ = result.weights.size();
    traceSlots.fill(SlotNumber::W, std::move(result.weights));
    traceSlots.fill(SlotNumber::Y, std::move(result.output));
    traceSlots.fill(SlotNumber::E, std::move(result.error));
    if (scaled.empty() && !readOnly.samples(SlotNumber::X).empty())
        services_.messages.showMessage(SilentErrorText, "適応フィルタ");
    else
        traceSlots.fill(SlotNumber::X, std::move(scaled));
    invalidate();
}

void AdaptiveFilterDialog::drawHistoryRow(int row)
{
    constexpr int w = PictureSize, h = PictureSize;
    Painter painter(picture_);
    painter.fillRect(QRect(0, 0, w, h / 2), White);
    painter.line(0, h / 2, w, h / 2);
    painter.line(0, h / 4, w, h / 4);
    const std::size_t taps = historyTaps_;
    if (taps == 0 || history_.size() < (static_cast<std::size_t>(row) + 1) * taps) {
        invalidate();
        return;
    }
    painter.moveTo(0, h / 4);
    for (std::size_t i = 0; i < taps; ++i) {
        const double weight = history_[static_cast<std::size_t>(row) * taps + i];
        // A run whose weights all stayed 0 has no scale: its rows lie on the zero line.
        const double share = weightMaximum_ == 0.0 ? 0.0 : weight / weightMaximum_;
        painter.lineTo(static_cast<int>(i * w / taps), PixelCoordinate(h / 4 - 2 * share * h * 0.25));
    }
    setText(RowLabel, Sprintf("sc=%d   %d %d", row, static_cast<int>(row * taps),
                              static_cast<int>(row * taps + taps - 1)));
    invalidate();
}

const Picture* AdaptiveFilterDialog::picture(int index) const
{
    switch (index) {
    case HistoryPicture: return &picture_;
    case Diagram: return &diagram_;
    case WPlot: return &wPlot_;
    case YEPlot: return &yePlot_;
    default: return nullptr;
    }
}

} // namespace kelvora
