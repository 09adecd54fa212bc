#include "midi/SysEx.h"

namespace orvell {

namespace {

int hexValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    return -1;
}

constexpr std::uint8_t SysExStart = 0xF0;
constexpr std::uint8_t SysExEnd = 0xF7;

bool isFramed(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.size() < 2 || bytes.front() != SysExStart || bytes.back() != SysExEnd)
        return false;
    // A status byte inside would end the message early at the device.
    for (std::size_t i = 1; i + 1 < bytes.size(); ++i) {
        if (bytes[i] >= 0x80)
            return false;
    }
    return true;
}

}  // namespace

QString sysExFaultText(SysExFault fault)
{
    switch (fault) {
    case SysExFault::OddDigits:
        return QStringLiteral("has an odd number of hex digits. Every byte takes two.");
    case SysExFault::NotFramed:
        return QStringLiteral("is not one Sys Ex message. It must start with F0 and end with F7, "
                              "with no other byte from 80 to FF between.");
    case SysExFault::TooLong:
        return QStringLiteral("is longer than %1 bytes.").arg(MaxSysExBytes);
    case SysExFault::NotHex:
    case SysExFault::None:
        break;
    }
    return {};
}

QString StripBlanks(const QString& text)
{
    QString result = text;
    result.remove(u' ');
    return result;
}

bool isHexText(const QString& text)
{
    for (QChar c : text) {
        if (c != u' ' && hexValue(c) < 0)
            return false;
    }
    return true;
}

std::variant<std::vector<std::uint8_t>, SysExFault> parseSysEx(const QString& text)
{
    if (!isHexText(text))
        return SysExFault::NotHex;
    const QString digits = StripBlanks(text);
    if (digits.size() % 2 != 0)
        return SysExFault::OddDigits;
    if (static_cast<std::size_t>(digits.size() / 2) > MaxSysExBytes)
        return SysExFault::TooLong;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(digits.size() / 2));
    for (qsizetype i = 0; i < digits.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(hexValue(digits[i]) * 16 + hexValue(digits[i + 1])));
    if (!isFramed(bytes))
        return SysExFault::NotFramed;
    return bytes;
}

QString sysExText(const std::vector<std::uint8_t>& bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size() * 3));
    for (std::uint8_t byte : bytes) {
        if (!text.isEmpty())
            text += u' ';
        text += QString::number(byte, 16).toUpper().rightJustified(2, u'0');
    }
    return text;
}

std::vector<std::vector<std::uint8_t>> splitSyxFile(const QByteArray& bytes)
{
    std::vector<std::vector<std::uint8_t>> messages;
    std::vector<std::uint8_t> current;
    bool inMessage = false;
    for (char c : bytes) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (byte == SysExStart) {
            current.assign(1, byte);
            inMessage = true;
        } else if (!inMessage) {
            continue;
        } else if (byte == SysExEnd) {
            current.push_back(byte);
            if (current.size() <= MaxSysExBytes)
                messages.push_back(std::move(current));
            current.clear();
            inMessage = false;
        } else if (byte >= 0x80) {
            inMessage = false;
        } else {
            current.push_back(byte);
        }
    }
    return messages;
}

}  // namespace orvell
