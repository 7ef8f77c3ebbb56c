#pragma once

#include <string>

namespace kelvora::platform {

// Opens an address (a web page or a local file URL) in the user's browser.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    virtual bool openUrl(const std::string& url) = 0;
};

} // namespace kelvora::platform
