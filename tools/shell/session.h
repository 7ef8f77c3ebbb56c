#pragma once
// Everything that lives for the whole run and travels between commands: the sound format,
// the trace slots, the result canvas, the captions, and each tool's settings that survive the
// closing of its dialog. One object, owned by the application and passed to each tool, so two
// sessions (two tests) never see each other.

#include "canvas/picture.h"
#include "tools/shell/sound_format.h"
#include "tools/shell/trace_slots.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <typeindex>

namespace kelvora {

class ProgressDialog;

inline constexpr int ResultCanvasWidth = 750;
inline constexpr int ResultCanvasHeight = 530;

class Session {
public:
    SoundFormat soundFormat;
    TraceSlots traceSlots;
    Picture resultCanvas;
    std::string fileNameBuffer;
    std::string dateStamp;
    // Makes the recording dialog repaint only every tenth block; set only by that command.
    bool recordingThinning = false;
    // The open progress dialog of a long load, save or drawing, if any.
    ProgressDialog* progress = nullptr;
    // Reports a change of the progress dialog so it can be repainted at once.
    std::function<void()> progressChanged;
    // The bar index the shared scroll-bar rule remembers across calls.
    int lastScrollBarIndex = 0;

    std::uint32_t SampleRate() const { return soundFormat.samplesPerSecond; }

    // A fresh white 750 x 530 canvas for the next window.
    void NewResultCanvas() { resultCanvas = Picture(ResultCanvasWidth, ResultCanvasHeight); }

    // Steps the progress dialog (if one is open) and sets its running text.
    void StepProgress(const std::string& text);

    // Settings of one tool, created with defaults on first use and kept for the whole run.
    template <class State> State& toolState()
    {
        auto& slot = toolStates_[std::type_index(typeid(State))];
        if (!slot)
            slot = std::make_shared<State>();
        return *static_cast<State*>(slot.get());
    }

private:
    std::map<std::type_index, std::shared_ptr<void>> toolStates_;
};

} // namespace kelvora
