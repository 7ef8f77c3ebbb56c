#pragma once
// The base of every tool's dialog logic. A model owns its template and the live state of its
// controls, reacts to events by control id and draws only into its own pictures. It knows
// nothing of widgets: the Qt host shows it, tests and the command line drive it directly.

#include "canvas/picture.h"
#include "tools/dialog/dialog_template.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace kelvora {

struct ControlState {
    std::string text;
    int minimum = 0;
    int maximum = 100;
    int position = 0;
    bool checked = false;
    bool enabled = true;
};

// Scroll requests with the codes the tools' rules are written in.
enum class ScrollRequest : int {
    LineLeft = 0,
    LineRight = 1,
    PageLeft = 2,
    PageRight = 3,
    ThumbPosition = 4,
    ThumbTrack = 5,
    Left = 6,
    Right = 7,
    EndScroll = 8,
};

// Mouse buttons pressed on the dialog itself, outside its controls.
enum class MouseButton { Left, Right };

inline constexpr int IdOk = 1;
inline constexpr int IdCancel = 2;

class DialogModel {
public:
    explicit DialogModel(DialogTemplate dialogTemplate);
    virtual ~DialogModel() = default;
    DialogModel(const DialogModel&) = delete;
    DialogModel& operator=(const DialogModel&) = delete;

    const DialogTemplate& dialogTemplate() const { return template_; }
    // The title the dialog shows: the template's until a tool changes it.
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption) { caption_ = std::move(caption); }

    // Events. The host calls init once, before the dialog is shown.
    virtual void init() {}
    virtual void command(int /*id*/) {}
    virtual void scroll(int /*id*/, ScrollRequest /*request*/, int /*thumb*/) {}
    virtual void timer(int /*id*/) {}
    virtual void audioDone() {}
    virtual void mouse(MouseButton /*button*/) {}
    // The picture shown at template picture index `index`, or nullptr.
    virtual const Picture* picture(int /*index*/) const { return nullptr; }

    // A user click on a button, radio or check box: applies the automatic state change of
    // radios and check boxes, then delivers the command. The close box arrives as IdCancel.
    void press(int id);

    ControlState& control(int id);
    const ControlState& control(int id) const;
    bool hasControl(int id) const { return controls_.count(id) != 0; }
    void setText(int id, std::string text) { control(id).text = std::move(text); }
    const std::string& text(int id) const { return control(id).text; }
    void setChecked(int id, bool checked) { control(id).checked = checked; }
    bool isChecked(int id) const { return control(id).checked; }
    // Checks one radio and unchecks the rest of its group.
    void checkRadio(int id);
    void setEnabled(int id, bool enabled) { control(id).enabled = enabled; }

    // Up-down controls. Showing a position sets it (clamped to the range) and writes the number
    // into the buddy edit. A user's change does the same and then delivers the edit's change
    // as a command with the edit's id, as the edit reports it. An arrow step wraps from one
    // end of the range to the other.
    void showSpinPosition(int id, int position);
    void setSpinPosition(int id, int position);
    void stepSpin(int id, int delta);

    void startTimer(int id, int milliseconds) { timers_[id] = milliseconds; }
    void stopTimer(int id) { timers_.erase(id); }
    const std::map<int, int>& timers() const { return timers_; }

    void endDialog(int result) { result_ = result; }
    bool ended() const { return result_.has_value(); }
    int result() const { return result_.value_or(0); }

    // Bumped whenever the pictures need repainting.
    void invalidate() { ++revision_; }
    // Long work inside one event calls this to have the controls shown as they stand now (a
    // stepped progress bar, a "処理中" caption); the host repaints at once. Without a host it
    // does nothing.
    void repaintNow()
    {
        if (repaintHandler_)
            repaintHandler_();
    }
    void setRepaintHandler(std::function<void()> handler) { repaintHandler_ = std::move(handler); }
    std::uint64_t revision() const { return revision_; }

private:
    const ControlSpec* spec(int id) const;

    DialogTemplate template_;
    std::string caption_;
    std::map<int, ControlState> controls_;
    std::map<int, int> timers_;
    std::optional<int> result_;
    std::uint64_t revision_ = 0;
    std::function<void()> repaintHandler_;
};

} // namespace kelvora
