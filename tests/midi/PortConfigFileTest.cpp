#include "core/AppFlags.h"
#include "core/SectionFile.h"
#include "help/MessageTable.h"
#include "midi/MidiEngine.h"
#include "midi/PortConfigFile.h"
#include "midi/VirtualMidiSystem.h"
#include "support/FakeClock.h"
#include "support/RecordingReporter.h"

#include <gtest/gtest.h>

namespace orvell {
namespace {

// Two inputs ("Virtual In 1", "Virtual In 2") and two outputs ("Virtual Out 1",
// "Virtual Out 2") beside the mapper.
class PortSections : public ::testing::Test {
protected:
    PortSections() : system(2, 2, clock), engine(system, msgs, reporter, clock, flags) { engine.InitMidiDevs(); }

    std::vector<bool> enabled(const std::vector<MidiPort>& ports) const
    {
        std::vector<bool> flags;
        for (const MidiPort& port : ports)
            flags.push_back(port.Enabled);
        return flags;
    }

    // Reads the sections from text; the line after them is what the caller gets back.
    bool read(const QByteArray& text, QString* next = nullptr)
    {
        SectionReader in(text);
        EXPECT_EQ(in.next()->name, QStringLiteral("MIDI In Devs"));
        const bool ok = ReadMidiDevSections(in, engine);
        if (next)
            *next = in.peek() ? in.peek()->text : QString();
        return ok;
    }

    test::FakeClock clock;
    VirtualMidiSystem system;
    MessageTable msgs;
    test::RecordingReporter reporter;
    AppFlags flags;
    MidiEngine engine;
};

TEST_F(PortSections, WritesEveryEnabledPortByNameMapperIncluded)
{
    engine.MidiInPorts[2].Enabled = false;
    SectionWriter out;
    WriteMidiDevSections(out, engine);
    EXPECT_EQ(out.bytes(), QByteArray("\r\n[MIDI In Devs]\r\nVirtual In 1\r\n"
                                      "\r\n[MIDI Out Devs]\r\nMIDI Mapper Out\r\nVirtual Out 1\r\nVirtual Out 2\r\n"));

    engine.MidiOutPorts[0].Enabled = false;
    SectionWriter withoutMapper;
    WriteMidiDevSections(withoutMapper, engine);
    EXPECT_FALSE(withoutMapper.bytes().contains("MIDI Mapper Out"));
}

TEST_F(PortSections, ReadingEnablesOnlyTheListedPorts)
{
    struct Case {
        const char* name;
        QByteArray text;
        bool accepted;
        std::vector<bool> in, out;  // port 0 first
    };
    const std::vector<bool> allIn{false, true, true};
    const std::vector<bool> allOut{true, true, true};
    const Case cases[] = {
        {"only output B", "[MIDI In Devs]\r\nVirtual In 1\r\n[MIDI Out Devs]\r\nVirtual Out 2\r\n", true,
         {false, true, false}, {false, false, true}},
        {"names are trimmed", "[MIDI In Devs]\n  Virtual In 2\t\n[MIDI Out Devs]\n Virtual Out 1 \n", true,
         {false, false, true}, {false, true, false}},
        {"LF endings and the mapper", "[MIDI In Devs]\nVirtual In 1\n[MIDI Out Devs]\nMIDI Mapper Out\n", true,
         {false, true, false}, {true, false, false}},
        {"no output matched", "[MIDI In Devs]\r\nVirtual In 1\r\n[MIDI Out Devs]\r\nGone Synth\r\n", false, allIn,
         allOut},
        {"no input matched", "[MIDI In Devs]\r\nGone Keyboard\r\n[MIDI Out Devs]\r\nVirtual Out 1\r\n", false,
         allIn, allOut},
        {"no output section", "[MIDI In Devs]\r\nVirtual In 1\r\n", false, allIn, allOut},
        {"empty sections", "[MIDI In Devs]\r\n[MIDI Out Devs]\r\n", false, allIn, allOut},
        {"an input name under outputs counts for nothing",
         "[MIDI In Devs]\r\nVirtual In 1\r\n[MIDI Out Devs]\r\nVirtual In 2\r\n", false, allIn, allOut},
        {"names with = and short names",
         "[MIDI In Devs]\r\nVirtual In 1\r\nA=B\r\nX\r\n[MIDI Out Devs]\r\nVirtual Out 1\r\n", true,
         {false, true, false}, {false, true, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        engine.InitMidiDevs();
        EXPECT_EQ(read(c.text), c.accepted);
        EXPECT_EQ(enabled(engine.MidiInPorts), c.in);
        EXPECT_EQ(enabled(engine.MidiOutPorts), c.out);
    }
}

TEST_F(PortSections, StopsAtTheNextSectionAndLeavesItForTheCaller)
{
    QString next;
    EXPECT_TRUE(read("[MIDI In Devs]\r\nVirtual In 1\r\n\r\n[MIDI Out Devs]\r\nVirtual Out 1\r\n\r\n[Panels]\r\n"
                     "[AOrvell]\r\n",
                     &next));
    EXPECT_EQ(next, QStringLiteral("[Panels]"));
}

TEST_F(PortSections, AbsentDevicesAreNeitherWrittenNorMatched)
{
    system.setAbsent(0);
    engine.InitMidiDevs();
    SectionWriter out;
    WriteMidiDevSections(out, engine);
    EXPECT_FALSE(out.bytes().contains("Virtual Out 1"));
    EXPECT_FALSE(read("[MIDI In Devs]\nVirtual In 1\n[MIDI Out Devs]\nVirtual Out 1\n"));
}

TEST_F(PortSections, WrittenSectionsReadBackToTheSameChoice)
{
    engine.MidiInPorts[1].Enabled = false;
    engine.MidiOutPorts[2].Enabled = false;
    const auto in = enabled(engine.MidiInPorts);
    const auto out = enabled(engine.MidiOutPorts);
    SectionWriter writer;
    WriteMidiDevSections(writer, engine);
    engine.InitMidiDevs();
    SectionReader reader(writer.bytes());
    reader.next();
    EXPECT_TRUE(ReadMidiDevSections(reader, engine));
    EXPECT_EQ(enabled(engine.MidiInPorts), in);
    EXPECT_EQ(enabled(engine.MidiOutPorts), out);
}

}  // namespace
}  // namespace orvell
