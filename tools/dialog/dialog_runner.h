#pragma once
// How a model asks for another dialog: nested modal steps run synchronously, the progress
// dialog runs modeless beside a long loop.

#include "tools/dialog/dialog_model.h"

#include <deque>
#include <functional>
#include <stdexcept>

namespace kelvora {

class DialogRunner {
public:
    virtual ~DialogRunner() = default;
    // Shows the dialog until it ends; returns its result.
    virtual int runModal(DialogModel& dialog) = 0;
    virtual void showModeless(DialogModel& dialog) = 0;
    // Repaints a modeless dialog at once (long loops do not return to the event loop).
    virtual void updateModeless(DialogModel& dialog) = 0;
    virtual void closeModeless(DialogModel& dialog) = 0;
};

// Plays the user's part from a script: each modal dialog gets init() and then the next
// scripted action, which presses buttons or moves bars until the dialog ends.
class ScriptedDialogRunner : public DialogRunner {
public:
    using Action = std::function<void(DialogModel&)>;
    void then(Action action) { actions_.push_back(std::move(action)); }

    int runModal(DialogModel& dialog) override
    {
        if (actions_.empty())
            throw std::logic_error("dialog \"" + dialog.dialogTemplate().caption +
                                   "\" opened without a scripted action");
        Action action = std::move(actions_.front());
        actions_.pop_front();
        dialog.init();
        action(dialog);
        if (!dialog.ended())
            dialog.press(IdCancel);
        ++modalCount;
        return dialog.result();
    }
    void showModeless(DialogModel& dialog) override
    {
        dialog.init();
        ++modelessOpen;
    }
    void updateModeless(DialogModel&) override { ++modelessUpdates; }
    void closeModeless(DialogModel&) override { --modelessOpen; }

    int modalCount = 0;
    int modelessOpen = 0;
    int modelessUpdates = 0;

private:
    std::deque<Action> actions_;
};

} // namespace kelvora
