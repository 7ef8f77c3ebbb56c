#pragma once
// Modal message boxes with one OK button, as every failure of the program is reported.

#include <string>

namespace kelvora::platform {

class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual void showMessage(const std::string& text, const std::string& caption) = 0;
};

} // namespace kelvora::platform
