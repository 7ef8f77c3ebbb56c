#pragma once
// "適応フィルタ" (template ADF): a normalised LMS filter with a leak run over the working signal,
// as an adaptive line enhancer or as an adaptive filter driven by the reference in YE. Y gets
// the output, E the error, W the final weights, and X the error at half of full scale; a
// history of the weights at 100 moments of the run can be browsed with a scroll bar.

#include "canvas/picture.h"
#include "dsp/adaptive_filter.h"
#include "tools/dialog/dialog_model.h"
#include "tools/dialog/step_scroll_bar.h"
#include "tools/services.h"
#include "tools/shell/session.h"

#include <vector>

namespace kelvora {

inline constexpr const char* MoveWToYECaption = "２番目Wを５番目YEへ移動しますか？";
inline constexpr const char* SilentErrorText = "誤差がすべて0なので、Xは変更しません。";

// What survives the closing of the dialog: the bar positions and the smoothed powers.
struct AdaptiveFilterSettings {
    int delay = 1;
    int taps = 200;
    int referenceDelay = 0;
    int row = 0;
    int mu = 10;    // μ × 100
    int leak = 100; // β × 100
    dsp::SmoothedPowers powers;
};

class AdaptiveFilterDialog : public DialogModel {
public:
    enum : int {
        DelayBar = 1049, DelayLabel = 1048,
        TapsBar = 1028, TapsLabel = 1030,
        ReferenceDelayBar = 1029, ReferenceDelayLabel = 1031,
        RowBar = 1033, RowLabel = 1034,
        MuBar = 1053, MuLabel = 1054,
        LeakBar = 1055, LeakLabel = 1056,
        EnhancerRadio = 1026, FilterRadio = 1027,
        StartButton = 1040, MoveButton = 1041, Progress = 1037,
    };
    enum : int { HistoryPicture = 0, Diagram = 1, WPlot = 2, YEPlot = 3 };
    static constexpr int PictureSize = 200;

    AdaptiveFilterDialog(Session& session, Services& services);
    void init() override;
    void command(int id) override;
    void scroll(int id, ScrollRequest request, int thumb) override;
    const Picture* picture(int index) const override;

    dsp::AdaptiveFilterParams params() const;
    const std::vector<double>& history() const { return history_; }

private:
    void applyMode();
    void run();
    void drawHistoryRow(int row);

    Session& session_;
    Services& services_;
    AdaptiveFilterSettings& settings_;
    ScrollBarTable bars_;
    std::vector<double> history_;
    double weightMaximum_ = 0.0;
    std::size_t historyTaps_ = 0;
    Picture picture_;
    Picture diagram_;
    Picture wPlot_;
    Picture yePlot_;
};

} // namespace kelvora
