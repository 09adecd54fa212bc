#include "core/FileBytes.h"

#include <QFile>
#include <QSaveFile>

namespace orvell {

std::optional<QByteArray> readFileBytes(const QString& path, qint64 maxBytes, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return std::nullopt;
    }
    const auto tooLarge = [&error] {
        error = QStringLiteral("File too large");
        return std::nullopt;
    };
    if (file.size() > maxBytes)
        return tooLarge();
    QByteArray bytes;
    if (file.size() > 0)
        bytes.reserve(file.size());
    char chunk[65536];
    for (;;) {
        const qint64 got = file.read(chunk, sizeof chunk);
        if (got < 0) {
            error = file.errorString();
            return std::nullopt;
        }
        if (got == 0)
            break;
        bytes.append(chunk, got);
        if (bytes.size() > maxBytes)
            return tooLarge();
    }
    return bytes;
}

bool writeFileBytes(const QString& path, const QByteArray& bytes, QString& error)
{
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    // Commit alone can miss a failed final flush.
    ok = ok && file.flush() && file.commit();
    if (!ok) {
        error = file.errorString();
        file.cancelWriting();
    }
    return ok;
}

}  // namespace orvell
