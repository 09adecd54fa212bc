#include "core/AppFlags.h"
#include "core/SectionFile.h"
#include "help/MessageTable.h"
#include "midi/MidiEngine.h"
#include "midi/PortConfigFile.h"
#include "midi/VirtualMidiSystem.h"
#include "panels/PanelClasses.h"
#include "support/FakeClock.h"
#include "support/Mutator.h"
#include "support/RecordingReporter.h"

#include <gtest/gtest.h>

#include <random>

namespace orvell {
namespace {

const QByteArray ValidSession =
    "\r\n[MIDI In Devs]\r\nVirtual In 1\r\n\r\n[MIDI Out Devs]\r\nMIDI Mapper Out\r\nVirtual Out 2\r\n"
    "\r\n[Panels]\r\n\r\n[AOrvell]\r\nName=Orvell\r\nTop=1680\r\nLeft=1860\r\nHeight=4956\r\nWidth=7068\r\n"
    "Color=-2147483636\r\nVisible=True\r\nTag=\r\nWindowState=0\r\n\r\n[AOrvell Data]\r\nUniqFormCounter=3\r\n"
    "ToolBarVisible=True\r\nStatusBarVisible=False\r\nStatusBarPos=1\r\nToolBarPos=1\r\nSysExCount=1\r\n"
    "SysXLabel=GM\r\nSysXMesg=F0 7E 7F 09 01 F7\r\n\r\n[HFaders]\r\nName=A=B\r\nTop=300\r\nLeft=0\r\n"
    "Color=-2147483633\r\nVisible=True\r\nTag=1\r\nWindowState=1\r\n\r\n[HFaders Data]\r\nIDIcon=3\r\n"
    "Control=Vol\r\nControlNum=7\r\nFaderVal=100\r\nChannel=1\r\nPort=2\r\n";
const QByteArray ValidPanel =
    "\r\n[VFaders]\r\nName=Pad\r\nTop=300\r\nLeft=300\r\nColor=-2147483633\r\nVisible=True\r\nTag=5\r\n"
    "WindowState=0\r\n\r\n[VFaders Data]\r\nControl=Pan\r\nControlNum=10\r\nFaderVal=64\r\n";

// Everything the session loader asks of the file, without the windows: the
// line syntax, the port sections, the section names and the value readers.
// A read must end after at most one step per line.
TEST(SessionSyntaxFuzz, HundredThousandMutatedFilesReadToTheirEnd)
{
    test::FakeClock clock;
    VirtualMidiSystem system(2, 2, clock);
    MessageTable msgs;
    test::RecordingReporter reporter;
    AppFlags flags;
    MidiEngine engine(system, msgs, reporter, clock, flags);
    engine.InitMidiDevs();

    std::mt19937 random(20261208);
    const int rounds = test::mutationRounds(100000);
    int accepted = 0;
    for (int round = 0; round < rounds; ++round) {
        const QByteArray bytes = test::mutateSectionFile(round % 2 ? ValidPanel : ValidSession, random);
        SectionReader in(bytes);
        qsizetype steps = 0;
        const qsizetype most = bytes.count('\n') + bytes.count('\r') + 2;
        while (const auto line = in.next()) {
            ASSERT_LE(++steps, most) << round;
            if (line->kind == SectionLine::Kind::Header) {
                if (line->name == u"MIDI In Devs")
                    accepted += ReadMidiDevSections(in, engine) ? 1 : 0;
                if (const auto name = dataSectionClass(line->name))
                    (void)panelClassByName(*name);
                else
                    (void)panelClassByName(line->name);
            } else if (line->kind == SectionLine::Kind::Key) {
                (void)parseSectionInt(line->value);
                (void)parseSectionBool(line->value);
                (void)parseSectionColor(line->value);
            }
        }
        ASSERT_TRUE(in.atEnd()) << round;
    }
    // Most damaged files still carry a usable port configuration.
    EXPECT_GT(accepted, rounds / 10);
}

}  // namespace
}  // namespace orvell
