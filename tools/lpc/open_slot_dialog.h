#pragma once
// "トレーススロットを開く": shows what the workbench tools left in W, Y, E and YE and opens the
// chosen slot as a new sound window, where it can be looked at, played and saved. The slot
// itself is not changed: the window gets a copy through slot X, scaled on request so that
// coefficients and dB curves, far below the 16-bit scale, can be seen, played and saved.

#include "tools/dialog/dialog_model.h"
#include "tools/services.h"
#include "tools/shell/session.h"

namespace kelvora {

class OpenSlotDialog : public DialogModel {
public:
    enum : int {
        WRadio = 1101, YRadio = 1102, ERadio = 1103, YERadio = 1104,
        SlotText = 1105, NormaliseBox = 1106,
    };

    OpenSlotDialog(Session& session, Services& services);
    void init() override;
    void command(int id) override;
    const Picture* picture(int index) const override { return index == 0 ? &plot_ : nullptr; }

    SlotNumber chosen() const { return chosen_; }

private:
    void choose(SlotNumber slot);

    Session& session_;
    Picture plot_;
    SlotNumber chosen_ = SlotNumber::W;
};

} // namespace kelvora
