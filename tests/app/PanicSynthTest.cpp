#include "app/AOrvell.h"
#include "app/MainToolbar.h"
#include "app/SynthControl.h"
#include "midi/BuiltInSynth.h"
#include "panels/Shared.h"
#include "sequencer/SequencerPanel.h"
#include "support/Files.h"
#include "support/SmfBytes.h"
#include "support/SteppedClock.h"
#include "support/SynthSupport.h"
#include "support/TestDesk.h"
#include "support/WidgetDriving.h"

#include <QAction>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>

namespace orvell {
namespace {

using namespace test::smf;
using test::writeFile;

// A note on port 1 channel 1 from 1000 ms to the end at 2000 ms.
const Bytes LateNote = format0({0x00, 0xFF, 0x21, 0x01, 0x00, 0x81, 0x40, 0x90, 0x3E, 0x50, 0x81, 0x40, 0x80, 0x3E,
                                0x00, 0x00, 0xFF, 0x2F, 0x00});

// First bases: the clock and the synth outlive the window that uses them.
struct Outliving {
    test::SteppedClock playerClock;
    BuiltInSynth synth{offline()};
    static BuiltInSynth::Options offline()
    {
        BuiltInSynth::Options options;
        options.audio = false;
        return options;
    }
};

struct Desk : Outliving, test::TestDesk {
    explicit Desk(bool withSynth = false)
    {
        if (withSynth)
            window->setBuiltInSynth(&synth);
        start({1000, 700});
    }
    std::vector<std::pair<int, Bytes>> sent()
    {
        std::vector<std::pair<int, Bytes>> out;
        for (const auto& message : midi->sent())
            out.emplace_back(message.port, message.bytes);
        midi->clearSent();
        return out;
    }
    void settle()
    {
        playerClock.settle();
        QCoreApplication::processEvents();
    }
    QAction* setupItem(const char* name) { return window->findChild<QAction*>(QLatin1String(name)); }
    QTemporaryDir dir;
};

TEST(Panic, EveryTriggerStopsPlayerAndSweepsThenResetsEveryOpenPort)
{
    struct Trigger {
        const char* name;
        std::function<void(Desk&)> press;
    };
    const std::vector<Trigger> triggers = {
        {"toolbar button",
         [](Desk& desk) { QTest::mouseClick(desk.window->toolbar().button(QStringLiteral("PanicBtn")), Qt::LeftButton); }},
        {"Ctrl+.", [](Desk& desk) { QTest::keyClick(desk.window.get(), Qt::Key_Period, Qt::ControlModifier); }},
        {"Esc twice",
         [](Desk& desk) {
             QTest::keyClick(desk.window.get(), Qt::Key_Escape);
             EXPECT_TRUE(desk.sent().empty()) << "one Esc is not a panic";
             QTest::keyClick(desk.window.get(), Qt::Key_Escape);
         }},
    };
    for (const Trigger& trigger : triggers) {
        SCOPED_TRACE(trigger.name);
        Desk desk;
        desk.window->activateWindow();
        const QString song = desk.dir.filePath(QStringLiteral("late.mid"));
        ASSERT_TRUE(writeFile(song, toQByteArray(LateNote)));
        auto* sequencer = qobject_cast<SequencerPanel*>(desk.window->createPanel(PanelClass::Sequencer));
        ASSERT_NE(sequencer, nullptr);
        sequencer->usePlayerClock(desk.playerClock);
        ASSERT_TRUE(sequencer->LoadSeq(song));
        desk.shared->midi.OpenMidiOut(QStringLiteral("2"));
        sequencer->PlayBtn_Click();
        desk.settle();
        desk.playerClock.advanceMs(1200);
        desk.settle();

        const int held = desk.shared->autoSweep.AutoSetUp(
            test::repeatingVolumeSweep(QStringLiteral("2"), QStringLiteral("3")));
        desk.shared->autoSweep.AutoEvent_Timer();
        desk.sent();

        trigger.press(desk);
        desk.settle();

        // The sounding note ends and the pedal goes up first, then port by port, channel by channel.
        auto expected = std::vector<std::pair<int, Bytes>>{{1, {0x80, 0x3E, 0x00}}, {1, {0xB0, 0x40, 0x00}}};
        const auto resets = test::panicBytes({1, 2});
        expected.insert(expected.end(), resets.begin(), resets.end());
        EXPECT_EQ(desk.sent(), expected);
        EXPECT_FALSE(sequencer->isPlaying());
        EXPECT_EQ(desk.field(1), " Sent");

        for (int tick = 0; tick < 25; ++tick)
            desk.shared->autoSweep.AutoEvent_Timer();
        desk.shared->autoSweep.AutoReset(held);
        desk.playerClock.advanceMs(2000);
        desk.settle();
        EXPECT_TRUE(desk.sent().empty()) << "nothing after the panic";
    }
}

TEST(BuiltInSynthChoice, StartUpWithoutAudioDeviceShowsTheNoticeAndRuns)
{
    REQUIRE_SOUNDFONT();
    struct Silent {
        BuiltInSynth synth{options()};
        static BuiltInSynth::Options options()
        {
            BuiltInSynth::Options options;
            options.audioDrivers = {QStringLiteral("no-such-driver")};
            return options;
        }
    };
    struct SilentDesk : Silent, test::TestDesk {
        SilentDesk()
        {
            window->setBuiltInSynth(&synth);
            start({1000, 700});
        }
    } desk;
    desk.synth.waitIdle();
    QCoreApplication::processEvents();
    EXPECT_EQ(desk.field(2), " Built-in synth: no audio device found, MIDI Mapper Out stays silent");
    EXPECT_TRUE(desk.synth.routed());

    // Still a working desk: the mapper takes its messages as ever.
    desk.shared->midi.OpenMidiOut(QStringLiteral("0"));
    desk.shared->midi.SendCtrlChg(QStringLiteral("0"), 7, 100, QStringLiteral("1"));
    ASSERT_EQ(desk.midi->sent().size(), 1u);
    EXPECT_EQ(desk.midi->sent()[0].bytes, (Bytes{0xB0, 7, 100}));
}

TEST(BuiltInSynthChoice, PlaysTheMapperWhenNothingListensOrWhenChosen)
{
    Desk desk(true);
    SynthControl* control = desk.window->synthControl();
    ASSERT_NE(control, nullptr);
    QAction* choice = desk.setupItem("BuiltInSynth");
    ASSERT_NE(choice, nullptr);
    EXPECT_EQ(choice->text(), "Built-in synth");

    struct Case {
        std::optional<int> listeners;
        bool chosen;
        bool routed;
    };
    const Case cases[] = {
        {0, false, true},
        {1, false, false},
        {std::nullopt, false, false},  // the system cannot tell: only on request
        {1, true, true},
        {std::nullopt, true, true},
    };
    for (const Case& c : cases) {
        desk.midi->setMapperListeners(c.listeners);
        if (choice->isChecked() != c.chosen)
            choice->trigger();
        control->updateRouting();
        EXPECT_EQ(desk.synth.routed(), c.routed) << c.listeners.value_or(-1) << " " << c.chosen;
        EXPECT_EQ(choice->isChecked(), c.chosen);
    }
    EXPECT_TRUE(desk.window->IsChanged);
}

TEST(BuiltInSynthChoice, ChoiceAndSoundFontSurviveASessionAndAreAbsentByDefault)
{
    const QByteArray chosenKeys = "BuiltInSynth=True\r\nSynthSoundFont=/opt/sounds/Mine.sf2\r\n";
    QByteArray saved;
    {
        Desk desk(true);
        const QString path = desk.home.filePath(QStringLiteral("Orvell.ini"));
        ASSERT_TRUE(desk.window->SaveSession_Click());
        EXPECT_FALSE(test::readAll(path).contains("Synth")) << "an untouched choice writes nothing";

        desk.setupItem("BuiltInSynth")->trigger();
        desk.dialogs.answer(QStringLiteral("/opt/sounds/Mine.sf2"));
        desk.setupItem("SynthSoundFont")->trigger();
        ASSERT_EQ(desk.dialogs.asked().size(), 1u);
        EXPECT_EQ(desk.dialogs.asked()[0].file.filter, "SoundFont Files (*.sf2;*.sf3)|*.sf2;*.sf3");
        ASSERT_TRUE(desk.window->SaveSession_Click());
        saved = test::readAll(path);
        EXPECT_TRUE(saved.contains(chosenKeys)) << saved.constData();
    }
    Desk desk(true);
    const QString session = desk.dir.filePath(QStringLiteral("synth.orv"));
    ASSERT_TRUE(writeFile(session, saved));
    desk.dialogs.answer(session);
    desk.window->LoadSession_Click();
    EXPECT_TRUE(desk.setupItem("BuiltInSynth")->isChecked());
    EXPECT_EQ(desk.synth.chosenSoundFont(), "/opt/sounds/Mine.sf2");
    EXPECT_TRUE(desk.synth.routed());
}

}  // namespace
}  // namespace orvell
