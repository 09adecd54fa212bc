#include "help/MessageTable.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <optional>
#include <random>
#include <string_view>
#include <vector>

#include <sys/resource.h>

using namespace std::string_view_literals;
using orvell::MessageFileError;
using orvell::MessageTable;

namespace {

QByteArray bytes(std::string_view s)
{
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

QByteArray entries(int count, const char* text = "x")
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += QByteArray("\"") + text + "\"\r\n";
    return out;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool writeAll(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// A table that differs from the factory texts, so that "unchanged" cannot be
// confused with "reset to defaults".
MessageTable customTable()
{
    MessageTable t;
    EXPECT_EQ(t.loadFromBytes("\"custom zero\"\r\n\"custom one\"\r\n"), std::nullopt);
    return t;
}

constexpr int kEmptyEntries[] = {73, 74, 99, 136, 137, 138, 139, 238, 239, 240, 241, 242};

bool isEmptyEntry(int n)
{
    for (const int e : kEmptyEntries)
        if (e == n)
            return true;
    return false;
}

TEST(MessageTable, FactoryTexts)
{
    const MessageTable t;
    struct Case {
        int n;
        const char* text;
    };
    const Case cases[] = {
        {0, "OK"},
        {1, "Done"},
        {11, " Data "},
        {35, "You must have PatchList Panels open to\rselect this controller type"},
        {63, "'s instrument list does not have channel/port\rsettings.  Use a PatchList Panel to save "
             "settings\ror you'll have to manually re-enter them every time\ryou load this panel.  Any "
             "related sub-group(s) must\rthen be re-saved"},
        {97, "  (Can't change)"},
        {148, "Sets terminal data value for MIDI Auto  events"},
        {191, " (Click to restore MIDI/Staus message text)"},
        {212, "'s stored panelpointer is not unique; it will be fixed now."},
        {219, "You're loosing a change of some kind by selecting this"},
        {237, "Exit without making a panel visible"},
        {243, "Message Log cleared"},
        {263, "No-Op control (does nothing)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        EXPECT_EQ(t[c.n], QString::fromUtf8(c.text));
    }
    for (int n = 0; n < MessageTable::Count; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(t[n].isEmpty(), isEmptyEntry(n));
        EXPECT_FALSE(t[n].contains(u'\n'));
        EXPECT_FALSE(t[n].contains(u'"'));
    }
}

TEST(MessageTable, IndexOutsideTableIsEmpty)
{
    const MessageTable t;
    for (const int n : {-1, MessageTable::Count, MessageTable::Count + 1, INT_MAX, INT_MIN}) {
        SCOPED_TRACE(n);
        EXPECT_TRUE(t[n].isEmpty());
    }
}

TEST(MessageTable, DumpFormat)
{
    const QByteArray dump = MessageTable().toFileBytes();
    EXPECT_TRUE(dump.startsWith("\"OK\"\r\n\"Done\"\r\n\"Sent\"\r\n\"FAIL!\"\r\n\"Device \"\r\n"));
    EXPECT_TRUE(dump.contains("\r\n\"You must have PatchList Panels open to\rselect this controller type\"\r\n"));
    EXPECT_TRUE(dump.contains("\r\n\"The selected panel no longer exists\"\r\n\"\"\r\n\"\"\r\n\"The stored Midi Port"));
    EXPECT_TRUE(dump.endsWith("\r\n\"No-Op control (does nothing)\"\r\n"));
    EXPECT_EQ(dump.count("\r\n"), MessageTable::Count);
    EXPECT_EQ(dump.count('"'), 2 * MessageTable::Count);
}

TEST(MessageTable, DumpThenLoadKeepsEveryText)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("ORVMesgs.txt");
    const MessageTable factory;
    ASSERT_EQ(factory.saveToFile(path), std::nullopt);
    EXPECT_EQ(readAll(path), factory.toFileBytes());

    MessageTable t;
    ASSERT_EQ(t.loadFromBytes(entries(MessageTable::Count, "overwritten")), std::nullopt);
    ASSERT_EQ(t.loadFromFile(path), std::nullopt);
    for (int n = 0; n < MessageTable::Count; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(t[n], factory[n]);
    }
}

TEST(MessageTable, LoadedTextsSurviveAnotherDumpAndLoad)
{
    const QByteArray file = bytes(
        "\"  leading blanks\"\r\n"
        "\"trailing\t \"\r\n"
        "\"\"\r\n"
        "\"two\r\nlines\"\r\n"
        "\"ends in a break\r\n\"\r\n"
        "\"it's caf\xC3\xA9 \xE2\x80\x9Cquoted\xE2\x80\x9D\"\r\n"sv);
    MessageTable a;
    ASSERT_EQ(a.loadFromBytes(file), std::nullopt);
    EXPECT_EQ(a[0], "  leading blanks");
    EXPECT_EQ(a[1], "trailing\t ");
    EXPECT_EQ(a[2], "");
    EXPECT_EQ(a[3], "two\rlines");
    EXPECT_EQ(a[4], "ends in a break\r");
    EXPECT_EQ(a[5], QString::fromUtf8("it's caf\xC3\xA9 \xE2\x80\x9Cquoted\xE2\x80\x9D"));

    MessageTable b;
    ASSERT_EQ(b.loadFromBytes(a.toFileBytes()), std::nullopt);
    for (int n = 0; n < MessageTable::Count; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(b[n], a[n]);
    }
    EXPECT_EQ(b.toFileBytes(), a.toFileBytes());
}

TEST(MessageTable, ReadsEntriesFromTheStart)
{
    struct Case {
        const char* name;
        std::string_view file;
        std::vector<std::u16string_view> first;
    };
    const Case cases[] = {
        {"empty file changes nothing", ""sv, {}},
        {"only line ends and blanks", "\r\n\n \t\r"sv, {}},
        {"shorter file", "\"A\"\r\n\"B\"\r\n"sv, {u"A"sv, u"B"sv}},
        {"LF line ends", "\"A\"\n\"B\"\n"sv, {u"A"sv, u"B"sv}},
        {"lone CR line ends", "\"A\"\r\"B\"\r"sv, {u"A"sv, u"B"sv}},
        {"no final line end", "\"A\"\r\n\"B\""sv, {u"A"sv, u"B"sv}},
        {"blanks and tabs around entries", " \t\"A\"  \"B\"\t\r\n  "sv, {u"A"sv, u"B"sv}},
        {"entries back to back", "\"A\"\"B\""sv, {u"A"sv, u"B"sv}},
        {"empty entry", "\"\"\r\n\"B\"\r\n"sv, {u""sv, u"B"sv}},
        {"CR LF inside quotes", "\"x\r\ny\""sv, {u"x\ry"sv}},
        {"LF inside quotes", "\"x\ny\""sv, {u"x\ry"sv}},
        {"CR inside quotes", "\"x\ry\""sv, {u"x\ry"sv}},
        {"blank line inside quotes", "\"x\r\n\r\ny\""sv, {u"x\r\ry"sv}},
        {"CR CR LF inside quotes", "\"x\r\r\ny\""sv, {u"x\r\ry"sv}},
        {"control bytes inside quotes kept", "\"a\0\tb\x7F\""sv, {u"a\0\tb\x7F"sv}},
        {"byte order mark", "\xEF\xBB\xBF\"caf\xC3\xA9\""sv, {u"caf\u00E9"sv}},
        {"Windows-1252 file", "\"\x93Hi\x94 caf\xE9\"\r\n"sv, {u"\u201CHi\u201D caf\u00E9"sv}},
    };
    const MessageTable factory;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MessageTable t;
        ASSERT_EQ(t.loadFromBytes(bytes(c.file)), std::nullopt);
        const int replaced = static_cast<int>(c.first.size());
        for (int n = 0; n < replaced; ++n) {
            const std::u16string_view want = c.first[static_cast<std::size_t>(n)];
            EXPECT_EQ(t[n], QString::fromUtf16(want.data(), static_cast<qsizetype>(want.size()))) << n;
        }
        for (int n = replaced; n < MessageTable::Count; ++n)
            EXPECT_EQ(t[n], factory[n]) << n;
    }
}

TEST(MessageTable, FullFileReplacesEveryEntry)
{
    MessageTable t;
    ASSERT_EQ(t.loadFromBytes(entries(MessageTable::Count, "new")), std::nullopt);
    for (int n = 0; n < MessageTable::Count; ++n)
        EXPECT_EQ(t[n], "new") << n;
    t.restoreDefaults();
    EXPECT_EQ(t.toFileBytes(), MessageTable().toFileBytes());
}

TEST(MessageTable, BadFilesAreRefusedAndChangeNothing)
{
    struct Case {
        const char* name;
        QByteArray file;
        int number;
        const char* text;
    };
    const Case cases[] = {
        {"unterminated quote", bytes("\"a\"\r\n\"b"sv), 62, "Input past end of file"},
        {"lone quote", bytes("\""sv), 62, "Input past end of file"},
        {"quote after many good entries", entries(200) + "\"", 62, "Input past end of file"},
        {"bare word", bytes("x"sv), 13, "Unexpected text outside quotes on line 1"},
        {"text on line 3", bytes("\"a\"\r\n\"b\"\r\nz\"c\""sv), 13, "Unexpected text outside quotes on line 3"},
        {"LF line ends counted", bytes("\"a\"\n\nq"sv), 13, "Unexpected text outside quotes on line 3"},
        {"lone CR line ends counted", bytes("\"a\"\r\rq"sv), 13, "Unexpected text outside quotes on line 3"},
        {"line break inside quotes counted", bytes("\"a\r\nb\"\r\nq"sv), 13, "Unexpected text outside quotes on line 3"},
        {"text right after an entry", bytes("\"a\"b"sv), 13, "Unexpected text outside quotes on line 1"},
        {"NUL outside quotes", bytes("\"a\"\0"sv), 13, "Unexpected text outside quotes on line 1"},
        {"form feed outside quotes", bytes("\f\"a\""sv), 13, "Unexpected text outside quotes on line 1"},
        {"single quotes", bytes("'a'"sv), 13, "Unexpected text outside quotes on line 1"},
        {"265 entries", entries(MessageTable::Count + 1), 9, "More than 264 messages in the file"},
        {"265th entry empty", entries(MessageTable::Count) + "\"\"", 9, "More than 264 messages in the file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MessageTable t = customTable();
        const QByteArray before = t.toFileBytes();
        const std::optional<MessageFileError> err = t.loadFromBytes(c.file);
        ASSERT_TRUE(err.has_value());
        EXPECT_EQ(err->number, c.number);
        EXPECT_EQ(err->text, QString::fromUtf8(c.text));
        EXPECT_EQ(t.toFileBytes(), before);
    }
}

TEST(MessageTable, ArbitraryBytesNeverBreakTheTable)
{
    // Short inputs drawn mostly from the characters the reader cares about.
    const char alphabet[] = {'"', '"', '"', '\r', '\n', ' ', '\t', 'a', '\0', '\x93', '\xC3', '\xA9'};
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof alphabet - 1);
    std::uniform_int_distribution<int> length(0, 30);
    for (int round = 0; round < 1500; ++round) {
        QByteArray in;
        for (int i = length(rng); i > 0; --i)
            in.append(alphabet[pick(rng)]);
        MessageTable t = customTable();
        const QByteArray before = t.toFileBytes();
        if (t.loadFromBytes(in)) {
            ASSERT_EQ(t.toFileBytes(), before) << in.toHex().constData();
        } else {
            for (int n = 0; n < MessageTable::Count; ++n)
                ASSERT_FALSE(t[n].contains(u'\n') || t[n].contains(u'"')) << in.toHex().constData();
        }
    }
}

QByteArray randomBytes(qsizetype size, std::uint64_t seed)
{
    QByteArray out(size, Qt::Uninitialized);
    std::mt19937_64 rng(seed);
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        const std::uint64_t v = rng();
        std::memcpy(out.data() + i, &v, 8);
    }
    for (; i < size; ++i)
        out[i] = static_cast<char>(rng());
    return out;
}

TEST(MessageTable, HugeInputsFailQuickly)
{
    constexpr qsizetype FiftyMB = 50 * 1024 * 1024;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("random.txt");
    const QByteArray noise = randomBytes(FiftyMB, 9001);
    ASSERT_TRUE(writeAll(path, noise));

    MessageTable t = customTable();
    const QByteArray before = t.toFileBytes();

    const std::optional<MessageFileError> fromFile = t.loadFromFile(path);
    ASSERT_TRUE(fromFile.has_value());
    EXPECT_EQ(fromFile->number, 7);
    EXPECT_EQ(fromFile->text, "File too large");
    EXPECT_EQ(t.toFileBytes(), before);

    // The same bytes handed over directly, and inputs that make the reader
    // walk far before failing; anything quadratic would not finish.
    constexpr qsizetype EightMB = 8 * 1024 * 1024;
    const QByteArray longQuote = "\"" + QByteArray(EightMB, 'a');
    const QByteArray blanksThenJunk = entries(10) + QByteArray(EightMB, ' ') + '#';
    const QByteArray manyEntries = QByteArray("\"\"").repeated(EightMB / 2);
    for (const QByteArray* in : {&noise, &longQuote, &blanksThenJunk, &manyEntries}) {
        EXPECT_TRUE(t.loadFromBytes(*in).has_value());
        EXPECT_EQ(t.toFileBytes(), before);
    }
}

TEST(MessageTable, FileSizeLimit)
{
    constexpr qsizetype Limit = 16 * 1024 * 1024;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    QByteArray atLimit = "\"limit\"" + QByteArray(Limit - 7, ' ');
    ASSERT_EQ(atLimit.size(), Limit);
    ASSERT_TRUE(writeAll(dir.filePath("at.txt"), atLimit));
    MessageTable t;
    EXPECT_EQ(t.loadFromFile(dir.filePath("at.txt")), std::nullopt);
    EXPECT_EQ(t[0], "limit");

    atLimit += ' ';
    ASSERT_TRUE(writeAll(dir.filePath("over.txt"), atLimit));
    MessageTable u = customTable();
    const std::optional<MessageFileError> err = u.loadFromFile(dir.filePath("over.txt"));
    ASSERT_TRUE(err.has_value());
    EXPECT_EQ(err->number, 7);
    EXPECT_EQ(u[0], "custom zero");
}

TEST(MessageTable, FilesThatCannotBeReadChangeNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString unreadable = dir.filePath("locked.txt");
    ASSERT_TRUE(writeAll(unreadable, "\"locked\""));
    QFile::setPermissions(unreadable, QFileDevice::Permissions());
    const bool canReadAnyway = QFile(unreadable).open(QIODevice::ReadOnly);  // e.g. as root

    struct Case {
        const char* name;
        QString path;
        int number;
        const char* text;  // nullptr: whatever the system says
    };
    const Case cases[] = {
        {"missing file", dir.filePath("nope.txt"), 53, "File not found"},
        {"missing directory", dir.filePath("nope/ORVMesgs.txt"), 53, "File not found"},
        {"empty path", QString(), 53, "File not found"},
        {"directory", dir.path(), 75, nullptr},
        {"device", QStringLiteral("/dev/zero"), 75, nullptr},
        {"unreadable file", unreadable, 75, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.path == unreadable && canReadAnyway)
            continue;
        MessageTable t = customTable();
        const QByteArray before = t.toFileBytes();
        const std::optional<MessageFileError> err = t.loadFromFile(c.path);
        ASSERT_TRUE(err.has_value());
        EXPECT_EQ(err->number, c.number);
        if (c.text)
            EXPECT_EQ(err->text, c.text);
        else
            EXPECT_FALSE(err->text.isEmpty());
        EXPECT_EQ(t.toFileBytes(), before);
    }
}

TEST(MessageTable, EmptyFileLoadsAndChangesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("empty.txt");
    ASSERT_TRUE(writeAll(path, {}));
    MessageTable t = customTable();
    const QByteArray before = t.toFileBytes();
    EXPECT_EQ(t.loadFromFile(path), std::nullopt);
    EXPECT_EQ(t.toFileBytes(), before);
}

TEST(MessageTable, SaveReplacesExistingFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("ORVMesgs.txt");
    ASSERT_TRUE(writeAll(path, QByteArray(100000, 'z')));
    const MessageTable t = customTable();
    ASSERT_EQ(t.saveToFile(path), std::nullopt);
    EXPECT_EQ(readAll(path), t.toFileBytes());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"ORVMesgs.txt"});
}

TEST(MessageTable, SaveWhereNoFileCanBeMadeFails)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(writeAll(dir.filePath("plain"), "x"));
    const QString paths[] = {
        dir.filePath("missing/ORVMesgs.txt"),
        dir.filePath("plain/ORVMesgs.txt"),  // parent is a file
        dir.path(),                          // the target is a directory
    };
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        const std::optional<MessageFileError> err = MessageTable().saveToFile(path);
        ASSERT_TRUE(err.has_value());
        EXPECT_EQ(err->number, 75);
        EXPECT_FALSE(err->text.isEmpty());
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"plain"});
    EXPECT_EQ(readAll(dir.filePath("plain")), "x");
}

using orvell::test::FileSizeLimit;

TEST(MessageTable, FailedSaveKeepsExistingFile)
{
    const QByteArray original = "\"the old file\"\r\n";
    const MessageTable t;
    const qsizetype dumpSize = t.toFileBytes().size();

    {
        SCOPED_TRACE("write cut short");
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString path = dir.filePath("ORVMesgs.txt");
        ASSERT_TRUE(writeAll(path, original));
        std::optional<MessageFileError> err;
        bool limited = false;
        {
            FileSizeLimit limit(static_cast<rlim_t>(dumpSize / 2));
            limited = limit.active();
            if (limited)
                err = t.saveToFile(path);
        }
        ASSERT_TRUE(limited);
        ASSERT_TRUE(err.has_value());
        EXPECT_FALSE(err->text.isEmpty());
        EXPECT_TRUE(err->number == 75 || err->number == 61) << err->number;
        EXPECT_EQ(readAll(path), original);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                  QStringList{"ORVMesgs.txt"});
    }
    {
        SCOPED_TRACE("read-only directory");
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString sub = dir.filePath("ro");
        ASSERT_TRUE(QDir().mkdir(sub));
        const QString path = sub + "/ORVMesgs.txt";
        ASSERT_TRUE(writeAll(path, original));
        QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const bool writableAnyway = writeAll(sub + "/probe", "p");  // e.g. as root
        QFile::remove(sub + "/probe");
        if (!writableAnyway) {
            const std::optional<MessageFileError> err = t.saveToFile(path);
            ASSERT_TRUE(err.has_value());
            EXPECT_EQ(err->number, 75);
            EXPECT_FALSE(err->text.isEmpty());
            EXPECT_EQ(readAll(path), original);
        }
        QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
}

TEST(MessageTable, FilePath)
{
    struct Case {
        const char* appDir;
        const char* helpDir;
        const char* path;
    };
    const Case cases[] = {
        {"/opt/orvell/", "", "/opt/orvell/Help/ORVMesgs.txt"},
        {"/opt/orvell/", "/home/ann/orvell help/", "/home/ann/orvell help/ORVMesgs.txt"},
        {"", "", "Help/ORVMesgs.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(MessageTable::filePath(c.appDir, c.helpDir), c.path);
    }
}

}  // namespace
