// Input ports and thru routing on virtual devices: what the engine asks of the
// MIDI system, what it shows, and the bytes a keyboard's messages reach.

#include "core/AppFlags.h"
#include "help/MessageTable.h"
#include "midi/MidiEngine.h"
#include "midi/VirtualMidiSystem.h"
#include "support/FakeClock.h"
#include "support/RecordingReporter.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace orvell {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Call = VirtualMidiSystem::InputCall;
using Writes = std::vector<std::pair<int, QString>>;

// Two inputs and five outputs.
class MidiThruTest : public ::testing::Test {
protected:
    MidiThruTest() : system(2, 5, clock), engine(system, msgs, reporter, clock, flags)
    {
        flags.Initializing = false;
        engine.InitMidiDevs();
        engine.setPortListsChanged([this] { ++refreshes; });
    }

    // Output ports 0..5 and input 1 held open, as the patch-group panel does.
    void openPorts()
    {
        for (int port = 0; port <= 5; ++port)
            engine.OpenMidiOut(QString::number(port));
        engine.OpenMidiIn("1");
        reporter.clear();
        system.clearInputCalls();
    }

    // Lets go of every port, whoever holds it, so the next case starts clean.
    void closePorts()
    {
        for (int port = 0; port <= 5; ++port) {
            while (engine.MidiOutPorts[static_cast<std::size_t>(port)].OpenCount > 0)
                engine.CloseMidiOut(QString::number(port));
        }
        while (engine.MidiInPorts[1].OpenCount > 0)
            engine.CloseMidiIn("1");
    }

    // What reached the outputs: (port, bytes) in order.
    std::vector<std::pair<int, Bytes>> sent() const
    {
        std::vector<std::pair<int, Bytes>> out;
        for (const auto& message : system.sent())
            out.emplace_back(message.port, message.bytes);
        return out;
    }

    void play(const Bytes& bytes) { system.playInto(0, bytes); }

    test::FakeClock clock;
    VirtualMidiSystem system;
    MessageTable msgs;
    test::RecordingReporter reporter;
    AppFlags flags;
    MidiEngine engine;
    int refreshes = 0;
};

TEST_F(MidiThruTest, InputIsOpenedByTheFirstHolderAndClosedByTheLast)
{
    engine.OpenMidiIn("2");
    EXPECT_EQ(reporter.writes, (Writes{{0, "Open MIDI IN Port 2"}, {1, "Done"}}));
    engine.OpenMidiIn("2");
    EXPECT_EQ(engine.MidiInPorts[2].OpenCount, 2);
    EXPECT_EQ(system.openInputCount(1), 1);

    reporter.clear();
    engine.CloseMidiIn("2");
    EXPECT_TRUE(reporter.writes.empty());
    EXPECT_EQ(system.openInputCount(1), 1);
    engine.CloseMidiIn("2");
    EXPECT_EQ(reporter.writes, (Writes{{0, "Close MIDI IN Port 2"}, {1, "Done"}}));
    engine.CloseMidiIn("2");  // nobody holds it any more
    EXPECT_EQ(engine.MidiInPorts[2].OpenCount, 0);
    EXPECT_EQ(system.inputCalls(), (QStringList{"open 1", "reset 1", "close 1"}));
    EXPECT_TRUE(reporter.boxes.empty());
    EXPECT_EQ(reporter.holds, 0);
}

// Input numbers are checked against the inputs, output numbers against the
// outputs: with 2 inputs and 5 outputs, input "3" is invalid.
TEST_F(MidiThruTest, PortTextsAreCheckedBeforeAnythingHappens)
{
    openPorts();
    const struct {
        const char* what;
        std::function<void()> call;
        bool invalidShown;
        int holds;
    } cases[] = {
        {"close input 3", [&] { engine.CloseMidiIn("3"); }, true, 0},
        {"open input 3", [&] { engine.OpenMidiIn("3"); }, true, 0},
        {"open input -1", [&] { engine.OpenMidiIn("-1"); }, true, 0},
        {"open input x", [&] { engine.OpenMidiIn("x"); }, false, 0},
        {"close input empty", [&] { engine.CloseMidiIn(""); }, false, 0},
        {"thru from input 3", [&] { engine.AddThru("3", "1"); }, true, 1},
        {"thru to output 6", [&] { engine.AddThru("1", "6"); }, true, 1},
        {"thru to output -1", [&] { engine.AddThru("1", "-1"); }, true, 1},
        {"remove thru from input 3", [&] { engine.RemoveThru("3", "2"); }, true, 1},
        {"thru with text input", [&] { engine.AddThru("one", "2"); }, false, 0},
        {"remove thru with text output", [&] { engine.RemoveThru("1", "two"); }, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        reporter.clear();
        c.call();
        EXPECT_EQ(reporter.writes, (c.invalidShown ? Writes{{0, "Invalid MIDI Port!"}} : Writes{}));
        EXPECT_EQ(reporter.holds, c.holds);
        EXPECT_TRUE(system.inputCalls().isEmpty()) << system.inputCalls().join(", ").toStdString();
    }
    EXPECT_EQ(engine.MidiInPorts[1].OpenCount, 1);
    EXPECT_EQ(engine.ThruMap, (std::vector<int>{0, 0, 0}));
}

TEST_F(MidiThruTest, EveryKindOfMessageReachesTheOutputUntilTheThruIsRemoved)
{
    openPorts();
    play({0x90, 0x3C, 0x64});  // not connected yet: nowhere to go
    engine.AddThru("1", "2");
    EXPECT_EQ(reporter.writes, (Writes{{0, "Connect Port 1 to Output 2"}, {1, "Done"}}));
    EXPECT_EQ(reporter.holds, 1);
    EXPECT_EQ(engine.ThruMap[1], 2);
    EXPECT_EQ(system.inputCalls(), (QStringList{"connect 0 1", "start 0"}));

    Bytes sysEx(1200);
    for (std::size_t i = 0; i < sysEx.size(); ++i)
        sysEx[i] = static_cast<std::uint8_t>(i % 128);
    sysEx.front() = 0xF0;
    sysEx.back() = 0xF7;
    const std::vector<Bytes> played = {
        {0x90, 0x3C, 0x64}, {0xB0, 0x07, 0x50}, {0xE0, 0x00, 0x60}, sysEx, {0xF8}, {0x80, 0x3C, 0x00},
    };
    for (const Bytes& message : played)
        play(message);
    std::vector<std::pair<int, Bytes>> expected;
    for (const Bytes& message : played)
        expected.emplace_back(2, message);
    EXPECT_EQ(sent(), expected);

    reporter.clear();
    system.clearInputCalls();
    engine.RemoveThru("1", "2");
    EXPECT_EQ(reporter.writes, (Writes{{0, "CancelConnect Port 1 to Output 2"}, {1, "Done"}}));
    EXPECT_EQ(reporter.holds, 1);
    EXPECT_EQ(system.inputCalls(), (QStringList{"stop 0", "disconnect 0 1"}));
    EXPECT_EQ(engine.ThruMap[1], 0);
    system.clearSent();
    play({0x90, 0x3E, 0x64});
    EXPECT_TRUE(sent().empty());
    EXPECT_TRUE(reporter.boxes.empty());
}

// Calls that find nothing to do say nothing and call nothing.
TEST_F(MidiThruTest, ThruCallsWithNothingToDoDoNothing)
{
    openPorts();
    engine.AddThru("1", "2");
    const struct {
        const char* what;
        std::function<void()> call;
    } cases[] = {
        {"the pair already connected", [&] { engine.AddThru("1", "2"); }},
        {"remove another output", [&] { engine.RemoveThru("1", "3"); }},
        {"remove from the other input", [&] { engine.RemoveThru("2", "2"); }},
        {"remove a route to the mapper that was never made", [&] { engine.RemoveThru("2", "0"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        reporter.clear();
        system.clearInputCalls();
        c.call();
        EXPECT_TRUE(reporter.writes.empty());
        EXPECT_EQ(reporter.holds, 0);
        EXPECT_TRUE(system.inputCalls().isEmpty()) << system.inputCalls().join(", ").toStdString();
        EXPECT_EQ(engine.ThruMap, (std::vector<int>{0, 2, 0}));
    }
}

// One input feeds one output: a new destination first removes the old route,
// the mapper (port 0) included.
TEST_F(MidiThruTest, ConnectingElsewhereMovesTheRoute)
{
    const struct {
        const char* first;
        const char* second;
        int secondPort;
    } cases[] = {{"2", "3", 3}, {"0", "2", 2}, {"4", "0", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.first) + " then " + c.second);
        openPorts();
        engine.AddThru("1", c.first);
        reporter.clear();
        system.clearInputCalls();
        system.clearSent();

        engine.AddThru("1", c.second);
        const QString first = QString::fromLatin1(c.first);
        const QString second = QString::fromLatin1(c.second);
        EXPECT_EQ(reporter.writes, (Writes{{0, "CancelConnect Port 1 to Output " + first},
                                           {1, "Done"},
                                           {0, "Connect Port 1 to Output " + second},
                                           {1, "Done"}}));
        const QString firstDevice = QString::number(first.toInt() - 1);
        const QString secondDevice = QString::number(second.toInt() - 1);
        EXPECT_EQ(system.inputCalls(),
                  (QStringList{"stop 0", "disconnect 0 " + firstDevice, "connect 0 " + secondDevice, "start 0"}));
        EXPECT_EQ(engine.ThruMap[1], c.secondPort);
        EXPECT_TRUE(engine.thruConnected(1));
        play({0xB0, 0x01, 0x10});
        EXPECT_EQ(sent(), (std::vector<std::pair<int, Bytes>>{{c.secondPort, {0xB0, 0x01, 0x10}}}));
        closePorts();
    }
}

TEST_F(MidiThruTest, FailedOpenDisablesTheInputAndDropsItFromSelectors)
{
    system.failInput(Call::Open, 1, MidiResult::Allocated);
    engine.OpenMidiIn("2");
    EXPECT_EQ(reporter.writes, (Writes{{0, "Open MIDI IN Port 2"}, {1, "FAIL!"}}));
    ASSERT_EQ(reporter.boxes.size(), 1u);
    EXPECT_EQ(reporter.boxes[0].text, "OpenMidiIn:\r" + *standardMidiErrorText(MidiResult::Allocated));
    EXPECT_EQ(engine.LastMidiErr, MidiResult::Allocated);
    EXPECT_EQ(engine.MidiInPorts[2].OpenCount, 0);
    EXPECT_FALSE(engine.MidiInPorts[2].Enabled);
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(engine.InPortChoices(), (std::vector<std::pair<QString, int>>{{"Virtual In 1", 1}}));
}

TEST_F(MidiThruTest, EmptyInIsNeverOfferedNorOpened)
{
    EXPECT_EQ(engine.InPortChoices(),
              (std::vector<std::pair<QString, int>>{{"Virtual In 1", 1}, {"Virtual In 2", 2}}));
    engine.OpenMidiIn("0");
    EXPECT_EQ(reporter.fields[1], " FAIL!");
    EXPECT_EQ(engine.MidiInPorts[0].OpenCount, 0);
    EXPECT_EQ(system.openInputCount(0), 0);
}

// Failures: "FAIL!", the routine's box, and the tables left as the system is.
TEST_F(MidiThruTest, FailedSystemCallsLeaveTheRoutesAsTheSystemHasThem)
{
    const struct {
        const char* what;
        Call failing;
        bool connectFirst;
        std::function<void(MidiEngine&)> call;
        QString box;
        int thru;
        bool carries;  // a message played afterwards reaches output 2
    } cases[] = {
        {"connect", Call::Connect, false, [](MidiEngine& e) { e.AddThru("1", "2"); }, "AddThru:\r", 0, false},
        // A route the map would not know of must not stay behind.
        {"start", Call::Start, false, [](MidiEngine& e) { e.AddThru("1", "2"); }, "AddThru:\r", 0, false},
        {"stop", Call::Stop, true, [](MidiEngine& e) { e.RemoveThru("1", "2"); }, "RemoveThru, 1, 2 (3, 5:\r", 2,
         true},
        {"disconnect", Call::Disconnect, true, [](MidiEngine& e) { e.RemoveThru("1", "2"); },
         "RemoveThru, 1, 2 (3, 5:\r", 2, false},
        // The old route stays, so the input must not feed a second output.
        {"moving the route", Call::Stop, true, [](MidiEngine& e) { e.AddThru("1", "4"); },
         "RemoveThru, 1, 2 (3, 5:\r", 2, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        engine.ThruLoadedIn = "3";
        engine.ThruLoadedOut = "5";
        openPorts();
        if (c.connectFirst)
            engine.AddThru("1", "2");
        system.failInput(c.failing, 0, MidiResult::NotReady);
        reporter.clear();
        c.call(engine);
        EXPECT_EQ(reporter.fields[1], " FAIL!");
        ASSERT_EQ(reporter.boxes.size(), 1u);
        EXPECT_EQ(reporter.boxes[0].text, c.box + *standardMidiErrorText(MidiResult::NotReady));
        EXPECT_EQ(reporter.holds, 1);
        EXPECT_EQ(engine.LastMidiErr, MidiResult::NotReady);
        EXPECT_EQ(engine.ThruMap[1], c.thru);
        system.failInput(c.failing, 0, MidiResult::Ok);
        system.clearSent();
        play({0x90, 0x40, 0x40});
        EXPECT_EQ(sent(), (c.carries ? std::vector<std::pair<int, Bytes>>{{2, {0x90, 0x40, 0x40}}}
                                     : std::vector<std::pair<int, Bytes>>{}));
        // Once the system works again, a new route is the only one.
        engine.AddThru("1", "3");
        system.clearSent();
        play({0x90, 0x41, 0x40});
        EXPECT_EQ(sent(), (std::vector<std::pair<int, Bytes>>{{3, {0x90, 0x41, 0x40}}}));
        closePorts();
    }
}

TEST_F(MidiThruTest, FailedCloseKeepsTheInputHeld)
{
    for (Call failing : {Call::Reset, Call::Close}) {
        SCOPED_TRACE(failing == Call::Reset ? "reset" : "close");
        engine.OpenMidiIn("1");
        system.failInput(failing, 0, MidiResult::NotReady);
        system.clearInputCalls();
        reporter.clear();
        engine.CloseMidiIn("1");
        EXPECT_EQ(reporter.writes, (Writes{{0, "Close MIDI IN Port 1"}, {1, "FAIL!"}}));
        ASSERT_EQ(reporter.boxes.size(), 1u);
        EXPECT_EQ(reporter.boxes[0].text, "CloseMidiIn:\r" + *standardMidiErrorText(MidiResult::NotReady));
        EXPECT_EQ(engine.MidiInPorts[1].OpenCount, 1);
        // A failed reset never goes on to close.
        EXPECT_EQ(system.inputCalls(),
                  (failing == Call::Reset ? QStringList{"reset 0"} : QStringList{"reset 0", "close 0"}));
        system.failInput(failing, 0, MidiResult::Ok);
        engine.CloseMidiIn("1");
        EXPECT_EQ(engine.MidiInPorts[1].OpenCount, 0);
        EXPECT_EQ(system.openInputCount(0), 0);
    }
}

// Closing either end ends the route in the system, and the map follows, so
// a later AddThru of the same pair connects again.
TEST_F(MidiThruTest, ClosingAnEndOfTheRouteClearsItsEntry)
{
    for (const char* closing : {"input", "output"}) {
        SCOPED_TRACE(closing);
        openPorts();
        engine.AddThru("1", "2");
        if (std::string(closing) == "input")
            engine.CloseMidiIn("1");
        else
            engine.CloseMidiOut("2");
        EXPECT_EQ(engine.ThruMap[1], 0);
        EXPECT_FALSE(engine.thruConnected(1));
        engine.OpenMidiIn("1");
        engine.OpenMidiOut("2");
        system.clearSent();
        engine.AddThru("1", "2");
        play({0xC0, 0x05});
        EXPECT_EQ(sent(), (std::vector<std::pair<int, Bytes>>{{2, {0xC0, 0x05}}}));
        closePorts();
    }
}

TEST_F(MidiThruTest, ListenerHearsStartedInputsOnly)
{
    openPorts();
    std::vector<Bytes> heard;
    system.setInputListener([&](MidiHandle, std::span<const std::uint8_t> message) {
        heard.emplace_back(message.begin(), message.end());
    });
    play({0x90, 0x30, 0x30});
    engine.AddThru("1", "3");
    play({0x90, 0x31, 0x30});
    engine.RemoveThru("1", "3");
    play({0x90, 0x32, 0x30});
    EXPECT_EQ(heard, (std::vector<Bytes>{{0x90, 0x31, 0x30}}));
    EXPECT_EQ(system.playInto(2, Bytes{0xF8}), MidiResult::BadDeviceId);
}

}  // namespace
}  // namespace orvell
