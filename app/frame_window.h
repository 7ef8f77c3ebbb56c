#pragma once
// The program's one top-level window: the menus, the data windows in a multi-document area,
// and the bridge from both to the shell.

#include "app/qt_audio_input.h"
#include "app/qt_audio_output.h"
#include "app/qt_audio_stream.h"
#include "app/qt_services.h"
#include "tools/shell/shell.h"

#include <QList>
#include <QMainWindow>
#include <QUrl>

#include <map>
#include <memory>

class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace kelvora {

inline constexpr const char* FrameTitle = "Kelvora Ver2019.05.10";

// The platform dialogs the frame uses; null members are made with Qt.
struct FrameServices {
    platform::FileChooser* files = nullptr;
    platform::MessageBox* messages = nullptr;
    platform::UrlOpener* urls = nullptr;
    std::string userGuideUrl;
    platform::AudioOutput* audio = nullptr;
    platform::AudioInput* input = nullptr;
    platform::AudioStream* stream = nullptr;
};

class FrameWindow : public QMainWindow, public WindowHost {
public:
    FrameWindow(Session& session, MenuKind menu, FrameServices services = {});
    ~FrameWindow() override;

    Shell& shell() { return *shell_; }
    MenuKind menuKind() const { return menuKind_; }
    void setMenuKind(MenuKind kind);
    QMdiArea& mdiArea() { return *mdi_; }
    // The menu bar is menuWidget(): its actions() are the top-level items, shown in as many
    // rows as the frame's width needs (WrappingMenuBar).
    // Opens files dropped on the frame, each kind by its own loader (Shell::openFiles).
    void openDroppedUrls(const QList<QUrl>& urls);
    // The data windows in creation order.
    std::vector<QMdiSubWindow*> dataWindows() const;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public:
    // The window side of the shell.
    DataRecord* activeRecord() override;
    void openWindow(DataRecord& record) override;
    void closeWindow(DataRecord& record) override;
    void arrange(Arrangement arrangement) override;

private:

    void buildMenus();
    void fillWindowList(QMenu* fileMenu);

    Session& session_;
    MenuKind menuKind_;
    QMdiArea* mdi_;
    std::unique_ptr<QtFileChooser> qtFiles_;
    std::unique_ptr<QtMessageBox> qtMessages_;
    std::unique_ptr<QtUrlOpener> qtUrls_;
    std::unique_ptr<QtAudioOutput> qtAudio_;
    std::unique_ptr<QtAudioInput> qtInput_;
    std::unique_ptr<QtAudioStream> qtStream_;
    std::unique_ptr<QtDialogRunner> dialogs_;
    std::unique_ptr<Services> services_;
    std::unique_ptr<Shell> shell_;
    std::map<QMdiSubWindow*, DataRecord*> windows_;
    std::vector<QMdiSubWindow*> order_;
    std::vector<QAction*> windowListActions_;
};

} // namespace kelvora
