#pragma once
// Test doubles for the platform dialogs: answers come from a script, and everything the
// program asked or showed is recorded for the test to check.

#include "platform/file_chooser.h"
#include "platform/message_box.h"
#include "platform/url_opener.h"

#include <deque>
#include <functional>
#include <stdexcept>

namespace kelvora::platform {

class ScriptedFileChooser : public FileChooser {
public:
    // Queues the next answer; nothing means "the user cancelled".
    void answer(std::optional<std::string> path) { answers_.push_back(std::move(path)); }

    std::optional<std::string> chooseOpenFile(const std::vector<FileFilter>& filters) override
    {
        lastFilters = filters;
        ++openCount;
        if (whenAsked)
            whenAsked();
        return next();
    }
    std::optional<std::string> chooseSaveFile(const std::string& proposedName,
                                              const std::vector<FileFilter>& filters,
                                              const std::string& defaultExtension) override
    {
        lastProposedName = proposedName;
        lastFilters = filters;
        lastDefaultExtension = defaultExtension;
        ++saveCount;
        if (whenAsked)
            whenAsked();
        return next();
    }

    // Runs as either chooser opens, for a test that looks at what else is on screen then.
    std::function<void()> whenAsked;
    std::vector<FileFilter> lastFilters;
    std::string lastProposedName;
    std::string lastDefaultExtension;
    int openCount = 0;
    int saveCount = 0;

private:
    std::optional<std::string> next()
    {
        if (answers_.empty())
            throw std::logic_error("file chooser asked without a scripted answer");
        auto answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    std::deque<std::optional<std::string>> answers_;
};

class RecordingMessageBox : public MessageBox {
public:
    struct Message {
        std::string text;
        std::string caption;
    };
    void showMessage(const std::string& text, const std::string& caption) override
    {
        messages.push_back({text, caption});
    }
    std::vector<Message> messages;
};

class RecordingUrlOpener : public UrlOpener {
public:
    bool openUrl(const std::string& url) override
    {
        opened.push_back(url);
        return true;
    }
    std::vector<std::string> opened;
};

} // namespace kelvora::platform
