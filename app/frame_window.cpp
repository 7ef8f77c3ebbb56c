#include "app/frame_window.h"

#include "app/data_window.h"
#include "app/wrapping_menu_bar.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QGuiApplication>
#include <QMdiArea>
#include <QScreen>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QUrl>

namespace kelvora {
namespace {

QString Qt8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const QKeySequence CloseActiveKey(Qt::CTRL | Qt::Key_W);

// A data window's own "Close" item answers Ctrl+W as well as Ctrl+F4. With two owners of one
// key Qt runs neither, so the window gives Ctrl+W up to the frame and keeps Ctrl+F4.
void LeaveCloseKeyToTheFrame(QMdiSubWindow* window)
{
    const QMenu* menu = window->systemMenu();
    if (menu == nullptr)
        return;
    for (QAction* action : menu->actions()) {
        QList<QKeySequence> keys = action->shortcuts();
        if (keys.removeAll(CloseActiveKey) > 0)
            action->setShortcuts(keys);
    }
}

} // namespace

FrameWindow::FrameWindow(Session& session, MenuKind menu, FrameServices services)
    : session_(session), menuKind_(menu), mdi_(new QMdiArea(this))
{
    setWindowTitle(FrameTitle);
    setCentralWidget(mdi_);
    setAcceptDrops(true);
    // Most of the screen, so the extended menu's items fit on the bar.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        resize(screen->availableGeometry().size() * 0.92);
    else
        resize(1100, 760);

    platform::FileChooser* files = services.files;
    platform::MessageBox* messages = services.messages;
    platform::UrlOpener* urls = services.urls;
    if (files == nullptr)
        files = (qtFiles_ = std::make_unique<QtFileChooser>(this)).get();
    if (messages == nullptr)
        messages = (qtMessages_ = std::make_unique<QtMessageBox>(this)).get();
    if (urls == nullptr)
        urls = (qtUrls_ = std::make_unique<QtUrlOpener>()).get();
    platform::AudioOutput* audio = services.audio;
    if (audio == nullptr)
        audio = (qtAudio_ = std::make_unique<QtAudioOutput>()).get();
    // Without a sound device the program stays usable and silent, and says so once, in a part
    // of the status bar that menu hints do not overwrite.
    auto* audioNotice = new QLabel(this);
    statusBar()->addWidget(audioNotice);
    audio->setUnavailableHandler([audioNotice](const std::string& notice) {
        audioNotice->setText(QString::fromStdString(notice));
    });
    if (!audio->available())
        audioNotice->setText(QString::fromUtf8(platform::NoAudioDeviceNotice));
    platform::AudioInput* input = services.input;
    if (input == nullptr)
        input = (qtInput_ = std::make_unique<QtAudioInput>()).get();
    platform::AudioStream* stream = services.stream;
    if (stream == nullptr)
        stream = (qtStream_ = std::make_unique<QtAudioStream>()).get();
    dialogs_ = std::make_unique<QtDialogRunner>(this);
    services_.reset(new Services{*files, *messages, *urls, *dialogs_, services.userGuideUrl, audio, input, stream});
    shell_ = std::make_unique<Shell>(session_, *services_, *this, StandardTools());

    // Closing the active data window has no menu item, only this key.
    auto* closeActive = new QAction(this);
    closeActive->setShortcut(CloseActiveKey);
    connect(closeActive, &QAction::triggered, this, [this] { shell_->execute(CmdCloseWindow); });
    addAction(closeActive);

    buildMenus();
}

FrameWindow::~FrameWindow()
{
    // Data windows refer to records the shell owns: close them first.
    for (QMdiSubWindow* window : order_)
        window->removeEventFilter(this);
    mdi_->closeAllSubWindows();
}

void FrameWindow::setMenuKind(MenuKind kind)
{
    menuKind_ = kind;
    buildMenus();
}

void FrameWindow::buildMenus()
{
    // A fresh bar, so no action of the previous menu survives the switch.
    auto* bar = new WrappingMenuBar(this);
    setMenuWidget(bar);
    windowListActions_.clear();
    std::function<void(QMenu*, const MenuEntry&)> addEntry = [&](QMenu* into, const MenuEntry& entry) {
        if (entry.type == MenuEntry::Type::Separator) {
            if (into)
                into->addSeparator();
            else
                bar->addSeparator();
            return;
        }
        if (entry.type == MenuEntry::Type::Popup) {
            QMenu* popup = into ? into->addMenu(Qt8(entry.caption)) : bar->addMenu(Qt8(entry.caption));
            for (const MenuEntry& child : entry.children)
                addEntry(popup, child);
            return;
        }
        auto* action = new QAction(Qt8(entry.caption), into ? static_cast<QObject*>(into) : bar);
        action->setData(entry.command);
        action->setEnabled(shell_->isEnabled(entry.command));
        if (!action->isEnabled())
            action->setToolTip(QStringLiteral("この機能はまだありません"));
        const int command = entry.command;
        connect(action, &QAction::triggered, this, [this, command] { shell_->execute(command); });
        if (into)
            into->addAction(action);
        else
            bar->addAction(action);
    };
    for (const MenuEntry& entry : MenuBar(menuKind_))
        addEntry(nullptr, entry);

    // The first popup doubles as the window menu.
    QMenu* fileMenu = bar->actions().first()->menu();
    connect(fileMenu, &QMenu::aboutToShow, this, [this, fileMenu] { fillWindowList(fileMenu); });
}

void FrameWindow::fillWindowList(QMenu* fileMenu)
{
    for (QAction* action : windowListActions_)
        fileMenu->removeAction(action), action->deleteLater();
    windowListActions_.clear();
    windowListActions_.push_back(fileMenu->addSeparator());
    int number = 1;
    for (QMdiSubWindow* window : order_) {
        // A "&" of the title itself (a file named "a&b.wav") is shown, not taken as a shortcut mark.
        QString title = window->windowTitle();
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* entry = fileMenu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(title));
        entry->setCheckable(true);
        entry->setChecked(window == mdi_->currentSubWindow());
        connect(entry, &QAction::triggered, this, [this, window] { mdi_->setActiveSubWindow(window); });
        windowListActions_.push_back(entry);
    }
    windowListActions_.push_back(fileMenu->addSeparator());
    QAction* switchMenu = fileMenu->addAction(menuKind_ == MenuKind::Standard
                                                  ? QStringLiteral("拡張メニューに切り替え")
                                                  : QStringLiteral("標準メニューに切り替え"));
    connect(switchMenu, &QAction::triggered, this, [this] {
        setMenuKind(menuKind_ == MenuKind::Standard ? MenuKind::Extended : MenuKind::Standard);
    });
    windowListActions_.push_back(switchMenu);
}

std::vector<QMdiSubWindow*> FrameWindow::dataWindows() const
{
    return order_;
}

DataRecord* FrameWindow::activeRecord()
{
    auto it = windows_.find(mdi_->currentSubWindow());
    return it == windows_.end() ? nullptr : it->second;
}

void FrameWindow::openWindow(DataRecord& record)
{
    auto* content = new DataWindow(record);
    QMdiSubWindow* window = mdi_->addSubWindow(content);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(Qt8(record.caption));
    LeaveCloseKeyToTheFrame(window);
    window->installEventFilter(this);
    windows_[window] = &record;
    order_.push_back(window);
    window->show();
    mdi_->setActiveSubWindow(window);
}

void FrameWindow::closeWindow(DataRecord& record)
{
    for (auto it = windows_.begin(); it != windows_.end(); ++it) {
        if (it->second != &record)
            continue;
        QMdiSubWindow* window = it->first;
        windows_.erase(it);
        std::erase(order_, window);
        window->removeEventFilter(this);
        window->close();
        return;
    }
}

bool FrameWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Close) {
        auto* window = static_cast<QMdiSubWindow*>(watched);
        auto it = windows_.find(window);
        if (it != windows_.end()) {
            DataRecord* record = it->second;
            windows_.erase(it);
            std::erase(order_, window);
            window->removeEventFilter(this);
            shell_->DestroyDataWindow(*record);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void FrameWindow::arrange(Arrangement arrangement)
{
    switch (arrangement) {
    case Arrangement::Cascade: mdi_->cascadeSubWindows(); break;
    case Arrangement::TileHorizontal:
    case Arrangement::TileVertical: {
        // Side by side in rows (horizontal) or columns (vertical), in creation order.
        const std::vector<QMdiSubWindow*> visible = order_;
        if (visible.empty())
            break;
        const QRect area = mdi_->viewport()->rect();
        const int n = static_cast<int>(visible.size());
        for (int i = 0; i < n; ++i) {
            QMdiSubWindow* window = visible[i];
            window->showNormal();
            if (arrangement == Arrangement::TileHorizontal)
                window->setGeometry(0, area.height() * i / n, area.width(), area.height() / n);
            else
                window->setGeometry(area.width() * i / n, 0, area.width() / n, area.height());
        }
        break;
    }
    }
}

void FrameWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void FrameWindow::dropEvent(QDropEvent* event)
{
    event->acceptProposedAction();
    openDroppedUrls(event->mimeData()->urls());
}

void FrameWindow::openDroppedUrls(const QList<QUrl>& urls)
{
    std::vector<std::string> paths;
    for (const QUrl& url : urls)
        if (url.isLocalFile())
            paths.push_back(url.toLocalFile().toStdString());
    shell_->openFiles(paths);
}

} // namespace kelvora
