#pragma once
// The outside world of a tool test: every platform dialog answered from a script, and fake
// sound output, input and stream with manual clocks. Fixtures inherit it to name the parts directly.

#include "platform/fake_audio_input.h"
#include "platform/fake_audio_output.h"
#include "platform/fake_audio_stream.h"
#include "platform/scripted_ui.h"
#include "tools/services.h"

namespace kelvora::testing {

struct ScriptedServices {
    platform::ScriptedFileChooser files;
    platform::RecordingMessageBox messages;
    platform::RecordingUrlOpener urls;
    ScriptedDialogRunner dialogs;
    platform::FakeAudioOutput output;
    platform::FakeAudioInput input;
    platform::FakeAudioStream stream;
    Services services{files, messages, urls, dialogs, "file:///guide.html", &output, &input, &stream};
};

} // namespace kelvora::testing
