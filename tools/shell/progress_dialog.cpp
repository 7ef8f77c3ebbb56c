#include "tools/shell/progress_dialog.h"

namespace kelvora {
namespace {

DialogTemplate ProgressTemplate()
{
    DialogTemplate t;
    t.caption = "しばらくお待ちください";
    t.size = {DuX(243), DuY(71)};
    t.controls = {
        {ProgressDialog::Bar, ControlKind::ProgressBar, "", Du(14, 8, 214, 12)},
        {ProgressDialog::Note, ControlKind::Label,
         "FULLになる必要はありません。\nしばらくお待ちください。", Du(14, 24, 214, 18)},
        {ProgressDialog::RunningText, ControlKind::Label, "Static", Du(14, 44, 214, 22)},
    };
    return t;
}

} // namespace

ProgressDialog::ProgressDialog() : DialogModel(ProgressTemplate()) {}

void ProgressDialog::init()
{
    ControlState& bar = control(Bar);
    bar.minimum = 0;
    bar.maximum = 100;
    bar.position = 0;
}

void ProgressDialog::command(int id)
{
    if (id == IdCancel)
        endDialog(IdCancel);
}

void ProgressDialog::step()
{
    ControlState& bar = control(Bar);
    bar.position += 10;
    if (bar.position > bar.maximum)
        bar.position = bar.minimum;
}

} // namespace kelvora
