// Starts the window, or runs one command headless when the first argument names one.

#include "app/frame_window.h"
#include "app/qt_audio_output.h"
#include "app/user_guide.h"
#include "canvas/painter.h"
#include "cli/cli_command.h"

#include <QApplication>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <QUrl>

#include <cstdlib>
#include <iostream>

namespace {

std::string UserGuideUrl()
{
    const QString guide = kelvora::UserGuidePath(QCoreApplication::applicationDirPath());
    return QUrl::fromLocalFile(guide).toString().toStdString();
}

int RunWindow(int argc, char** argv, bool extended)
{
    QApplication application(argc, argv);
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
