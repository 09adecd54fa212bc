#include "panels/PictureFiles.h"

#include "panels/Dialogs.h"
#include "panels/Shared.h"

#include <QFileInfo>
#include <QImageReader>

namespace orvell {

namespace {

enum : int {
    MsgLoadImage = 181,
    MsgErrorLoadingImage = 182,
};

}  // namespace

bool loadPicture(const QString& path, QPixmap& picture, QString* error)
{
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull()) {
        if (error) {
            const int number = reader.error() == QImageReader::FileNotFoundError ? 53
                               : reader.error() == QImageReader::DeviceError     ? 75
                                                                                 : 481;
            *error = reader.errorString() + QStringLiteral(" (") + QString::number(number) + u')';
        }
        return false;
    }
    picture = QPixmap::fromImage(image);
    return true;
}

QString askPicturePath(Shared& shared, Dialogs& dialogs)
{
    FileRequest request;
    request.title = shared.msg(MsgLoadImage);
    request.directory = shared.PictDir;
    request.fileName = shared.LastPictName;
    request.filter = QStringLiteral("Bitmap files (*.bmp)|*bmp|Pictures (*.png;*.jpg;*.svg)|*.png;*.jpg;*.svg");
    const QString path = dialogs.OpenFile(request);
    if (path.isEmpty())
        return {};
    const QFileInfo info(path);
    shared.PictDir = info.absolutePath() + u'/';
    shared.LastPictName = info.fileName();
    return path;
}

void showPictureError(Shared& shared, Dialogs& dialogs, const QString& path, const QString& error,
                      const QString& title)
{
    dialogs.MsgBox(shared.msg(MsgErrorLoadingImage) + QFileInfo(path).fileName() + u'\r' + error, MsgButtons::Ok,
                   MsgIcon::Exclamation, title);
}

}  // namespace orvell
