#include "tools/noise/noise_creation_dialog.h"

#include "tools/noise/noise_run.h"

namespace kelvora {
namespace {

DialogTemplate NoiseCreationTemplate()
{
    using K = ControlKind;
    DialogTemplate t;
    t.caption = "ﾀﾞｲｱﾛｸﾞ";
    t.size = {420, 180};
    t.controls = {
        {-1, K::Label, "音のスペクトルを1/f（パワー）の傾きに整形します。\n白色雑音から1/f雑音（ピンクノイズ）ができます。",
         QRect(16, 16, 390, 44)},
        {NoiseCreationDialog::StartButton, K::PushButton, "開始", QRect(16, 76, 120, 30)},
        {IdOk, K::DefaultButton, "OK", QRect(204, 136, 96, 28)},
        {IdCancel, K::PushButton, "ｷｬﾝｾﾙ", QRect(310, 136, 96, 28)},
    };
    return t;
}

} // namespace

NoiseCreationDialog::NoiseCreationDialog(Session& session, Services&)
    : DialogModel(NoiseCreationTemplate()), session_(session)
{
}

void NoiseCreationDialog::command(int id)
{
    switch (id) {
    case StartButton: ShapeWorkSignalPink(*this, session_, StartButton); break;
    case IdOk:
    case IdCancel: endDialog(1); break;
    default: break;
    }
}

} // namespace kelvora
