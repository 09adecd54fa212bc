#include "panels/PictureFiles.h"

#include "core/FileBytes.h"
#include "panels/Dialogs.h"
#include "panels/Shared.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>

namespace orvell {

namespace {

enum : int {
    MsgLoadImage = 181,
    MsgErrorLoadingImage = 182,
};

constexpr int ErrInvalidPicture = 481;
// Far beyond any backdrop or button picture.
constexpr qint64 MaxPictureBytes = qint64(64) << 20;

}  // namespace

bool loadPicture(const QString& path, QPixmap& picture, QString* error)
{
    FileError failure;
    if (const std::optional<QByteArray> bytes = readFileBytes(path, MaxPictureBytes, failure)) {
        QBuffer buffer;
        buffer.setData(*bytes);
        QImageReader reader(&buffer);
        const QImage image = reader.read();
        if (!image.isNull()) {
            picture = QPixmap::fromImage(image);
            return true;
        }
        failure = {reader.errorString(), ErrInvalidPicture};
    }
    if (error)
        *error = failure.text + QStringLiteral(" (") + QString::number(failure.number) + u')';
    return false;
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
