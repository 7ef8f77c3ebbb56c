#pragma once
// The platform services of the tools, done with Qt's dialogs.

#include "platform/file_chooser.h"
#include "platform/message_box.h"
#include "platform/url_opener.h"
#include "tools/dialog/dialog_runner.h"

#include <QElapsedTimer>

#include <map>
#include <memory>

class QWidget;

namespace kelvora {

class DialogHost;

class QtFileChooser : public platform::FileChooser {
public:
    explicit QtFileChooser(QWidget* owner) : owner_(owner) {}
    std::optional<std::string> chooseOpenFile(const std::vector<platform::FileFilter>& filters) override;
    std::optional<std::string> chooseSaveFile(const std::string& proposedName,
                                              const std::vector<platform::FileFilter>& filters,
                                              const std::string& defaultExtension) override;

private:
    QWidget* owner_;
};

class QtMessageBox : public platform::MessageBox {
public:
    explicit QtMessageBox(QWidget* owner) : owner_(owner) {}
    void showMessage(const std::string& text, const std::string& caption) override;

private:
    QWidget* owner_;
};

class QtUrlOpener : public platform::UrlOpener {
public:
    bool openUrl(const std::string& url) override;
};

class QtDialogRunner : public DialogRunner {
public:
    explicit QtDialogRunner(QWidget* owner);
    ~QtDialogRunner() override;
    int runModal(DialogModel& dialog) override;
    void showModeless(DialogModel& dialog) override;
    void updateModeless(DialogModel& dialog) override;
    void closeModeless(DialogModel& dialog) override;

    // A long loop steps its progress dialog hundreds of times a second, and painting every step
    // would cost more than the loop's own work: the dialog is brought up to date at most this often.
    static constexpr qint64 ModelessUpdateMilliseconds = 100;

private:
    struct Modeless {
        std::unique_ptr<DialogHost> host;
        QElapsedTimer sinceUpdate;
    };
    QWidget* owner_;
    std::map<DialogModel*, Modeless> modeless_;
};

} // namespace kelvora
