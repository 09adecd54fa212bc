#include "help/HelpFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace orvell {

QString helpFolder(const QString& appDir, const QString& helpDir, const QString& installedDir)
{
    if (!helpDir.isEmpty())
        return helpDir;
    const QString local = appDir + QStringLiteral("Help/");
    if (QFileInfo(local).isDir() || installedDir.isEmpty() || !QFileInfo(installedDir).isDir())
        return local;
    return installedDir.endsWith(u'/') ? installedDir : installedDir + u'/';
}

QString installedHelpFolder()
{
    // Beside the program first, so an install moved to another prefix (or
    // unpacked under a scratch folder) still finds its own help.
    if (QCoreApplication::instance()) {
        const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/orvell/Help/");
        if (QFileInfo(beside).isDir())
            return QDir::cleanPath(beside) + u'/';
    }
#ifdef ORVELL_DATADIR
    return QStringLiteral(ORVELL_DATADIR "/Help/");
#else
    return {};
#endif
}

}  // namespace orvell
