#pragma once
// "Noise作成": reshapes the working signal's spectrum so that its power falls as 1/f (white noise
// becomes pink noise). "開始" can be pressed again (twice gives 1/f^2); closing hands the
// working signal back as a new window.

#include "tools/dialog/dialog_model.h"
#include "tools/services.h"
#include "tools/shell/session.h"

namespace kelvora {

class NoiseCreationDialog : public DialogModel {
public:
    enum : int { StartButton = 1040 };

    NoiseCreationDialog(Session& session, Services& services);
    void command(int id) override;

private:
    Session& session_;
};

} // namespace kelvora
