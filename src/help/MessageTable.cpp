#include "help/MessageTable.h"

#include "core/FileBytes.h"
#include "core/TextCodec.h"
#include "help/FactoryMessages.h"
#include "help/HelpFolder.h"

#include <utility>

namespace orvell {

namespace {

static_assert(FactoryMessageCount == MessageTable::Count);

// A message file is a few kilobytes; anything this big is not one, and reading
// it whole would only cost memory.
constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;

// Numbers shown with the error text: the usual BASIC run-time error numbers
// for the same faults, as the file reader gives them.
constexpr int ErrSubscript = 9;       // more entries than the table holds
constexpr int ErrTypeMismatch = 13;   // text outside quotes
constexpr int ErrPastEnd = 62;        // unterminated quote

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
    FileError error;
    if (!writeFileBytes(path, toFileBytes(), error))
        return MessageFileError{error.text, error.number};
    return std::nullopt;
}

std::optional<MessageFileError> MessageTable::loadFromFile(const QString& path)
{
    FileError error;
    const std::optional<QByteArray> bytes = readFileBytes(path, MaxFileBytes, error);
    if (!bytes)
        return MessageFileError{error.text, error.number};
    return loadFromBytes(*bytes);
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
