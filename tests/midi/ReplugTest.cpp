#include "core/AppFlags.h"
#include "help/MessageTable.h"
#include "midi/MidiEngine.h"
#include "midi/PortConfigFile.h"
#include "midi/VirtualMidiSystem.h"
#include "support/FakeClock.h"
#include "support/RecordingReporter.h"

#include <gtest/gtest.h>

#include <functional>

namespace orvell {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Two synths, "A" on port 1 and "B" on port 2, and a keyboard on input 1;
// the engine hears of every device change at once.
struct Rig {
    Rig() : system(1, 0, clock), engine(system, msgs, reporter, clock, flags)
    {
        flags.Initializing = false;
        system.setOutputNames({QStringLiteral("A"), QStringLiteral("B")});
        engine.InitMidiDevs();
        watch();
    }
    void watch()
    {
        system.setDeviceWatcher([this] { engine.DevicesChanged(); });
    }

    // (port, bytes) of every message that reached a device.
    std::vector<std::pair<int, Bytes>> log() const
    {
        std::vector<std::pair<int, Bytes>> messages;
        for (const auto& sent : system.sent())
            messages.emplace_back(sent.port, sent.bytes);
        return messages;
    }

    test::FakeClock clock;
    VirtualMidiSystem system;
    MessageTable msgs;
    test::RecordingReporter reporter;
    AppFlags flags;
    MidiEngine engine;
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
