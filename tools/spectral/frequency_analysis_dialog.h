#pragma once
// "周波数分析": cuts a frame of N samples out of the working signal at a start chosen with a
// scroll bar, optionally Hann-weights it, and shows its dB, power or amplitude spectrum, its
// autocorrelation or its cepstrum with liftering and envelope. A second bar moves a reading
// cursor (and sets the lifter length). The numbers can be exported; on closing, the graph
// becomes the picture of a new window.

#include "tools/dialog/dialog_model.h"
#include "tools/dialog/step_scroll_bar.h"
#include "tools/services.h"
#include "tools/shell/session.h"
#include "tools/spectral/frequency_analysis.h"
#include "tools/spectral/funnel_strip.h"

#include <string>

namespace kelvora {

class FrequencyAnalysisDialog : public DialogModel {
public:
    enum : int {
        Size65536 = 1116,
        Size16384 = 1115,
        Size4096 = 1070,
        Size1024 = 1062,
        Size512 = 1063,
        Size256 = 1064,
        ShowDb = 1065,
        ShowAutocorrelation = 1066,
        ShowCepstrum = 1067,
        ShowPower = 1068,
        ShowAmplitude = 1069,
        HannBox = 1045,
        StartBar = 1049,
        CursorBar = 1028,
        PositionLabel = 1048,
        Notice = 1058,
        Reminder = 1073,
        Progress = 1042,
        ExportButton = 1040,
    };
    enum : int { BlinkTimer = 1, BlinkMilliseconds = 100 };
    enum : int { StripPicture = 0, GraphPicture = 1 };
    static constexpr int StripWidth = 800, StripHeight = 400;

    // Works on the session's slot X at the session's rate; keeps its lasting state in
    // session.toolState<FrequencyAnalysisState>().
    FrequencyAnalysisDialog(Session& session, Services& services);

    void init() override;
    void command(int id) override;
    void scroll(int id, ScrollRequest request, int thumb) override;
    void timer(int id) override;
    const Picture* picture(int index) const override;

    std::size_t analysisSize() const { return n_; }
    int log2Size() const { return log2Size_; }
    // First sample of the current frame.
    std::size_t start() const { return start_; }
    const Picture& strip() const { return strip_; }
    const Picture& graph() const { return graph_; }
    FrequencyAnalysisState& state() { return state_; }

private:
    std::span<const double> signal() const;
    std::uint32_t sampleRate() const;
    GraphLayout layout() const;
    void readRadios();
    dsp::AnalysisMode checkedDisplayMode() const;
    void analyse();
    void redrawWithCursor();
    void exportNumbers();
    void close();
    void startBlinking(int state);
    void stepProgress();

    Session& session_;
    Services& services_;
    FrequencyAnalysisState& state_;
    ScrollBarTable bars_;
    FunnelStrip funnel_;
    Picture strip_;
    Picture graph_;
    std::size_t n_ = 1024;
    int log2Size_ = 10;
    std::size_t lastN_ = 1024;
    dsp::AnalysisMode lastMode_ = dsp::AnalysisMode::Db;
    std::size_t start_ = 0;
};

} // namespace kelvora
