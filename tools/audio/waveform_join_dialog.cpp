#include "tools/audio/waveform_join_dialog.h"

#include <algorithm>

namespace kelvora {
namespace {

DialogTemplate JoinTemplate()
{
    using K = ControlKind;
    DialogTemplate t;
    t.caption = "信号波形の結合　（最初にWへ保存）";
    t.size = {820, 318};
    AddStripControls(t, "←編集結果", "←赤枠選択区間");
    const std::vector<ControlSpec> controls = {
        {-1, K::Label, "X", QRect(30, 42, 16, 18)},
        {WaveformJoinDialog::SaveButton, K::PushButton, "Ｗへ保存（最初は必須）", QRect(50, 272, 200, 28)},
        {WaveformJoinDialog::PasteButton, K::PushButton, "Ｘの後ろへＷを貼り付け（その後Ｗ，Ｙフリー）",
         QRect(256, 272, 340, 28)},
        {IdOk, K::DefaultButton, "結果作成し終了（最後）", QRect(632, 226, 170, 28)},
        {IdCancel, K::PushButton, "キャンセル", QRect(632, 272, 170, 28)},
    };
    t.controls.insert(t.controls.end(), controls.begin(), controls.end());
    return t;
}

} // namespace

bool AppendWBehindX(TraceSlots& traceSlots)
{
    if (traceSlots.empty(SlotNumber::W) || traceSlots.samples(SlotNumber::W).empty())
        return false;
    std::vector<double> joined = traceSlots.samples(SlotNumber::X);
    const std::vector<double>& w = traceSlots.samples(SlotNumber::W);
    joined.insert(joined.end(), w.begin(), w.end());
    traceSlots.fill(SlotNumber::X, std::move(joined));
    traceSlots.clear(SlotNumber::W);
    traceSlots.clear(SlotNumber::Y);
    return true;
}

FrameRange FrameAtEnd(std::size_t count)
{
    const auto width = static_cast<std::uint32_t>(std::min<std::size_t>(count, 10));
    return {static_cast<std::uint32_t>(count - width), width};
}

WaveformJoinDialog::WaveformJoinDialog(Session& session, Services& services)
    : StripDialog(JoinTemplate(), session, services)
{
}

void WaveformJoinDialog::init()
{
    // The second fifth of the sound; a sound too short for that still gets one sample framed.
    const std::size_t count = signal().size();
    const auto start = static_cast<std::uint32_t>(static_cast<double>(count) / 5.0);
    setBars(BarPosition(start, count), BarPosition(start, count));
    setFrame({start, count > 0 ? std::max<std::uint32_t>(start, 1) : 0});
}

void WaveformJoinDialog::command(int id)
{
    if (playCommand(id))
        return;
    TraceSlots& traceSlots = session_.traceSlots;
    switch (id) {
    case SaveButton: traceSlots.fill(SlotNumber::W, signal()); break;
    case PasteButton:
        if (AppendWBehindX(traceSlots)) {
            signalChanged();
            setFrame(FrameAtEnd(signal().size()));
        }
        break;
    case IdOk: finish(true); break;
    case IdCancel: finish(false); break;
    default: break;
    }
}

} // namespace kelvora
