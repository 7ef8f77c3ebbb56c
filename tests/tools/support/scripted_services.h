#pragma once
// The outside world of a tool test: every platform dialog answered from a script, and a fake
// sound output with a manual clock. Fixtures inherit it to name the parts directly.

#include "platform/fake_audio_output.h"
#include "platform/scripted_ui.h"
#include "tools/services.h"

namespace kelvora::testing {

struct ScriptedServices {
    platform::ScriptedFileChooser files;
    platform::RecordingMessageBox messages;
    platform::RecordingUrlOpener urls;
    ScriptedDialogRunner dialogs;
    platform::FakeAudioOutput output;
    Services services{files, messages, urls, dialogs, "file:///guide.html", &output};
};

} // namespace kelvora::testing
