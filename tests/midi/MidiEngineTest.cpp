#include "support/EngineRig.h"
#include "support/FakeClock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>

namespace orvell {
namespace {

using Bytes = std::vector<std::uint8_t>;

class RecorderSpy final : public RecorderHook {
public:
    struct Event {
        std::uint8_t status, data1, data2;
        int channel, port;
    };
    QString timeStampText() const override { return QStringLiteral("0:01.250 "); }
    void recordEvent(std::uint8_t status, std::uint8_t data1, std::uint8_t data2, int channel, int port) override
    {
        events.push_back({status, data1, data2, channel, port});
    }
    std::vector<Event> events;
};

class MidiEngineTest : public ::testing::Test, protected test::EngineRig {
protected:
    MidiEngineTest() : EngineRig(1, 3) {}

    Bytes lastBytes() const { return system.sent().empty() ? Bytes{} : system.sent().back().bytes; }
    int lastPort() const { return system.sent().empty() ? -1 : system.sent().back().port; }
    QString field(int n) const { return reporter.fields[static_cast<size_t>(n)]; }
};

TEST_F(MidiEngineTest, EnumerationBuildsBothTables)
{
    ASSERT_EQ(engine.NumOutDevs, 3);
    ASSERT_EQ(engine.MidiOutPorts.size(), 4u);
    EXPECT_EQ(engine.MidiOutPorts[0].Name, "MIDI Mapper Out");
    EXPECT_EQ(engine.MidiOutPorts[3].Name, "Virtual Out 3");
    EXPECT_TRUE(engine.MidiOutPorts[0].Present && engine.MidiOutPorts[0].Enabled);
    ASSERT_EQ(engine.NumInDevs, 1);
    EXPECT_EQ(engine.MidiInPorts[0].Name, "Empty In");
    EXPECT_FALSE(engine.MidiInPorts[0].Present || engine.MidiInPorts[0].Enabled);
    EXPECT_EQ(engine.MidiInPorts[1].Name, "Virtual In 1");
    EXPECT_TRUE(engine.MidiInPorts[1].Present);
}

TEST_F(MidiEngineTest, DeviceThatDoesNotAnswerIsNeverListed)
{
    system.setAbsent(1);
    engine.InitMidiDevs();
    EXPECT_TRUE(engine.MidiOutPorts[2].Name.isEmpty());
    EXPECT_FALSE(engine.MidiOutPorts[2].Present);
    const auto choices = engine.OutPortChoices();
    EXPECT_TRUE(std::ranges::none_of(choices, [](const auto& c) { return c.second == 2; }));
}

struct SendCase {
    const char* name;
    std::function<void(MidiEngine&)> send;
    Bytes bytes;
    int port;
    const char* description;
};

class SendTest : public MidiEngineTest, public ::testing::WithParamInterface<SendCase> {};

TEST_P(SendTest, SendsExactBytesAndDescribesThem)
{
    for (const char* port : {"0", "1", "2", "3"})
        engine.OpenMidiOut(QString::fromLatin1(port));
    reporter.clear();
    GetParam().send(engine);
    EXPECT_EQ(lastBytes(), GetParam().bytes);
    EXPECT_EQ(lastPort(), GetParam().port);
    EXPECT_EQ(field(0), QString::fromUtf8(GetParam().description));
    EXPECT_EQ(field(1), " Sent");
    EXPECT_EQ(engine.LastMidiErr, 0);
    EXPECT_TRUE(reporter.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Senders, SendTest,
    ::testing::Values(
        SendCase{"ControlChange", [](MidiEngine& e) { e.SendCtrlChg("2", 7, 100, "1"); }, {0xB0, 0x07, 0x64}, 2,
                 " Controller 7 Data 100 Chan 1 Port 2"},
        SendCase{"PackedChannel10", [](MidiEngine& e) { e.SendCtrlChg("1", 7, 100, "10"); }, {0xB9, 0x07, 0x64}, 1,
                 " Controller 7 Data 100 Chan 10 Port 1"},
        SendCase{"MapperIsPortZero", [](MidiEngine& e) { e.SendCtrlChg("0", 10, 63, "16"); }, {0xBF, 0x0A, 0x3F},
                 0, " Controller 10 Data 63 Chan 16 Port 0"},
        SendCase{"LastDevice", [](MidiEngine& e) { e.SendCtrlChg("3", 1, 0, "1"); }, {0xB0, 0x01, 0x00}, 3,
                 " Controller 1 Data 0 Chan 1 Port 3"},
        SendCase{"ProgramChange", [](MidiEngine& e) { e.SendProgChg("1", 5, "4"); }, {0xC3, 0x05}, 1,
                 " Program Change 5 Chan 4 Port 1"},
        SendCase{"Aftertouch", [](MidiEngine& e) { e.SendAftrTch("1", 64, "1"); }, {0xD0, 0x40}, 1,
                 " AfterTouch  Data 64 Chan 1 Port 1"},
        SendCase{"BendCentre", [](MidiEngine& e) { e.SendPBend("1", 0, "1"); }, {0xE0, 0x00, 0x40}, 1,
                 " Pitch Bend  Data 0 Chan 1 Port 1"},
        SendCase{"BendLowest", [](MidiEngine& e) { e.SendPBend("1", -8192, "1"); }, {0xE0, 0x00, 0x00}, 1,
                 " Pitch Bend  Data -8192 Chan 1 Port 1"},
        SendCase{"BendHighest", [](MidiEngine& e) { e.SendPBend("1", 8191, "2"); }, {0xE1, 0x7F, 0x7F}, 1,
                 " Pitch Bend  Data 8191 Chan 2 Port 1"},
        SendCase{"BendOddValue", [](MidiEngine& e) { e.SendPBend("1", 801, "1"); }, {0xE0, 0x21, 0x46}, 1,
                 " Pitch Bend  Data 801 Chan 1 Port 1"},
        SendCase{"RealTimeStop", [](MidiEngine& e) { e.SendRealTime("1", 0xFC); }, {0xFC}, 1,
                 " RealTime mesg: FC"},
        SendCase{"RealTimeStart", [](MidiEngine& e) { e.SendRealTime("2", 0xFA); }, {0xFA}, 2,
                 " RealTime mesg: FA"},
        SendCase{"DataAboveRangeIsClamped", [](MidiEngine& e) { e.SendCtrlChg("1", 7, 200, "1"); },
                 {0xB0, 0x07, 0x7F}, 1, " Controller 7 Data 127 Chan 1 Port 1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MidiEngineTest, PortChecks)
{
    struct Case {
        const char* port;
        const char* channel;
        bool invalidShown;
    };
    const Case cases[] = {
        {"4", "1", true},     // one past the last device
        {"-1", "1", true},    // below the mapper
        {"abc", "1", false},  // not numeric: silent
        {"", "1", false},
        {"1", "x", false},
        {"1", "17", false},  // would turn the message into another kind
        {"1", "0", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.port) + "/" + c.channel);
        reporter.clear();
        system.clearSent();
        engine.SendCtrlChg(QString::fromLatin1(c.port), 7, 100, QString::fromLatin1(c.channel));
        EXPECT_TRUE(system.sent().empty());
        EXPECT_EQ(field(0), c.invalidShown ? " Invalid MIDI Port!" : "");
        EXPECT_EQ(field(1), "");
    }
}

TEST_F(MidiEngineTest, RealTimeBelowStatusRangeSendsAndShowsNothing)
{
    engine.OpenMidiOut("1");
    reporter.clear();
    engine.SendRealTime("1", 0x7F);
    EXPECT_TRUE(system.sent().empty());
    EXPECT_TRUE(reporter.writes.empty());
}

TEST_F(MidiEngineTest, OpenAndCloseAreCounted)
{
    engine.OpenMidiOut("2");
    EXPECT_EQ(field(0), " Open MIDI OUT Port 2");
    EXPECT_EQ(field(1), " Done");
    engine.OpenMidiOut("2");
    EXPECT_EQ(system.totalOpens(1), 1);
    EXPECT_EQ(engine.MidiOutPorts[2].OpenCount, 2);

    engine.CloseMidiOut("2");
    EXPECT_EQ(system.openDeviceCount(1), 1);
    engine.CloseMidiOut("2");
    EXPECT_EQ(field(0), " Close MIDI OUT Port 2");
    EXPECT_EQ(system.openDeviceCount(1), 0);
    EXPECT_EQ(engine.MidiOutPorts[2].OpenCount, 0);

    reporter.clear();
    engine.CloseMidiOut("2");  // nobody holds it
    EXPECT_TRUE(reporter.writes.empty());
    EXPECT_EQ(engine.MidiOutPorts[2].OpenCount, 0);
    EXPECT_TRUE(reporter.boxes.empty());
}

TEST_F(MidiEngineTest, PortZeroOpensTheMapper)
{
    engine.OpenMidiOut("0");
    EXPECT_EQ(system.totalOpens(-1), 1);
}

TEST_F(MidiEngineTest, FailedOpenDisablesThePortAndDropsItFromSelectors)
{
    int refreshed = 0;
    engine.setPortListsChanged([&] { ++refreshed; });
    system.failOpen(1, MidiResult::Allocated, QStringLiteral("The device is busy."));
    engine.OpenMidiOut("2");

    EXPECT_EQ(engine.MidiOutPorts[2].OpenCount, 0);
    EXPECT_FALSE(engine.MidiOutPorts[2].Enabled);
    EXPECT_EQ(engine.LastMidiErr, MidiResult::Allocated);
    EXPECT_EQ(field(1), " FAIL!");
    EXPECT_EQ(refreshed, 1);
    ASSERT_EQ(reporter.boxes.size(), 1u);
    EXPECT_EQ(reporter.boxes[0].text, "OpenMidiOut:\rThe device is busy.");
    EXPECT_EQ(reporter.boxes[0].icon, MsgIcon::Exclamation);

    const auto choices = engine.OutPortChoices();
    const std::vector<std::pair<QString, int>> expected = {
        {"Virtual Out 1", 1}, {"Virtual Out 3", 3}, {"MIDI Mapper Out", 0}};
    EXPECT_EQ(choices, expected);
}

TEST_F(MidiEngineTest, FailedCloseKeepsThePortHeld)
{
    engine.OpenMidiOut("1");
    system.failClose(0, MidiResult::NotReady);
    engine.CloseMidiOut("1");
    EXPECT_EQ(engine.MidiOutPorts[1].OpenCount, 1);
    EXPECT_EQ(field(1), " FAIL!");
    ASSERT_EQ(reporter.boxes.size(), 1u);
    EXPECT_TRUE(reporter.boxes[0].text.startsWith("CloseMidiOut:\r"));
}

TEST_F(MidiEngineTest, SendErrorsAreReportedUnlessClosingDown)
{
    struct Case {
        std::function<void(MidiEngine&)> send;
        const char* routine;
    };
    const Case cases[] = {
        {[](MidiEngine& e) { e.SendCtrlChg("1", 7, 1, "1"); }, "SendCtrlChg"},
        {[](MidiEngine& e) { e.SendProgChg("1", 1, "1"); }, "SendProgChg"},
        {[](MidiEngine& e) { e.SendAftrTch("1", 1, "1"); }, "SendAftrTch"},
        {[](MidiEngine& e) { e.SendPBend("1", 1, "1"); }, "SendPBend"},
        {[](MidiEngine& e) { e.SendRealTime("1", 0xFA); }, "SendRealTime"},
    };
    engine.OpenMidiOut("1");
    system.failSend(0, 99, QStringLiteral("Cable pulled."));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.routine);
        reporter.clear();
        flags.ClosingDown = false;
        c.send(engine);
        EXPECT_EQ(field(1), " FAIL!");
        EXPECT_EQ(engine.LastMidiErr, 99);
        ASSERT_EQ(reporter.boxes.size(), 1u);
        EXPECT_EQ(reporter.boxes[0].text, QString::fromLatin1(c.routine) + ":\rCable pulled.");

        reporter.clear();
        flags.ClosingDown = true;
        c.send(engine);
        EXPECT_EQ(field(1), " FAIL!");
        EXPECT_TRUE(reporter.boxes.empty());
    }
}

TEST_F(MidiEngineTest, UnopenedPortFailsWithInvalidHandle)
{
    engine.SendCtrlChg("3", 7, 1, "1");
    EXPECT_EQ(engine.LastMidiErr, MidiResult::InvalidHandle);
    EXPECT_EQ(field(1), " FAIL!");
    EXPECT_EQ(reporter.boxes.size(), 1u);
    EXPECT_TRUE(system.sent().empty());
}

TEST_F(MidiEngineTest, UnknownErrorCodeGivesNoBox)
{
    engine.OpenMidiOut("1");
    system.failSend(0, 12345);
    engine.SendCtrlChg("1", 7, 1, "1");
    EXPECT_EQ(field(1), " FAIL!");
    EXPECT_TRUE(reporter.boxes.empty());
}

TEST_F(MidiEngineTest, RecorderGetsChannelMessagesWithTheirChannel)
{
    RecorderSpy recorder;
    engine.setRecorder(&recorder);
    engine.OpenMidiOut("1");
    flags.RecorderRunning = true;
    engine.SendCtrlChg("1", 7, 100, "3");
    engine.SendRealTime("1", 0xFC);
    engine.SendPBend("1", 0, "16");

    EXPECT_EQ(field(0), " 0:01.250 Pitch Bend  Data 0 Chan 16 Port 1");
    ASSERT_EQ(recorder.events.size(), 2u);  // real-time is not recorded
    EXPECT_EQ(recorder.events[0].status, 0xB2);
    EXPECT_EQ(recorder.events[0].data1, 7);
    EXPECT_EQ(recorder.events[0].data2, 100);
    EXPECT_EQ(recorder.events[0].channel, 3);
    EXPECT_EQ(recorder.events[0].port, 1);
    EXPECT_EQ(recorder.events[1].channel, 16);
    EXPECT_EQ(system.sent().size(), 3u);

    // Even a failed send is recorded.
    system.failSend(0, MidiResult::NotReady);
    engine.SendCtrlChg("1", 1, 2, "1");
    EXPECT_EQ(recorder.events.size(), 3u);

    flags.RecorderRunning = false;
    engine.SendCtrlChg("1", 1, 2, "1");
    EXPECT_EQ(recorder.events.size(), 3u);
}

TEST_F(MidiEngineTest, ResetControlSendsRestValues)
{
    struct Case {
        int code;
        Bytes bytes;  // empty: nothing sent
    };
    const Case cases[] = {
        {7, {0xB1, 7, 127}},   {11, {0xB1, 11, 127}}, {8, {0xB1, 8, 63}},  {10, {0xB1, 10, 63}},
        {201, {0xD1, 0}},      {202, {0xE1, 0, 64}},  {207, {0xFC}},       {1, {0xB1, 1, 0}},
        {64, {0xB1, 64, 0}},   {127, {0xB1, 127, 0}}, {206, {}},           {217, {}},
        {300, {}},             {210, {}},
    };
    engine.OpenMidiOut("1");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        system.clearSent();
        engine.ResetControl("1", c.code, "2", 0);
        if (c.bytes.empty())
            EXPECT_TRUE(system.sent().empty());
        else
            EXPECT_EQ(lastBytes(), c.bytes);
    }
}

TEST_F(MidiEngineTest, ResetControlReleasesRemoteHolds)
{
    std::vector<std::pair<int, int>> released;
    engine.setRemoteRelease([&](int code, int tag) { released.emplace_back(code, tag); });
    for (int code : {205, 210, 211, 212, 213, 214, 215, 216})
        engine.ResetControl("1", code, "1", 42);
    EXPECT_EQ(released.size(), 8u);
    EXPECT_EQ(released.front(), std::make_pair(205, 42));
    EXPECT_TRUE(system.sent().empty());
}

TEST_F(MidiEngineTest, SilenceChannelFadesOnTheClockThenSoundsOff)
{
    engine.OpenMidiOut("2");
    engine.SilenceChannel("2", "3");
    EXPECT_TRUE(system.sent().empty());  // returns at once

    clock.advanceMs(1000);
    ASSERT_EQ(system.sent().size(), 7u);
    const int values[] = {100, 80, 60, 40, 20, 0};
    for (int i = 0; i < 6; ++i) {
        const auto& message = system.sent()[static_cast<size_t>(i)];
        EXPECT_EQ(message.bytes, (Bytes{0xB2, 7, static_cast<std::uint8_t>(values[i])}));
        EXPECT_EQ(message.micros, (i + 1) * 100'000);
        EXPECT_EQ(message.port, 2);
    }
    EXPECT_EQ(system.sent()[6].bytes, (Bytes{0xB2, 120, 0}));
    EXPECT_EQ(system.sent()[6].micros, 600'000);
    EXPECT_TRUE(clock.idle());
}

TEST_F(MidiEngineTest, SilenceTellsWhenDoneAndStopsWhenThePortCloses)
{
    engine.OpenMidiOut("1");
    bool done = false;
    engine.SilenceChannel("1", "1", [&] { done = true; });
    clock.advanceMs(550);
    EXPECT_FALSE(done);
    clock.advanceMs(100);
    EXPECT_TRUE(done);

    system.clearSent();
    done = false;
    engine.SilenceChannel("1", "1", [&] { done = true; });
    clock.advanceMs(250);
    engine.CloseMidiOut("1");
    clock.advanceMs(1000);
    EXPECT_EQ(system.sent().size(), 2u);  // 100 and 80, then nothing
    EXPECT_FALSE(done);
    EXPECT_TRUE(reporter.boxes.empty());
    EXPECT_TRUE(clock.idle());
}

TEST_F(MidiEngineTest, Hex2PadsToTwoUpperCaseDigits)
{
    EXPECT_EQ(MidiEngine::Hex2(0x0A), "0A");
    EXPECT_EQ(MidiEngine::Hex2(0xFC), "FC");
    EXPECT_EQ(MidiEngine::Hex2(0), "00");
}

}  // namespace
}  // namespace orvell

namespace orvell {
namespace {

// Sees the packed value exactly as the backend receives it.
class PackedSpy final : public MidiSystem {
public:
    QString backendName() const override { return QStringLiteral("spy"); }
    int outputCount() override { return 2; }
    std::optional<QString> outputName(int device) override { return QString::number(device); }
    int inputCount() override { return 1; }
    std::optional<QString> inputName(int) override { return QStringLiteral("in"); }
    int openOutput(int, MidiHandle& handle) override
    {
        handle = 7;
        return MidiResult::Ok;
    }
    int closeOutput(MidiHandle) override { return MidiResult::Ok; }
    int sendShort(MidiHandle, std::uint32_t value) override
    {
        packed.push_back(value);
        return MidiResult::Ok;
    }
    int sendLong(MidiHandle, const std::uint8_t*, std::size_t) override { return MidiResult::Ok; }
    int openInput(int, MidiHandle&) override { return MidiResult::NoDriver; }
    int closeInput(MidiHandle) override { return MidiResult::InvalidHandle; }
    int startInput(MidiHandle) override { return MidiResult::InvalidHandle; }
    int stopInput(MidiHandle) override { return MidiResult::InvalidHandle; }
    int resetInput(MidiHandle) override { return MidiResult::InvalidHandle; }
    int connect(MidiHandle, MidiHandle) override { return MidiResult::InvalidHandle; }
    int disconnect(MidiHandle, MidiHandle) override { return MidiResult::InvalidHandle; }
    void setInputListener(InputListener) override {}
    void setMapperTap(MapperTap*) override {}
    std::optional<QString> errorText(int code) const override { return standardMidiErrorText(code); }
    std::vector<std::uint32_t> packed;
};

TEST(MidiEnginePacking, StatusThenDataBytesLittleEndian)
{
    PackedSpy spy;
    MessageTable msgs;
    test::RecordingReporter reporter;
    test::FakeClock clock;
    AppFlags flags;
    MidiEngine engine(spy, msgs, reporter, clock, flags);
    engine.InitMidiDevs();
    engine.OpenMidiOut("1");
    engine.SendCtrlChg("1", 7, 100, "10");
    engine.SendProgChg("1", 127, "1");
    engine.SendPBend("1", -8192, "1");
    EXPECT_EQ(spy.packed, (std::vector<std::uint32_t>{0x006407B9, 0x00007FC0, 0x000000E0}));
}

TEST(VirtualMidiLog, OneLinePerMessageWithMillisecondsPortAndHex)
{
    const QString path = QDir::temp().filePath(QStringLiteral("orvell-midi-log-%1.txt").arg(QCoreApplication::applicationPid()));
    test::FakeClock clock;
    {
        VirtualMidiSystem system(1, 2, clock);
        ASSERT_TRUE(system.setLogFile(path));
        MidiHandle mapper = 0;
        MidiHandle second = 0;
        ASSERT_EQ(system.openOutput(-1, mapper), MidiResult::Ok);
        ASSERT_EQ(system.openOutput(1, second), MidiResult::Ok);
        clock.advanceMs(12);
        system.sendShort(second, 0x006407B9);
        clock.advanceMs(1500);
        system.sendShort(mapper, 0xFC);
        system.sendShort(mapper, 0x05C3);
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("12 2 B9 07 64\n1512 0 FC\n1512 0 C3 05\n"));
    file.remove();
}

}  // namespace
}  // namespace orvell
