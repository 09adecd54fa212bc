#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <variant>
#include <vector>

namespace orvell {

// One stored system-exclusive message: its unique label and its bytes as
// hexadecimal text, blanks allowed.
struct SysExEntry {
    QString label;
    QString message;
};

// The longest message sent; a bulk dump of a synthesizer fits well inside.
constexpr std::size_t MaxSysExBytes = 65536;

// Why a hex text is not a message that can be sent.
enum class SysExFault { None, NotHex, OddDigits, NotFramed, TooLong };

// What the user is told after the message text and a line break. The text
// of NotHex is the caller's (a message of the table).
QString sysExFaultText(SysExFault fault);

// The text with every blank removed.
QString StripBlanks(const QString& text);
// True when every character is a blank or a hex digit (an empty text passes).
bool isHexText(const QString& text);
// The bytes of a hex text, or the reason it cannot be sent whole: a message
// starts with F0, ends with F7 and has no other status byte between.
std::variant<std::vector<std::uint8_t>, SysExFault> parseSysEx(const QString& text);
// Upper-case hex, one blank between bytes.
QString sysExText(const std::vector<std::uint8_t>& bytes);

// The F0..F7 messages of a .syx file, in file order. Bytes outside a message
// and a message that is cut off or interrupted by another status are skipped.
std::vector<std::vector<std::uint8_t>> splitSyxFile(const QByteArray& bytes);

}  // namespace orvell
