#pragma once
// "１／ｆ ゆらぎ": for the interval chosen with a start and a width bar, averages short-time power
// spectra, shows the average on log-log axes with its regression line against lines of slope
// -1, the slope of every frame across the interval, and a verdict scale (0 white noise, -1 a
// 1/f characteristic, -2 regular voicing). On closing, the picture becomes a new window.

#include "dsp/fluctuation.h"
#include "tools/dialog/dialog_model.h"
#include "tools/dialog/step_scroll_bar.h"
#include "tools/services.h"
#include "tools/shell/session.h"
#include "tools/spectral/analysis_range.h"
#include "tools/spectral/funnel_strip.h"

namespace kelvora {

// What the tool keeps between openings: the two bar positions.
struct FluctuationState {
    int startPosition = 25;
    int widthPosition = 1500;
};

class FluctuationDialog : public DialogModel {
public:
    enum : int {
        StartBar = 1049,
        WidthBar = 1028,
        IntervalLabel = 1048,
        Notice = 1058,
        SlopeLine = 1073,
        Progress = 1042,
    };
    enum : int { StripPicture = 0, MainPicture = 1, AxisPicture = 2, CardPicture = 3 };
    static constexpr int StripWidth = 800, StripHeight = 200;
    static constexpr double StripFullScale = 32767.0;

    FluctuationDialog(Session& session, Services& services);

    void init() override;
    void command(int id) override;
    void scroll(int id, ScrollRequest request, int thumb) override;
    const Picture* picture(int index) const override;

    const AnalysisRange& range() const { return range_; }
    const dsp::FluctuationResult& result() const { return result_; }
    const Picture& mainPicture() const { return picture_; }
    const Picture& strip() const { return strip_; }
    const FluctuationState& state() const { return state_; }

private:
    std::span<const double> signal() const;
    void analyse();
    void stepProgress();

    Session& session_;
    FluctuationState& state_;
    ScrollBarTable bars_;
    FunnelStrip funnel_;
    Picture strip_;
    Picture picture_;
    Picture axis_;
    Picture card_;
    AnalysisRange range_;
    dsp::FluctuationResult result_;
};

} // namespace kelvora
