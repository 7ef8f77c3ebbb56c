#pragma once
// The shell's two small modal dialogs: the pointer to the user guide, and the counter dialog
// of the extended menu.

#include "tools/dialog/dialog_model.h"
#include "tools/services.h"

namespace kelvora {

class HomePageDialog : public DialogModel {
public:
    enum : int { Address = 1122 };
    HomePageDialog(platform::UrlOpener& urls, std::string url);
    void init() override;
    void command(int id) override;

private:
    platform::UrlOpener& urls_;
    std::string url_;
};

// Its counter lives for the whole run and never drops below 1.
struct FxxCounter {
    int value = 1;
};

class FxxDialog : public DialogModel {
public:
    enum : int { Increase = 1040, Decrease = 1041 };
    explicit FxxDialog(FxxCounter& counter);
    void command(int id) override;

private:
    FxxCounter& counter_;
};

} // namespace kelvora
