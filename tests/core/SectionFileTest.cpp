#include "core/SectionFile.h"

#include <QList>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <optional>
#include <random>
#include <string_view>
#include <vector>

using namespace std::string_view_literals;
using orvell::SectionLine;
using orvell::SectionReader;
using orvell::SectionWriter;
using Kind = SectionLine::Kind;

namespace {

QByteArray bytes(std::string_view s)
{
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

std::vector<SectionLine> readAll(const QByteArray& data)
{
    SectionReader reader(data);
    std::vector<SectionLine> lines;
    while (auto line = reader.next())
        lines.push_back(std::move(*line));
    return lines;
}

// What a reader should return for one line: the kind, then the header name or
// the key and value.
struct Expected {
    Kind kind;
    std::string_view first = {};   // header name or key
    std::string_view second = {};  // value
    qsizetype lineNumber = 0;
};

void expectLines(const std::vector<SectionLine>& got, const std::vector<Expected>& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(i);
        const SectionLine& g = got[i];
        const Expected& w = want[i];
        EXPECT_EQ(g.kind, w.kind);
        EXPECT_EQ(g.lineNumber, w.lineNumber);
        EXPECT_FALSE(g.truncated);
        if (w.kind == Kind::Header) {
            EXPECT_EQ(g.name, QString::fromUtf8(bytes(w.first)));
        } else if (w.kind == Kind::Key) {
            EXPECT_EQ(g.key, QString::fromUtf8(bytes(w.first)));
            EXPECT_EQ(g.value, QString::fromUtf8(bytes(w.second)));
        }
    }
}

// A cut-down session: the panel list, the main window with its data section and
// one panel whose name contains "=" and whose colour is a system colour.
QByteArray sampleSession()
{
    SectionWriter w;
    w.header("Panels");
    w.blank();
    w.header("AOrvell");
    w.key("Name", "Orvell");
    w.keyInt("Top", 1680);
    w.keyInt("Left", -75);
    w.keyColor("Color", 0x80000000u | 12);
    w.keyBool("Visible", true);
    w.key("Tag", "");
    w.keyInt("WindowState", 0);
    w.data("AOrvell");
    w.keyInt("UniqFormCounter", 3);
    w.keyBool("StatusBarVisible", false);
    w.key("PanlDir", u"/home/\u00E9l\u00E8ve/sessions/");
    w.blank();
    w.header("Buttons");
    w.key("Name", QStringLiteral("A=B"));
    w.keyColor("TextBackColor", 0x8000000Fu);
    w.keyColor("Color", 0x00FFFFFFu);
    w.data("Buttons");
    return w.bytes();
}

constexpr std::string_view kSampleBytes =
    "[Panels]\r\n"
    "\r\n"
    "[AOrvell]\r\n"
    "Name=Orvell\r\n"
    "Top=1680\r\n"
    "Left=-75\r\n"
    "Color=-2147483636\r\n"
    "Visible=True\r\n"
    "Tag=\r\n"
    "WindowState=0\r\n"
    "\r\n"
    "[AOrvell Data]\r\n"
    "UniqFormCounter=3\r\n"
    "StatusBarVisible=False\r\n"
    "PanlDir=/home/\xC3\xA9l\xC3\xA8ve/sessions/\r\n"
    "\r\n"
    "[Buttons]\r\n"
    "Name=A=B\r\n"
    "TextBackColor=-2147483633\r\n"
    "Color=16777215\r\n"
    "\r\n"
    "[Buttons Data]\r\n"sv;

const std::vector<Expected> kSampleLines = {
    {Kind::Header, "Panels", "", 1},
    {Kind::Header, "AOrvell", "", 3},
    {Kind::Key, "Name", "Orvell", 4},
    {Kind::Key, "Top", "1680", 5},
    {Kind::Key, "Left", "-75", 6},
    {Kind::Key, "Color", "-2147483636", 7},
    {Kind::Key, "Visible", "True", 8},
    {Kind::Key, "Tag", "", 9},
    {Kind::Key, "WindowState", "0", 10},
    {Kind::Header, "AOrvell Data", "", 12},
    {Kind::Key, "UniqFormCounter", "3", 13},
    {Kind::Key, "StatusBarVisible", "False", 14},
    {Kind::Key, "PanlDir", "/home/\xC3\xA9l\xC3\xA8ve/sessions/", 15},
    {Kind::Header, "Buttons", "", 17},
    {Kind::Key, "Name", "A=B", 18},
    {Kind::Key, "TextBackColor", "-2147483633", 19},
    {Kind::Key, "Color", "16777215", 20},
    {Kind::Header, "Buttons Data", "", 22},
};

TEST(SectionWriter, WritesExactBytes)
{
    EXPECT_EQ(sampleSession(), bytes(kSampleBytes));
}

TEST(SectionWriter, LineBreaksInsideAValueCannotStartANewLine)
{
    SectionWriter w;
    w.key("Name", "one\r\n[AOrvell]\rtwo\nthree");
    EXPECT_EQ(w.bytes(), bytes("Name=one  [AOrvell] two three\r\n"));
    expectLines(readAll(w.bytes()), {{Kind::Key, "Name", "one  [AOrvell] two three", 1}});
}

TEST(SectionReader, ReadsBackWhatWasWritten)
{
    const std::vector<SectionLine> lines = readAll(sampleSession());
    expectLines(lines, kSampleLines);
    for (const SectionLine& line : lines) {
        SCOPED_TRACE(line.lineNumber);
        if (line.kind == Kind::Header)
            EXPECT_EQ(line.text, QLatin1Char('[') + line.name + QLatin1Char(']'));
        else
            EXPECT_EQ(line.text, line.key + QLatin1Char('=') + line.value);
    }
    EXPECT_EQ(orvell::parseSectionColor(lines[15].value), 0x8000000Fu);
    EXPECT_EQ(orvell::parseSectionColor(lines[16].value), 0x00FFFFFFu);
    EXPECT_EQ(orvell::parseSectionInt(lines[4].value), -75);
    EXPECT_EQ(orvell::parseSectionBool(lines[6].value), true);
    EXPECT_EQ(orvell::parseSectionBool(lines[11].value), false);
}

TEST(SectionReader, EveryKindOfLineEndReadsTheSame)
{
    const QByteArray crlf = bytes(kSampleBytes);
    QByteArray lf = crlf;
    lf.replace("\r\n", "\n");
    QByteArray cr = crlf;
    cr.replace("\r\n", "\r");
    // Alternate the three ends line by line.
    QByteArray mixed;
    const char* const ends[] = {"\r\n", "\n", "\r"};
    int n = 0;
    for (const QByteArray& line : crlf.split('\n')) {
        if (line.isEmpty())
            continue;
        mixed += line.chopped(1) + ends[n++ % 3];
    }
    QByteArray noFinalEnd = crlf;
    noFinalEnd.chop(2);

    struct Case {
        const char* name;
        QByteArray data;
    };
    const Case cases[] = {
        {"CR LF", crlf},
        {"LF", lf},
        {"lone CR", cr},
        {"mixed", mixed},
        {"last line without an end", noFinalEnd},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectLines(readAll(c.data), kSampleLines);
    }
}

TEST(SectionReader, ClassifiesLines)
{
    struct Case {
        std::string_view line;
        Expected want;
    };
    const Case cases[] = {
        {"[Panels]"sv, {Kind::Header, "Panels"}},
        {"[AOrvell Data]"sv, {Kind::Header, "AOrvell Data"}},
        {"[]"sv, {Kind::Header, ""}},
        {"[A=B]"sv, {Kind::Header, "A=B"}},
        {"[[x]]"sv, {Kind::Header, "[x]"}},
        {"Top=1680"sv, {Kind::Key, "Top", "1680"}},
        {"Top="sv, {Kind::Key, "Top", ""}},
        {"Key==v"sv, {Kind::Key, "Key", "=v"}},
        {"top=1"sv, {Kind::Key, "top", "1"}},
        {"Name= A=B = "sv, {Kind::Key, "Name", " A=B = "}},
        {"[ab=c"sv, {Kind::Key, "[ab", "c"}},
        {"Key=[x]"sv, {Kind::Key, "Key", "[x]"}},
        {"Nul=a\0b"sv, {Kind::Key, "Nul", "a\0b"sv}},
        // Too short a key, or none at all.
        {"XY=1"sv, {Kind::Error}},
        {"=x"sv, {Kind::Error}},
        {"A="sv, {Kind::Error}},
        {"=="sv, {Kind::Error}},
        {"ab"sv, {Kind::Error}},
        {"Top"sv, {Kind::Error}},
        {"[a=b"sv, {Kind::Error}},
        // Not headers: a lone bracket, or text around the brackets.
        {"["sv, {Kind::Error}},
        {"]"sv, {Kind::Error}},
        {"]["sv, {Kind::Error}},
        {" [Panels]"sv, {Kind::Error}},
        {"[Panels] "sv, {Kind::Error}},
        {" "sv, {Kind::Error}},
        {"\0"sv, {Kind::Error}},
    };
    // All in one file, with an empty line between cases, so the line numbers
    // are checked too.
    QByteArray data;
    std::vector<Expected> want;
    qsizetype lineNumber = 0;
    for (const Case& c : cases) {
        data += bytes(c.line) + "\r\n\r\n";
        Expected e = c.want;
        e.lineNumber = lineNumber + 1;
        lineNumber += 2;
        want.push_back(e);
    }
    const std::vector<SectionLine> got = readAll(data);
    expectLines(got, want);
    ASSERT_EQ(got.size(), std::size(cases));
    for (std::size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(got[i].text, QString::fromUtf8(bytes(cases[i].line)));
    }
}

TEST(SectionReader, DegenerateFiles)
{
    struct Case {
        const char* name;
        std::string_view data;
        std::vector<Expected> want;
    };
    const Case cases[] = {
        {"empty", ""sv, {}},
        {"only line ends", "\r\n\n\r\r\n\n"sv, {}},
        {"only [", "["sv, {{Kind::Error, "", "", 1}}},
        {"only =", "="sv, {{Kind::Error, "", "", 1}}},
        {"only ]", "]"sv, {{Kind::Error, "", "", 1}}},
        {"bracket split by a line end", "[\r]"sv, {{Kind::Error, "", "", 1}, {Kind::Error, "", "", 2}}},
        {"only a byte order mark", "\xEF\xBB\xBF"sv, {}},
        {"byte order mark before a header", "\xEF\xBB\xBF[Panels]\r\n"sv, {{Kind::Header, "Panels", "", 1}}},
        {"blank lines before the first line", "\n\n\r\n\rTop=1"sv, {{Kind::Key, "Top", "1", 5}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectLines(readAll(bytes(c.data)), c.want);
    }
}

TEST(SectionReader, DecodesWindows1252AndUtf8Values)
{
    struct Case {
        const char* name;
        std::string_view data;
        const char16_t* value;
        std::size_t lines;
    };
    const Case cases[] = {
        {"UTF-8", "Name=Caf\xC3\xA9 \xE2\x80\x9Cx\xE2\x80\x9D\r\n"sv, u"Caf\u00E9 \u201Cx\u201D", 1},
        {"Windows-1252", "Name=Caf\xE9 \x93x\x94\r\n"sv, u"Caf\u00E9 \u201Cx\u201D", 1},
        // U+0085 would be a line end to some readers; here 0x85 is an ellipsis.
        {"Windows-1252 0x85", "Name=\x85x\r\nTop=1\r\n"sv, u"\u2026x", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<SectionLine> lines = readAll(bytes(c.data));
        ASSERT_EQ(lines.size(), c.lines);
        EXPECT_EQ(lines[0].kind, Kind::Key);
        EXPECT_EQ(lines[0].value, QString::fromUtf16(c.value));
    }
}

// A data-section reader takes keys up to the next header and leaves the header
// for the caller.
TEST(SectionReader, PeekLeavesTheLineForNext)
{
    SectionReader reader(bytes("[AOrvell Data]\r\nUniqFormCounter=3\r\nXY=1\r\n\r\n[Buttons]\r\n"sv));
    ASSERT_TRUE(reader.next().has_value());

    std::vector<QString> keys;
    std::vector<qsizetype> errorLines;
    while (reader.peek() && reader.peek()->kind != Kind::Header) {
        const SectionLine line = *reader.next();
        if (line.kind == Kind::Key)
            keys.push_back(line.key);
        else
            errorLines.push_back(line.lineNumber);
    }
    EXPECT_EQ(keys, std::vector<QString>{QStringLiteral("UniqFormCounter")});
    EXPECT_EQ(errorLines, std::vector<qsizetype>{3});

    ASSERT_TRUE(reader.peek().has_value());
    EXPECT_EQ(reader.peek()->name, QStringLiteral("Buttons"));
    EXPECT_EQ(reader.peek()->lineNumber, 5);
    EXPECT_FALSE(reader.atEnd());
    const auto header = reader.next();
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(header->name, QStringLiteral("Buttons"));
    EXPECT_EQ(header->lineNumber, 5);

    EXPECT_TRUE(reader.atEnd());
    EXPECT_FALSE(reader.peek().has_value());
    EXPECT_FALSE(reader.next().has_value());
    EXPECT_FALSE(reader.next().has_value());
}

TEST(SectionFile, DataSectionClass)
{
    struct Case {
        const char* name;
        std::optional<const char*> cls;
    };
    const Case cases[] = {
        {"AOrvell Data", "AOrvell"},
        {"Buttons Data", "Buttons"},
        {"My Panel Data", "My Panel"},
        {"Buttons", std::nullopt},
        {" Data", std::nullopt},
        {"Buttons data", std::nullopt},
        {"Buttons Data ", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto got = orvell::dataSectionClass(QString::fromUtf8(c.name));
        ASSERT_EQ(got.has_value(), c.cls.has_value());
        if (got) {
            EXPECT_EQ(*got, QString::fromUtf8(*c.cls));
        }
    }
}

TEST(SectionFile, ParsesValues)
{
    struct BoolCase {
        const char* text;
        std::optional<bool> want;
    };
    const BoolCase bools[] = {
        {"True", true}, {"False", false}, {"TRUE", true}, {"false", false}, {"-1", true},
        {"0", false},   {" True ", true}, {"", std::nullopt}, {"1", std::nullopt}, {"Tru", std::nullopt},
        {"Truex", std::nullopt}, {"yes", std::nullopt}, {"-0", std::nullopt},
    };
    for (const BoolCase& c : bools) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(orvell::parseSectionBool(QString::fromUtf8(c.text)), c.want);
    }

    struct IntCase {
        const char* text;
        std::optional<int> want;
    };
    const IntCase ints[] = {
        {"0", 0},
        {"1680", 1680},
        {"-75", -75},
        {"+5", 5},
        {"007", 7},
        {"\t42 ", 42},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"000000000000000000000000000001", 1},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999999999999", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"+", std::nullopt},
        {"12abc", std::nullopt},
        {"1.5", std::nullopt},
        {"1e3", std::nullopt},
        {"0x10", std::nullopt},
        {"1 2", std::nullopt},
        {"--1", std::nullopt},
        {"\xD9\xA3", std::nullopt},  // an Arabic-Indic digit three
    };
    for (const IntCase& c : ints) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(orvell::parseSectionInt(QString::fromUtf8(c.text)), c.want);
    }

    struct ColorCase {
        const char* text;
        std::optional<quint32> want;
    };
    const ColorCase colours[] = {
        {"0", 0u},
        {"16777215", 0x00FFFFFFu},
        {"-2147483633", 0x8000000Fu},
        {"2147483663", 0x8000000Fu},
        {"-2147483648", 0x80000000u},
        {"-1", 0xFFFFFFFFu},
        {"4294967295", 0xFFFFFFFFu},
        {"4294967296", std::nullopt},
        {"-2147483649", std::nullopt},
        {"&H8000000F&", std::nullopt},
        {"red", std::nullopt},
    };
    for (const ColorCase& c : colours) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(orvell::parseSectionColor(QString::fromUtf8(c.text)), c.want);
    }
}

TEST(SectionFile, ColourRoundTrip)
{
    const quint32 colours[] = {0u, 0x00FFFFFFu, 0x8000000Fu, 0x80000000u, 0x7FFFFFFFu, 0xFFFFFFFFu};
    for (const quint32 colour : colours) {
        SCOPED_TRACE(colour);
        SectionWriter w;
        w.keyColor("Color", colour);
        const std::vector<SectionLine> lines = readAll(w.bytes());
        ASSERT_EQ(lines.size(), 1u);
        ASSERT_FALSE(lines[0].value.startsWith(QLatin1Char('+')));
        EXPECT_EQ(orvell::parseSectionColor(lines[0].value), colour);
        EXPECT_EQ(orvell::parseSectionInt(lines[0].value), static_cast<qint32>(colour));
    }
}

// A line past the limit comes back as an error carrying only its start; one at
// the limit is kept whole.
TEST(SectionReader, HugeLines)
{
    const qsizetype limit = SectionReader::MaxLineLength;
    {
        SCOPED_TRACE("50 MB without a line end");
        QByteArray data(50 * 1000 * 1000, 'a');
        data.prepend("Big=");
        SectionReader reader(data);
        const auto line = reader.next();
        ASSERT_TRUE(line.has_value());
        EXPECT_EQ(line->kind, Kind::Error);
        EXPECT_TRUE(line->truncated);
        EXPECT_EQ(line->lineNumber, 1);
        EXPECT_EQ(line->text.size(), SectionReader::TruncatedTextLength);
        EXPECT_TRUE(line->text.startsWith(QStringLiteral("Big=aaa")));
        EXPECT_FALSE(reader.next().has_value());
    }
    {
        SCOPED_TRACE("overlong line between good ones");
        const QByteArray data = "Top=1\r\n" + QByteArray(limit + 1, '=') + "\r\nLeft=2\r\n";
        const std::vector<SectionLine> lines = readAll(data);
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(lines[1].kind, Kind::Error);
        EXPECT_TRUE(lines[1].truncated);
        EXPECT_EQ(lines[1].lineNumber, 2);
        expectLines({lines[2]}, {{Kind::Key, "Left", "2", 3}});
    }
    {
        SCOPED_TRACE("line exactly at the limit");
        const QByteArray data = "Val=" + QByteArray(limit - 4, 'v');
        const std::vector<SectionLine> lines = readAll(data);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].kind, Kind::Key);
        EXPECT_EQ(lines[0].value.size(), limit - 4);
    }
}

QByteArray mutate(const QByteArray& base, std::mt19937& rng)
{
    // Bytes that matter to the syntax or the decoder turn up more often than chance.
    static constexpr char kInteresting[] = {'[', ']', '=', '\r', '\n', '\0', ' ',
                                            '\x80', '\xC3', '\xE9', '\xEF', '\xFF'};
    auto pick = [&rng](qsizetype n) { return std::uniform_int_distribution<qsizetype>(0, n)(rng); };
    auto randomByte = [&]() {
        return pick(1) == 0 ? kInteresting[pick(std::size(kInteresting) - 1)] : static_cast<char>(pick(255));
    };

    QByteArray data = base;
    const int edits = 1 + static_cast<int>(pick(3));
    for (int e = 0; e < edits; ++e) {
        const qsizetype at = pick(data.size());
        const qsizetype len = pick(std::min<qsizetype>(16, data.size() - at));
        switch (pick(3)) {
        case 0:  // flip one byte
            if (at < data.size())
                data[at] = randomByte();
            break;
        case 1: {  // insert a few bytes
            QByteArray insert;
            for (qsizetype i = 0, n = 1 + pick(7); i < n; ++i)
                insert += randomByte();
            data.insert(at, insert);
            break;
        }
        case 2:  // delete a slice
            data.remove(at, len);
            break;
        default:  // duplicate a slice
            data.insert(at, data.mid(at, len));
            break;
        }
    }
    return data;
}

// Whatever the bytes, every line the reader returns must be one the syntax
// allows. Plain checks rather than assertions: this runs a hundred thousand times.
const char* firstViolation(const QByteArray& data)
{
    SectionReader reader(data);
    qsizetype lastLine = 0;
    qsizetype count = 0;
    while (auto line = reader.next()) {
        const QStringView text = line->text;
        if (++count > data.size())
            return "more lines than bytes";
        if (line->lineNumber <= lastLine)
            return "line numbers not increasing";
        lastLine = line->lineNumber;
        if (text.isEmpty())
            return "empty line returned";
        if (text.contains(u'\r') || text.contains(u'\n'))
            return "line end inside a line";
        const bool bracketed = text.size() >= 2 && text.front() == u'[' && text.back() == u']';
        switch (line->kind) {
        case Kind::Header:
            if (!bracketed || text.sliced(1, text.size() - 2) != line->name)
                return "header does not match its text";
            break;
        case Kind::Key:
            if (bracketed || line->key.size() < 3 || line->key.contains(u'='))
                return "bad key accepted";
            if (text.size() != line->key.size() + 1 + line->value.size() || !text.startsWith(line->key)
                || text[line->key.size()] != u'=' || !text.endsWith(line->value))
                return "key and value do not match the text";
            break;
        case Kind::Error:
            if (bracketed)
                return "header reported as an error";
            if (!line->truncated && text.indexOf(u'=') >= 3)
                return "good key reported as an error";
            break;
        }
    }
    if (lastLine > data.count('\r') + data.count('\n') + 1)
        return "more lines than line ends";
    return nullptr;
}

TEST(SectionReader, SurvivesMutatedFiles)
{
    const QByteArray base = bytes(kSampleBytes);
    std::mt19937 rng(20240611);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 100000; ++i) {
        const QByteArray data = mutate(base, rng);
        if (const char* violation = firstViolation(data)) {
            FAIL() << "mutation " << i << ": " << violation << "\n" << data.toHex().constData();
        }
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    RecordProperty("milliseconds", static_cast<int>(ms.count()));
}

}  // namespace
