#include "core/AppFlags.h"
#include "help/MessageTable.h"
#include "midi/MidiEngine.h"
#include "midi/VirtualMidiSystem.h"
#include "sequencer/PlayerClock.h"
#include "sequencer/SequencePlayer.h"
#include "support/FakeClock.h"
#include "support/RecordingReporter.h"
#include "support/SmfBytes.h"
#include "support/SteppedClock.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <thread>

namespace orvell {
namespace {

using namespace test::smf;

// The player's news comes through the event loop.
void ensureApplication()
{
    static int argc = 1;
    static char name[] = "orvell_engine_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        static QCoreApplication app(argc, argv);
}

// 96 ticks a quarter note; the first track holds the tempo: 120 BPM, then 60
// BPM from tick 96. The second plays to port 2 (prefix 01).
const Bytes TwoTempos = join(
    {header(1, 2, 96),
     track({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x60, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40, 0x00, 0xFF, 0x2F, 0x00}),
     track({0x00, 0xFF, 0x21, 0x01, 0x01, 0x00, 0x90, 0x3C, 0x40, 0x30, 0x80, 0x3C, 0x00, 0x30, 0x90, 0x3E, 0x50, 0x30,
            0x3E, 0x00, 0x30, 0xFF, 0x2F, 0x00})});

// Port 1: a note on channel 1 and, on channel 2, the pedal down and a note,
// all released only at 2 s.
const Bytes HeldNotes = join(
    {header(0, 1, 96), track({0x00, 0xFF, 0x21, 0x01, 0x00, 0x00, 0x90, 0x3C, 0x40, 0x00, 0xB1, 0x40, 0x7F, 0x00, 0x91,
                              0x40, 0x40, 0x83, 0x00, 0x80, 0x3C, 0x00, 0x00, 0x81, 0x40, 0x00, 0x00, 0xB1, 0x40, 0x00,
                              0x00, 0xFF, 0x2F, 0x00})});

class SequencePlayerTest : public ::testing::Test {
protected:
    SequencePlayerTest() : system(0, 3, clock), engine(system, msgs, reporter, scheduler, flags)
    {
        ensureApplication();
        flags.Initializing = false;
        engine.InitMidiDevs();
        player = std::make_unique<SequencePlayer>(engine, clock);
    }
    ~SequencePlayerTest() override { player.reset(); }

    void load(const Bytes& file)
    {
        QString error;
        const auto sequence = SmfReader::read(toQByteArray(file), error);
        ASSERT_TRUE(sequence) << error.toStdString();
        player->open(*sequence);
        clock.settle();
        system.clearSent();
        reporter.clear();
    }

    // What reached the ports since the last call: milliseconds, port, bytes.
    std::string sent()
    {
        std::string out;
        for (const auto& message : system.sent()) {
            out += QString::number(double(message.micros) / 1000.0, 'f', 3).toStdString() + ' ' +
                   std::to_string(message.port);
            for (auto byte : message.bytes)
                out += ' ' + MidiEngine::Hex2(byte).toStdString();
            out += '\n';
        }
        system.clearSent();
        return out;
    }

    test::SteppedClock clock;
    test::FakeClock scheduler;
    VirtualMidiSystem system;
    MessageTable msgs;
    test::RecordingReporter reporter;
    AppFlags flags;
    MidiEngine engine;
    std::unique_ptr<SequencePlayer> player;
};

TEST_F(SequencePlayerTest, SendsEveryEventAtItsTimeByTheTempoMap)
{
    load(TwoTempos);
    EXPECT_EQ(player->length(), 1500000);
    EXPECT_EQ(system.openDeviceCount(1), 1);  // port 2 held while loaded
    player->play();
    clock.advanceMs(1200);
    EXPECT_EQ(sent(), "0.000 2 90 3C 40\n250.000 2 80 3C 00\n500.000 2 90 3E 50\n1000.000 2 90 3E 00\n");
    EXPECT_TRUE(player->isPlaying());
    EXPECT_EQ(player->position(), 1200000);
}

TEST_F(SequencePlayerTest, AtTheEndRewindsAndPlaysAgainFromTheStart)
{
    load(TwoTempos);
    int ends = 0;
    std::vector<qint64> positions;
    QObject::connect(&player->status(), &SequenceStatus::reachedEnd, [&] { ++ends; });
    QObject::connect(&player->status(), &SequenceStatus::positionChanged, [&](qint64 at) { positions.push_back(at); });
    player->play();
    clock.advanceMs(1600);
    QCoreApplication::processEvents();
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(player->isPlaying());
    EXPECT_EQ(player->position(), 0);
    ASSERT_FALSE(positions.empty());
    EXPECT_EQ(positions.back(), 0);
    // Every 50 ms while playing, so a marker moves smoothly.
    EXPECT_EQ(positions[positions.size() - 2], 1450000);
    EXPECT_EQ(sent(), "0.000 2 90 3C 40\n250.000 2 80 3C 00\n500.000 2 90 3E 50\n1000.000 2 90 3E 00\n");

    player->play();
    clock.advanceMs(300);
    EXPECT_EQ(sent(), "1600.000 2 90 3C 40\n1850.000 2 80 3C 00\n");
}

TEST_F(SequencePlayerTest, StopReleasesSoundingNotesAndThePedal)
{
    load(HeldNotes);
    player->play();
    clock.advanceMs(100);
    EXPECT_EQ(sent(), "0.000 1 90 3C 40\n0.000 1 B1 40 7F\n0.000 1 91 40 40\n");
    player->stop();
    EXPECT_EQ(sent(), "100.000 1 80 3C 00\n100.000 1 B0 40 00\n100.000 1 81 40 00\n100.000 1 B1 40 00\n");
    EXPECT_EQ(player->position(), 100000);
    clock.advanceMs(3000);
    EXPECT_EQ(sent(), "");

    // Playing on resumes where it stopped; a stop with nothing sounding sends nothing.
    player->play();
    clock.advanceMs(2000);
    EXPECT_EQ(sent(), "5000.000 1 80 3C 00\n5000.000 1 81 40 00\n5000.000 1 B1 40 00\n");
    player->seek(0);
    player->stop();
    EXPECT_EQ(sent(), "");
}

TEST_F(SequencePlayerTest, SeekStopsSilencesAndMoves)
{
    load(TwoTempos);
    player->play();
    clock.advanceMs(600);
    sent();
    player->seek(750000);
    EXPECT_EQ(sent(), "600.000 2 80 3E 00\n600.000 2 B0 40 00\n");
    EXPECT_FALSE(player->isPlaying());
    EXPECT_EQ(player->position(), 750000);
    player->play();
    clock.advanceMs(300);
    EXPECT_EQ(sent(), "850.000 2 90 3E 00\n");

    player->seek(-5);
    EXPECT_EQ(player->position(), 0);
    player->seek(99000000);
    EXPECT_EQ(player->position(), 1500000);
}

TEST_F(SequencePlayerTest, SendsSysExWholeAndEscapedBytesAsTheyAre)
{
    load(format0({0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7, 0x60, 0xF7, 0x02, 0xF3, 0x01, 0x00, 0xFF, 0x01, 0x01,
                  'x', 0x00, 0xFF, 0x2F, 0x00}));
    player->play();
    clock.advanceMs(600);
    EXPECT_EQ(sent(), "0.000 0 F0 7E 7F 09 01 F7\n500.000 0 F3 01\n");
}

TEST_F(SequencePlayerTest, AFailedSendIsReportedOnceAsForAnyOtherSend)
{
    load(TwoTempos);
    system.failSend(1, MidiResult::NoDevice);
    player->play();
    clock.advanceMs(1200);
    QCoreApplication::processEvents();
    ASSERT_EQ(reporter.boxes.size(), 1u);
    EXPECT_EQ(reporter.boxes[0].text, "PlaySequence:\rThe MIDI device was disconnected.");
    EXPECT_EQ(reporter.fields[0], " MIDI OUT Port 2");
    EXPECT_EQ(reporter.fields[1], " FAIL!");
    EXPECT_EQ(engine.LastMidiErr, MidiResult::NoDevice);
}

TEST_F(SequencePlayerTest, HoldsItsPortsWhileLoadedAndRefusesPortsTheTableLacks)
{
    // Port prefix 09: port 10, which three devices do not reach.
    const Bytes file = join({header(1, 2, 96), track({0x00, 0xC0, 0x01, 0x00, 0xFF, 0x2F, 0x00}),
                             track({0x00, 0xFF, 0x21, 0x01, 0x09, 0x00, 0xC1, 0x02, 0x00, 0xFF, 0x2F, 0x00})});
    QString error;
    player->open(*SmfReader::read(toQByteArray(file), error));
    EXPECT_EQ(system.openDeviceCount(-1), 1);
    EXPECT_EQ(engine.MidiOutPorts[0].OpenCount, 1);
    EXPECT_EQ(reporter.fields[0], " Invalid MIDI Port!");
    player->close();
    EXPECT_EQ(system.openDeviceCount(-1), 0);
    EXPECT_FALSE(player->isOpen());

    // A file that cannot be read leaves what was loaded.
    load(TwoTempos);
    EXPECT_FALSE(player->open(QStringLiteral("/nonexistent/orvell.mid"), error));
    EXPECT_TRUE(player->isOpen());
    EXPECT_EQ(player->length(), 1500000);
}

TEST_F(SequencePlayerTest, FaderMovesAndThePlayerShareThePortInOrder)
{
    load(TwoTempos);
    player->play();
    clock.advanceMs(100);
    engine.SendCtrlChg(QStringLiteral("2"), 7, 100, QStringLiteral("1"));
    clock.advanceMs(200);
    EXPECT_EQ(sent(), "0.000 2 90 3C 40\n100.000 2 B0 07 64\n250.000 2 80 3C 00\n");
}

// On the real clock: a dense file played while this thread sends as a
// fader would. Every message of both arrives, each source in its order.
TEST(SequencePlayerThreads, PlaysWhileTheOtherThreadSends)
{
    ensureApplication();
    SteadyPlayerClock clock;
    test::FakeClock scheduler;
    VirtualMidiSystem system(0, 2, clock);
    MessageTable msgs;
    test::RecordingReporter reporter;
    AppFlags flags;
    flags.Initializing = false;
    MidiEngine engine(system, msgs, reporter, scheduler, flags);
    engine.InitMidiDevs();
    engine.OpenMidiOut(QStringLiteral("1"));

    Bytes events{0x00, 0xFF, 0x21, 0x01, 0x00};
    for (int i = 0; i < 500; ++i)
        events.insert(events.end(), {0x00, 0xB1, 0x01, std::uint8_t(i % 128), 0x01, 0xB1, 0x02, std::uint8_t(i % 128)});
    QString error;
    const auto sequence = SmfReader::read(toQByteArray(join({header(0, 1, 0xE728), track(events)})), error);
    ASSERT_TRUE(sequence) << error.toStdString();
    {
        SequencePlayer player(engine, clock);
        player.open(*sequence);
        player.play();
        for (int i = 0; i < 2000; ++i)
            engine.SendCtrlChg(QStringLiteral("1"), 7, i % 128, QStringLiteral("1"));
        while (player.isPlaying())
            std::this_thread::yield();
    }
    int fader = 0;
    int played = 0;
    for (const auto& message : system.sent()) {
        ASSERT_EQ(message.bytes.size(), 3u);
        if (message.bytes[0] == 0xB0) {
            ASSERT_EQ(message.bytes[2], fader++ % 128);
        } else {
            ASSERT_EQ(message.bytes[1], 1 + played % 2);
            ASSERT_EQ(message.bytes[2], (played / 2) % 128);
            ++played;
        }
    }
    EXPECT_EQ(fader, 2000);
    EXPECT_EQ(played, 1000);
    engine.CloseMidiOut(QStringLiteral("1"));
}

}  // namespace
}  // namespace orvell
