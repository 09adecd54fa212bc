#pragma once

#include <QByteArray>
#include <QString>

namespace orvell {

// Text files are read as UTF-8; bytes that are not valid UTF-8 are read as
// Windows-1252, so files written by older versions still load.
QString decodeText(const QByteArray& bytes);

}  // namespace orvell
