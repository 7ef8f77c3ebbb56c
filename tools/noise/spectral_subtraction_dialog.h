#pragma once
// The spectral-subtraction workbench: the noise removal with all three parameters on up-down
// controls, the fixed-noise rule ("既存の方法") and its per-bin alpha as check boxes, and the
// block diagram of the tracking method. The result stays in the dialog, so "開始" can be pressed
// again on the processed sound; closing hands the working signal back as a new window.

#include "canvas/picture.h"
#include "dsp/spectral_subtraction.h"
#include "tools/dialog/dialog_model.h"
#include "tools/services.h"
#include "tools/shell/session.h"

namespace kelvora {

// The workbench's own settings, kept between openings.
struct SpectralSubtractionState {
    int numl = 30;
    int slen = 3;
    int alphaTenths = 10;
    // What the parameter text shows: the spin's alpha, or the last per-bin alpha of a run with
    // 1059 checked.
    double shownAlpha = 1.0;
};

class SpectralSubtractionDialog : public DialogModel {
public:
    enum : int {
        Progress = 1000,
        NumlSpin = 1001, NumlEdit = 1002,
        SlenSpin = 1003, SlenEdit = 1004,
        AlphaSpin = 1005, AlphaEdit = 1006,
        StartButton = 1040,
        FixedNoiseBox = 1045,
        AutoAlphaBox = 1059,
        ParameterText = 1058,
    };
    enum : int { DiagramPicture = 0 };

    SpectralSubtractionDialog(Session& session, Services& services);

    void init() override;
    void command(int id) override;
    const Picture* picture(int index) const override;

    // The parameters a press of "開始" runs with.
    dsp::SubtractionParams params() const;

private:
    void showParameters();

    Session& session_;
    Services& services_;
    SpectralSubtractionState& state_;
    Picture diagram_;
};

} // namespace kelvora
