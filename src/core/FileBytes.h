#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace orvell {

// Why a file could not be read or written: the text for the error box and the
// number shown beside it (the usual BASIC run-time error numbers: 53 not
// found, 75 access, 7 too large, 61 disk full).
struct FileError {
    QString text;
    int number = 0;
};

// Every reader of the program takes its file through here. Only a regular
// file (or a link to one) is read: a pipe, a device or a directory is refused
// before it is opened, since opening a pipe waits for a writer and a device
// may never end. nullopt with the reason when the file cannot be read or
// holds more than maxBytes.
std::optional<QByteArray> readFileBytes(const QString& path, qint64 maxBytes, FileError& error);

// Writes the bytes to a temporary file beside `path` and renames it over
// `path` only when everything was written, so a failure leaves the old file
// as it was. Temporary files of `path` that an earlier, interrupted save left
// behind are removed first. False with the reason on failure.
bool writeFileBytes(const QString& path, const QByteArray& bytes, FileError& error);

}  // namespace orvell
