#include "tools/files_ui/load_options_dialog.h"

#include "files/text_samples.h"
#include "util/sprintf.h"

#include <algorithm>

namespace kelvora {
namespace {

DialogTemplate LoadOptionsTemplate()
{
    DialogTemplate t;
    t.caption = "読み込み";
    // Wider than its nominal 239 units so the buttons' longest line (28 full-width characters)
    // and the question fit without being cut.
    t.size = {DuX(290), DuY(179)};
    t.controls = {
        {LoadOptionsDialog::Notice, ControlKind::Label, "", Du(12, 8, 266, 12)},
        {LoadOptionsDialog::Question, ControlKind::Label, "", Du(12, 26, 266, 40)},
        {LoadOptionsDialog::Keep, ControlKind::DefaultButton,
         "通常こちら\n正規化しない（そのまま）のため32767以上の値がないこと", Du(12, 74, 266, 40)},
        {LoadOptionsDialog::Normalise, ControlKind::PushButton,
         "最大値を32767とする。（正規化する。）", Du(12, 124, 266, 40)},
    };
    return t;
}

} // namespace

LoadOptionsDialog::LoadOptionsDialog(Session& session)
    : DialogModel(LoadOptionsTemplate()), session_(session)
{
}

void LoadOptionsDialog::init()
{
    session_.soundFormat.samplesPerSecond = 8000;
    session_.soundFormat.channels = 1;
    setText(Notice, "サンプリング周波数を8KHz、モノラルにします。");
    const auto& samples = session_.traceSlots.samples(SlotNumber::X);
    const files::SampleExtremes extremes = files::FindSampleExtremes(samples);
    setText(Question, Sprintf("最大値が%5.0f  最小値が%5.0f　です。本ソフトは±32767整数を対象とします。\n"
                              "　32767で正規化しますか？",
                              extremes.maximum, extremes.minimum));
    // Scaling an all-zero (or empty) sound has nothing to scale by.
    setEnabled(Normalise, std::any_of(samples.begin(), samples.end(), [](double x) { return x != 0.0; }));
}

void LoadOptionsDialog::command(int id)
{
    if (id == Keep || id == IdCancel) {
        endDialog(id);
    } else if (id == Normalise) {
        if (!session_.traceSlots.empty(SlotNumber::X))
            files::NormaliseToFullScale(session_.traceSlots.samplesToChange(SlotNumber::X));
        endDialog(id);
    }
}

} // namespace kelvora
