#pragma once
// "y" (template LATTICE): the adaptive lattice predictor run over the working signal. The final
// reflection coefficients go to W, the forward error to Y, the backward error to E and the sum
// of squared coefficients to YE; X becomes 32 × E.

#include "canvas/picture.h"
#include "dsp/adaptive_lattice.h"
#include "tools/dialog/dialog_model.h"
#include "tools/dialog/step_scroll_bar.h"
#include "tools/services.h"
#include "tools/shell/session.h"

namespace kelvora {

// Bar positions that survive the closing of the dialog (the order's is reset on every opening).
struct LatticeSettings {
    int alpha = 999; // α × 1000
    int gamma = 10;  // γ × 10
    int order = 10;
    int row = 0;
};

class LatticeDialog : public DialogModel {
public:
    enum : int {
        AlphaBar = 1049, AlphaLabel = 1048,
        GammaBar = 1028, GammaLabel = 1030,
        OrderBar = 1029, OrderLabel = 1031,
        RunButton = 1040, Progress = 1042, Preemphasis = 1045,
        RowBar = 1033, RowLabel = 1034,
        PowerRatioButton = 1041,
    };
    enum : int { ResultPicture = 0, BlockDiagram = 1, UpdateDiagram = 2, SlotPlotPicture = 3 };
    static constexpr int PictureSize = 200;

    LatticeDialog(Session& session, Services& services);
    void init() override;
    void command(int id) override;
    void scroll(int id, ScrollRequest request, int thumb) override;
    const Picture* picture(int index) const override;

    // The parameters as the bars and the check box hold them now.
    dsp::LatticeParams params() const;

private:
    void run();
    void showLabels();

    Session& session_;
    LatticeSettings& settings_;
    ScrollBarTable bars_;
    Picture picture_;
    Picture blockDiagram_;
    Picture updateDiagram_;
    Picture slotPlot_;
};

} // namespace kelvora
