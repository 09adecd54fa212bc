#include "sequencer/SmfReader.h"
#include "support/SmfBytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace orvell {
namespace {

using namespace test::smf;

struct GoodCase {
    const char* name;
    Bytes bytes;
    const char* dump;
};

const Bytes RunningStatus = join({header(0, 1, 96), track({0x00, 0x90, 0x3C, 0x40, 0x60, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00})});

Bytes riffWrapped(const Bytes& smf)
{
    auto le32 = [](std::size_t v) {
        return Bytes{std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
    };
    // An odd-sized chunk first: chunks are padded to even lengths.
    const Bytes body = join({{'R', 'M', 'I', 'D'}, {'L', 'I', 'S', 'T'}, le32(3), {1, 2, 3, 0}, {'d', 'a', 't', 'a'},
                             le32(smf.size()), smf});
    return join({{'R', 'I', 'F', 'F'}, le32(body.size()), body});
}

class SmfGood : public ::testing::TestWithParam<GoodCase> {};

TEST_P(SmfGood, MergesEventsInTimeOrderWithTimesFromTheTempoMap)
{
    QString error;
    const auto sequence = SmfReader::read(toQByteArray(GetParam().bytes), error);
    ASSERT_TRUE(sequence) << error.toStdString();
    EXPECT_EQ(SmfReader::dumpText(*sequence).toStdString(), GetParam().dump);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SmfGood,
    ::testing::Values(
        GoodCase{"Format0RunningStatus", RunningStatus,
                 "0 0.000 0 90 3C 40\n96 500.000 0 90 3C 00\n96 500.000 0 FF 2F\n"},
        // Tempo in the first track, a port prefix (written as port - 1) in the second.
        GoodCase{"Format1TwoTracks",
                 join({header(1, 2, 480),
                       track({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x83, 0x60, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40,
                              0x00, 0xFF, 0x2F, 0x00}),
                       track({0x00, 0xFF, 0x21, 0x01, 0x01, 0x00, 0xC0, 0x05, 0x87, 0x40, 0xB0, 0x07, 0x64, 0x00, 0xFF,
                              0x2F, 0x00})}),
                 "0 0.000 0 FF 51 07 A1 20\n0 0.000 2 FF 21 01\n0 0.000 2 C0 05\n480 500.000 0 FF 51 0F 42 40\n"
                 "480 500.000 0 FF 2F\n960 1500.000 2 B0 07 64\n960 1500.000 2 FF 2F\n"},
        GoodCase{"TempoChangesMidTrack",
                 join({header(0, 1, 96),
                       track({0x00, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40, 0x60, 0x80, 0x3C, 0x00,
                              0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x60, 0x3E, 0x40, 0x00, 0xFF, 0x2F, 0x00})}),
                 "0 0.000 0 90 3C 40\n0 0.000 0 FF 51 0F 42 40\n96 1000.000 0 80 3C 00\n"
                 "96 1000.000 0 FF 51 07 A1 20\n192 1500.000 0 80 3E 40\n192 1500.000 0 FF 2F\n"},
        // 25 frames of 40 ticks: a tick is a millisecond whatever the tempo says.
        GoodCase{"Smpte25",
                 join({header(0, 1, 0xE728),
                       track({0x00, 0x90, 0x3C, 0x40, 0x81, 0x0C, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40, 0x64, 0x80, 0x3C,
                              0x00, 0x00, 0xFF, 0x2F, 0x00})}),
                 "0 0.000 0 90 3C 40\n140 140.000 0 FF 51 0F 42 40\n240 240.000 0 80 3C 00\n240 240.000 0 FF 2F\n"},
        GoodCase{"Smpte2997", join({header(0, 1, 0xE364), track({0x03, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00})}),
                 "3 1.001 0 90 3C 40\n3 1.001 0 FF 2F\n"},
        GoodCase{"SysExBothFormsAndText",
                 join({header(0, 1, 96),
                       track({0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7, 0x00, 0xF7, 0x02, 0xF3, 0x01, 0x00, 0xFF,
                              0x01, 0x03, 'a', 'b', 'c', 0x00, 0xFF, 0x2F, 0x00})}),
                 "0 0.000 0 F0 7E 7F 09 01 F7\n0 0.000 0 F3 01\n0 0.000 0 FF 01 61 62 63\n0 0.000 0 FF 2F\n"},
        GoodCase{"RmidWrapper", riffWrapped(RunningStatus),
                 "0 0.000 0 90 3C 40\n96 500.000 0 90 3C 00\n96 500.000 0 FF 2F\n"},
        // Chunks of unknown kinds are passed over; bytes after the end of a
        // track are ignored, as is a missing end of track.
        GoodCase{"AlienChunkAndNoEndOfTrack",
                 join({header(1, 2, 96), {'X', 'F', 'I', 'H', 0, 0, 0, 2, 0xAA, 0xBB},
                       track({0x00, 0xFF, 0x2F, 0x00, 0x00, 0x90}), track({0x10, 0xC1, 0x07})}),
                 "0 0.000 0 FF 2F\n16 83.333 0 C1 07\n"}),
    [](const auto& info) { return info.param.name; });

// A file as the event recorder writes it: tempo 100 (a tick is 5 ms), a track
// per channel and port, each with the port prefix port - 1 and a marker note.
TEST(SmfReader, PlaysRecordedTracksToTheirPorts)
{
    const Bytes timing = track({0x00, 0xFF, 0x03, 0x06, 'T', 'i', 'm', 'i', 'n', 'g', 0x00, 0xFF, 0x58, 0x04, 0x04,
                                0x02, 0x18, 0x08, 0x00, 0xFF, 0x59, 0x02, 0x00, 0x00, 0x00, 0xFF, 0x51, 0x03, 0x09,
                                0x27, 0xC0, 0x00, 0xFF, 0x2F, 0x00});
    auto channelTrack = [](std::uint8_t prefix, std::uint8_t channel, char port, const Bytes& events) {
        return track(join({{0x00, 0xFF, 0x21, 0x01, prefix, 0x00, 0xFF, 0x03, 0x0E},
                           {'C', 'h', 'a', 'n', ' ', std::uint8_t('1' + channel), ',', ' ', 'P', 'o', 'r', 't', ' ',
                            std::uint8_t(port)},
                           {0x01, std::uint8_t(0x90 | channel), 0x3F, 0x01, 0x01, 0x3F, 0x00}, events,
                           {0x00, 0xFF, 0x2F, 0x00}}));
    };
    const Bytes file = join({header(1, 3, 120), timing, channelTrack(0x00, 0, '1', {0x6E, 0xB0, 0x07, 0x64}),
                             channelTrack(0xFF, 1, '0', {0x81, 0x48, 0xC1, 0x05})});
    ASSERT_EQ(file[14 + 7], 0x23);  // the tempo track's length, 29 + 6
    ASSERT_EQ(file[14 + 43 + 7], 0x26);

    QString error;
    const auto sequence = SmfReader::read(toQByteArray(file), error);
    ASSERT_TRUE(sequence) << error.toStdString();
    QString channelEvents;
    for (const SmfEvent& event : sequence->events) {
        if (event.kind == SmfEventKind::Channel) {
            const auto bytes = sequence->bytes(event);
            channelEvents += QStringLiteral("%1ms port %2: %3\n")
                                 .arg(event.micros / 1000)
                                 .arg(event.port)
                                 .arg(QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()))
                                          .toHex(' ')
                                          .toUpper());
        }
    }
    EXPECT_EQ(channelEvents.toStdString(),
              "5ms port 1: 90 3F 01\n5ms port 0: 91 3F 01\n10ms port 1: 90 3F 00\n10ms port 0: 91 3F 00\n"
              "560ms port 1: B0 07 64\n1010ms port 0: C1 05\n");
    EXPECT_EQ(sequence->format, 1);
    EXPECT_EQ(sequence->trackCount, 3);
    EXPECT_EQ(sequence->lengthMicros, 1010000);
}

struct BadCase {
    const char* name;
    Bytes bytes;
    const char* error;
};

class SmfBad : public ::testing::TestWithParam<BadCase> {};

TEST_P(SmfBad, IsRefusedWithAnErrorNamingWhatIsWrong)
{
    QString error;
    EXPECT_FALSE(SmfReader::read(toQByteArray(GetParam().bytes), error));
    EXPECT_EQ(error.toStdString(), GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SmfBad,
    ::testing::Values(
        BadCase{"Empty", {}, "The file is empty."},
        BadCase{"NotMidi", {'R', 'I', 'F', 'X', 0, 0}, "Not a MIDI file: it does not begin with MThd."},
        BadCase{"HeaderCut", {'M', 'T', 'h', 'd', 0, 0}, "The file ends inside its header."},
        BadCase{"HeaderPastEnd", {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1}, "The header chunk claims 6 bytes but only 2 are left."},
        BadCase{"HeaderTooShort", {'M', 'T', 'h', 'd', 0, 0, 0, 4, 0, 0, 0, 1},
                "The header chunk is 4 bytes long; it needs 6."},
        BadCase{"Format2", join({header(2, 1, 96), track({0x00, 0xFF, 0x2F, 0x00})}),
                "Format 2 files (independent patterns) cannot be played."},
        BadCase{"Format3", header(3, 1, 96), "Unknown MIDI file format 3."},
        BadCase{"NoTracks", header(1, 0, 96), "The header names no tracks."},
        BadCase{"Format0TwoTracks", header(0, 2, 96), "A format 0 file has one track; the header names 2."},
        BadCase{"ZeroDivision", header(0, 1, 0), "The division is 0 ticks per quarter note."},
        BadCase{"BadFrameRate", header(0, 1, 0xE628), "Unknown SMPTE frame rate 26 in the division."},
        BadCase{"NoTicksPerFrame", header(0, 1, 0xE700), "The division has 0 ticks per frame."},
        BadCase{"TrackPastEnd", join({header(0, 1, 96), {'M', 'T', 'r', 'k', 0, 0, 1, 0, 0x00, 0xFF, 0x2F, 0x00}}),
                "Track 1 claims 256 bytes but only 4 are left in the file."},
        BadCase{"ChunkPastEnd", join({header(1, 1, 96), {'X', 'F', 'I', 'H', 0, 0, 0, 100, 1, 2, 3, 4}}),
                "The chunk at byte 14 claims 100 bytes but only 4 are left in the file."},
        BadCase{"MoreTracksThanHeld", join({header(1, 2, 96), track({0x00, 0xFF, 0x2F, 0x00})}),
                "The header names 2 tracks but the file holds only 1."},
        BadCase{"VlqOver4Bytes", format0({0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 0x3C, 0x40}),
                "Track 1, byte 22: a variable-length number runs over 4 bytes."},
        BadCase{"DataWithoutStatus", format0({0x00, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00}),
                "Track 1, byte 23: data byte 3C without a status byte."},
        BadCase{"DataAfterSysEx", format0({0x00, 0xF0, 0x01, 0xF7, 0x00, 0x3C, 0x40}),
                "Track 1, byte 27: data byte 3C without a status byte."},
        BadCase{"TruncatedEvent", format0({0x00, 0x90, 0x3C}), "Track 1 ends in the middle of an event (byte 25)."},
        BadCase{"TruncatedSysEx", format0({0x00, 0xF0, 0x10, 0x7E}), "Track 1 ends in the middle of an event (byte 26)."},
        BadCase{"TruncatedDelta", format0({0x00, 0xC0, 0x01, 0x81}), "Track 1 ends in the middle of an event (byte 26)."},
        BadCase{"TempoZero", format0({0x00, 0xFF, 0x51, 0x03, 0x00, 0x00, 0x00}),
                "Track 1, byte 23: a tempo of 0 microseconds per quarter note."},
        BadCase{"TempoTwoBytes", format0({0x00, 0xFF, 0x51, 0x02, 0x07, 0xA1}),
                "Track 1, byte 23: a tempo event of 2 bytes (it needs 3)."},
        BadCase{"SystemCommonStatus", format0({0x00, 0xF3, 0x01}),
                "Track 1, byte 23: status byte F3 is not allowed in a MIDI file."},
        BadCase{"StatusForData", format0({0x00, 0x90, 0x3C, 0x90, 0x40}),
                "Track 1, byte 25: status byte 90 where a data byte of 90 belongs."},
        BadCase{"SecondTrackNamed", join({header(1, 2, 96), track({0x00, 0xFF, 0x2F, 0x00}), track({0x00, 0x40})}),
                "Track 2, byte 35: data byte 40 without a status byte."},
        BadCase{"TooLong", format0({0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0x2F, 0x00}),
                "The sequence lasts longer than 100 hours."},
        BadCase{"RiffNotRmid", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'},
                "A RIFF file that is not an RMID MIDI file."},
        BadCase{"RmidWithoutData", {'R', 'I', 'F', 'F', 12, 0, 0, 0, 'R', 'M', 'I', 'D', 'L', 'I', 'S', 'T', 0, 0, 0, 0},
                "The RMID file holds no MIDI data chunk."},
        BadCase{"RmidChunkPastEnd",
                {'R', 'I', 'F', 'F', 12, 0, 0, 0, 'R', 'M', 'I', 'D', 'd', 'a', 't', 'a', 0xFF, 0, 0, 0},
                "The RMID chunk at byte 12 claims 255 bytes but only 0 are left."}),
    [](const auto& info) { return info.param.name; });

TEST(SmfReader, CapsEventsAndFileSize)
{
    // Two bytes an event with running status: one more than the cap allows.
    Bytes events{0x00, 0xC0, 0x00};
    for (std::size_t i = 0; i < SmfReader::MaxEvents; ++i)
        events.insert(events.end(), {0x00, 0x00});
    QString error;
    EXPECT_FALSE(SmfReader::read(toQByteArray(format0(events)), error));
    EXPECT_EQ(error, QStringLiteral("The file holds more than 400000 events."));

    QByteArray huge(SmfReader::MaxFileBytes + 1, '\0');
    huge.replace(0, 4, "MThd");
    EXPECT_FALSE(SmfReader::read(huge, error));
    EXPECT_EQ(error, QStringLiteral("The file is larger than 8 MB."));
}

TEST(SmfReader, ReadsFilesThroughTheFileReader)
{
    const QString path = QDir::temp().filePath(QStringLiteral("orvell-smf-%1.mid").arg(QCoreApplication::applicationPid()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(toQByteArray(RunningStatus));
    file.close();
    QString error;
    const auto sequence = SmfReader::readFile(path, error);
    ASSERT_TRUE(sequence) << error.toStdString();
    EXPECT_EQ(sequence->lengthMicros, 500000);
    QFile::remove(path);

    EXPECT_FALSE(SmfReader::readFile(path, error));
    EXPECT_FALSE(error.isEmpty());

    // A pipe is refused at once instead of waiting for a writer.
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    EXPECT_FALSE(SmfReader::readFile(path, error));
    EXPECT_EQ(error, QStringLiteral("Not a regular file"));
    QFile::remove(path);
}

}  // namespace
}  // namespace orvell
