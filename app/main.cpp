// Starts the window, or runs one command headless when the first argument names one.

#include "app/frame_window.h"
#include "app/qt_audio_input.h"
#include "app/qt_audio_output.h"
#include "app/qt_audio_stream.h"
#include "app/user_guide.h"
#include "canvas/painter.h"
#include "cli/cli_command.h"

#include <QApplication>
#include <QFontInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <utility>

namespace {

std::string UserGuideUrl()
{
    const QString guide = kelvora::UserGuidePath(QCoreApplication::applicationDirPath());
    return QUrl::fromLocalFile(guide).toString().toStdString();
}

// What Qt says while the application object is being made, held back until it is known
// whether a display could be opened.
std::vector<std::pair<QtMsgType, QString>>& StartupNotices()
{
    static std::vector<std::pair<QtMsgType, QString>> notices;
    return notices;
}

// Qt aborts when it finds no display (a screenful of advice and exit status 134); the user
// gets one line and status 1 instead, with the hint that the commands need no display.
void ReportMissingDisplay(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtFatalMsg) {
        StartupNotices().emplace_back(type, message);
        return;
    }
    const char* display = std::getenv("DISPLAY");
    std::fprintf(stderr,
                 "kelvora: cannot start the window: no display could be opened (DISPLAY %s%s); "
                 "the commands run without one (kelvora --help)\n",
                 display ? "is " : "is not set", display ? display : "");
    std::fflush(stderr);
    std::_Exit(kelvora::cli::ExitBadInput);
}

// The files named after the program, once Qt has taken its own options (such as -platform).
std::vector<std::string> FilesToOpen(const QStringList& arguments)
{
    std::vector<std::string> files;
    for (qsizetype i = 1; i < arguments.size(); ++i)
        if (arguments[i] != QStringLiteral("--extended"))
            files.push_back(arguments[i].toStdString());
    return files;
}

int RunWindow(int argc, char** argv, bool extended)
{
    const QtMessageHandler previous = qInstallMessageHandler(ReportMissingDisplay);
    QApplication application(argc, argv);
    qInstallMessageHandler(previous);
    for (const auto& [type, message] : StartupNotices())
        qt_message_output(type, QMessageLogContext(), message);

    // Ties the windows to the installed desktop entry, so the desktop shows its name and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("kelvora"));
    application.setWindowIcon(QIcon::fromTheme(QStringLiteral("kelvora"), application.windowIcon()));
    application.setFont(kelvora::ProgramFont().family() == "IPAexGothic"
                            ? QFont("IPAexGothic", 10)
                            : application.font());
    QTranslator qtJapanese;
    if (qtJapanese.load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        application.installTranslator(&qtJapanese);

    kelvora::Session session;
    kelvora::FrameServices services;
    services.userGuideUrl = UserGuideUrl();
    kelvora::FrameWindow frame(session, extended ? kelvora::MenuKind::Extended : kelvora::MenuKind::Standard,
                               services);
    frame.show();
    // Opened once the frame is on screen, so that a file's message box has its owner in view.
    const std::vector<std::string> files = FilesToOpen(QCoreApplication::arguments());
    if (!files.empty())
        QTimer::singleShot(0, &frame, [&frame, files] { frame.shell().openFiles(files); });
    return application.exec();
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (kelvora::cli::IsCliInvocation(args)) {
        // Headless: no display is needed, but drawing text still wants a GUI application.
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        // Qt's own notices would break the one-line error contract of the commands.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                std::cerr << message.toStdString() << '\n';
        });
        QGuiApplication application(argc, argv);
        kelvora::InstallQtAudioOutput();
        kelvora::InstallQtAudioInput();
        kelvora::InstallQtAudioStream();
        return kelvora::cli::RunCli(args, std::cout, std::cerr);
    }
    bool extended = false;
    for (const std::string& arg : args) {
        if (arg == "--extended")
            extended = true;
        else if (arg.rfind("-", 0) == 0 && arg.rfind("-platform", 0) != 0) {
            std::cerr << "kelvora: unknown option " << arg << " (try kelvora --help)\n";
            return kelvora::cli::ExitBadUsage;
        }
    }
    return RunWindow(argc, argv, extended);
}
