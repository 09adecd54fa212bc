#include "core/AppFlags.h"
#include "help/MessageTable.h"
#include "midi/AutoSweep.h"
#include "midi/BuiltInSynth.h"
#include "midi/MidiEngine.h"
#include "midi/VirtualMidiSystem.h"
#include "support/EngineRig.h"
#include "support/FakeClock.h"
#include "support/RecordingReporter.h"
#include "support/SynthSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

#include <sys/stat.h>
#include <mutex>

namespace orvell {
namespace {

using Bytes = std::vector<std::uint8_t>;

// FluidSynth applies events at the start of its 64-frame blocks: renders of
// whole blocks keep every note at the same place in its buffer.
constexpr int HalfSecond = 64 * 344;

double rms(const std::vector<float>& samples)
{
    double sum = 0;
    for (float s : samples)
        sum += double(s) * s;
    return samples.empty() ? 0 : std::sqrt(sum / double(samples.size()));
}

class OfflineSynth {
public:
    OfflineSynth() : synth(options())
    {
        synth.setNotice([this](const QString& text) {
            const std::lock_guard lock(mutex);
            notices << text;
        });
        synth.setRouted(true);
        synth.start();
        synth.waitIdle();
    }
    static BuiltInSynth::Options options()
    {
        BuiltInSynth::Options options;
        options.audio = false;
        return options;
    }
    void send(Bytes message) { synth.mapperSent(message); }
    // Half a second of one note after the messages, as rendered.
    std::vector<float> note(const std::vector<Bytes>& before)
    {
        for (const Bytes& message : before)
            send(message);
        send({0x90, 60, 100});
        auto samples = synth.render(HalfSecond);
        send({0x80, 60, 0});
        synth.render(4 * HalfSecond);  // let the release die away
        return samples;
    }

    std::mutex mutex;
    QStringList notices;
    BuiltInSynth synth;
};

TEST(BuiltInSynth, VolumeControllerSetsLoudness)
{
    REQUIRE_SOUNDFONT();
    OfflineSynth offline;
    ASSERT_EQ(offline.synth.state(), BuiltInSynth::State::Playing);
    const double loud = rms(offline.note({{0xB0, 7, 127}}));
    const double soft = rms(offline.note({{0xB0, 7, 20}}));
    EXPECT_GT(soft, 0.0);
    // Volume follows a squared curve: 20 against 127 is far below half.
    EXPECT_GT(loud, 4 * soft) << loud << " vs " << soft;
}

TEST(BuiltInSynth, ProgramChangeChangesTheSound)
{
    REQUIRE_SOUNDFONT();
    OfflineSynth offline;
    const auto piano = offline.note({{0xC0, 0}});
    const auto organ = offline.note({{0xC0, 19}});
    const auto pianoAgain = offline.note({{0xC0, 0}});
    ASSERT_EQ(piano.size(), organ.size());
    std::vector<float> difference(piano.size());
    std::vector<float> repeat(piano.size());
    for (size_t i = 0; i < piano.size(); ++i) {
        difference[i] = piano[i] - organ[i];
        repeat[i] = piano[i] - pianoAgain[i];
    }
    EXPECT_GT(rms(difference), 0.5 * rms(piano));
    // The same program plays the same sound: the difference above is the program's.
    EXPECT_LT(rms(repeat), 0.1 * rms(difference));
}

TEST(BuiltInSynth, SilenceAndUnroutedMessagesLeaveNoSound)
{
    REQUIRE_SOUNDFONT();
    OfflineSynth offline;
    // What is left is FluidSynth's guard against denormals, far below hearing.
    constexpr double Quiet = 1e-6;
    offline.send({0x90, 64, 127});
    offline.synth.silence();
    EXPECT_LT(rms(offline.synth.render(4096)), Quiet);
    offline.synth.setRouted(false);
    offline.send({0x90, 64, 127});
    EXPECT_LT(rms(offline.synth.render(4096)), Quiet);
    offline.synth.setRouted(true);
    offline.send({0x90, 64, 127});
    EXPECT_GT(rms(offline.synth.render(4096)), 1000 * Quiet);
}

TEST(BuiltInSynth, NoSoundFontIsANoticeNotAFailure)
{
    QTemporaryDir empty;
    BuiltInSynth::Options options = OfflineSynth::options();
    options.soundFontDirs = {empty.path()};
    BuiltInSynth synth(options);
    QString notice;
    synth.setNotice([&](const QString& text) { notice = text; });
    synth.start();
    synth.waitIdle();
    EXPECT_EQ(synth.state(), BuiltInSynth::State::NoSoundFont);
    EXPECT_TRUE(notice.contains(u"no General MIDI soundfont found")) << qPrintable(notice);
    synth.mapperSent(Bytes{0x90, 60, 100});
    EXPECT_LT(rms(synth.render(1024)), 1e-6);
}

TEST(BuiltInSynth, ABadSoundFontIsRefusedAndTheOneLoadedPlaysOn)
{
    REQUIRE_SOUNDFONT();
    QTemporaryDir dir;
    auto file = [&dir](const char* name, const QByteArray& bytes) {
        const QString path = dir.filePath(QLatin1String(name));
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return path;
    };
    const QString fifo = dir.filePath(QStringLiteral("pipe.sf2"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const struct {
        QString path;
        const char* why;
    } cases[] = {
        {file("broken.sf2", QByteArray("RIFF\x04\x00\x00\x00sfbk garbage", 20)), "cannot load the soundfont"},
        {file("text.sf2", "just some words"), "not a soundfont"},
        {file("short.sf2", "RIFF"), "not a soundfont"},
        {fifo, "not a regular file"},
        {dir.path(), "not a regular file"},
        {dir.filePath(QStringLiteral("gone.sf2")), "not found"},
    };
    OfflineSynth offline;
    const QString good = offline.synth.loadedSoundFont();
    ASSERT_FALSE(good.isEmpty());
    for (const auto& c : cases) {
        offline.synth.setSoundFont(c.path);
        offline.synth.waitIdle();
        const std::lock_guard lock(offline.mutex);
        EXPECT_TRUE(offline.notices.last().contains(QLatin1String(c.why))) << qPrintable(offline.notices.last());
        EXPECT_EQ(offline.synth.loadedSoundFont(), good);
    }
    EXPECT_GT(rms(offline.note({})), 1e-4);
}

TEST(BuiltInSynth, SoundFontSearchPrefersTheSmallGeneralMidiSet)
{
    QTemporaryDir sf2;
    QTemporaryDir sf3;
    auto touch = [](const QTemporaryDir& dir, const char* name) {
        QFile file(dir.filePath(QLatin1String(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    };
    const QStringList dirs{sf2.path(), sf3.path()};
    EXPECT_TRUE(BuiltInSynth::findSoundFont(dirs).isEmpty());
    touch(sf3, "default-GM.sf3");
    EXPECT_EQ(BuiltInSynth::findSoundFont(dirs), sf3.filePath(QStringLiteral("default-GM.sf3")));
    touch(sf2, "default-GM.sf2");
    EXPECT_EQ(BuiltInSynth::findSoundFont(dirs), sf2.filePath(QStringLiteral("default-GM.sf2")));
    touch(sf3, "TimGM6mb.sf2");
    EXPECT_EQ(BuiltInSynth::findSoundFont(dirs), sf3.filePath(QStringLiteral("TimGM6mb.sf2")));
}

// What the engine hands to the mapper's listener.
class TapSpy final : public MapperTap {
public:
    void mapperSent(std::span<const std::uint8_t> message) override { heard.emplace_back(message.begin(), message.end()); }
    std::vector<Bytes> heard;
};

class MapperEngineTest : public ::testing::Test {
protected:
    MapperEngineTest() { engine.setMapperTap(&tap); }
    // A keyboard on input 1 played through a thru route to `out`.
    void thruPlay(const QString& out, const Bytes& message)
    {
        const QString in = QStringLiteral("1");
        engine.OpenMidiIn(in);
        engine.AddThru(in, out);
        system.playInto(0, message);
        engine.RemoveThru(in, out);
        engine.CloseMidiIn(in);
    }

    test::EngineRig rig{1, 2};
    VirtualMidiSystem& system = rig.system;
    test::RecordingReporter& reporter = rig.reporter;
    MidiEngine& engine = rig.engine;
    AutoSweep sweep{engine};
    TapSpy tap;
};

TEST_F(MapperEngineTest, OnlyWhatWentOutOnTheMapperIsHeard)
{
    engine.OpenMidiOut(QStringLiteral("0"));
    engine.OpenMidiOut(QStringLiteral("1"));
    const std::vector<SysExEntry> table{{QStringLiteral("GM on"), QStringLiteral("F0 7E 7F 09 01 F7")}};
    struct Case {
        const char* name;
        std::function<void()> send;
        std::vector<Bytes> heard;
    };
    const std::vector<Case> cases = {
        {"control change", [&] { engine.SendCtrlChg(QStringLiteral("0"), 7, 100, QStringLiteral("2")); },
         {{0xB1, 7, 100}}},
        {"program change is two bytes", [&] { engine.SendProgChg(QStringLiteral("0"), 5, QStringLiteral("1")); },
         {{0xC0, 5}}},
        {"pitch bend", [&] { engine.SendPBend(QStringLiteral("0"), 8191, QStringLiteral("16")); },
         {{0xEF, 0x7F, 0x7F}}},
        {"system exclusive", [&] { engine.SendSysEx(QStringLiteral("0"), 0, table); },
         {{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}}},
        {"player thread", [&] { engine.SendFromThread(0, 0x00403C90u); }, {{0x90, 0x3C, 0x40}}},
        {"another port", [&] { engine.SendCtrlChg(QStringLiteral("1"), 7, 100, QStringLiteral("1")); }, {}},
        {"thru into the mapper", [&] { thruPlay(QStringLiteral("0"), {0x90, 0x3C, 0x40}); }, {{0x90, 0x3C, 0x40}}},
        {"thru into another port", [&] { thruPlay(QStringLiteral("1"), {0x90, 0x3C, 0x40}); }, {}},
        {"failed send", [&] {
             system.failSend(-1, MidiResult::NotReady);
             engine.SendCtrlChg(QStringLiteral("0"), 7, 1, QStringLiteral("1"));
             system.failSend(-1, MidiResult::Ok);
         }, {}},
    };
    for (const Case& c : cases) {
        tap.heard.clear();
        c.send();
        EXPECT_EQ(tap.heard, c.heard) << c.name;
    }
}

TEST_F(MapperEngineTest, PanicResetsEveryChannelOfEveryOpenPortAndHaltsSweeps)
{
    engine.OpenMidiOut(QStringLiteral("0"));
    engine.OpenMidiOut(QStringLiteral("2"));
    const AutoRequest request = test::repeatingVolumeSweep(QStringLiteral("2"), QStringLiteral("1"));
    const int held = sweep.AutoSetUp(request);
    // A released sweep that would have run to its end is freed by the halt.
    sweep.requestStop(sweep.AutoSetUp(request));
    sweep.AutoEvent_Timer();
    system.clearSent();

    sweep.Halt();
    engine.Panic();

    EXPECT_EQ(rig.log(), test::panicBytes({0, 2}));
    ASSERT_EQ(tap.heard.size(), 48u);
    EXPECT_EQ(tap.heard.front(), (Bytes{0xB0, 123, 0}));
    EXPECT_EQ(reporter.fields[1], " Sent");
    EXPECT_TRUE(reporter.boxes.empty());

    // Halted sweeps send nothing more, not even their closing value.
    system.clearSent();
    for (int tick = 0; tick < 30; ++tick)
        sweep.AutoEvent_Timer();
    sweep.AutoReset(held);
    EXPECT_TRUE(system.sent().empty());
    EXPECT_EQ(sweep.AutoCount(), 0);
    EXPECT_FALSE(sweep.timerRunning());
}

TEST_F(MapperEngineTest, PanicOnABrokenPortReportsOnceAndResetsTheOthers)
{
    engine.OpenMidiOut(QStringLiteral("1"));
    engine.OpenMidiOut(QStringLiteral("2"));
    system.failSend(0, MidiResult::NotReady);
    engine.Panic();
    EXPECT_EQ(rig.log(), test::panicBytes({2}));
    EXPECT_EQ(reporter.fields[1], " FAIL!");
    EXPECT_EQ(reporter.boxes.size(), 1u);
    EXPECT_EQ(engine.LastMidiErr, MidiResult::NotReady);

    // With nothing open there is nothing to send.
    engine.CloseMidiOut(QStringLiteral("1"));
    engine.CloseMidiOut(QStringLiteral("2"));
    system.clearSent();
    engine.Panic();
    EXPECT_TRUE(system.sent().empty());
    EXPECT_EQ(reporter.fields[1], " Done");
    EXPECT_EQ(engine.LastMidiErr, MidiResult::Ok);
}

}  // namespace
}  // namespace orvell
