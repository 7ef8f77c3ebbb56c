#include "tools/audio/waveform_editor.h"

#include "tools/audio/waveform_edit.h"
#include "util/sprintf.h"

#include <algorithm>

namespace kelvora {
namespace {

DialogTemplate EditorTemplate()
{
    using K = ControlKind;
    DialogTemplate t;
    t.caption = EditorCaption;
    t.size = {820, 318};
    AddStripControls(t, "←編集結果", "←赤枠選択区間");
    const std::vector<ControlSpec> controls = {
        {-1, K::Label, "赤枠の選択区間を", QRect(50, 278, 130, 18)},
        {WaveformEditor::KeepButton, K::PushButton, "残す", QRect(184, 272, 80, 28)},
        {WaveformEditor::DeleteButton, K::PushButton, "削除", QRect(270, 272, 80, 28)},
        {IdOk, K::DefaultButton, "編集結果作成", QRect(580, 272, 120, 28)},
        {IdCancel, K::PushButton, "キャンセル", QRect(708, 272, 94, 28)},
    };
    t.controls.insert(t.controls.end(), controls.begin(), controls.end());
    return t;
}

} // namespace

WaveformEditor::WaveformEditor(Session& session, Services& services)
    : StripDialog(EditorTemplate(), session, services)
{
}

void WaveformEditor::init()
{
    const std::size_t count = signal().size();
    FrameRange frame{static_cast<std::uint32_t>(static_cast<double>(count) / 20.0),
                     static_cast<std::uint32_t>(static_cast<double>(count) * 0.9)};
    setBars(BarPosition(frame.start, count), BarPosition(frame.width, count));
    // A sound of a sample or two would get an empty frame; one sample is the least there is to play.
    if (count > 0)
        frame.width = std::max<std::uint32_t>(frame.width, 1);
    setFrame(frame);
}

std::string WaveformEditor::intervalText() const
{
    const std::uint32_t rate = session_.SampleRate();
    return Sprintf("切出し開始%d(ms)から幅%d(ms)[ポイント数%ld]の区間", Milliseconds(frame_.start, rate),
                   Milliseconds(frame_.width, rate), static_cast<long>(frame_.width));
}

void WaveformEditor::command(int id)
{
    if (playCommand(id))
        return;
    switch (id) {
    case KeepButton:
        // The thumbs stay where they are; the next scroll reads them against the new length.
        frame_ = KeepInterval(signal(), frame_);
        signalChanged();
        setFrame(frame_);
        break;
    case DeleteButton:
        frame_ = DeleteInterval(signal(), frame_);
        signalChanged();
        setFrame(frame_);
        break;
    case IdOk:
        if (signal().empty() && !session_.traceSlots.empty(SlotNumber::X)) {
            // A window of no samples would show nothing and break the tools opened on it.
            services_.messages.showMessage(EmptyEditText, EditorCaption);
            finish(false);
        } else {
            finish(true);
        }
        break;
    case IdCancel:
        finish(false);
        break;
    default:
        break;
    }
}

} // namespace kelvora
