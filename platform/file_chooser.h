#pragma once
// The platform's open and save dialogs, as the tools ask for them.

#include <optional>
#include <string>
#include <vector>

namespace kelvora::platform {

struct FileFilter {
    std::string description; // e.g. "Wave files {*.wav}"
    std::string pattern;     // e.g. "*.wav"
};

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The chosen existing file, or nothing when the user cancels.
    virtual std::optional<std::string> chooseOpenFile(const std::vector<FileFilter>& filters) = 0;
    // The chosen target path, starting from the proposed name; the default extension is added
    // when the user typed none. Nothing when the user cancels.
    virtual std::optional<std::string> chooseSaveFile(const std::string& proposedName,
                                                      const std::vector<FileFilter>& filters,
                                                      const std::string& defaultExtension) = 0;
};

} // namespace kelvora::platform
