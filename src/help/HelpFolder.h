#pragma once

#include <QString>

namespace orvell {

// Where the help topics and the message file live, ending in '/'. A chosen
// help folder wins; otherwise "Help/" in the start folder, and when that does
// not exist the folder installed with the program (installedDir, may be
// empty). With neither present the start folder's "Help/" is named, so error
// boxes point where the user would put the files.
QString helpFolder(const QString& appDir, const QString& helpDir, const QString& installedDir);

// The installed help folder: share/orvell/Help beside the program's bin
// folder when there is one, else the one this build was configured for, ""
// when none.
QString installedHelpFolder();

}  // namespace orvell
