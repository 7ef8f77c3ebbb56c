#pragma once
// "AIC": one frame of the working signal, chosen with a scroll bar, analysed by linear
// prediction at every order 0 .. 99; Akaike's information criterion or the final prediction
// error of each order is plotted against the order and the lowest marked as the optimal order.
// On closing the graph becomes the picture of a new window.

#include "dsp/prediction_order.h"
#include "tools/dialog/dialog_model.h"
#include "tools/dialog/step_scroll_bar.h"
#include "tools/services.h"
#include "tools/shell/session.h"
#include "tools/spectral/frequency_analysis.h"
#include "tools/spectral/funnel_strip.h"

#include <array>

namespace kelvora {

// What the tool keeps between openings (Session::toolState).
struct OptimalOrderState {
    int startPosition = 25; // start bar, 0 .. 5000
    NoticeBlink blink;
    dsp::OrderSearchWork work;
    std::array<double, dsp::OrderCount> criteria{};
};

class OptimalOrderDialog : public DialogModel {
public:
    enum : int {
        Aic = 1065,
        Fpe = 1068,
        Size1024 = 1062,
        Size512 = 1063,
        Size256 = 1064,
        PreemphasisBox = 1045,
        StartBar = 1049,
        PositionLabel = 1048,
        Notice = 1058,
        Reminder = 1073,
        Progress = 1042,
    };
    enum : int { BlinkTimer = 1, BlinkMilliseconds = 100 };
    enum : int { StripPicture = 0, GraphPicture = 1 };
    static constexpr int StripWidth = 800, StripHeight = 400;

    OptimalOrderDialog(Session& session, Services& services);

    void init() override;
    void command(int id) override;
    void scroll(int id, ScrollRequest request, int thumb) override;
    void timer(int id) override;
    const Picture* picture(int index) const override;

    std::size_t analysisSize() const { return std::size_t{1} << log2Size_; }
    std::size_t start() const { return start_; }
    const std::array<double, dsp::OrderCount>& criteria() const { return state_.criteria; }
    const dsp::OrderOptimum& optimum() const { return optimum_; }
    const Picture& strip() const { return strip_; }
    const Picture& graph() const { return graph_; }

private:
    std::span<const double> signal() const;
    std::uint32_t sampleRate() const;
    void readControls();
    void analyse();
    void drawStrip();
    void startBlinking(int state);
    void stepProgress();
    void close();

    Session& session_;
    OptimalOrderState& state_;
    ScrollBarTable bars_;
    FunnelStrip funnel_;
    Picture strip_;
    Picture graph_;
    int log2Size_ = 8;
    std::size_t lastN_ = 256;
    bool lastPreemphasis_ = true;
    bool lastAic_ = true;
    std::size_t start_ = 0;
    std::vector<double> stripFrame_;
    dsp::OrderOptimum optimum_;
};

} // namespace kelvora
