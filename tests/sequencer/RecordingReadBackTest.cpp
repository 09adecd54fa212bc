// A recording read back by our own reader: what was sent comes back, at the
// time it was sent.
#include "sequencer/EventRecorder.h"
#include "sequencer/SmfReader.h"
#include "support/EngineRig.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace orvell {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Sent {
    std::int64_t micros;  // since recording began
    int port;
    Bytes bytes;  // status with channel, then data
};

struct ReadBackCase {
    const char* name;
    int tempo;
    std::int64_t toleranceMicros;
    std::vector<Sent> sends;
};

void send(MidiEngine& engine, const Sent& s)
{
    const QString port = QString::number(s.port);
    const QString channel = QString::number((s.bytes[0] & 0x0F) + 1);
    switch (s.bytes[0] & 0xF0) {
    case 0xB0:
        engine.SendCtrlChg(port, s.bytes[1], s.bytes[2], channel);
        break;
    case 0xC0:
        engine.SendProgChg(port, s.bytes[1], channel);
        break;
    case 0xD0:
        engine.SendAftrTch(port, s.bytes[1], channel);
        break;
    case 0xE0:
        engine.SendPBend(port, (s.bytes[1] | (s.bytes[2] << 7)) - 8192, channel);
        break;
    default:
        FAIL() << "not a message the senders record";
    }
}

class RecordingReadBack : public ::testing::TestWithParam<ReadBackCase> {};

TEST_P(RecordingReadBack, GivesTheSentMessagesAtTheirTimes)
{
    const ReadBackCase& c = GetParam();
    test::EngineRig rig(0, 3, {"1", "2", "3"});
    EventRecorder recorder(rig.clock);
    rig.engine.setRecorder(&recorder);
    rig.clock.advanceMs(4321);  // recording does not begin at the clock's zero
    recorder.setTempo(c.tempo);
    recorder.start();
    rig.flags.RecorderRunning = true;
    std::int64_t now = 0;
    for (const Sent& s : c.sends) {
        ASSERT_GE(s.micros, now);
        rig.clock.advanceMicros(s.micros - now);
        now = s.micros;
        send(rig.engine, s);
    }

    QString error;
    const auto sequence = SmfReader::read(recorder.fileBytes(), error);
    ASSERT_TRUE(sequence) << error.toStdString();

    // Every track starts with the quiet marker note over its first two ticks.
    const std::int64_t leadIn = 2 * 500'000 / c.tempo;
    std::map<std::pair<int, int>, std::vector<std::pair<std::int64_t, Bytes>>> readBack;  // by port and channel
    for (const SmfEvent& event : sequence->events) {
        const auto bytes = sequence->bytes(event);
        if (event.kind != SmfEventKind::Channel || (bytes[0] & 0xF0) == 0x90)
            continue;
        readBack[{event.port, bytes[0] & 0x0F}].emplace_back(event.micros - leadIn, Bytes(bytes.begin(), bytes.end()));
    }
    std::map<std::pair<int, int>, size_t> next;
    size_t matched = 0;
    for (const Sent& s : c.sends) {
        const std::pair key{s.port, s.bytes[0] & 0x0F};
        const auto& list = readBack[key];
        const size_t at = next[key]++;
        ASSERT_LT(at, list.size()) << "port " << s.port << " lost a message";
        EXPECT_EQ(list[at].second, s.bytes) << "port " << s.port << " message " << at;
        EXPECT_NEAR(double(list[at].first), double(s.micros), double(c.toleranceMicros))
            << "port " << s.port << " message " << at;
        ++matched;
    }
    size_t total = 0;
    for (const auto& [key, list] : readBack)
        total += list.size();
    EXPECT_EQ(total, matched) << "the file holds messages that were not sent";
}

std::vector<Sent> longRecording()
{
    // Ten minutes of a fader on two channels, at odd microseconds.
    std::vector<Sent> out;
    for (int i = 0; i < 600; ++i) {
        const std::int64_t at = std::int64_t{i} * 1'000'003 + 777;
        out.push_back({at, 1 + i % 2, {std::uint8_t(0xB0 | (i % 3)), 7, std::uint8_t(i % 128)}});
    }
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Recordings, RecordingReadBack,
    ::testing::Values(
        // At 100 BPM a tick is 5 ms: times on that grid come back to the microsecond.
        ReadBackCase{"OnTheTickGrid", 100, 1000,
                     {{0, 1, {0xB0, 7, 100}},
                      {550'000, 1, {0xB0, 7, 90}},
                      {550'000, 2, {0xC9, 5}},
                      {1'000'000, 1, {0xE0, 0x7F, 0x7F}},
                      {1'005'000, 1, {0xD0, 64}},
                      {1'005'000, 1, {0xD0, 65}},
                      {81'920'000, 3, {0xBF, 64, 127}},
                      {81'925'000, 1, {0xE0, 0x00, 0x40}}}},
        // At 250 BPM a tick is 2 ms: any time comes back within 1 ms.
        ReadBackCase{"AnyTimeAt250Bpm", 250, 1000,
                     {{999, 1, {0xB0, 1, 1}},
                      {13'999, 1, {0xB0, 1, 2}},
                      {14'001, 2, {0xB3, 1, 3}},
                      {15'500, 1, {0xC0, 9}},
                      {2'000'999, 2, {0xE3, 0x01, 0x02}},
                      {2'001'001, 1, {0xB0, 1, 4}}}},
        // Otherwise within half a tick: 500 / 120 / 2 ms.
        ReadBackCase{"HalfATickAt120Bpm", 120, 2084,
                     {{1'234, 1, {0xB0, 10, 0}}, {7'777, 1, {0xB0, 10, 1}}, {9'999, 2, {0xB0, 10, 2}}}},
        // 60000000 / 70 is not whole: the file's tempo must not drift over ten minutes.
        ReadBackCase{"TenMinutesAt70Bpm", 70, 3572 + 200, longRecording()}),
    [](const ::testing::TestParamInfo<ReadBackCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orvell
