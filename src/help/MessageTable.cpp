#include "help/MessageTable.h"

#include "core/TextCodec.h"
#include "help/FactoryMessages.h"
#include "help/HelpFolder.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <utility>

namespace orvell {

namespace {

static_assert(FactoryMessageCount == MessageTable::Count);

// A message file is a few kilobytes; anything this big is not one, and reading
// it whole would only cost memory.
constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;

// Numbers shown with the error text: the usual BASIC run-time error numbers
// for the same faults.
constexpr int ErrOutOfMemory = 7;     // file too large
constexpr int ErrSubscript = 9;       // more entries than the table holds
constexpr int ErrTypeMismatch = 13;   // text outside quotes
constexpr int ErrFileNotFound = 53;
constexpr int ErrDiskFull = 61;
constexpr int ErrPastEnd = 62;        // unterminated quote
constexpr int ErrFileAccess = 75;

MessageFileError deviceError(const QFileDevice& file)
{
    QString text = file.errorString();
    if (text.isEmpty())
        text = QStringLiteral("Path/File access error");
    const int number = file.error() == QFileDevice::ResourceError ? ErrDiskFull : ErrFileAccess;
    return {text, number};
}

}  // namespace

MessageTable::MessageTable()
{
    restoreDefaults();
}

const QString& MessageTable::operator[](int n) const
{
    static const QString empty;
    if (n < 0 || n >= Count)
        return empty;
    return texts_[static_cast<std::size_t>(n)];
}

void MessageTable::restoreDefaults()
{
    const auto& factory = factoryMessages();
    for (std::size_t i = 0; i < texts_.size(); ++i)
        texts_[i] = QString::fromUtf8(factory[i]);
}

QByteArray MessageTable::toFileBytes() const
{
    QByteArray out;
    out.reserve(Count * 48);
    for (const QString& text : texts_) {
        out += '"';
        out += text.toUtf8();
        out += "\"\r\n";
    }
    return out;
}

std::optional<MessageFileError> MessageTable::loadFromBytes(const QByteArray& bytes)
{
    const QString text = decodeText(bytes);
    const qsizetype size = text.size();

    // Fill a copy so that an error half way through changes nothing.
    std::array<QString, Count> loaded = texts_;
    std::size_t next = 0;
    int line = 1;

    qsizetype i = 0;
    while (i < size) {
        const char16_t c = text[i].unicode();
        if (c == u'"') {
            const qsizetype close = text.indexOf(u'"', i + 1);
            if (close < 0)
                return MessageFileError{QStringLiteral("Input past end of file"), ErrPastEnd};
            if (next == loaded.size())
                return MessageFileError{QStringLiteral("More than %1 messages in the file").arg(Count),
                                        ErrSubscript};
            // Any line break inside the quotes is the table's CR, whichever
            // line ends the file was saved with.
            QString entry;
            entry.reserve(close - i - 1);
            for (qsizetype j = i + 1; j < close; ++j) {
                const QChar ch = text[j];
                if (ch == u'\r') {
                    if (j + 1 < close && text[j + 1] == u'\n')
                        ++j;
                    entry += u'\r';
                    ++line;
                } else if (ch == u'\n') {
                    entry += u'\r';
                    ++line;
                } else {
                    entry += ch;
                }
            }
            loaded[next++] = std::move(entry);
            i = close + 1;
        } else if (c == u'\r') {
            ++line;
            i += (i + 1 < size && text[i + 1] == u'\n') ? 2 : 1;
        } else if (c == u'\n') {
            ++line;
            ++i;
        } else if (c == u' ' || c == u'\t') {
            ++i;
        } else {
            return MessageFileError{QStringLiteral("Unexpected text outside quotes on line %1").arg(line),
                                    ErrTypeMismatch};
        }
    }

    texts_ = std::move(loaded);
    return std::nullopt;
}

std::optional<MessageFileError> MessageTable::saveToFile(const QString& path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return deviceError(file);
    const QByteArray bytes = toFileBytes();
    // Flush before commit(): commit() does not notice a failing final flush
    // and would replace the old file with a cut-off one.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const MessageFileError error = deviceError(file);
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return deviceError(file);
    return std::nullopt;
}

std::optional<MessageFileError> MessageTable::loadFromFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return MessageFileError{QStringLiteral("File not found"), ErrFileNotFound};
    // Devices and pipes could block or never end.
    if (!info.isFile())
        return MessageFileError{info.isDir() ? QStringLiteral("Is a directory")
                                             : QStringLiteral("Not a regular file"),
                                ErrFileAccess};
    if (info.size() > MaxFileBytes)
        return MessageFileError{QStringLiteral("File too large"), ErrOutOfMemory};

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return deviceError(file);
    // The file may have grown since it was measured; never read past the limit.
    QByteArray bytes;
    bytes.reserve(info.size());
    char chunk[64 * 1024];
    for (;;) {
        const qint64 got = file.read(chunk, sizeof chunk);
        if (got < 0)
            return deviceError(file);
        if (got == 0)
            break;
        bytes.append(chunk, got);
        if (bytes.size() > MaxFileBytes)
            return MessageFileError{QStringLiteral("File too large"), ErrOutOfMemory};
    }
    return loadFromBytes(bytes);
}

QString MessageTable::filePath(const QString& appDir, const QString& helpDir)
{
    if (helpDir.isEmpty())
        return appDir + QStringLiteral("Help/ORVMesgs.txt");
    return helpDir + QStringLiteral("ORVMesgs.txt");
}

QString MessageTable::readPath(const QString& appDir, const QString& helpDir)
{
    return helpFolder(appDir, helpDir, installedHelpFolder()) + QStringLiteral("ORVMesgs.txt");
}

}  // namespace orvell
