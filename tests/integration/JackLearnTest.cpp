// MIDI learn on a private JACK server: a hardware knob moves a fader of a
// whole desk, which sends its own message to a synth client; the binding
// comes back with the session on a desk started afresh.

#include "app/AOrvell.h"
#include "controllers/FaderPanel.h"
#include "midi/RtMidiSystem.h"
#include "panels/Shared.h"
#include "support/JackProbe.h"
#include "support/JackServer.h"
#include "support/TestDesk.h"
#include "support/WidgetDriving.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTemporaryDir>

#include <RtMidi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace orvell {
namespace {

using namespace std::chrono_literals;
using test::Probe;
using Bytes = Probe::Bytes;

// Turns the event loop, as the program's would, until `done` or the time is up.
bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

void pumpFor(std::chrono::milliseconds time)
{
    pumpUntil([] { return false; }, time);
}

// The program on the JACK server.
struct JackDesk : test::TestDesk {
    explicit JackDesk(const std::string& client)
        : TestDesk(std::make_unique<RtMidiSystem>(RtMidi::UNIX_JACK, QString::fromStdString(client)))
    {
        start({1000, 700});
    }

    FaderPanel* fader() const { return qobject_cast<FaderPanel*>(window->panels().value(0)); }

    QString portOf(const std::string& jackPort)
    {
        const auto device = test::findDevice(shared->midi.system(), true, jackPort);
        return device ? QString::number(*device + 1) : QString();
    }
};

// A new output connection carries from the next period on: the fader's value
// is typed in until the synth hears it.
bool warmUp(FaderPanel* panel, int slot, Probe& synth)
{
    auto* box = test::child<QLineEdit>(panel, QStringLiteral("DataVal%1").arg(slot));
    for (int i = 0; i < 100; ++i) {
        test::typeEnter(box, QString::number(10 + i % 2));
        if (synth.waitFor(1, 20ms)) {
            std::this_thread::sleep_for(30ms);
            synth.clear();
            return true;
        }
    }
    return false;
}

// What the knob box plays and what must come of it: the slot is set to
// `from` first, and ends at `to` with exactly `out` sent. What must move
// nothing is played just before a turn of the knob, so that it is seen to
// have arrived and done nothing.
struct Step {
    const char* what;
    int from;
    std::vector<Bytes> in;
    std::vector<Bytes> out;
    int to;
};

struct Rig {
    Rig() { synth.openVirtual("synth"); }

    // A non-realtime server on a busy machine drops whole cycles now and
    // then, and the messages in them: a step that comes out wrong is taken
    // again from its start, and must come out right within three tries.
    void run(FaderPanel* panel, int slot, const Step& step)
    {
        SCOPED_TRACE(step.what);
        auto* box = test::child<QLineEdit>(panel, QStringLiteral("DataVal%1").arg(slot));
        std::vector<Bytes> heard;
        for (int attempt = 0; attempt < 3; ++attempt) {
            test::typeEnter(box, QString::number(step.from));
            pumpFor(50ms);
            synth.clear();
            for (const Bytes& message : step.in)
                knobs.play(message);
            pumpUntil([&] { return !synth.received().empty(); }, 1s);
            pumpFor(50ms);  // for anything extra
            heard = synth.received();
            if (heard == step.out && panel->fader(slot)->value() == step.to)
                break;
        }
        EXPECT_EQ(heard, step.out);
        EXPECT_EQ(panel->fader(slot)->value(), step.to);
    }

    test::Keyboard knobs;
    Probe synth;
    const std::string synthPort = synth.client() + ":synth";
};

TEST(JackLearn, AKnobMovesTheFaderWhichSendsItsBytesAndTheBindingSurvivesTheSession)
{
    test::JackServer server(64, 48000);
    if (!server.ok())
        GTEST_SKIP() << "No private JACK server: " << server.errorText().toStdString();
    Rig rig;
    QTemporaryDir files;
    const QString session = files.filePath(QStringLiteral("learn.ini"));
    constexpr int Slot = 1;

    {
        JackDesk desk("OrvellLearn" + std::to_string(test::nextId()));
        auto* panel = new FaderPanel(PanelClass::HFaders, *desk.window);
        desk.window->mdiArea().addSubWindow(panel)->show();
        QCoreApplication::processEvents();
        const QString port = desk.portOf(rig.synthPort);
        ASSERT_FALSE(port.isEmpty());
        test::chooseInSlot(panel, QStringLiteral("PortLbl"), Slot, QStringLiteral("Port"), port);
        test::chooseInSlot(panel, QStringLiteral("CntrlLbl"), Slot, QStringLiteral("Control"), QStringLiteral("7"));
        ASSERT_EQ(panel->portOfSlot(Slot), port.toInt());
        ASSERT_TRUE(warmUp(panel, Slot, rig.synth));

        // The first knob message only teaches; inputs open as learning
        // starts, so it is played until the binding is made.
        panel->Learn_Click(Slot);
        const Bytes teach{0xB4, 21, 40};
        const auto bound = [&] { return desk.shared->learn.bindingOf(panel, Slot).has_value(); };
        for (int i = 0; i < 20 && !bound(); ++i) {
            rig.knobs.play(teach);
            pumpUntil(bound, 300ms);
        }
        ASSERT_TRUE(bound());
        pumpFor(100ms);
        EXPECT_TRUE(rig.synth.received().empty());  // teaching moves nothing

        const Step steps[] = {
            {"the knob", 10, {{0xB4, 21, 100}}, {{0xB0, 7, 100}}, 100},
            {"the same value again", 100, {{0xB4, 21, 100}, {0xB4, 21, 101}}, {{0xB0, 7, 101}}, 101},
            {"the knob down", 100, {{0xB4, 21, 0}}, {{0xB0, 7, 0}}, 0},
            {"another knob", 0, {{0xB4, 22, 50}, {0xB4, 21, 1}}, {{0xB0, 7, 1}}, 1},
            {"a key of the same number", 0, {{0x94, 21, 50}, {0xB4, 21, 2}}, {{0xB0, 7, 2}}, 2},
        };
        for (const Step& step : steps)
            rig.run(panel, Slot, step);

        desk.window->SessionFile = session;
        ASSERT_TRUE(desk.window->SaveSession_Click());
    }

    // The program started again: the session binds the knob at once.
    JackDesk desk("OrvellLearn" + std::to_string(test::nextId()));
    desk.dialogs.answer(session);
    desk.window->LoadSession_Click();
    FaderPanel* panel = desk.fader();
    ASSERT_NE(panel, nullptr);
    const auto binding = desk.shared->learn.bindingOf(panel, Slot);
    ASSERT_TRUE(binding.has_value());
    EXPECT_EQ(formatLearnSource(*binding), "CC 5 21");
    ASSERT_TRUE(warmUp(panel, Slot, rig.synth));
    rig.run(panel, Slot, {"the knob after the session", 10, {{0xB4, 21, 64}}, {{0xB0, 7, 64}}, 64});
}

}  // namespace
}  // namespace orvell
