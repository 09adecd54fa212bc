#include "midi/SysEx.h"
#include "support/EngineRig.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <variant>

namespace orvell {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(SysExText, HexTextAcceptsDigitsAndBlanksOnly)
{
    for (const char* good : {"F0 7E 7F 09 01 F7", "f0 7e", "A0", "", "  "})
        EXPECT_TRUE(isHexText(QString::fromLatin1(good))) << good;
    for (const char* bad : {"F0,7E", "G1", "F0\t7E", "0x F0"})
        EXPECT_FALSE(isHexText(QString::fromLatin1(bad))) << bad;
}

TEST(SysExText, StripBlanksRemovesEveryBlankAndNothingElse)
{
    EXPECT_EQ(StripBlanks(QStringLiteral(" F0 7E  7F\t09 F7 ")), QStringLiteral("F07E7F\t09F7"));
}

struct ParseCase {
    const char* text;
    SysExFault fault;
    Bytes bytes;
};

TEST(SysExText, OnlyWholeMessagesParse)
{
    const ParseCase cases[] = {
        {"F0 7E 7F 09 01 F7", SysExFault::None, {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}},
        {"f07e7f0901f7", SysExFault::None, {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}},
        {"F0F7", SysExFault::None, {0xF0, 0xF7}},
        {"F0 7E 7", SysExFault::OddDigits, {}},
        {"F0 7E 7F F", SysExFault::OddDigits, {}},
        {"7E 7F 09 01 F7", SysExFault::NotFramed, {}},
        {"F0 7E 7F 09 01", SysExFault::NotFramed, {}},
        {"F0 7E 90 01 F7", SysExFault::NotFramed, {}},
        {"F7", SysExFault::NotFramed, {}},
        {"", SysExFault::NotFramed, {}},
        {"F0,7E", SysExFault::NotHex, {}},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.text);
        const auto parsed = parseSysEx(QString::fromLatin1(c.text));
        if (c.fault == SysExFault::None) {
            ASSERT_TRUE(std::holds_alternative<Bytes>(parsed));
            EXPECT_EQ(std::get<Bytes>(parsed), c.bytes);
        } else {
            ASSERT_TRUE(std::holds_alternative<SysExFault>(parsed));
            EXPECT_EQ(std::get<SysExFault>(parsed), c.fault);
        }
    }
}

QString longMessage(std::size_t size)
{
    Bytes bytes(size, 0x11);
    bytes.front() = 0xF0;
    bytes.back() = 0xF7;
    return sysExText(bytes);
}

TEST(SysExText, SixtyFourKilobytesParseAndOneMoreIsTooLong)
{
    const auto longest = parseSysEx(longMessage(MaxSysExBytes));
    ASSERT_TRUE(std::holds_alternative<Bytes>(longest));
    EXPECT_EQ(std::get<Bytes>(longest).size(), MaxSysExBytes);
    EXPECT_EQ(std::get<SysExFault>(parseSysEx(longMessage(MaxSysExBytes + 1))), SysExFault::TooLong);
}

TEST(SysExText, SyxFileGivesEachMessageAndSkipsWhatIsNotOne)
{
    const QByteArray file = QByteArray::fromHex("0102"           // noise before
                                                "F07E7F0901F7"   // one
                                                "F04110F7"       // two
                                                "F0419001F7"     // broken by a note-on
                                                "55"             // noise between
                                                "F043F7"         // three
                                                "F04344");       // cut off
    const auto messages = splitSyxFile(file);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0], (Bytes{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}));
    EXPECT_EQ(messages[1], (Bytes{0xF0, 0x41, 0x10, 0xF7}));
    EXPECT_EQ(messages[2], (Bytes{0xF0, 0x43, 0xF7}));
    EXPECT_TRUE(splitSyxFile(QByteArray()).empty());
    EXPECT_TRUE(splitSyxFile(QByteArray(1000, '\xF7')).empty());
}

TEST(SysExText, WrittenTextReadsBackToTheSameBytes)
{
    const Bytes bytes = {0xF0, 0x00, 0x0A, 0x7F, 0xF7};
    EXPECT_EQ(sysExText(bytes), QStringLiteral("F0 00 0A 7F F7"));
    EXPECT_EQ(std::get<Bytes>(parseSysEx(sysExText(bytes))), bytes);
}

class SendSysExTest : public ::testing::Test, protected test::EngineRig {
protected:
    SendSysExTest() : EngineRig(0, 2, {"1"}) { reporter.clear(); }

    std::vector<SysExEntry> table = {{"GM On", "F0 7E 7F 09 01 F7"},
                                     {"Roland", "F0 41 10 42 12 40 00 7F 00 41 F7"},
                                     {"Odd", "F0 7E 7"}};
};

TEST_F(SendSysExTest, EntryGoesOutWithoutItsBlanksAsOneMessage)
{
    engine.SendSysEx(QStringLiteral("1"), 1, table);
    ASSERT_EQ(system.sent().size(), 1u);
    EXPECT_EQ(system.sent()[0].port, 1);
    EXPECT_EQ(system.sent()[0].bytes, (Bytes{0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7}));
    EXPECT_EQ(reporter.fields[0], " Sys Ex Msg Port 1");
    EXPECT_EQ(reporter.fields[1], " Sent");
}

TEST_F(SendSysExTest, NothingGoesForABadPortOrAnIndexPastTheEnd)
{
    struct Case {
        const char* port;
        int index;
        const char* field0;
    };
    for (const Case& c : {Case{"1", 3, ""}, Case{"1", -1, ""}, Case{"x", 0, ""}, Case{"", 0, ""},
                          Case{"3", 0, " Invalid MIDI Port!"}, Case{"-1", 0, " Invalid MIDI Port!"}}) {
        SCOPED_TRACE(std::string(c.port) + " " + std::to_string(c.index));
        reporter.clear();
        engine.SendSysEx(QString::fromLatin1(c.port), c.index, table);
        EXPECT_TRUE(system.sent().empty());
        EXPECT_EQ(reporter.fields[0], QString::fromLatin1(c.field0));
        EXPECT_TRUE(reporter.boxes.empty());
    }
    engine.SendSysEx(QStringLiteral("1"), 0, {});
    EXPECT_TRUE(system.sent().empty());
}

TEST_F(SendSysExTest, StoredEntryThatIsNotAWholeMessageIsNeverSent)
{
    engine.SendSysEx(QStringLiteral("1"), 2, table);
    EXPECT_TRUE(system.sent().empty());
    EXPECT_EQ(reporter.fields[1], " FAIL!");
    ASSERT_EQ(reporter.boxes.size(), 1u);
    EXPECT_EQ(reporter.boxes[0].text, "SendSysEx:\rF0 7E 7\rhas an odd number of hex digits. Every byte takes two.");
}

TEST_F(SendSysExTest, FailingDeviceShowsFailAndTheErrorBox)
{
    system.failSend(0, MidiResult::NotReady);
    engine.SendSysEx(QStringLiteral("1"), 0, table);
    EXPECT_EQ(engine.LastMidiErr, MidiResult::NotReady);
    EXPECT_EQ(reporter.fields[1], " FAIL!");
    ASSERT_EQ(reporter.boxes.size(), 1u);
    EXPECT_TRUE(reporter.boxes[0].text.startsWith("SendSysEx:\r"));
}

TEST_F(SendSysExTest, UnopenedPortFailsLikeTheShortSenders)
{
    engine.SendSysEx(QStringLiteral("2"), 0, table);
    EXPECT_EQ(engine.LastMidiErr, MidiResult::InvalidHandle);
    EXPECT_EQ(reporter.fields[1], " FAIL!");
}

TEST_F(SendSysExTest, LongestMessageGoesWhole)
{
    std::vector<SysExEntry> big = {{"Dump", longMessage(MaxSysExBytes)}};
    engine.SendSysEx(QStringLiteral("1"), 0, big);
    ASSERT_EQ(system.sent().size(), 1u);
    EXPECT_EQ(system.sent()[0].bytes.size(), MaxSysExBytes);
    EXPECT_EQ(system.sent()[0].bytes.back(), 0xF7);
}

TEST_F(SendSysExTest, SysExIsNotHandedToTheRecorder)
{
    struct Spy final : RecorderHook {
        QString timeStampText() const override { return QStringLiteral("0:02 "); }
        void recordEvent(std::uint8_t, std::uint8_t, std::uint8_t, int, int) override { ++events; }
        int events = 0;
    } spy;
    engine.setRecorder(&spy);
    flags.RecorderRunning = true;
    engine.SendSysEx(QStringLiteral("1"), 0, table);
    EXPECT_EQ(spy.events, 0);
    EXPECT_EQ(reporter.fields[0], " 0:02 Sys Ex Msg Port 1");
    engine.setRecorder(nullptr);
}

}  // namespace
}  // namespace orvell
