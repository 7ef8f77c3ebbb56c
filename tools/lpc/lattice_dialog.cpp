#include "tools/lpc/lattice_dialog.h"

#include "canvas/painter.h"
#include "dsp/lpc.h"
#include "tools/audio/strip_dialog.h"
#include "tools/lpc/block_diagrams.h"
#include "tools/lpc/lpc_texts.h"
#include "tools/lpc/trace_slot_ops.h"
#include "util/sprintf.h"

#include <algorithm>
#include <utility>

namespace kelvora {
namespace {

using L = LatticeDialog;

enum BarIndex { AlphaIndex = 0, GammaIndex = 1, OrderIndex = 2, RowIndex = 3 };

constexpr int RightColumn = 500;
constexpr int PlotTop = 290, PlotWidth = 375, PlotHeight = 265;

DialogTemplate LatticeTemplate()
{
    using K = ControlKind;
    DialogTemplate t;
    t.caption = std::string(1, 'y'); // (a one-letter literal assignment trips a false -Wrestrict)
    t.size = {900, 620};
    t.pictures = {
        {L::ResultPicture, QRect(RightColumn, 50, 300, 200)},
        {L::BlockDiagram, QRect(20, 250, DiagramWidth, LatticeDiagramHeight)},
        {L::UpdateDiagram, QRect(20, 420, DiagramWidth, StageUpdateDiagramHeight)},
        {L::SlotPlotPicture, QRect(RightColumn, PlotTop, PlotWidth, PlotHeight)},
    };
    t.controls = {
        {L::AlphaBar, K::HScrollBar, "", QRect(20, 16, 200, 17)},
        {L::AlphaLabel, K::Label, "", QRect(230, 16, 250, 18)},
        {L::GammaBar, K::HScrollBar, "", QRect(20, 44, 200, 17)},
        {L::GammaLabel, K::Label, "", QRect(230, 44, 250, 18)},
        {L::OrderBar, K::HScrollBar, "", QRect(20, 72, 200, 17)},
        {L::OrderLabel, K::Label, "", QRect(230, 72, 250, 18)},
        {L::Preemphasis, K::CheckBox, PreemphasisCaption, QRect(20, 100, 300, 20)},
        {L::RunButton, K::PushButton, "実行", QRect(20, 130, 120, 28)},
        {L::Progress, K::ProgressBar, "", QRect(150, 138, 320, 12)},
        {L::RowBar, K::HScrollBar, "", QRect(20, 172, 200, 17)},
        {L::RowLabel, K::Label, "", QRect(230, 172, 250, 18)},
        {-1, K::Label, "YEは、Wの分散", QRect(20, 208, 200, 18)},
        {L::PowerRatioButton, K::PushButton, PowerRatioCaption, QRect(230, 202, 240, 28)},
        {-1, K::Label, "結果（上半分はスクロールバーで消去）", QRect(RightColumn, 28, 300, 18)},
        {-1, K::Label, "E（EにYの平均パワを出力した結果）", QRect(RightColumn, PlotTop - 22, PlotWidth, 18)},
        {IdCancel, K::PushButton, "閉じる", QRect(755, 574, 120, 28)},
    };
    return t;
}

struct BarSetting {
    int id;
    int minimum;
    int maximum;
};
constexpr BarSetting Bars[] = {
    {L::AlphaBar, 1, 1000}, {L::GammaBar, 0, 10}, {L::OrderBar, 1, 100}, {L::RowBar, 0, 99}};

} // namespace

LatticeDialog::LatticeDialog(Session& session, Services&)
    : DialogModel(LatticeTemplate()), session_(session), settings_(session.toolState<LatticeSettings>())
{
}

void LatticeDialog::init()
{
    ControlState& progress = control(Progress);
    progress.minimum = 0;
    progress.maximum = 1000;
    progress.position = 0;
    settings_.order = static_cast<int>(dsp::RequiredTractOrder(session_.SampleRate()));
    const int positions[] = {settings_.alpha, settings_.gamma, settings_.order, settings_.row};
    for (int i = 0; i < 4; ++i) {
        bars_.ids[i] = Bars[i].id;
        bars_.minima[i] = Bars[i].minimum;
        bars_.maxima[i] = Bars[i].maximum;
        bars_.positions[i] = std::clamp(positions[i], Bars[i].minimum, Bars[i].maximum);
        ControlState& bar = control(Bars[i].id);
        bar.minimum = Bars[i].minimum;
        bar.maximum = Bars[i].maximum;
        bar.position = bars_.positions[i];
    }
    showLabels();
    setText(AlphaLabel, Sprintf("a=%3.4f ", params().alpha));
    picture_ = Picture(PictureSize, PictureSize);
    blockDiagram_ = LatticeBlockDiagram("W", "M");
    updateDiagram_ = StageUpdateDiagram();
    slotPlot_ = Picture(ResultCanvasWidth, ResultCanvasHeight);
    invalidate();
}

dsp::LatticeParams LatticeDialog::params() const
{
    dsp::LatticeParams p;
    p.alpha = bars_.positions[AlphaIndex] / 1000.0;
    p.gamma = bars_.positions[GammaIndex] / 10.0;
    p.order = static_cast<std::size_t>(bars_.positions[OrderIndex]);
    p.preemphasis = isChecked(Preemphasis);
    return p;
}

void LatticeDialog::showLabels()
{
    const dsp::LatticeParams p = params();
    setText(AlphaLabel, Sprintf("a=%3.4f", p.alpha));
    setText(GammaLabel, Sprintf("y=%3.4f", p.gamma));
    setText(OrderLabel, Sprintf(TractOrderFormat, static_cast<int>(p.order)));
}

void LatticeDialog::scroll(int id, ScrollRequest request, int thumb)
{
    const int index = StepScrollBar(*this, request, thumb, id, bars_, session_.lastScrollBarIndex);
    settings_.alpha = bars_.positions[AlphaIndex];
    settings_.gamma = bars_.positions[GammaIndex];
    settings_.order = bars_.positions[OrderIndex];
    settings_.row = bars_.positions[RowIndex];
    showLabels();
    if (index == RowIndex) {
        Painter painter(picture_);
        painter.fillRect(QRect(0, 0, PictureSize, PictureSize / 2), White);
        painter.line(0, PictureSize / 2, PictureSize, PictureSize / 2);
    }
    invalidate();
}

void LatticeDialog::command(int id)
{
    switch (id) {
    case RunButton: run(); break;
    case PowerRatioButton:
        setText(PowerRatioButton, "処理中");
        if (YPowerRatio(session_.traceSlots))
            slotPlot_ = SlotPlot(std::as_const(session_.traceSlots).samples(SlotNumber::E), session_.soundFormat);
        setText(PowerRatioButton, PowerRatioCaption);
        invalidate();
        break;
    case IdOk:
    case IdCancel: endDialog(1); break;
    default: break;
    }
}

void LatticeDialog::run()
{
    setText(RunButton, "処理中");
    TraceSlots& traceSlots = session_.traceSlots;
    long long steps = 0;
    dsp::LatticeResult result =
        dsp::RunAdaptiveLattice(std::as_const(traceSlots).samples(SlotNumber::X), params(), [&steps] { ++steps; });
    StepProgressBar(control(Progress), steps);

    std::vector<double> x(result.backwardError.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = 32.0 * result.backwardError[i];
    traceSlots.fill(SlotNumber::W, std::move(result.reflection));
    traceSlots.fill(SlotNumber::Y, std::move(result.forwardError));
    traceSlots.fill(SlotNumber::E, std::move(result.backwardError));
    traceSlots.fill(SlotNumber::YE, std::move(result.coefficientPower));
    traceSlots.fill(SlotNumber::X, std::move(x));

    Painter painter(picture_);
    painter.line(0, PictureSize / 2, PictureSize, PictureSize / 2);
    painter.line(0, PictureSize * 3 / 4, PictureSize, PictureSize * 3 / 4);
    invalidate();
}

const Picture* LatticeDialog::picture(int index) const
{
    switch (index) {
    case ResultPicture: return &picture_;
    case BlockDiagram: return &blockDiagram_;
    case UpdateDiagram: return &updateDiagram_;
    case SlotPlotPicture: return &slotPlot_;
    default: return nullptr;
    }
}

} // namespace kelvora
