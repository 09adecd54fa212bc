#include "midi/PortConfigFile.h"
#include "support/EngineRig.h"

#include <gtest/gtest.h>

#include <functional>

namespace orvell {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Two synths, "A" on port 1 and "B" on port 2, and a keyboard on input 1;
// the engine hears of every device change at once.
struct Rig : test::EngineRig {
    Rig() : EngineRig(1, QStringList{QStringLiteral("A"), QStringLiteral("B")}) { watch(); }
    void watch()
    {
        system.setDeviceWatcher([this] { engine.DevicesChanged(); });
    }
};

TEST(Replug, ASynthThatReturnsIsReopenedOnItsOwnPort)
{
    Rig t;
    t.engine.OpenMidiOut("2");
    t.engine.SendCtrlChg("2", 7, 100, "1");

    ASSERT_TRUE(t.system.unplugOutput("B"));
    EXPECT_EQ(t.reporter.fields[0], " MIDI OUT Port 2 (B) is unplugged");
    t.reporter.clear();
    t.engine.SendCtrlChg("2", 7, 90, "1");
    EXPECT_EQ(t.reporter.fields[1], " FAIL!");
    EXPECT_EQ(t.reporter.boxes.size(), 1u);

    ASSERT_TRUE(t.system.replugOutput("B"));
    EXPECT_EQ(t.reporter.fields[0], " Open MIDI OUT Port 2 (B) again");
    EXPECT_EQ(t.reporter.fields[1], " Done");
    t.engine.SendCtrlChg("2", 7, 80, "1");
    EXPECT_EQ(t.reporter.fields[1], " Sent");

    EXPECT_EQ(t.log(), (std::vector<std::pair<int, Bytes>>{{2, {0xB0, 7, 100}}, {2, {0xB0, 7, 80}}}));
    EXPECT_EQ(t.engine.MidiOutPorts[2].OpenCount, 1);
    EXPECT_EQ(t.system.openDeviceCount(1), 1);  // the lost handle was let go
    EXPECT_EQ(t.system.totalOpens(1), 2);
    EXPECT_FALSE(t.system.unplugOutput("C"));
}

TEST(Replug, WhatComesBackWithTheDevice)
{
    const Bytes note{0x90, 60, 100};
    const std::vector<std::pair<int, Bytes>> both{{2, {0xB0, 7, 1}}, {2, note}};
    struct Case {
        const char* name;
        bool engineSeesTheUnplug;
        std::function<void(Rig&)> between;  // after the unplug, before the return
        int opensOfB;                       // successful opens of device B in all
        std::vector<std::pair<int, Bytes>> log;  // after a send to port 2 and a key on the keyboard
    };
    const Case cases[] = {
        {"the port and its thru route", true, [](Rig&) {}, 2, both},
        {"a port no panel holds is left alone", true, [](Rig& t) { t.engine.CloseMidiOut("2"); }, 1, {}},
        {"a return the engine hears of without the unplug", false, [](Rig&) {}, 2, both},
        {"a failed open is tried again at the next change", true,
         [](Rig& t) {
             t.system.failOpen(1, MidiResult::Allocated);
             t.system.replugOutput("B");
             EXPECT_EQ(t.reporter.fields[1], " FAIL!");
             t.system.failOpen(1, MidiResult::Ok);
             t.system.unplugOutput("B");
         },
         2, both},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig t;
        t.engine.OpenMidiOut("2");
        t.engine.OpenMidiIn("1");
        t.engine.AddThru("1", "2");
        if (!c.engineSeesTheUnplug)
            t.system.setDeviceWatcher({});
        t.system.unplugOutput("B");
        c.between(t);
        t.watch();
        t.system.replugOutput("B");
        t.system.clearSent();
        t.engine.SendCtrlChg("2", 7, 1, "1");
        t.system.playInto(0, note);
        EXPECT_EQ(t.log(), c.log);
        EXPECT_EQ(t.system.totalOpens(1), c.opensOfB);
    }
}

TEST(Replug, AKeyboardThatReturnsFeedsItsThruAndItsListenersAgain)
{
    const Bytes note{0x90, 60, 100};
    struct Case {
        const char* name;
        std::function<void(Rig&)> hold;     // how the input is held before the unplug
        std::function<void(Rig&)> between;  // after the unplug, before the return
        std::vector<std::pair<int, Bytes>> thru;
        int heard;        // messages the listener heard of the key played after the return
        int opens;        // opens of the input asked for in all
        const char* last;  // the status line's first field at the end
    };
    const auto thru = [](Rig& t) {
        t.engine.OpenMidiOut("2");
        t.engine.OpenMidiIn("1");
        t.engine.AddThru("1", "2");
    };
    const auto listen = [](Rig& t) {
        t.engine.OpenMidiIn("1");
        t.engine.StartMidiIn("1");
    };
    const char* back = " Open MIDI IN Port 1 (Virtual In 1) again";
    const Case cases[] = {
        {"a thru route", thru, [](Rig&) {}, {{2, note}}, 1, 2, back},
        {"a listener, as learned controls are", listen, [](Rig&) {}, {}, 1, 2, back},
        {"an input nobody holds is left alone", [](Rig& t) { t.engine.OpenMidiIn("1"); t.engine.CloseMidiIn("1"); },
         [](Rig&) {}, {}, 0, 1, ""},
        {"a failed open is tried again at the next change", listen,
         [](Rig& t) {
             t.system.failInput(VirtualMidiSystem::InputCall::Open, 0, MidiResult::Allocated);
             t.system.replugInput(0);
             EXPECT_EQ(t.reporter.fields[1], " FAIL!");
             t.system.failInput(VirtualMidiSystem::InputCall::Open, 0, MidiResult::Ok);
         },
         {}, 1, 3, back},
        {"a failed start lets the new handle go", listen,
         [](Rig& t) {
             t.system.failInput(VirtualMidiSystem::InputCall::Start, 0, MidiResult::NotReady);
             t.system.replugInput(0);
             EXPECT_EQ(t.reporter.fields[1], " FAIL!");
             EXPECT_EQ(t.system.openInputCount(0), 1);
             t.system.failInput(VirtualMidiSystem::InputCall::Start, 0, MidiResult::Ok);
         },
         {}, 1, 3, back},
        {"a thru route that cannot be made keeps nothing else from coming back",
         [&](Rig& t) {
             listen(t);
             thru(t);
         },
         [](Rig& t) { t.system.failInput(VirtualMidiSystem::InputCall::Connect, 0, MidiResult::NotReady); }, {}, 1, 2,
         back},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig t;
        int heard = 0;
        t.system.setInputListener([&](MidiHandle, std::span<const std::uint8_t>) { ++heard; });
        c.hold(t);
        t.reporter.clear();
        ASSERT_TRUE(t.system.unplugInput(0));
        if (t.engine.MidiInPorts[1].OpenCount > 0) {
            EXPECT_EQ(t.reporter.fields[0], " MIDI IN Port 1 (Virtual In 1) is unplugged");
        }
        c.between(t);
        t.system.playInto(0, note);  // away, or back on a lost handle: nobody hears it
        t.system.clearSent();
        heard = 0;
        ASSERT_TRUE(t.system.replugInput(0));
        t.system.playInto(0, note);
        EXPECT_EQ(t.log(), c.thru);
        EXPECT_EQ(heard, c.heard);
        EXPECT_EQ(t.reporter.fields[0], c.last);
        EXPECT_EQ(t.system.openInputCount(0), t.engine.MidiInPorts[1].OpenCount > 0 ? 1 : 0);  // the lost handle went
        int opens = 0;
        for (const QString& call : t.system.inputCalls())
            opens += call == "open 0";
        EXPECT_EQ(opens, c.opens);
    }
    Rig t;
    EXPECT_FALSE(t.system.unplugInput(1));
}

TEST(Replug, AFailedReopenStaysOnTheStatusLineThroughThePass)
{
    Rig t;
    t.engine.OpenMidiOut("2");
    t.engine.OpenMidiIn("1");
    t.system.setDeviceWatcher({});
    t.system.unplugOutput("B");
    t.system.unplugInput(0);
    t.system.replugOutput("B");
    t.system.replugInput(0);
    t.system.failOpen(1, MidiResult::Allocated);
    t.engine.DevicesChanged();  // B will not open; the keyboard comes back after it
    EXPECT_EQ(t.reporter.fields[0], " Open MIDI OUT Port 2 (B) again");
    EXPECT_EQ(t.reporter.fields[1], " FAIL!");
    EXPECT_EQ(t.system.openInputCount(0), 1);
    EXPECT_FALSE(t.system.inputLost(t.engine.MidiInPorts[1].Handle));
    EXPECT_EQ(t.engine.LastMidiErr, MidiResult::Allocated);
}

TEST(PortsByName, ASessionFollowsItsDevicesWhenTheirOrderDiffers)
{
    const auto ports = [](std::initializer_list<const char*> names) {
        std::vector<MidiPort> table{{QStringLiteral("MIDI Mapper Out"), 0, true, true, 0}};
        for (const char* name : names)
            table.push_back({QString::fromLatin1(name), 0, true, true, 0});
        return table;
    };
    struct Case {
        QStringList session;  // the "[MIDI Out Devs]" lines
        std::vector<MidiPort> here;
        std::map<int, int> map;
    };
    const Case cases[] = {
        {{"MIDI Mapper Out", "B", "A"}, ports({"A", "B"}), {{1, 2}, {2, 1}}},
        {{"A", "B"}, ports({"A", "B"}), {}},
        // Written where "X" was in the list but not in use: the same machine.
        {{"A", "B"}, ports({"X", "A", "B"}), {}},
        // "Z" is not here: it keeps its number.
        {{"B", "Z", "A"}, ports({"A", "B"}), {{1, 2}, {3, 1}}},
        // Two synths of one kind pair off in order.
        {{"S", "S", "A"}, ports({"A", "S", "S"}), {{1, 2}, {2, 3}, {3, 1}}},
        {{}, ports({"A", "B"}), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.session.join(u',').toStdString());
        EXPECT_EQ(portsByName(c.session, c.here), c.map);
    }
    EXPECT_EQ(describePortMap({{1, 2}, {2, 1}}, ports({"A", "B"})), "1 to 2 (B), 2 to 1 (A)");
}

}  // namespace
}  // namespace orvell
