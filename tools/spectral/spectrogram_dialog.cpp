#include "tools/spectral/spectrogram_dialog.h"

#include "util/sprintf.h"

#include <algorithm>
#include <cmath>

namespace kelvora {
namespace {

using S = SpectrogramDialog;

constexpr const char* TooLittleDataFormat = "データ量が%d(ポイント)より少ないので動きません";
constexpr Pen BluePen{Blue};
constexpr int FrameGroup = 1;

DialogTemplate SpectrogramTemplate()
{
    using K = ControlKind;
    DialogTemplate t;
    t.caption = "スペクトログラム";
    t.size = {1060, 620};
    t.controls = {
        {S::Notice, K::Label, "選択したデータを対象とします。", QRect(50, 0, 650, 20)},
        {S::RangeLabel, K::Label, "Static", QRect(50, 146, 750, 20)},
        {-1, K::GroupBox, "フレーム長", QRect(815, 14, 235, 100)},
        {S::Frame1024, K::RadioButton, "1024", QRect(830, 36, 150, 20), FrameGroup},
        {S::Frame512, K::RadioButton, "512", QRect(830, 60, 150, 20), FrameGroup},
        {S::Frame256, K::RadioButton, "256", QRect(830, 84, 150, 20), FrameGroup},
        {-1, K::Label, " 必ず「分析範囲の移動」を実行", QRect(815, 118, 235, 20)},
        {S::Progress, K::ProgressBar, "", QRect(815, 190, 235, 14)},
        {-1, K::Label, "動いている間は処理中です。\nFULLになる必要はありません。", QRect(815, 208, 235, 40)},
        {-1, K::Label, "ここを動かすと実行します。", QRect(480, 492, 200, 18)},
        {-1, K::Label, "↓", QRect(684, 492, 16, 18)},
        {S::StartBar, K::HScrollBar, "", QRect(50, 512, 650, 18)},
        {-1, K::Label, "←分析範囲の移動", QRect(706, 512, 200, 18)},
        {-1, K::Label, "狭い", QRect(10, 540, 38, 18)},
        {S::WidthBar, K::HScrollBar, "", QRect(50, 540, 650, 18)},
        {-1, K::Label, "広い", QRect(706, 540, 40, 18)},
        {-1, K::Label, "←分析範囲の広さ", QRect(750, 540, 200, 18)},
        {S::SliceBar, K::HScrollBar, "", QRect(50, 570, 650, 18)},
        {-1, K::Label, "↑このバーの設定された場所のスペクトルを抜出して、右端に表示します。",
         QRect(50, 592, 760, 20)},
    };
    t.pictures = {{S::StripPicture, QRect(50, 20, 650, 120)},
                  {S::SpectrogramPicture, QRect(0, 190, 800, 300)}};
    return t;
}

} // namespace

SpectrogramDialog::SpectrogramDialog(Session& session, Services&)
    : DialogModel(SpectrogramTemplate()), session_(session),
      state_(session.toolState<SpectrogramState>()), funnel_(StripWidth, StripHeight)
{
    bars_.ids = {StartBar, WidthBar, SliceBar, 1033};
    bars_.maxima = {AnalysisBarRange, AnalysisBarRange, AnalysisBarRange, AnalysisBarRange};
}

std::span<const double> SpectrogramDialog::signal() const
{
    return session_.traceSlots.samples(SlotNumber::X);
}

std::uint32_t SpectrogramDialog::sampleRate() const
{
    return std::max<std::uint32_t>(session_.SampleRate(), 1);
}

void SpectrogramDialog::init()
{
    ControlState& progress = control(Progress);
    progress.minimum = 0;
    progress.maximum = 1000;
    progress.position = 0;
    checkRadio(Frame1024);
    log2Size_ = 10;
    axesPen_ = BlackPen;
    const std::size_t count = signal().size();
    if (count < frameLength())
        setText(Notice, Sprintf(TooLittleDataFormat, 1024));

    range_ = {static_cast<std::size_t>(static_cast<double>(count) / 5.0), count / 5};
    bars_.positions = {PositionOfSamples(range_.start, count), PositionOfSamples(range_.width, count),
                       state_.slicePosition, 0};
    for (int i = 0; i < 3; ++i) {
        ControlState& bar = control(bars_.ids[static_cast<std::size_t>(i)]);
        bar.minimum = 0;
        bar.maximum = AnalysisBarRange;
        bar.position = bars_.positions[static_cast<std::size_t>(i)];
    }
    spectrogram_ = Picture(SpectrogramWidth, SpectrogramHeight);

    dbRange_ = ScanDbRange(signal(), log2Size_);
    funnel_.setSignal(signal(), StripScale(signal()), 500, [this] { stepProgress(); });
    redraw();
    axesPen_ = BluePen;
    invalidate();
}

void SpectrogramDialog::command(int id)
{
    switch (id) {
    // A new frame length takes effect when a bar moves next.
    case Frame1024: log2Size_ = 10; break;
    case Frame512: log2Size_ = 9; break;
    case Frame256: log2Size_ = 8; break;
    case IdOk:
    case IdCancel: close(); break;
    default: break;
    }
}

bool SpectrogramDialog::tooLittleData()
{
    if (signal().size() >= frameLength())
        return false;
    setText(Notice, Sprintf(TooLittleDataFormat, static_cast<int>(frameLength())));
    return true;
}

void SpectrogramDialog::scroll(int id, ScrollRequest request, int thumb)
{
    const int index = StepScrollBar(*this, request, thumb, id, bars_, session_.lastScrollBarIndex);
    if (index == 0 || index == 1) {
        if (!tooLittleData())
            rangeMoved(index == 1);
    } else if (index == 2) {
        state_.slicePosition = bars_.positions[2];
        drawSlice();
    }
    invalidate();
}

void SpectrogramDialog::rangeMoved(bool widthBar)
{
    const std::size_t count = signal().size();
    const std::size_t n = frameLength();
    setText(Notice, "選択したデータを対象とする。");
    range_ = {SamplesOfPosition(bars_.positions[0], count), SamplesOfPosition(bars_.positions[1], count)};
    if (widthBar) {
        range_ = RepairSpectrogramWidth(range_, count, n);
        bars_.positions[1] = PositionOfSamples(range_.width, count);
        bars_.positions[0] = PositionOfSamples(range_.start, count);
        control(StartBar).position = bars_.positions[0];
    } else {
        range_ = RepairSpectrogramStart(range_, count, n);
        bars_.positions[0] = PositionOfSamples(range_.start, count);
    }

    const std::span<const double> x = signal();
    double power = 0.0;
    // The sum runs over width + 1 samples, held inside the sound.
    const std::size_t last = std::min(range_.start + range_.width, count - 1);
    for (std::size_t j = range_.start; j <= last; ++j)
        power += x[j] * x[j] / 32767.0 / 32767.0;
    const double rate = sampleRate();
    setText(RangeLabel, Sprintf("切出し開始%d(ms)から幅%d(ms)の区間 区間の全パワー＝%3.3f dB",
                                static_cast<int>(static_cast<double>(range_.start) * 1000 / rate),
                                static_cast<int>(static_cast<double>(range_.width) * 1000 / rate),
                                10.0 * std::log10(power)));
    redraw();
}

void SpectrogramDialog::redraw()
{
    const std::span<const double> x = signal();
    const std::size_t width = std::min(range_.width, x.size() - std::min(range_.start, x.size()));
    funnel_.drawInterval(strip_, range_.start, x.subspan(std::min(range_.start, x.size()), width));
    // Nothing is drawn for an interval that leaves no room for the last frame; the message says why.
    if (!SpectrogramFits(range_, x.size(), frameLength())) {
        setText(Notice, Sprintf(TooLittleDataFormat, static_cast<int>(frameLength())));
        return;
    }
    DrawSpectrogramImage(spectrogram_, x, range_, log2Size_, dbRange_.max, 2, [this] { stepProgress(); });
    DrawSpectrogramAxes(spectrogram_, range_, sampleRate(), axesPen_);
}

void SpectrogramDialog::drawSlice()
{
    const std::size_t count = signal().size();
    if (count < frameLength())
        return;
    int held = -1;
    sliceStart_ = SliceStart(bars_.positions[2], range_, count, frameLength(), &held);
    if (held >= 0) {
        bars_.positions[2] = held;
        control(SliceBar).position = held;
        state_.slicePosition = held;
    }
    DrawSpectrogramSlice(spectrogram_, signal(), sliceStart_, log2Size_, dbRange_, BluePen);
    stepProgress();
}

void SpectrogramDialog::stepProgress()
{
    ControlState& progress = control(Progress);
    progress.position += 1;
    if (progress.position > progress.maximum)
        progress.position = progress.minimum;
}

void SpectrogramDialog::close()
{
    if (session_.resultCanvas.isNull())
        session_.resultCanvas = Picture(ResultCanvasWidth, ResultCanvasHeight);
    Painter(session_.resultCanvas)
        .stretch(spectrogram_, QRect(0, 0, SpectrogramWidth, SpectrogramHeight),
                 QRect(0, 0, ResultCanvasWidth, ResultCanvasHeight));
    endDialog(1);
}

const Picture* SpectrogramDialog::picture(int index) const
{
    if (index == StripPicture)
        return &strip_;
    if (index == SpectrogramPicture)
        return &spectrogram_;
    return nullptr;
}

} // namespace kelvora
