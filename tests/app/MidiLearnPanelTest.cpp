#include "app/AOrvell.h"
#include "controllers/ButtonsPanel.h"
#include "controllers/FaderPanel.h"
#include "core/SectionFile.h"
#include "midi/VirtualMidiSystem.h"
#include "panels/Shared.h"
#include "support/TestDesk.h"
#include "support/WidgetDriving.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace orvell {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::child;

struct Desk : test::TestDesk {
    Desk() : TestDesk(2, 2) { start({1000, 700}); }

    FaderPanel* add()
    {
        auto* panel = new FaderPanel(PanelClass::HFaders, *window);
        panel->Tag = QString::number(++shared->UniqFormCounter);
        window->mdiArea().addSubWindow(panel)->show();
        QCoreApplication::processEvents();
        return panel;
    }

    // A hardware control on input `device`, and one turn of the UI.
    std::vector<Bytes> play(int device, Bytes message)
    {
        midi->clearSent();
        midi->playInto(device, message);
        QCoreApplication::processEvents();
        return test::sentBytes(*midi);
    }
};

void chooseVolume(FaderPanel* panel, int slot)
{
    test::chooseInSlot(panel, QStringLiteral("CntrlLbl"), slot, QStringLiteral("Control"), QStringLiteral("7"));
}

TEST(MidiLearnPanel, ALearnedKnobMovesTheFaderWhichSendsItsOwnMessageOncePerChange)
{
    Desk desk;
    FaderPanel* panel = desk.add();
    chooseVolume(panel, 1);
    panel->IsChanged = false;

    // Learn from the slot's own menu, from the keyboard.
    panel->fader(1)->setFocus();
    QTimer::singleShot(0, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(menu->actions().size(), 2);
        EXPECT_FALSE(menu->actions()[1]->isEnabled());  // nothing to forget yet
        menu->actions()[0]->trigger();
        menu->close();
    });
    QContextMenuEvent key(QContextMenuEvent::Keyboard, {5, 5}, panel->fader(1)->mapToGlobal(QPoint{5, 5}));
    QApplication::sendEvent(panel->fader(1), &key);

    EXPECT_TRUE(desk.play(1, {0xB4, 21, 40}).empty());  // the teaching turn moves nothing
    EXPECT_TRUE(panel->IsChanged);

    struct Step {
        int device;
        Bytes in;
        std::vector<Bytes> out;
        int value;
    };
    const Step steps[] = {
        {1, {0xB4, 21, 100}, {{0xB0, 7, 100}}, 100},
        {0, {0xB4, 21, 100}, {}, 100},  // no change, no message
        {0, {0xB4, 21, 0}, {{0xB0, 7, 0}}, 0},
        {0, {0xB4, 22, 50}, {}, 0},  // another knob
        {0, {0x94, 21, 50}, {}, 0},  // a key of the same number
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(::testing::PrintToString(s.in));
        EXPECT_EQ(desk.play(s.device, s.in), s.out);
        EXPECT_EQ(panel->fader(1)->value(), s.value);
    }

    // The binding is part of the panel's data section and comes back with it.
    const QByteArray section = test::sectionOf(panel);
    EXPECT_TRUE(section.contains("\r\nMidiLearn=CC 5 21\r\n")) << section.toStdString();
    EXPECT_EQ(section.count("MidiLearn="), 1);
    FaderPanel* copy = desk.add();
    EXPECT_TRUE(test::loadSection(*desk.shared, copy, section).isEmpty());
    EXPECT_TRUE(test::sectionOf(copy).contains("\r\nMidiLearn=CC 5 21\r\n"));
    EXPECT_EQ(desk.play(0, {0xB4, 21, 64}), (std::vector<Bytes>{{0xB0, 7, 64}}));
    EXPECT_EQ(copy->fader(1)->value(), 64);
    EXPECT_EQ(panel->fader(1)->value(), 0);  // the source went over to the copy

    copy->Forget_Click(1);
    EXPECT_TRUE(desk.play(0, {0xB4, 21, 30}).empty());
    EXPECT_EQ(copy->fader(1)->value(), 64);
    EXPECT_FALSE(test::sectionOf(copy).contains("MidiLearn"));
    EXPECT_FALSE(desk.midi->inputStarted(0));
    EXPECT_FALSE(desk.midi->inputStarted(1));
}

TEST(MidiLearnPanel, ALearnedKnobWorksAgainWhenItsControllerIsPluggedBackIn)
{
    Desk desk;
    FaderPanel* panel = desk.add();
    chooseVolume(panel, 0);
    panel->Learn_Click(0);
    EXPECT_TRUE(desk.play(1, {0xB2, 74, 10}).empty());
    ASSERT_TRUE(desk.shared->learn.bindingOf(panel, 0).has_value());

    ASSERT_TRUE(desk.midi->unplugInput(1));
    QCoreApplication::processEvents();  // the watcher's word reaches the window
    EXPECT_EQ(desk.field(0), " MIDI IN Port 2 (Virtual In 2) is unplugged");
    EXPECT_TRUE(desk.play(1, {0xB2, 74, 90}).empty());

    ASSERT_TRUE(desk.midi->replugInput(1));
    QCoreApplication::processEvents();
    EXPECT_EQ(desk.field(0), " Open MIDI IN Port 2 (Virtual In 2) again");
    EXPECT_EQ(desk.play(1, {0xB2, 74, 90}), (std::vector<Bytes>{{0xB0, 7, 90}}));
    EXPECT_EQ(panel->fader(0)->value(), 90);
}

TEST(MidiLearnPanel, ALearnedKeyPressesAndReleasesAButtonAsTheMouseDoes)
{
    Desk desk;
    auto* panel = qobject_cast<ButtonsPanel*>(desk.window->createPanel(PanelClass::Buttons));
    ASSERT_NE(panel, nullptr);
    QTest::mouseClick(child<QLabel>(panel, QStringLiteral("CntrlLbl0")), Qt::LeftButton);
    auto* combo = child<QComboBox>(panel, QStringLiteral("Control"));
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), QStringLiteral("64"));  // hold pedal, momentary
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    panel->Learn_Click(0);
    EXPECT_TRUE(desk.play(0, {0x99, 36, 1}).empty());

    struct Step {
        Bytes in;
        std::vector<Bytes> out;
        bool on;
    };
    const Step steps[] = {
        {{0x99, 36, 100}, {{0xB0, 64, 127}}, true},
        {{0x99, 36, 90}, {}, true},  // already down
        {{0x89, 36, 0}, {{0xB0, 64, 0}}, false},
        {{0x99, 36, 0}, {}, false},  // already up
        {{0x99, 37, 100}, {}, false},
        {{0x99, 36, 127}, {{0xB0, 64, 127}}, true},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(::testing::PrintToString(s.in));
        EXPECT_EQ(desk.play(0, s.in), s.out);
        EXPECT_EQ(panel->isOn(0), s.on);
    }
}

}  // namespace
}  // namespace orvell
