#include "core/SectionFile.h"

#include "core/TextCodec.h"

#include <limits>
#include <utility>

namespace orvell {

namespace {

// A key needs at least three characters; shorter ones are the "Param Name missing" error.
constexpr qsizetype MinKeyLength = 3;

QStringView trimBlanks(QStringView s)
{
    while (!s.isEmpty() && (s.front() == u' ' || s.front() == u'\t'))
        s = s.sliced(1);
    while (!s.isEmpty() && (s.back() == u' ' || s.back() == u'\t'))
        s.chop(1);
    return s;
}

// Sign and decimal digits only, so "12abc", "1e3" and "0x10" are rejected
// rather than half read. Stops early once past the largest value asked for.
std::optional<qint64> parseDecimal(QStringView value, qint64 min, qint64 max)
{
    QStringView s = trimBlanks(value);
    bool negative = false;
    if (!s.isEmpty() && (s.front() == u'-' || s.front() == u'+')) {
        negative = s.front() == u'-';
        s = s.sliced(1);
    }
    if (s.isEmpty())
        return std::nullopt;
    const qint64 limit = negative ? -min : max;
    qint64 magnitude = 0;
    for (const QChar c : s) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c.unicode() - u'0');
        if (magnitude > limit)
            return std::nullopt;
    }
    return negative ? -magnitude : magnitude;
}

}  // namespace

void SectionWriter::header(QAnyStringView name)
{
    out_ += '[';
    append(name);
    out_ += ']';
    endLine();
}

void SectionWriter::data(QAnyStringView className)
{
    blank();
    out_ += '[';
    append(className);
    out_ += " Data]";
    endLine();
}

void SectionWriter::key(QAnyStringView key, QAnyStringView value)
{
    append(key);
    out_ += '=';
    append(value);
    endLine();
}

void SectionWriter::line(QAnyStringView text)
{
    append(text);
    endLine();
}

void SectionWriter::keyBool(QAnyStringView key, bool value)
{
    this->key(key, value ? QLatin1StringView("True") : QLatin1StringView("False"));
}

void SectionWriter::keyInt(QAnyStringView key, qint64 value)
{
    append(key);
    out_ += '=';
    out_ += QByteArray::number(value);
    endLine();
}

void SectionWriter::keyColor(QAnyStringView key, quint32 colour)
{
    keyInt(key, static_cast<qint32>(colour));
}

void SectionWriter::blank()
{
    endLine();
}

void SectionWriter::append(QAnyStringView text)
{
    const qsizetype start = out_.size();
    out_ += text.toString().toUtf8();
    for (qsizetype i = start; i < out_.size(); ++i) {
        if (out_[i] == '\r' || out_[i] == '\n')
            out_[i] = ' ';
    }
}

void SectionWriter::endLine()
{
    out_ += "\r\n";
}

SectionReader::SectionReader(const QByteArray& bytes)
    : text_(decodeText(bytes))
{
}

std::optional<SectionLine> SectionReader::next()
{
    if (havePending_) {
        havePending_ = false;
        return std::exchange(pending_, std::nullopt);
    }
    return readLine();
}

const std::optional<SectionLine>& SectionReader::peek()
{
    if (!havePending_) {
        pending_ = readLine();
        havePending_ = true;
    }
    return pending_;
}

bool SectionReader::atEnd()
{
    return !peek().has_value();
}

std::optional<SectionLine> SectionReader::readLine()
{
    const qsizetype size = text_.size();
    const char16_t* const chars = reinterpret_cast<const char16_t*>(text_.constData());
    while (pos_ < size) {
        const qsizetype start = pos_;
        qsizetype end = start;
        while (end < size && chars[end] != u'\r' && chars[end] != u'\n')
            ++end;
        pos_ = end;
        if (pos_ < size)
            pos_ += (chars[pos_] == u'\r' && pos_ + 1 < size && chars[pos_ + 1] == u'\n') ? 2 : 1;
        ++lineNumber_;

        const QStringView line(chars + start, end - start);
        if (line.isEmpty())
            continue;

        SectionLine out;
        out.lineNumber = lineNumber_;
        if (line.size() > MaxLineLength) {
            out.kind = SectionLine::Kind::Error;
            out.text = line.first(TruncatedTextLength).toString();
            out.truncated = true;
            return out;
        }

        out.text = line.toString();
        if (line.size() >= 2 && line.front() == u'[' && line.back() == u']') {
            out.kind = SectionLine::Kind::Header;
            out.name = line.sliced(1, line.size() - 2).toString();
            return out;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq < MinKeyLength) {  // also no "=" at all (-1)
            out.kind = SectionLine::Kind::Error;
            return out;
        }
        out.kind = SectionLine::Kind::Key;
        out.key = line.first(eq).toString();
        out.value = line.sliced(eq + 1).toString();
        return out;
    }
    return std::nullopt;
}

std::optional<QString> dataSectionClass(QStringView headerName)
{
    constexpr QLatin1StringView suffix(" Data");
    if (headerName.size() <= suffix.size() || !headerName.endsWith(suffix))
        return std::nullopt;
    return headerName.chopped(suffix.size()).toString();
}

std::optional<bool> parseSectionBool(QStringView value)
{
    const QStringView s = trimBlanks(value);
    if (s.compare(QLatin1StringView("True"), Qt::CaseInsensitive) == 0 || s == u"-1")
        return true;
    if (s.compare(QLatin1StringView("False"), Qt::CaseInsensitive) == 0 || s == u"0")
        return false;
    return std::nullopt;
}

std::optional<int> parseSectionInt(QStringView value)
{
    const auto n = parseDecimal(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    if (!n)
        return std::nullopt;
    return static_cast<int>(*n);
}

std::optional<quint32> parseSectionColor(QStringView value)
{
    const auto n = parseDecimal(value, std::numeric_limits<qint32>::min(), std::numeric_limits<quint32>::max());
    if (!n)
        return std::nullopt;
    // Negative values wrap to the same 32 bits: -2147483633 is 0x8000000F.
    return static_cast<quint32>(*n);
}

}  // namespace orvell
