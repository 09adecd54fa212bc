#include "help/HelpFolder.h"

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
#ifdef ORVELL_DATADIR
    return QStringLiteral(ORVELL_DATADIR "/Help/");
#else
    return {};
#endif
}

}  // namespace orvell
