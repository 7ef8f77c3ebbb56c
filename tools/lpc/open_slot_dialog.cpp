#include "tools/lpc/open_slot_dialog.h"

#include "dsp/adaptive_filter.h"
#include "tools/lpc/trace_slot_ops.h"
#include "util/sprintf.h"

#include <utility>

namespace kelvora {
namespace {

using D = OpenSlotDialog;

struct SlotChoice {
    int radio;
    SlotNumber slot;
    const char* name;
};
constexpr SlotChoice Choices[] = {
    {D::WRadio, SlotNumber::W, "W"},
    {D::YRadio, SlotNumber::Y, "Y"},
    {D::ERadio, SlotNumber::E, "E"},
    {D::YERadio, SlotNumber::YE, "YE"},
};

// The plot is the 750 x 530 waveform picture at half size.
constexpr int PlotLeft = 20, PlotTop = 96, PlotWidth = 375, PlotHeight = 265;

DialogTemplate OpenSlotTemplate()
{
    using K = ControlKind;
    DialogTemplate t;
    t.caption = "トレーススロットを開く";
    t.size = {PlotLeft + PlotWidth + 200, PlotTop + PlotHeight + 20};
    t.pictures.push_back({0, QRect(PlotLeft, PlotTop, PlotWidth, PlotHeight)});
    t.controls = {
        {-1, K::Label, "新しい音データのウィンドウとして開くスロットを選んで下さい。", QRect(20, 12, 560, 18)},
        {D::WRadio, K::RadioButton, "W", QRect(20, 40, 80, 20), 1},
        {D::YRadio, K::RadioButton, "Y", QRect(110, 40, 80, 20), 1},
        {D::ERadio, K::RadioButton, "E", QRect(200, 40, 80, 20), 1},
        {D::YERadio, K::RadioButton, "YE", QRect(290, 40, 80, 20), 1},
        {D::SlotText, K::Label, "", QRect(20, 66, 240, 18)},
        {D::NormaliseBox, K::CheckBox, "最大値を16383に正規化して開く", QRect(270, 64, 300, 20)},
        {IdOk, K::DefaultButton, "開く", QRect(PlotLeft + PlotWidth + 30, PlotTop, 140, 28)},
        {IdCancel, K::PushButton, "キャンセル", QRect(PlotLeft + PlotWidth + 30, PlotTop + 40, 140, 28)},
    };
    return t;
}

// The samples scaled so that the largest magnitude is half of full scale; silence stays as it is.
std::vector<double> HalfScaleCopy(const std::vector<double>& samples)
{
    std::vector<double> scaled = dsp::ScaledToHalfFullScale(samples);
    return scaled.empty() ? samples : scaled;
}

} // namespace

OpenSlotDialog::OpenSlotDialog(Session& session, Services&)
    : DialogModel(OpenSlotTemplate()), session_(session)
{
}

void OpenSlotDialog::init()
{
    choose(SlotNumber::W);
}

void OpenSlotDialog::choose(SlotNumber slot)
{
    chosen_ = slot;
    const TraceSlots& traceSlots = session_.traceSlots;
    for (const SlotChoice& choice : Choices) {
        if (choice.slot != slot)
            continue;
        checkRadio(choice.radio);
        const bool holds = HoldsSamples(traceSlots, slot);
        setText(SlotText, holds ? Sprintf("%s：　%d点", choice.name, static_cast<int>(traceSlots.samples(slot).size()))
                                : Sprintf("%s：　空です（開けません）", choice.name));
        setEnabled(IdOk, holds);
        plot_ = SlotPlot(traceSlots.samples(slot), session_.soundFormat);
    }
    invalidate();
}

void OpenSlotDialog::command(int id)
{
    for (const SlotChoice& choice : Choices)
        if (id == choice.radio)
            choose(choice.slot);
    switch (id) {
    case IdOk:
        if (!HoldsSamples(session_.traceSlots, chosen_))
            return;
        session_.traceSlots.fill(SlotNumber::X, isChecked(NormaliseBox)
                                                    ? HalfScaleCopy(std::as_const(session_.traceSlots).samples(chosen_))
                                                    : std::as_const(session_.traceSlots).samples(chosen_));
        endDialog(1);
        break;
    case IdCancel:
        session_.traceSlots.clear(SlotNumber::X);
        endDialog(1);
        break;
    default: break;
    }
}

} // namespace kelvora
