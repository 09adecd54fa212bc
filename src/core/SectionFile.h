#pragma once

#include <QAnyStringView>
#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

namespace orvell {

// Writes the line syntax shared by session, default-session and panel files:
// "[Section]" headers and "Key=value" lines, UTF-8, each line ended by CR LF.
class SectionWriter {
public:
    // "[name]".
    void header(QAnyStringView name);
    // An empty line, then "[className Data]": the start of a window's own data section.
    void data(QAnyStringView className);
    // "key=value" with the value as it is. A CR or LF inside a value would
    // start a new line on reading, so each one is written as a blank.
    void key(QAnyStringView key, QAnyStringView value);
    // "True" or "False".
    void keyBool(QAnyStringView key, bool value);
    void keyInt(QAnyStringView key, qint64 value);
    // The 32-bit colour as a signed decimal: system colour 0x8000000F is -2147483633.
    void keyColor(QAnyStringView key, quint32 colour);
    void blank();
    // A line of plain text, such as a port name.
    void line(QAnyStringView text);

    const QByteArray& bytes() const { return out_; }

private:
    void append(QAnyStringView text);
    void endLine();

    QByteArray out_;
};

struct SectionLine {
    enum class Kind {
        Header,  // "[name]"
        Key,     // "key=value", key at least three characters long
        Error,   // a short or missing key, or a line too long to keep
    };

    Kind kind = Kind::Error;
    QString name;   // header: the text between the brackets
    QString key;    // key line: the text before the first "="
    QString value;  // key line: everything after the first "=", unchanged
    QString text;   // the whole line, cut to its start when truncated is set
    qsizetype lineNumber = 0;  // 1-based, empty lines counted
    bool truncated = false;
};

// Reads the section syntax from a whole file's bytes, decoded as UTF-8 or else
// Windows-1252. CR LF, LF and a lone CR all end a line; empty lines are skipped.
class SectionReader {
public:
    // Longer lines come back as errors without their full text, so a damaged
    // file cannot make every caller copy a huge value around.
    static constexpr qsizetype MaxLineLength = qsizetype(1) << 20;
    // How much of an overlong line an error keeps in its text.
    static constexpr qsizetype TruncatedTextLength = 256;

    explicit SectionReader(const QByteArray& bytes);

    // The next non-empty line, or nullopt at end of file.
    std::optional<SectionLine> next();
    // The line next() will return, left in place: a data-section reader stops
    // at a header without taking it.
    const std::optional<SectionLine>& peek();
    bool atEnd();

private:
    std::optional<SectionLine> readLine();

    QString text_;
    qsizetype pos_ = 0;
    qsizetype lineNumber_ = 0;
    std::optional<SectionLine> pending_;
    bool havePending_ = false;
};

// For the name of a header: "AOrvell Data" gives "AOrvell", any other name nullopt.
std::optional<QString> dataSectionClass(QStringView headerName);

// Value readers. Blanks and tabs around a value are ignored, since a
// hand-edited file easily gains them; anything else that does not fit gives nullopt.

// "True" or "False", and the -1 / 0 of older files; any letter case.
std::optional<bool> parseSectionBool(QStringView value);
// Plain decimal with an optional sign, within the int range.
std::optional<int> parseSectionInt(QStringView value);
// A 32-bit colour written signed (-2147483633) or unsigned (2147483663).
std::optional<quint32> parseSectionColor(QStringView value);

}  // namespace orvell
