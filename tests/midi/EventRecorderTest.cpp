#include "sequencer/EventRecorder.h"
#include "support/EngineRig.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

namespace orvell {
namespace {

QByteArray hex(const char* text) { return QByteArray::fromHex(text); }

TEST(VarLen, SevenBitGroupsMostSignificantFirst)
{
    const struct {
        std::uint32_t value;
        const char* bytes;
    } cases[] = {
        {0, "00"},          {0x40, "40"},         {0x7F, "7F"},         {0x80, "8100"},
        {110, "6E"},        {200, "8148"},        {0x3FFF, "FF7F"},     {16384, "818000"},
        {0x1FFFFF, "FFFF7F"}, {0x200000, "81808000"}, {0x0FFFFFFF, "FFFFFF7F"},
    };
    for (const auto& c : cases) {
        QByteArray out;
        appendVarLen(out, c.value);
        EXPECT_EQ(out, hex(c.bytes)) << c.value;
    }
}

class RecorderTest : public ::testing::Test, protected test::EngineRig {
protected:
    RecorderTest() : EngineRig(0, 2, {"1", "2"}), recorder(clock)
    {
        engine.setRecorder(&recorder);
        clock.advanceMs(12345);  // recording does not start at the clock's zero
        recorder.start();
        flags.RecorderRunning = true;
    }

    // The event bytes of the one track with this channel and port.
    QByteArray events(int channel, int port) const
    {
        for (const auto& track : recorder.tracks()) {
            if (track.channel == channel && track.port == port)
                return track.events;
        }
        return {};
    }

    EventRecorder recorder;
};

TEST_F(RecorderTest, ControlChangeAfter550MsIsDelta110At100Bpm)
{
    clock.advanceMs(550);
    engine.SendCtrlChg("1", 7, 100, "1");
    EXPECT_EQ(events(1, 1), hex("6EB00764"));
    EXPECT_EQ(recorder.usedTracks(), 1);
    const QByteArray file = recorder.fileBytes();
    EXPECT_EQ(file.mid(10, 2), hex("0002"));  // tempo track and one channel track
    EXPECT_EQ(system.sent().size(), 1u);      // sent as well as recorded
}

TEST_F(RecorderTest, RunningStatusAndDataBytesByKind)
{
    engine.SendCtrlChg("1", 7, 100, "1");
    clock.advanceMs(1000);
    engine.SendCtrlChg("1", 7, 90, "1");
    clock.advanceMs(40);
    engine.SendPBend("1", 8191, "1");
    engine.SendAftrTch("1", 64, "1");
    engine.SendProgChg("1", 5, "1");
    engine.SendProgChg("1", 6, "1");
    // 1000 ms = 200 ticks = 81 48; 40 ms = 8 ticks.
    EXPECT_EQ(events(1, 1), hex("00B00764" "814807" "5A" "08E07F7F" "00D040" "00C005" "0006"));
}

TEST_F(RecorderTest, EachChannelAndPortHasItsOwnTrackInOrderOfFirstUse)
{
    engine.SendCtrlChg("2", 10, 1, "3");
    engine.SendCtrlChg("1", 10, 2, "3");
    engine.SendCtrlChg("2", 10, 3, "4");
    engine.SendCtrlChg("2", 10, 4, "3");
    ASSERT_EQ(recorder.tracks().size(), 4u);  // the unused first record stays
    EXPECT_TRUE(recorder.tracks()[0].events.isEmpty());
    EXPECT_EQ(recorder.tracks()[1].port, 2);
    EXPECT_EQ(recorder.tracks()[1].channel, 3);
    EXPECT_EQ(recorder.tracks()[2].port, 1);
    EXPECT_EQ(events(3, 2), hex("00B20A01" "000A04"));
    EXPECT_EQ(recorder.usedTracks(), 3);
}

TEST_F(RecorderTest, StampsAreRealMillisecondsNotTimerTicks)
{
    // Odd times that a 50 ms timer would round away.
    clock.advanceMs(7);
    engine.SendCtrlChg("1", 1, 1, "1");
    clock.advanceMs(16384 * 5 - 7);
    engine.SendCtrlChg("1", 1, 2, "1");
    // 7 ms is 1.4 ticks: 1; then 81920 ms from the start is exactly 16384 ticks.
    QByteArray expected = hex("01B00101");
    appendVarLen(expected, 16384 - 1);
    expected += hex("0102");
    EXPECT_EQ(events(1, 1), expected);
    EXPECT_EQ(recorder.timeStampText(), "1:21.920 ");
}

TEST_F(RecorderTest, TicksCountFromTheStartSoRoundingNeverAddsUp)
{
    recorder.setTempo(120);  // a tick is 4.1666 ms
    for (int i = 0; i < 30; ++i) {
        clock.advanceMs(3);
        engine.SendCtrlChg("1", 1, i, "1");
    }
    // 90 ms in all is 21.6 ticks: the deltas add up to 22, not 30 x round(0.72).
    std::uint32_t total = 0;
    const QByteArray data = events(1, 1);
    for (qsizetype i = 0; i < data.size();) {
        total += static_cast<std::uint8_t>(data[i]);  // every delta here fits one byte
        i += (i == 0) ? 4 : 3;
    }
    EXPECT_EQ(total, 22u);
}

TEST_F(RecorderTest, NothingIsRecordedWhileStoppedOrForRealTime)
{
    engine.SendRealTime("1", 0xFA);
    flags.RecorderRunning = false;
    engine.SendCtrlChg("1", 7, 1, "1");
    EXPECT_EQ(recorder.usedTracks(), 0);
    EXPECT_TRUE(recorder.fileBytes().isEmpty());
}

TEST_F(RecorderTest, WholeFileByteForByte)
{
    clock.advanceMs(550);
    engine.SendCtrlChg("1", 7, 100, "1");
    clock.advanceMs(1000);
    engine.SendProgChg("2", 5, "10");
    const QByteArray expected = hex(
        "4D546864 00000006 0001 0003 0078"
        // tempo track: 29 + 6 bytes
        "4D54726B 00000023"
        "00FF0306 54696D696E67"
        "00FF580404021808"
        "00FF59020000"
        "00FF5103 0927C0"
        "00FF2F00"
        // channel 1, port 1: name "Chan 1, Port 1" (14), events 4 bytes: 4 + 20 + 14
        "4D54726B 00000026"
        "00FF210100"
        "00FF030E 4368616E20312C20506F72742031"
        "01903F01013F00"
        "6EB00764"
        "00FF2F00"
        // channel 10, port 2: name "Chan 10, Port 2" (15), events: 310 ticks = 82 36, C9 05
        "4D54726B 00000027"
        "00FF210101"
        "00FF030F 4368616E2031302C20506F72742032"
        "01993F01013F00"
        "8236C905"
        "00FF2F00");
    EXPECT_EQ(recorder.fileBytes().toHex(' '), expected.toHex(' '));
}

TEST(RecorderTempo, MicrosecondsPerQuarterAndTheTempoRange)
{
    test::FakeClock clock;
    EventRecorder recorder(clock);
    recorder.start();
    recorder.recordEvent(0xB0, 1, 1, 1, 1);
    const struct {
        int bpm, expectedTempo;
        const char* bytes;
    } cases[] = {{100, 100, "0927C0"}, {120, 120, "07A120"}, {250, 250, "03A980"},
                 {7, 10, "5B8D80"},    {999, 250, "03A980"}};
    for (const auto& c : cases) {
        recorder.setTempo(c.bpm);
        EXPECT_EQ(recorder.tempo(), c.expectedTempo);
        EXPECT_EQ(recorder.fileBytes().mid(14 + 8 + 10 + 8 + 6 + 4, 3), hex(c.bytes)) << c.bpm;
    }
}

}  // namespace
}  // namespace orvell
