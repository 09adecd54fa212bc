#include "core/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace orvell {

namespace {

constexpr int ErrOutOfMemory = 7;
constexpr int ErrFileNotFound = 53;
constexpr int ErrDiskFull = 61;
constexpr int ErrFileAccess = 75;

std::nullopt_t fail(FileError& error, QString text, int number)
{
    error = {std::move(text), number};
    return std::nullopt;
}

FileError deviceError(const QFileDevice& file)
{
    QString text = file.errorString();
    if (text.isEmpty())
        text = QStringLiteral("Path/File access error");
    return {text, file.error() == QFileDevice::ResourceError ? ErrDiskFull : ErrFileAccess};
}

// Opens a file already seen to be regular. The open itself must not wait, in
// case a pipe was put in its place since it was looked at; what was opened is
// checked again.
std::optional<FileError> openRegular(QFile& file, const QString& path)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int number = errno == ENOENT ? ErrFileNotFound : ErrFileAccess;
        return FileError{QString::fromLocal8Bit(std::strerror(errno)), number};
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return FileError{QStringLiteral("Not a regular file"), ErrFileAccess};
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return deviceError(file);
    }
#else
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return deviceError(file);
#endif
    return std::nullopt;
}

// The names an interrupted save of `target` leaves: the target's name, a dot
// and six random letters of both cases. A name like "Song.orv.backup" is a
// user's own and stays.
bool isStaleSaveName(const QString& name, const QString& target)
{
    constexpr qsizetype Random = 6;
    if (name.size() != target.size() + 1 + Random || !name.startsWith(target + u'.'))
        return false;
    const QStringView tail = QStringView(name).right(Random);
    const auto letter = [](QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); };
    return std::ranges::all_of(tail, letter) && std::ranges::any_of(tail, [](QChar c) { return c.isUpper(); }) &&
           std::ranges::any_of(tail, [](QChar c) { return c.isLower(); });
}

void removeStaleSaves(const QString& path)
{
    const QFileInfo target(path);
    const QDir dir = target.absoluteDir();
    const QString name = target.fileName();
    for (const QFileInfo& entry : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
        if (!isStaleSaveName(entry.fileName(), name))
            continue;
#ifdef Q_OS_UNIX
        if (entry.ownerId() != ::geteuid())
            continue;
#endif
        QFile::remove(entry.filePath());
    }
}

}  // namespace

std::optional<QByteArray> readFileBytes(const QString& path, qint64 maxBytes, FileError& error)
{
    // stat() follows links and never blocks, whatever the file is.
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return fail(error, QStringLiteral("File not found"), ErrFileNotFound);
    if (info.isDir())
        return fail(error, QStringLiteral("Is a directory"), ErrFileAccess);
    if (!info.isFile())
        return fail(error, QStringLiteral("Not a regular file"), ErrFileAccess);
    const auto tooLarge = [&error] { return fail(error, QStringLiteral("File too large"), ErrOutOfMemory); };
    if (info.size() > maxBytes)
        return tooLarge();

    QFile file;
    if (std::optional<FileError> failure = openRegular(file, path)) {
        error = *failure;
        return std::nullopt;
    }
    // The file may have grown since it was measured; never read past the limit.
    QByteArray bytes;
    bytes.reserve(info.size());
    char chunk[65536];
    for (;;) {
        const qint64 got = file.read(chunk, sizeof chunk);
        if (got < 0) {
            error = deviceError(file);
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

bool writeFileBytes(const QString& path, const QByteArray& bytes, FileError& error)
{
    if (!path.isEmpty())
        removeStaleSaves(path);
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    // Commit alone can miss a failed final flush.
    ok = ok && file.flush() && file.commit();
    if (!ok) {
        error = deviceError(file);
        file.cancelWriting();
    }
    return ok;
}

}  // namespace orvell
