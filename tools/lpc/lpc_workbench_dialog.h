#pragma once
// "y" (template LPC): linear prediction frame by frame over the working signal. The forward and
// backward errors of a lattice inverse filter go to Y and E, the LPC cepstral distance to W's
// frames (when W holds a sound) to YE, X becomes 30 × Y, and one chosen quantity per frame is
// kept in a 500-row table that the row bar walks through.

#include "canvas/picture.h"
#include "dsp/lpc_workbench.h"
#include "tools/dialog/dialog_model.h"
#include "tools/dialog/step_scroll_bar.h"
#include "tools/services.h"
#include "tools/shell/session.h"

namespace kelvora {

inline constexpr const char* TooShortFormat = "データ量が%d(ポイント)より少ないので動きません";

// What survives the closing of the dialog: the bar positions, the table and its row length.
struct LpcWorkbenchSettings {
    int order = 16;
    int row = 0;
    dsp::LpcResultTable table;
};

class LpcWorkbenchDialog : public DialogModel {
public:
    enum : int {
        RunButton = 1040, OrderBar = 1029, OrderLabel = 1031, Progress = 1042,
        Preemphasis = 1045, RowBar = 1033, RowLabel = 1034, PowerRatioButton = 1041,
        CoefficientsRadio = 1062, ReflectionRadio = 1063, AutocorrelationRadio = 1064,
        AreasRadio = 1065, SpectrumRadio = 1066, CepstrumRadio = 1067,
        FrameText = 1058, Frame1024 = 1068, Frame512 = 1069, Frame256 = 1070,
    };
    enum : int { WavePicture = 0, BlockDiagram = 1, SlotPlotPicture = 2 };
    static constexpr int PictureWidth = 400, PictureHeight = 200;

    LpcWorkbenchDialog(Session& session, Services& services);
    void init() override;
    void command(int id) override;
    void scroll(int id, ScrollRequest request, int thumb) override;
    const Picture* picture(int index) const override;

    dsp::LpcWorkbenchParams params() const;

private:
    void showFrameText();
    void run();
    void drawRow(int row);

    Session& session_;
    Services& services_;
    LpcWorkbenchSettings& settings_;
    ScrollBarTable bars_;
    Picture picture_;
    Picture blockDiagram_;
    Picture slotPlot_;
};

} // namespace kelvora
