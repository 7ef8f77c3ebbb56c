#include "tools/lpc/lpc_workbench_dialog.h"

#include "canvas/painter.h"
#include "dsp/lpc.h"
#include "tools/audio/strip_dialog.h"
#include "tools/lpc/block_diagrams.h"
#include "tools/lpc/lpc_texts.h"
#include "tools/lpc/trace_slot_ops.h"
#include "util/sprintf.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kelvora {
namespace {

using D = LpcWorkbenchDialog;

enum BarIndex { OrderIndex = 0, RowIndex = 1 };

constexpr const char* Legend = "X：　対象とする信号\nW：　LPCケプストラム距離の相手\nY：　前方予測誤差\n"
                               "E：　後方予測誤差\nYE： LPCケプストラム距離";

constexpr int RightColumn = 500, PlotTop = 312, PlotWidth = 375, PlotHeight = 265;

DialogTemplate LpcTemplate()
{
    using K = ControlKind;
    DialogTemplate t;
    t.caption = std::string(1, 'y');
    t.size = {910, 640};
    t.pictures = {
        {D::WavePicture, QRect(RightColumn, 50, D::PictureWidth, D::PictureHeight)},
        {D::BlockDiagram, QRect(20, 460, DiagramWidth, LatticeDiagramHeight)},
        {D::SlotPlotPicture, QRect(RightColumn, PlotTop, PlotWidth, PlotHeight)},
    };
    t.controls = {
        {D::RunButton, K::PushButton, "実行", QRect(20, 12, 100, 28)},
        {D::Progress, K::ProgressBar, "", QRect(130, 20, 340, 12)},
        {D::OrderBar, K::HScrollBar, "", QRect(20, 52, 200, 17)},
        {D::OrderLabel, K::Label, "", QRect(230, 52, 260, 18)},
        {D::Preemphasis, K::CheckBox, PreemphasisCaption, QRect(20, 78, 300, 20)},
        {D::Frame1024, K::RadioButton, "1024", QRect(20, 106, 70, 20), 1},
        {D::Frame512, K::RadioButton, "512", QRect(95, 106, 70, 20), 1},
        {D::Frame256, K::RadioButton, "128", QRect(170, 106, 70, 20), 1},
        {D::FrameText, K::Label, "", QRect(250, 100, 230, 48)},
        {D::CoefficientsRadio, K::RadioButton, "係数a", QRect(20, 160, 150, 20), 2},
        {D::ReflectionRadio, K::RadioButton, "反射係数ｋ", QRect(20, 182, 150, 20), 2},
        {D::AutocorrelationRadio, K::RadioButton, "自己相関係数", QRect(20, 204, 150, 20), 2},
        {D::AreasRadio, K::RadioButton, "声道断面積", QRect(180, 160, 150, 20), 2},
        {D::SpectrumRadio, K::RadioButton, "LPCスペクトル", QRect(180, 182, 150, 20), 2},
        {D::CepstrumRadio, K::RadioButton, "LPCケプストラム", QRect(180, 204, 150, 20), 2},
        {D::RowBar, K::HScrollBar, "", QRect(20, 238, 460, 17)},
        // Seven values of up to a dozen characters each: the row text runs across the whole dialog.
        {D::RowLabel, K::Label, "", QRect(20, 262, 870, 18)},
        {-1, K::Label, "YEは、Wの分散", QRect(20, 298, 160, 18)},
        {D::PowerRatioButton, K::PushButton, PowerRatioCaption, QRect(190, 292, 240, 28)},
        {-1, K::Label, Legend, QRect(20, 336, 320, 84)},
        {-1, K::Label, "格子形逆フィルタ", QRect(20, 436, 300, 18)},
        {-1, K::Label, "波形", QRect(RightColumn, 28, 100, 18)},
        {-1, K::Label, "E（EにYの平均パワを出力した結果）", QRect(RightColumn, PlotTop - 22, 375, 18)},
        {IdCancel, K::PushButton, "閉じる", QRect(760, 596, 120, 28)},
    };
    return t;
}

struct FrameChoice {
    int radio;
    int log2Size;
};
constexpr FrameChoice Frames[] = {{D::Frame1024, 10}, {D::Frame512, 9}, {D::Frame256, 8}};

struct QuantityChoice {
    int radio;
    dsp::LpcQuantity quantity;
};
constexpr QuantityChoice Quantities[] = {
    {D::CoefficientsRadio, dsp::LpcQuantity::Coefficients}, {D::ReflectionRadio, dsp::LpcQuantity::Reflection},
    {D::AutocorrelationRadio, dsp::LpcQuantity::Autocorrelation}, {D::AreasRadio, dsp::LpcQuantity::Areas},
    {D::SpectrumRadio, dsp::LpcQuantity::Spectrum}, {D::CepstrumRadio, dsp::LpcQuantity::Cepstrum},
};

} // namespace

LpcWorkbenchDialog::LpcWorkbenchDialog(Session& session, Services& services)
    : DialogModel(LpcTemplate()), session_(session), services_(services),
      settings_(session.toolState<LpcWorkbenchSettings>())
{
}

void LpcWorkbenchDialog::init()
{
    ControlState& progress = control(Progress);
    progress.minimum = 0;
    progress.maximum = 1000;
    progress.position = 0;
    checkRadio(AreasRadio);
    const std::uint32_t rate = session_.SampleRate();
    settings_.order = static_cast<int>(std::clamp(dsp::RequiredTractOrder(rate), 1u, 100u));
    const int log2Size = std::clamp(dsp::LpcFrameSize(rate).log2Size, 8, 10);
    for (const FrameChoice& frame : Frames)
        if (frame.log2Size == log2Size)
            checkRadio(frame.radio);
    showFrameText();

    const int ids[] = {OrderBar, RowBar}, minima[] = {1, 0}, maxima[] = {100, 499};
    const int positions[] = {settings_.order, settings_.row};
    for (int i = 0; i < 2; ++i) {
        bars_.ids[i] = ids[i];
        bars_.minima[i] = minima[i];
        bars_.maxima[i] = maxima[i];
        bars_.positions[i] = positions[i];
        ControlState& bar = control(ids[i]);
        bar.minimum = minima[i];
        bar.maximum = maxima[i];
        bar.position = positions[i];
    }
    setText(OrderLabel, Sprintf(TractOrderFormat, settings_.order));
    picture_ = Picture(PictureWidth, PictureHeight);
    blockDiagram_ = LatticeBlockDiagram("k", "p");
    slotPlot_ = Picture(ResultCanvasWidth, ResultCanvasHeight);
    invalidate();
}

dsp::LpcWorkbenchParams LpcWorkbenchDialog::params() const
{
    dsp::LpcWorkbenchParams p;
    p.log2Size = 9;
    for (const FrameChoice& frame : Frames)
        if (isChecked(frame.radio))
            p.log2Size = frame.log2Size;
    p.order = static_cast<std::size_t>(settings_.order);
    p.preemphasis = isChecked(Preemphasis);
    for (const QuantityChoice& choice : Quantities)
        if (isChecked(choice.radio))
            p.quantity = choice.quantity;
    return p;
}

void LpcWorkbenchDialog::showFrameText()
{
    const std::size_t n = std::size_t{1} << params().log2Size;
    const double rate = std::max<std::uint32_t>(session_.SampleRate(), 1);
    setText(FrameText, Sprintf("フレームポイント数=%d\nフレーム長=%5.2f(ms)\n最適は30ms", static_cast<int>(n),
                               static_cast<double>(n) * 1000.0 / rate));
}

void LpcWorkbenchDialog::command(int id)
{
    switch (id) {
    case RunButton: run(); break;
    case Frame1024:
    case Frame512:
    case Frame256: showFrameText(); break;
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

void LpcWorkbenchDialog::scroll(int id, ScrollRequest request, int thumb)
{
    const int index = StepScrollBar(*this, request, thumb, id, bars_, session_.lastScrollBarIndex);
    if (index == OrderIndex) {
        settings_.order = bars_.positions[OrderIndex];
        setText(OrderLabel, Sprintf(TractOrderFormat, settings_.order));
    } else if (index == RowIndex) {
        settings_.row = bars_.positions[RowIndex];
        drawRow(settings_.row);
    }
}

void LpcWorkbenchDialog::run()
{
    setText(RunButton, "処理中");
    showFrameText();
    const dsp::LpcWorkbenchParams p = params();
    const std::size_t n = std::size_t{1} << p.log2Size;
    TraceSlots& traceSlots = session_.traceSlots;
    const TraceSlots& readOnly = traceSlots;
    const std::vector<double>& x = readOnly.samples(SlotNumber::X);
    if (x.size() < dsp::LpcWorkbenchMinimum(n)) {
        services_.messages.showMessage(Sprintf(TooShortFormat, static_cast<int>(dsp::LpcWorkbenchMinimum(n))), "LPC");
        setText(RunButton, "実行");
        return;
    }
    long long frames = 0;
    std::optional<dsp::LpcWorkbenchResult> result =
        dsp::RunLpcWorkbench(x, readOnly.samples(SlotNumber::W), p, settings_.table, [&frames] { ++frames; });
    if (!result)
        return;
    StepProgressBar(control(Progress), frames);
    setText(RowLabel, Sprintf("%d %f", static_cast<int>(result->lastStart), result->forwardError[result->lastStart]));

    std::vector<double> scaled(result->forwardError.size());
    for (std::size_t i = 0; i < scaled.size(); ++i)
        scaled[i] = 30.0 * result->forwardError[i];
    traceSlots.fill(SlotNumber::Y, std::move(result->forwardError));
    traceSlots.fill(SlotNumber::E, std::move(result->backwardError));
    traceSlots.fill(SlotNumber::YE, std::move(result->cepstralDistance));
    traceSlots.fill(SlotNumber::X, std::move(scaled));

    Painter painter(picture_);
    painter.line(0, PictureHeight / 4, PictureWidth, PictureHeight / 4);
    painter.line(0, PictureHeight / 8, PictureWidth, PictureHeight / 8);
    invalidate();
}

void LpcWorkbenchDialog::drawRow(int row)
{
    constexpr int w = PictureWidth, h = PictureHeight;
    Painter painter(picture_);
    painter.fillRect(QRect(0, h / 4, w, h - h / 4), White);
    painter.line(0, 5 * h / 8, w, 5 * h / 8);
    const std::span<const double> values = settings_.table.row(static_cast<std::size_t>(row));
    double scale = 0.0;
    for (double v : values)
        scale = std::max(scale, std::fabs(v));
    double shown[8] = {};
    for (std::size_t i = 1; i < 8; ++i)
        shown[i] = settings_.table.fullRow(static_cast<std::size_t>(row))[i];
    setText(RowLabel, Sprintf("%d 1=%5.3f 2=%5.3f 3=%5.3f 4=%5.3f 5=%5.3f 6=%5.3f 7=%5.3f", row, shown[1], shown[2],
                              shown[3], shown[4], shown[5], shown[6], shown[7]));
    painter.moveTo(0, 5 * h / 8);
    const std::size_t length = values.size();
    for (std::size_t i = 0; i < length; ++i) {
        // A row nothing was written to has no scale: it lies on the zero line.
        const double share = scale == 0.0 ? 0.0 : values[i] / scale;
        painter.lineTo(static_cast<int>(i * w / length), PixelCoordinate(5.0 * h / 8 - share * h * 3 * 0.125));
    }
    invalidate();
}

const Picture* LpcWorkbenchDialog::picture(int index) const
{
    switch (index) {
    case WavePicture: return &picture_;
    case BlockDiagram: return &blockDiagram_;
    case SlotPlotPicture: return &slotPlot_;
    default: return nullptr;
    }
}

} // namespace kelvora
