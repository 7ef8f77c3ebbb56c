#include "app/qt_services.h"

#include "app/dialog_host.h"
#include "app/readable_text.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

namespace kelvora {
namespace {

QString Qt8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// "Wave files {*.wav}" with "*.wav" becomes "Wave files {*.wav} (*.wav *.WAV)": the patterns
// match either case, as users' files come with both.
QString QtFilter(const std::vector<platform::FileFilter>& filters)
{
    QStringList parts;
    for (const auto& filter : filters) {
        const QString pattern = Qt8(filter.pattern);
        QStringList patterns{pattern};
        if (pattern != pattern.toLower())
            patterns << pattern.toLower();
        if (pattern != pattern.toUpper())
            patterns << pattern.toUpper();
        parts << Qt8(filter.description) + " (" + patterns.join(' ') + ")";
    }
    return parts.join(";;");
}

} // namespace

std::optional<std::string> QtFileChooser::chooseOpenFile(const std::vector<platform::FileFilter>& filters)
{
    const QString path = QFileDialog::getOpenFileName(owner_, QString(), QString(), QtFilter(filters));
    if (path.isEmpty())
        return std::nullopt;
    return path.toStdString();
}

std::optional<std::string> QtFileChooser::chooseSaveFile(const std::string& proposedName,
                                                         const std::vector<platform::FileFilter>& filters,
                                                         const std::string& defaultExtension)
{
    QFileDialog dialog(owner_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QtFilter(filters));
    dialog.setDefaultSuffix(Qt8(defaultExtension));
    dialog.selectFile(Qt8(proposedName));
    // The chosen type decides the suffix added to a name typed without one.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        const int star = filter.indexOf("*.");
        if (star >= 0)
            dialog.setDefaultSuffix(filter.mid(star + 2).section(QRegularExpression("[ )]"), 0, 0).toLower());
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

void QtMessageBox::showMessage(const std::string& text, const std::string& caption)
{
    QMessageBox box(QMessageBox::Information, Qt8(caption), QString(), QMessageBox::Ok, owner_);
    SetReadableMessageText(box, Qt8(text));
    box.exec();
}

bool QtUrlOpener::openUrl(const std::string& url)
{
    return QDesktopServices::openUrl(QUrl(Qt8(url)));
}

QtDialogRunner::QtDialogRunner(QWidget* owner) : owner_(owner) {}
QtDialogRunner::~QtDialogRunner() = default;

int QtDialogRunner::runModal(DialogModel& dialog)
{
    dialog.init();
    DialogHost host(dialog, owner_);
    host.sync();
    if (dialog.ended())
        return dialog.result();
    host.exec();
    return dialog.result();
}

void QtDialogRunner::showModeless(DialogModel& dialog)
{
    dialog.init();
    auto host = std::make_unique<DialogHost>(dialog, owner_);
    host->setModal(false);
    host->show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    Modeless& shown = modeless_[&dialog];
    shown.host = std::move(host);
    shown.sinceUpdate.start();
}

void QtDialogRunner::updateModeless(DialogModel& dialog)
{
    auto it = modeless_.find(&dialog);
    if (it == modeless_.end() || it->second.sinceUpdate.elapsed() < ModelessUpdateMilliseconds)
        return;
    Modeless& shown = it->second;
    shown.host->sync();
    shown.host->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    shown.sinceUpdate.start();
}

void QtDialogRunner::closeModeless(DialogModel& dialog)
{
    modeless_.erase(&dialog);
}

} // namespace kelvora
