#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace orvell {

// A whole file's bytes, read in pieces so that a device with no size (a pipe)
// cannot run away; nullopt with the reason when it cannot be read or holds
// more than maxBytes.
std::optional<QByteArray> readFileBytes(const QString& path, qint64 maxBytes, QString& error);

// Writes the bytes to a temporary file beside `path` and renames it over
// `path` only when everything was written, so a failure leaves the old file
// as it was. False with the reason on failure.
bool writeFileBytes(const QString& path, const QByteArray& bytes, QString& error);

}  // namespace orvell
