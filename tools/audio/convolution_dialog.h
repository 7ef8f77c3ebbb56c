#pragma once
// "畳み込み … 及びエコーの測定": convolves (or deconvolves) the working signal with a sound stored
// in slot W, normalised to half the 16-bit range, and measures the echo time of the working
// signal from a line fitted to its energy envelope over the red frame.

#include "dsp/echo_time.h"
#include "tools/audio/strip_dialog.h"

namespace kelvora {

inline constexpr const char* ConvolutionCaption =
    "畳み込み　（最初にWへ保存。結果は32767の半分へ正規化）　及びエコーの測定";

// Where the echo measurement is drawn in the dialog: x 50 … 700, y 300 … 400.
inline constexpr int EchoLeft = 50, EchoTop = 300, EchoWidth = 651, EchoHeight = 101;

class ConvolutionDialog : public StripDialog {
public:
    enum : int {
        SaveButton = 1041,
        ConvolveRadio = 1062,
        DeconvolveRadio = 1063,
        RunButton = 1040,
        MeasureButton = 1113,
        ResultLabel = 1114,
    };

    ConvolutionDialog(Session& session, Services& services);
    void init() override;
    void command(int id) override;
    const Picture* picture(int index) const override;

    // The echo drawing (picture 1): envelope in black, fitted line in red.
    const Picture& echoPicture() const { return echo_; }
    // The last measurement, if any.
    const dsp::EchoTimeResult* lastMeasurement() const { return measured_ ? &measurement_ : nullptr; }

private:
    void run();
    void measure();

    Picture echo_;
    dsp::EchoTimeResult measurement_;
    bool measured_ = false;
};

// Draws an echo measurement of a sound of `count` samples into a picture of the echo band
// (EchoWidth x EchoHeight, origin at dialog (50, 300)): the envelope from the band's top-left
// corner through (n × 650 ÷ count, 100 − (e[n] − min) × 100 ÷ (max − min)), then the fitted
// line two pixels wide in red from the frame's start to its end. A flat envelope lies on the
// band's bottom.
void DrawEchoMeasurement(Picture& band, const dsp::EchoTimeResult& result, std::size_t count);

} // namespace kelvora
