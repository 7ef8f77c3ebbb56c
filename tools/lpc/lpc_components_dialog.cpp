#include "tools/lpc/lpc_components_dialog.h"

#include "tools/audio/strip_dialog.h"
#include "tools/lpc/lpc_components_export.h"
#include "util/sprintf.h"

#include <algorithm>

namespace kelvora {
namespace {

using L = LpcComponentsDialog;

constexpr const char* TooShortFormat = "データ量が%d(ポイント)より少ないので動きません";
constexpr const char* NoScatterScaleText =
    "主成分得点がすべて0なので、散布図の目盛りを決められません。\n次数を2以上にしてください。";
constexpr int FrameGroup = 1;
constexpr int FrameCursorWidth = 2, PlayCursorWidth = 4;

struct FrameRadio {
    int id;
    int log2Size;
};
constexpr FrameRadio FrameRadios[] = {{L::Frame1024, 10}, {L::Frame512, 9}, {L::Frame256, 8}};

DialogTemplate ComponentsTemplate()
{
    using K = ControlKind;
    DialogTemplate t;
    t.caption = ComponentsCaption;
    t.size = {820, 624};
    t.pictures = {{L::StripPicture, QRect(50, 20, StripShownWidth, StripShownHeight)},
                  {L::RangePicture, QRect(0, L::ShownTop, ComponentsPictureWidth, L::ShownHeight)}};
    t.controls = {
        {L::Status, K::Label, "選択したデータを対象とします。", QRect(50, 0, 650, 18)},
        {L::StartBar, K::HScrollBar, "", QRect(50, 146, 400, 17)},
        {-1, K::Label, "←分析範囲の移動", QRect(456, 146, 130, 18)},
        {-1, K::Label, "ここを動かすと実行します。", QRect(590, 146, 200, 18)},
        {-1, K::Label, "狭い", QRect(14, 168, 34, 18)},
        {L::WidthBar, K::HScrollBar, "", QRect(50, 168, 400, 17)},
        {-1, K::Label, "広い", QRect(456, 168, 34, 18)},

        {L::IntervalLabel, K::Label, "Static", QRect(50, 496, 420, 18)},
        {-1, K::Label, ProgressCaption, QRect(50, 516, 420, 18)},
        {L::Progress, K::ProgressBar, "", QRect(50, 536, 400, 12)},
        {L::OrderBar, K::HScrollBar, "", QRect(50, 556, 300, 17)},
        {L::OrderLabel, K::Label, "Static", QRect(358, 556, 110, 18)},
        {L::FrameBar, K::HScrollBar, "", QRect(50, 586, 300, 17)},
        {L::FrameLabel, K::Label, "Static", QRect(358, 586, 110, 18)},

        {-1, K::GroupBox, "フレーム長", QRect(480, 496, 196, 50)},
        {L::Frame1024, K::RadioButton, "1024", QRect(490, 518, 66, 20), FrameGroup},
        {L::Frame512, K::RadioButton, "512", QRect(556, 518, 58, 20), FrameGroup},
        {L::Frame256, K::RadioButton, "256", QRect(614, 518, 58, 20), FrameGroup},
        {-1, K::Label, "↓", QRect(488, 550, 20, 18)},
        {-1, K::Label, " 必ず「分析範囲の移動」を実行", QRect(480, 570, 240, 18)},

        {L::ComputeButton, K::PushButton, "全計算(保存)", QRect(690, 500, 110, 30)},
        {L::PlayButton, K::PushButton, "再生", QRect(690, 540, 52, 28)},
        {L::StopButton, K::PushButton, "停止", QRect(748, 540, 52, 28)},
    };
    return t;
}

// "%8.0fms " of the frame bar's place in the interval: width × 1000 × P / 32760 / rate.
std::string FrameText(std::size_t width, int position, std::uint32_t rate)
{
    return Sprintf("%8.0fms ", static_cast<double>(width) * 1000.0 * position / FrameBarRange / rate);
}

} // namespace

std::size_t FrameOfBar(int position)
{
    const long long f = static_cast<long long>(std::max(position, 0)) * 1000 / FrameBarRange;
    return static_cast<std::size_t>(std::min<long long>(f, dsp::ComponentFrames - 1));
}

std::size_t FrameOfPlayPosition(std::uint32_t position, std::size_t width)
{
    if (width == 0)
        return 0;
    const auto f = static_cast<std::size_t>(static_cast<std::uint64_t>(position) * 1000 / width);
    return std::min(f, dsp::ComponentFrames - 1);
}

LpcComponentsDialog::LpcComponentsDialog(Session& session, Services& services)
    : DialogModel(ComponentsTemplate()), session_(session), services_(services),
      state_(session.toolState<LpcComponentsState>()),
      player_(*this, session.toolState<PlaybackState>(), services.audio, PlayCursorWidth),
      drawing_(ComponentsPictureWidth, ComponentsPictureHeight),
      shownDrawing_(ComponentsPictureWidth, ShownHeight)
{
    bars_.ids = {StartBar, WidthBar, OrderBar, FrameBar};
    bars_.minima = {0, 0, 1, 0};
    bars_.maxima = {IntervalBarRange, IntervalBarRange, dsp::MaxComponentOrder, FrameBarRange};
}

std::span<const double> LpcComponentsDialog::signal() const
{
    if (session_.traceSlots.empty(SlotNumber::X))
        return {};
    return session_.traceSlots.samples(SlotNumber::X);
}

std::uint32_t LpcComponentsDialog::sampleRate() const
{
    return std::max<std::uint32_t>(session_.SampleRate(), 1);
}

void LpcComponentsDialog::init()
{
    ControlState& progress = control(Progress);
    progress.minimum = 0;
    progress.maximum = 1000;
    progress.position = 0;
    checkRadio(Frame1024);
    log2Size_ = 10;
    const std::size_t n = signal().size(), frame = frameSize();
    refuseShortSignal();

    range_ = {0, n >= frame ? n - frame : 0, DefaultComponentsOrder, log2Size_};
    bars_.positions = {0, IntervalBarRange, DefaultComponentsOrder, std::clamp(state_.frameBarPosition, 0, FrameBarRange)};
    for (std::size_t i = 0; i < 4; ++i) {
        ControlState& bar = control(bars_.ids[i]);
        bar.minimum = bars_.minima[i];
        bar.maximum = bars_.maxima[i];
        bar.position = bars_.positions[i];
    }
    setText(OrderLabel, Sprintf("次数＝%d", DefaultComponentsOrder));
    setText(IntervalLabel, Sprintf("切出し開始 %d(ms)から幅 %d(ms)の区間", Milliseconds(range_.start, sampleRate()),
                                   Milliseconds(range_.width, sampleRate())));
    setText(FrameLabel, FrameText(range_.width, bars_.positions[3], sampleRate()));

    drawing_ = Picture(ComponentsPictureWidth, ComponentsPictureHeight);
    rangeDrawing_ = drawing_;
    // Fixed here for the whole dialog, so every waterfall shares one scale.
    levels_ = dsp::SpectrumLevelRange(signal(), 10);
    redrawRange();
}

void LpcComponentsDialog::readFrameRadios()
{
    for (const FrameRadio& radio : FrameRadios)
        if (isChecked(radio.id))
            log2Size_ = radio.log2Size;
}

bool LpcComponentsDialog::refuseShortSignal()
{
    if (signal().size() >= frameSize())
        return false;
    setText(Status, Sprintf(TooShortFormat, static_cast<int>(frameSize())));
    return true;
}

void LpcComponentsDialog::command(int id)
{
    // The frame length is read at every command but used only from the next range change.
    readFrameRadios();
    switch (id) {
    case ComputeButton: computeAll(); break;
    case PlayButton: player_.play(signal(), static_cast<std::uint32_t>(range_.start),
                                  static_cast<std::uint32_t>(range_.width), session_.SampleRate());
        break;
    case StopButton: player_.stop(); break;
    case IdOk:
    case IdCancel: close(); break;
    default: break;
    }
}

void LpcComponentsDialog::scroll(int id, ScrollRequest request, int thumb)
{
    const int index = StepScrollBar(*this, request, thumb, id, bars_, session_.lastScrollBarIndex);
    switch (index) {
    case 0:
    case 1: moveInterval(index); break;
    case 2:
        range_.order = static_cast<std::size_t>(std::max(bars_.positions[2], 1));
        setText(OrderLabel, Sprintf("次数＝%d", static_cast<int>(range_.order)));
        redrawRange();
        break;
    case 3: showFrame(bars_.positions[3]); break;
    default: break;
    }
}

void LpcComponentsDialog::moveInterval(int barIndex)
{
    if (refuseShortSignal())
        return;
    const std::size_t n = signal().size();
    const std::uint32_t rate = sampleRate();
    ComponentsInterval interval;
    if (barIndex == 0) {
        setText(Status, "選択したデータを対象とする。");
        interval = IntervalFromStartBar(n, frameSize(), bars_.positions[0], bars_.positions[1]);
        setText(IntervalLabel, Sprintf("切出し開始 %d(ms)から幅 %d(ms)の区間", Milliseconds(interval.start, rate),
                                       Milliseconds(interval.width, rate)));
    } else {
        interval = IntervalFromWidthBar(n, frameSize(), bars_.positions[0], bars_.positions[1]);
        setText(IntervalLabel, Sprintf("切出し開始%d(ms)から幅%d(ms)の区間", Milliseconds(interval.start, rate),
                                       Milliseconds(interval.width, rate)));
    }
    range_.start = interval.start;
    range_.width = interval.width;
    bars_.positions[0] = interval.startPosition;
    bars_.positions[1] = interval.widthPosition;
    control(StartBar).position = interval.startPosition;
    control(WidthBar).position = interval.widthPosition;
    redrawRange();
}

void LpcComponentsDialog::keepIntervalInsideSignal()
{
    const std::size_t n = signal().size();
    if (range_.start + range_.width + frameSize() <= n)
        return;
    const auto [start, width] = KeepIntervalByStart(n, frameSize(), static_cast<long long>(range_.start),
                                                    static_cast<long long>(range_.width));
    range_.start = start;
    range_.width = width;
    bars_.positions[0] = static_cast<int>(static_cast<unsigned long long>(start) * IntervalBarRange / n);
    bars_.positions[1] = static_cast<int>(static_cast<unsigned long long>(width) * IntervalBarRange / n);
    control(StartBar).position = bars_.positions[0];
    control(WidthBar).position = bars_.positions[1];
    const std::uint32_t rate = sampleRate();
    setText(IntervalLabel, Sprintf("切出し開始 %d(ms)から幅 %d(ms)の区間", Milliseconds(start, rate),
                                   Milliseconds(width, rate)));
}

void LpcComponentsDialog::redrawRange()
{
    const std::span<const double> x = signal();
    const bool tooShort = refuseShortSignal();
    if (!tooShort)
        keepIntervalInsideSignal();
    StepProgressBar(control(Progress), strip_.draw(x, static_cast<std::uint32_t>(range_.start),
                                                   static_cast<std::uint32_t>(range_.width)));
    if (!tooShort) {
        range_.log2Size = log2Size_;
        const RangeAnalysis result = AnalyseRange(x, range_, levels_, work_, drawing_);
        rangeDrawing_ = drawing_;
        analysed_ = result.analysed;
        StepProgressBar(control(Progress), result.progressSteps);
    }
    drawingChanged();
}

void LpcComponentsDialog::computeAll()
{
    if (!analysed_) {
        refuseShortSignal();
        return;
    }
    components_ = dsp::AnalyseComponents(work_.matrix);
    redrawScatter(std::nullopt);
    if (!(components_->scores.firstPeak > 0.0))
        services_.messages.showMessage(NoScatterScaleText, ComponentsCaption);
    exportComponents();
}

void LpcComponentsDialog::exportComponents()
{
    const auto path = services_.files.chooseSaveFile(ComponentsExportName, {{"Text files {*.txt}", "*.txt"}}, "txt");
    if (!path)
        return;
    setCaption(*path);
    const files::Status written =
        WriteComponentsExport(*path, work_.matrix, *components_, range_.width, session_.SampleRate());
    if (!written)
        services_.messages.showMessage(written.error().message, "書き出せません");
}

void LpcComponentsDialog::showFrame(int position)
{
    state_.frameBarPosition = position;
    if (components_) {
        const std::size_t f = FrameOfBar(position);
        redrawScatter(std::pair{components_->scores.first[f], components_->scores.second[f]});
    }
    setText(FrameLabel, FrameText(range_.width, position, sampleRate()));
    strip_.showCursor(position * StripShownWidth / FrameBarRange, FrameCursorWidth);
    invalidate();
}

void LpcComponentsDialog::timer(int id)
{
    if (id == PlayTimer && player_.tick(strip_))
        followPlayback();
}

void LpcComponentsDialog::followPlayback()
{
    const std::uint32_t position = session_.toolState<PlaybackState>().position;
    const std::size_t width = std::max<std::size_t>(range_.width, 1);
    const int bar = static_cast<int>(std::min<std::uint64_t>(
        static_cast<std::uint64_t>(FrameBarRange) * position / width, FrameBarRange));
    bars_.positions[3] = bar;
    control(FrameBar).position = bar;
    state_.frameBarPosition = bar;
    setText(FrameLabel, FrameText(range_.width, bar, sampleRate()));
    if (!components_)
        return;
    const std::span<const double> row = work_.matrix.row(FrameOfPlayPosition(position, width));
    const double s1 = dsp::ComponentScore(row, components_->eigen, 0);
    const double s2 = dsp::ComponentScore(row, components_->eigen, 1);
    const double peak = components_->scores.firstPeak;
    setText(Status, Sprintf("maxab=%3.3f %3.3f %3.3f", s1, peak, peak > 0.0 ? s1 / peak : 0.0));
    redrawScatter(std::pair{s1, s2});
}

void LpcComponentsDialog::redrawScatter(std::optional<std::pair<double, double>> mark)
{
    if (!components_)
        return;
    // From the range drawing, so that no mark is left behind where the plot's box does not
    // reach (a mark at its left edge sticks out of it).
    drawing_ = rangeDrawing_;
    DrawPcaScatter(drawing_, components_->scores);
    if (mark)
        MarkScatterPoint(drawing_, mark->first, mark->second, components_->scores);
    drawingChanged();
}

void LpcComponentsDialog::drawingChanged()
{
    shownDrawing_ = ShrinkKeepingLines(drawing_, ComponentsPictureWidth, ShownHeight);
    invalidate();
}

void LpcComponentsDialog::close()
{
    player_.stop();
    session_.resultCanvas = ShrinkKeepingLines(drawing_, ResultCanvasWidth, ResultCanvasHeight);
    endDialog(1);
}

const Picture* LpcComponentsDialog::picture(int index) const
{
    if (index == StripPicture)
        return &strip_.shown();
    if (index == RangePicture)
        return &shownDrawing_;
    return nullptr;
}

} // namespace kelvora
