#include "app/user_guide.h"

#include <QDir>
#include <QFileInfo>

namespace kelvora {

QString UserGuidePath(const QString& programDir)
{
    const QDir dir(programDir);
    const QString beside = dir.absoluteFilePath("user-guide.html");
    // KELVORA_INSTALLED_GUIDE is the installed guide relative to the installed program, e.g.
    // "../share/kelvora/user-guide.html"; CMake works it out from the install folders.
    const QString installed = QDir::cleanPath(dir.absoluteFilePath(QStringLiteral(KELVORA_INSTALLED_GUIDE)));
    for (const QString& candidate : {beside, installed}) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return beside;
}

} // namespace kelvora
