#pragma once
// "KPC-PAC": how the vocal-tract filter moves through a stretch of speech. Two bars choose an
// interval of the working signal and a third the prediction order; the interval's 1000 frames
// are analysed by linear prediction and their spectra drawn as a waterfall. "全計算(保存)" adds
// the principal components of the coefficients, a scatter plot of the first two scores and a
// text export. The interval can be played, the current frame marked on the scatter plot as it
// goes; on closing, the drawing becomes the picture of a new window.

#include "dsp/lpc_components.h"
#include "tools/audio/playback.h"
#include "tools/audio/waveform_strip.h"
#include "tools/dialog/dialog_model.h"
#include "tools/dialog/step_scroll_bar.h"
#include "tools/lpc/lpc_components_range.h"
#include "tools/services.h"
#include "tools/shell/session.h"

#include <optional>
#include <string>
#include <utility>

namespace kelvora {

inline constexpr const char* ComponentsCaption = "KPC-PAC";
inline constexpr int FrameBarRange = 32760;
inline constexpr int DefaultComponentsOrder = 30;

// What the tool keeps between openings: only the frame bar's position.
struct LpcComponentsState {
    int frameBarPosition = 0;
};

// Frame of the frame bar's position (0 … 32760): trunc(P × 1000 / 32760), at most 999.
std::size_t FrameOfBar(int position);
// Frame of a play position of `width` samples: trunc(P × 1000 / width), at most 999.
std::size_t FrameOfPlayPosition(std::uint32_t position, std::size_t width);

class LpcComponentsDialog : public DialogModel {
public:
    enum : int {
        Status = 1058,
        StartBar = 1049,
        IntervalLabel = 1048,
        WidthBar = 1028,
        Progress = 1042,
        OrderBar = 1029,
        OrderLabel = 1031,
        FrameBar = 1033,
        FrameLabel = 1034,
        Frame1024 = 1062,
        Frame512 = 1063,
        Frame256 = 1064,
        ComputeButton = 1040,
        PlayButton = 1041,
        StopButton = 1101,
    };
    enum : int { StripPicture = 0, RangePicture = 1 };
    // Where the drawing (800 x 552) is shown, shrunk.
    static constexpr int ShownTop = 190, ShownHeight = 300;

    LpcComponentsDialog(Session& session, Services& services);

    void init() override;
    void command(int id) override;
    void scroll(int id, ScrollRequest request, int thumb) override;
    void timer(int id) override;
    const Picture* picture(int index) const override;

    ComponentsRange range() const { return range_; }
    std::size_t frameSize() const { return std::size_t{1} << log2Size_; }
    const dsp::LevelRange& levelRange() const { return levels_; }
    const dsp::FrameMatrix& matrix() const { return work_.matrix; }
    // The last "全計算(保存)", if any.
    const dsp::PrincipalComponents* components() const { return components_ ? &*components_ : nullptr; }
    // The 800 x 552 drawing, and the strip above it.
    const Picture& drawing() const { return drawing_; }
    const WaveformStrip& strip() const { return strip_; }

private:
    std::span<const double> signal() const;
    std::uint32_t sampleRate() const;
    void readFrameRadios();
    bool refuseShortSignal();
    void moveInterval(int barIndex);
    // A longer frame chosen since the interval was set may leave fewer than N samples after
    // the interval's end: the interval then moves back inside the signal as the start bar
    // would move it, so that the analysis never reads past the signal.
    void keepIntervalInsideSignal();
    void redrawRange();
    void computeAll();
    void exportComponents();
    void showFrame(int position);
    void followPlayback();
    // Redraws the scatter plot, with the red mark at the scores (s1, s2) when given.
    void redrawScatter(std::optional<std::pair<double, double>> mark);
    void drawingChanged();
    void close();

    Session& session_;
    Services& services_;
    LpcComponentsState& state_;
    ScrollBarTable bars_;
    WaveformStrip strip_;
    DialogPlayer player_;
    int log2Size_ = 10;
    ComponentsRange range_;
    bool analysed_ = false;
    dsp::LevelRange levels_;
    RangeWork work_;
    std::optional<dsp::PrincipalComponents> components_;
    Picture drawing_;
    Picture rangeDrawing_; // the drawing as the last range analysis left it, without scatter
    Picture shownDrawing_;
};

} // namespace kelvora
