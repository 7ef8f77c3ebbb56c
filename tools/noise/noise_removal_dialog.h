#pragma once
// "簡単な雑音除去": removes stationary noise from the working signal by spectral subtraction with
// the default history (numl 30, slen 3); the student sets only the over-subtraction factor
// alpha, in tenths, with an up-down control. "開始" processes the sound and closes; every way
// out hands the working signal back, processed or not, as a new window.

#include "tools/dialog/dialog_model.h"
#include "tools/services.h"
#include "tools/shell/session.h"

namespace kelvora {

// The dialog's settings, kept between openings.
struct NoiseRemovalState {
    int alphaTenths = 14; // alpha = 1.4
};

class NoiseRemovalDialog : public DialogModel {
public:
    enum : int { Progress = 1000, AlphaSpin = 1005, AlphaEdit = 1006, StartButton = 1040 };
    static constexpr int Numl = 30, Slen = 3;

    NoiseRemovalDialog(Session& session, Services& services);

    void init() override;
    void command(int id) override;

    double alpha() const { return state_.alphaTenths / 10.0; }

private:
    Session& session_;
    Services& services_;
    NoiseRemovalState& state_;
};

} // namespace kelvora
