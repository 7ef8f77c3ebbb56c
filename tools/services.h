#pragma once
// The outside world as the tools see it. The Qt front end supplies real ones; tests supply
// scripted ones.

#include "platform/audio_input.h"
#include "platform/audio_output.h"
#include "platform/audio_stream.h"
#include "platform/file_chooser.h"
#include "platform/message_box.h"
#include "platform/url_opener.h"
#include "tools/dialog/dialog_runner.h"

#include <string>

namespace kelvora {

struct Services {
    platform::FileChooser& files;
    platform::MessageBox& messages;
    platform::UrlOpener& urls;
    DialogRunner& dialogs;
    // Address of the user guide that ships with the program (a file URL).
    std::string userGuideUrl;
    // The sound output the playing dialogs share; null plays nothing.
    platform::AudioOutput* audio = nullptr;
    // The default input the recording dialog captures from; null records nothing.
    platform::AudioInput* input = nullptr;
    // The continuous output of the dialogs that make their sound while it plays; null is silent.
    platform::AudioStream* stream = nullptr;
};

} // namespace kelvora
