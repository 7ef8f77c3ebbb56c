#pragma once
// "スペクトログラム": a colour spectrogram of an interval of the working signal chosen with a
// start bar and a width bar, with time and frequency axes; a third bar picks a point of the
// interval whose spectrum is drawn along the right edge. On closing, the picture becomes the
// picture of a new window.

#include "tools/dialog/dialog_model.h"
#include "tools/dialog/step_scroll_bar.h"
#include "tools/services.h"
#include "tools/shell/session.h"
#include "tools/spectral/funnel_strip.h"
#include "tools/spectral/spectrogram.h"

namespace kelvora {

// What survives the closing of the dialog (Session::toolState).
struct SpectrogramState {
    int slicePosition = 1500;
};

class SpectrogramDialog : public DialogModel {
public:
    enum : int {
        Frame1024 = 1062,
        Frame512 = 1063,
        Frame256 = 1064,
        StartBar = 1049,
        WidthBar = 1028,
        SliceBar = 1029,
        RangeLabel = 1048,
        Notice = 1058,
        Progress = 1042,
    };
    enum : int { StripPicture = 0, SpectrogramPicture = 1 };
    static constexpr int StripWidth = 800, StripHeight = 180;

    SpectrogramDialog(Session& session, Services& services);

    void init() override;
    void command(int id) override;
    void scroll(int id, ScrollRequest request, int thumb) override;
    const Picture* picture(int index) const override;

    const AnalysisRange& range() const { return range_; }
    std::size_t frameLength() const { return std::size_t{1} << log2Size_; }
    std::size_t sliceStart() const { return sliceStart_; }
    const DbRange& dbRange() const { return dbRange_; }
    const Picture& strip() const { return strip_; }
    const Picture& spectrogram() const { return spectrogram_; }
    int storedPosition(int barIndex) const { return bars_.positions[static_cast<std::size_t>(barIndex)]; }

private:
    std::span<const double> signal() const;
    std::uint32_t sampleRate() const;
    bool tooLittleData();
    void rangeMoved(bool widthBar);
    void redraw();
    void drawSlice();
    void stepProgress();
    void close();

    Session& session_;
    SpectrogramState& state_;
    ScrollBarTable bars_;
    FunnelStrip funnel_;
    Picture strip_;
    Picture spectrogram_;
    AnalysisRange range_;
    DbRange dbRange_;
    std::size_t sliceStart_ = 0;
    int log2Size_ = 10;
    // The axes of the first drawing are black; the blue pen of the slice stays for every later one.
    Pen axesPen_ = BlackPen;
};

} // namespace kelvora
