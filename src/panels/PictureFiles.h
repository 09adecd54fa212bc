#pragma once

#include <QPixmap>
#include <QString>

namespace orvell {

class Dialogs;
class Shared;

// Reads a picture file; on failure the error text ends with the number users
// know: (53) not found, (75) not readable, (481) not a picture.
bool loadPicture(const QString& path, QPixmap& picture, QString* error = nullptr);

// Asks for a picture file in the remembered picture folder and remembers the
// choice; "" when cancelled.
QString askPicturePath(Shared& shared, Dialogs& dialogs);

// "Error loading image " with the file name, a line break and the error.
void showPictureError(Shared& shared, Dialogs& dialogs, const QString& path, const QString& error,
                      const QString& title);

}  // namespace orvell
