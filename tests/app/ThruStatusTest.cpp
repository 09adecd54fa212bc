#include "app/AOrvell.h"
#include "app/StatusLine.h"
#include "midi/PortLists.h"
#include "midi/VirtualMidiSystem.h"
#include "panels/Shared.h"
#include "support/TestDesk.h"

#include <QComboBox>
#include <QMenu>

#include <gtest/gtest.h>

namespace orvell {
namespace {

TEST(InPortList, OffersTheEnabledInputsOnlyAndSelectsTheFirst)
{
    test::TestDesk desk(3, 2);
    ASSERT_TRUE(desk.window->Load({}));
    MidiEngine& midi = desk.shared->midi;
    midi.MidiInPorts[2].Enabled = false;
    QComboBox list;
    list.addItem("left over");
    FillInPortList(list, midi);
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.itemText(0), "Virtual In 1");
    EXPECT_EQ(list.itemData(0).toInt(), 1);
    EXPECT_EQ(list.itemText(1), "Virtual In 3");
    EXPECT_EQ(list.itemData(1).toInt(), 3);
    EXPECT_EQ(list.currentIndex(), 0);
    EXPECT_EQ(list.findText("Empty In"), -1);
}

// What a thru call reports stays over mouse-over hints until a menu opens.
TEST(ThruStatus, ThruReportsAreNotOverwrittenByHints)
{
    test::TestDesk desk(1, 2);
    ASSERT_TRUE(desk.window->Load({}));
    MidiEngine& midi = desk.shared->midi;
    StatusLine& status = desk.window->statusLine();
    auto* setup = desk.window->findChild<QMenu*>("Setup");
    ASSERT_NE(setup, nullptr);
    midi.OpenMidiOut("2");
    midi.OpenMidiIn("1");

    for (const char* call : {"AddThru", "RemoveThru"}) {
        SCOPED_TRACE(call);
        emit setup->aboutToShow();
        status.ShowStatusText(2, "before");
        if (std::string(call) == "AddThru")
            midi.AddThru("1", "2");
        else
            midi.RemoveThru("1", "2");
        status.ShowHint("hover");
        EXPECT_EQ(desk.field(2), " before");
        EXPECT_EQ(desk.field(1), " Done");
        emit setup->aboutToShow();
        status.ShowHint("hover");
        EXPECT_EQ(desk.field(2), " hover");
    }
}

}  // namespace
}  // namespace orvell
