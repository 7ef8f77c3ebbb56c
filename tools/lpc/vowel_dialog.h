#pragma once
// "母音・声道断面積推定": one frame of the working signal, chosen with a scroll bar, shown at once
// as the whole waveform with the frame boxed, the frame's spectrum with its LPC envelope and
// arrows at F1 and F2, the measured vowel as a red dot on a chart of the five vowels, and the
// vocal-tract area profile. On closing the chart becomes the picture of a new window.

#include "dsp/lpc.h"
#include "tools/dialog/dialog_model.h"
#include "tools/dialog/step_scroll_bar.h"
#include "tools/lpc/vowel_analysis.h"
#include "tools/services.h"
#include "tools/shell/session.h"

namespace kelvora {

// What the vowel tool keeps between openings (Session::toolState).
struct VowelState {
    int startPosition = 25;   // start bar, 0 .. 5000
    int orderPosition = 0;    // order bar, set to the default order on every opening
    dsp::LpcFrameLength frame;
    VowelWork work;
};

class VowelDialog : public DialogModel {
public:
    enum : int {
        Status = 1058,
        StartBar = 1049,
        FormantLabel = 1048,
        Progress = 1042,
        OrderBar = 1028,
        Reminder = 1073,
        OrderLabel = 1030,
        Defaults = 1074,
    };
    enum : int { SpectraPicture = 0, ChartPicture = 1 };
    static constexpr int StartBarRange = 5000, OrderBarRange = 50;

    VowelDialog(Session& session, Services& services);

    void init() override;
    void command(int id) override;
    void scroll(int id, ScrollRequest request, int thumb) override;
    const Picture* picture(int index) const override;

    std::size_t order() const { return order_; }
    std::size_t start() const { return start_; }
    const VowelFrame& lastFrame() const { return frame_; }
    const Picture& spectra() const { return spectra_; }
    const Picture& chart() const { return chart_; }

private:
    std::span<const double> signal() const;
    std::uint32_t sampleRate() const;
    std::size_t startSample() const;
    bool tooLittleData() const;
    void analyse();
    void stepProgress(std::size_t times);
    void close();

    Session& session_;
    VowelState& state_;
    ScrollBarTable bars_;
    Picture waveform_; // the whole-signal half, the same for every frame
    Picture spectra_;
    Picture chart_;
    std::size_t order_ = 0;
    std::size_t start_ = 0;
    VowelFrame frame_;
};

} // namespace kelvora
