#include "tools/audio/strip_dialog.h"

#include "util/sprintf.h"

#include <algorithm>

namespace kelvora {

FrameRange FrameFromBars(std::size_t count, int movePosition, int widthPosition)
{
    if (count == 0)
        return {};
    const double n = static_cast<double>(count);
    auto start = static_cast<std::uint32_t>(std::max(movePosition, 0) * n / BarRange);
    auto width = static_cast<std::uint32_t>(std::max(widthPosition, 0) * n / BarRange);
    width = static_cast<std::uint32_t>(std::clamp<std::size_t>(width, 1, count));
    if (start > count - width)
        start = static_cast<std::uint32_t>(count - width);
    return {start, width};
}

int BarPosition(std::size_t index, std::size_t count)
{
    if (count == 0)
        return 0;
    return static_cast<int>(static_cast<double>(index) * BarRange / static_cast<double>(count));
}

int Milliseconds(std::size_t samples, std::uint32_t rate)
{
    return static_cast<int>(static_cast<double>(samples) * 1000.0 / std::max<std::uint32_t>(rate, 1));
}

void StepProgressBar(ControlState& bar, long long steps)
{
    const long long cycle = static_cast<long long>(bar.maximum) - bar.minimum + 1;
    if (cycle <= 0 || steps <= 0)
        return;
    const long long offset = std::clamp<long long>(bar.position - bar.minimum, 0, cycle - 1);
    bar.position = static_cast<int>(bar.minimum + (offset + steps) % cycle);
}

void AddStripControls(DialogTemplate& t, const char* upperCaption, const char* lowerCaption)
{
    using K = ControlKind;
    t.pictures.push_back({0, QRect(50, 20, StripShownWidth, StripShownHeight)});
    const std::vector<ControlSpec> controls = {
        {-1, K::Label, upperCaption, QRect(706, 42, 110, 18)},
        {-1, K::Label, lowerCaption, QRect(706, 102, 110, 18)},
        {StripDialog::MoveBar, K::HScrollBar, "", QRect(50, 152, 380, 17)},
        {-1, K::Label, MoveCaption, QRect(436, 152, 130, 18)},
        {-1, K::Label, "狭い", QRect(14, 177, 34, 18)},
        {StripDialog::WidthBar, K::HScrollBar, "", QRect(50, 177, 380, 17)},
        {-1, K::Label, "広い", QRect(436, 177, 34, 18)},
        {-1, K::Label, WidthCaption, QRect(472, 177, 130, 18)},
        {StripDialog::IntervalLabel, K::Label, "Static", QRect(50, 200, 540, 18)},
        {-1, K::Label, ProgressCaption, QRect(50, 220, 420, 18)},
        {StripDialog::Progress, K::ProgressBar, "", QRect(50, 240, 380, 12)},
        {StripDialog::PlayButton, K::PushButton, "赤枠選択部分の再生", QRect(632, 150, 170, 26)},
        {StripDialog::StopButton, K::PushButton, "停止", QRect(632, 180, 170, 26)},
    };
    t.controls.insert(t.controls.end(), controls.begin(), controls.end());
}

StripDialog::StripDialog(DialogTemplate dialogTemplate, Session& session, Services& services)
    : DialogModel(std::move(dialogTemplate)), session_(session), services_(services),
      player_(*this, session.toolState<PlaybackState>(), services.audio)
{
    bars_.ids = {MoveBar, WidthBar, 1029, 1033};
    for (int i = 0; i < 4; ++i) {
        bars_.minima[i] = 0;
        bars_.maxima[i] = BarRange;
    }
    ControlState& progress = control(Progress);
    progress.minimum = 0;
    progress.maximum = 1000;
    progress.position = 0;
}

std::vector<double>& StripDialog::signal()
{
    if (session_.traceSlots.empty(SlotNumber::X)) {
        none_.clear();
        return none_;
    }
    return session_.traceSlots.samplesToChange(SlotNumber::X);
}

void StripDialog::setBars(int movePosition, int widthPosition)
{
    bars_.positions[0] = movePosition;
    bars_.positions[1] = widthPosition;
    for (int i = 0; i < ScrollBarTable::Size; ++i) {
        if (bars_.ids[i] == 0 || !hasControl(bars_.ids[i]))
            continue;
        ControlState& bar = control(bars_.ids[i]);
        bar.minimum = bars_.minima[i];
        bar.maximum = bars_.maxima[i];
        bar.position = bars_.positions[i];
    }
}

void StripDialog::setFrame(FrameRange frame)
{
    const std::size_t count = signal().size();
    frame.start = static_cast<std::uint32_t>(std::min<std::size_t>(frame.start, count));
    frame.width = static_cast<std::uint32_t>(std::min<std::size_t>(frame.width, count - frame.start));
    frame_ = frame;
    redraw();
}

void StripDialog::signalChanged()
{
    strip_.signalChanged();
}

void StripDialog::redraw()
{
    StepProgressBar(control(Progress), strip_.draw(signal(), frame_.start, frame_.width));
    invalidate();
}

std::string StripDialog::intervalText() const
{
    const std::uint32_t rate = session_.SampleRate();
    return Sprintf("切出し開始%d(ms)から幅%d(ms)の区間", Milliseconds(frame_.start, rate),
                   Milliseconds(frame_.width, rate));
}

void StripDialog::scroll(int id, ScrollRequest request, int thumb)
{
    const int index = StepScrollBar(*this, request, thumb, id, bars_, session_.lastScrollBarIndex);
    const std::size_t count = signal().size();
    frame_ = FrameFromBars(count, bars_.positions[0], bars_.positions[1]);
    // After a width change the move bar's stored position follows the start it was clamped to;
    // its thumb is redrawn only when it is next moved.
    if (index == 1)
        bars_.positions[0] = BarPosition(frame_.start, count);
    setText(IntervalLabel, intervalText());
    redraw();
}

void StripDialog::timer(int id)
{
    if (id == PlayTimer)
        player_.tick(strip_);
}

const Picture* StripDialog::picture(int index) const
{
    return index == 0 ? &strip_.shown() : nullptr;
}

bool StripDialog::playCommand(int id)
{
    if (id == PlayButton) {
        player_.play(signal(), frame_.start, frame_.width, session_.SampleRate());
        return true;
    }
    if (id == StopButton) {
        player_.stop();
        return true;
    }
    return false;
}

void StripDialog::finish(bool keepResult)
{
    player_.stop();
    if (!keepResult)
        session_.traceSlots.clear(SlotNumber::X);
    endDialog(1);
}

} // namespace kelvora
