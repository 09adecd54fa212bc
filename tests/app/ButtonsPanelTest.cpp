#include "app/AOrvell.h"
#include "app/MainMenus.h"
#include "controllers/AutoDlgBox.h"
#include "controllers/ButtonsPanel.h"
#include "core/SectionFile.h"
#include "midi/VirtualMidiSystem.h"
#include "panels/Shared.h"
#include "patches/PatchListPanel.h"
#include "support/TestDesk.h"
#include "support/WidgetDriving.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace orvell {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Desk : test::TestDesk {
    Desk()
    {
        start({1000, 700});
        // The sweep is stepped by hand; the window's real timer stays off.
        shared->autoSweep.setTimerSwitch([this](bool on) { timerOn = on; });
    }

    ButtonsPanel* add()
    {
        auto* panel = qobject_cast<ButtonsPanel*>(window->createPanel(PanelClass::Buttons));
        EXPECT_NE(panel, nullptr);
        QCoreApplication::processEvents();
        midi->clearSent();
        return panel;
    }

    std::vector<Bytes> sent() const { return test::sentBytes(*midi); }

    void tick(int count = 1)
    {
        for (int k = 0; k < count; ++k)
            shared->autoSweep.AutoEvent_Timer();
    }

    bool timerOn = false;
};

using test::child;
using test::typeEnter;

QLabel* label(ButtonsPanel* panel, const char* name, int slot)
{
    return child<QLabel>(panel, QString::fromLatin1(name) + QString::number(slot));
}

// Clicks the controller label of a button and types the code into its selector.
void chooseController(ButtonsPanel* panel, int slot, int code)
{
    QTest::mouseClick(label(panel, "CntrlLbl", slot), Qt::LeftButton);
    auto* combo = child<QComboBox>(panel, QStringLiteral("Control"));
    typeEnter(combo->lineEdit(), QString::number(code));
}

void press(ButtonsPanel* panel, int slot, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(label(panel, "MButton", slot), button);
}

void release(ButtonsPanel* panel, int slot, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseRelease(label(panel, "MButton", slot), button);
}

QByteArray section(ButtonsPanel* panel) { return test::sectionOf(panel); }

QStringList load(Desk& desk, ButtonsPanel* panel, const QByteArray& bytes) { return test::loadSection(*desk.shared, panel, bytes); }

// Gives button `slot` a code and an option the way a file does, for codes no
// list offers.
void loadCode(Desk& desk, ButtonsPanel* panel, int slot, int code, int option)
{
    QByteArray bytes = section(panel);
    auto replaceNth = [&](const QByteArray& key, const QByteArray& value) {
        qsizetype at = -1;
        for (int k = 0; k <= slot; ++k)
            at = bytes.indexOf("\r\n" + key + "=", at + 1);
        const qsizetype end = bytes.indexOf("\r\n", at + 2);
        bytes.replace(at, end - at, "\r\n" + key + "=" + value);
    };
    replaceNth("ControlNum", QByteArray::number(code));
    replaceNth("BtnOpt", QByteArray::number(option));
    EXPECT_TRUE(load(desk, panel, bytes).isEmpty());
}

void hover(QWidget* widget)
{
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(widget, &enter);
}

struct PressCase {
    const char* name;
    int code;
    const char* option;
    std::vector<Bytes> onPress;
    std::vector<Bytes> onRelease;
    std::vector<Bytes> onSecondPress;
    bool onAfterRelease;  // the border after the first release
};

class ButtonPress : public ::testing::TestWithParam<PressCase> {};

TEST_P(ButtonPress, SendsByControllerClassAndOption)
{
    const PressCase& c = GetParam();
    Desk desk;
    ButtonsPanel* panel = desk.add();
    if (c.code == 300 || c.code == 217)
        loadCode(desk, panel, 1, c.code, 0);
    else
        chooseController(panel, 1, c.code);
    EXPECT_EQ(label(panel, "BtnOptLbl", 1)->text(), c.option);
    desk.midi->clearSent();

    press(panel, 1);
    EXPECT_TRUE(panel->isOn(1));
    EXPECT_EQ(desk.sent(), c.onPress);
    desk.midi->clearSent();
    release(panel, 1);
    EXPECT_EQ(desk.sent(), c.onRelease);
    EXPECT_EQ(panel->isOn(1), c.onAfterRelease);
    desk.midi->clearSent();
    press(panel, 1);
    EXPECT_EQ(desk.sent(), c.onSecondPress);
}

INSTANTIATE_TEST_SUITE_P(
    Types, ButtonPress,
    ::testing::Values(
        PressCase{"MomentaryHoldPedal", 64, "mom", {{0xB0, 64, 127}}, {{0xB0, 64, 0}}, {{0xB0, 64, 127}}, false},
        PressCase{"ToggleEffect", 91, "togl", {{0xB0, 91, 127}}, {}, {{0xB0, 91, 0}}, true},
        PressCase{"AllNotesOff", 120, "", {{0xB0, 120, 0}}, {}, {{0xB0, 120, 0}}, false},
        PressCase{"DataIncrement", 96, "", {{0xB0, 96, 127}}, {}, {{0xB0, 96, 127}}, false},
        PressCase{"MidiStartStop", 207, "togl", {{0xFA}}, {}, {{0xFC}}, true},
        PressCase{"RecorderNotYetThere", 206, "togl", {}, {}, {}, true},
        PressCase{"NoOperation", 300, "", {}, {}, {}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ButtonsPanel, ToggledHoldPedalSendsNothingOnReleaseAndOffOnTheNextPress)
{
    Desk desk;
    ButtonsPanel* panel = desk.add();
    chooseController(panel, 0, 64);
    QTest::mouseClick(label(panel, "BtnOptLbl", 0), Qt::LeftButton);
    EXPECT_EQ(label(panel, "BtnOptLbl", 0)->text(), "togl");
    EXPECT_TRUE(panel->IsChanged);
    desk.midi->clearSent();
    press(panel, 0);
    release(panel, 0);
    EXPECT_EQ(desk.sent(), (std::vector<Bytes>{{0xB0, 64, 127}}));
    press(panel, 0);
    release(panel, 0);
    EXPECT_EQ(desk.sent(), (std::vector<Bytes>{{0xB0, 64, 127}, {0xB0, 64, 0}}));
    EXPECT_FALSE(panel->isOn(0));
}

TEST(ButtonsPanel, ANewChannelOrPortLeavesTheOldOneAtRest)
{
    struct Case {
        const char* name;
        int code;
        bool pressFirst;  // and keep it held, toggled or sweeping
        const char* label;  // ChanLbl or PortLbl
        std::vector<Bytes> sent;  // all to the old channel and port
        std::vector<Bytes> nextPress;  // on the new ones; empty: a sweep, not checked here
    };
    const Case cases[] = {
        {"HoldPedalOff", 64, false, "ChanLbl", {{0xB0, 64, 0}}, {{0xB2, 64, 127}}},
        {"ToggledEffectOn", 91, true, "ChanLbl", {{0xB0, 91, 0}}, {{0xB2, 91, 127}}},
        {"ToggledEffectOnNewPort", 91, true, "PortLbl", {{0xB0, 91, 0}}, {{0xB0, 91, 127}}},
        {"VolumeAtRest", 7, false, "ChanLbl", {{0xB0, 7, 127}}, {}},
        {"VolumeSweeping", 7, true, "ChanLbl", {{0xB0, 7, 127}}, {}},
        {"PitchBend", 202, false, "PortLbl", {{0xE0, 0x00, 0x40}}, {}},
        {"MidiStartStopOn", 207, true, "PortLbl", {{0xFC}}, {{0xFA}}},
        // One-shot messages are actions, not states: leaving does not repeat them.
        {"AllNotesOff", 120, false, "ChanLbl", {}, {{0xB2, 120, 0}}},
        {"DataIncrement", 96, false, "PortLbl", {}, {{0xB0, 96, 127}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Desk desk;
        ButtonsPanel* panel = desk.add();
        chooseController(panel, 1, c.code);
        if (c.pressFirst) {
            // Held down while the label is clicked, as a remote press holds it.
            panel->MButton_MouseDown(1, ButtonsPanel::LeftButton, 0, 0, 0);
            desk.tick(3);
        }
        desk.midi->clearSent();
        const bool channel = QByteArray(c.label) == "ChanLbl";
        QTest::mouseClick(label(panel, c.label, 1), Qt::LeftButton);
        typeEnter(child<QComboBox>(panel, channel ? QStringLiteral("Channel") : QStringLiteral("Port"))->lineEdit(),
                  channel ? QStringLiteral("3") : QStringLiteral("2"));
        EXPECT_EQ(label(panel, c.label, 1)->text(), channel ? "3" : "2");
        EXPECT_EQ(desk.sent(), c.sent);
        for (const auto& message : desk.midi->sent())
            EXPECT_EQ(message.port, 1);
        EXPECT_FALSE(panel->isOn(1));
        desk.tick(3);  // a sweep reset stays quiet
        EXPECT_EQ(desk.sent(), c.sent);

        if (c.nextPress.empty())
            continue;
        desk.midi->clearSent();
        press(panel, 1);
        EXPECT_EQ(desk.sent(), c.nextPress);
        for (const auto& message : desk.midi->sent())
            EXPECT_EQ(message.port, channel ? 1 : 2);
        release(panel, 1);
    }
}

TEST(ButtonsPanel, RightButtonPressSendsNothing)
{
    Desk desk;
    ButtonsPanel* panel = desk.add();
    chooseController(panel, 2, 64);
    desk.midi->clearSent();
    press(panel, 2, Qt::RightButton);
    release(panel, 2, Qt::RightButton);
    EXPECT_TRUE(desk.sent().empty());
    EXPECT_FALSE(panel->isOn(2));
    EXPECT_EQ(panel->CIndx, 2);
}

TEST(ButtonsPanel, AutoOptionCannotChange)
{
    Desk desk;
    ButtonsPanel* panel = desk.add();
    chooseController(panel, 0, 7);
    QLabel* option = label(panel, "BtnOptLbl", 0);
    EXPECT_EQ(option->text(), "auto");
    panel->IsChanged = false;
    QTest::mouseClick(option, Qt::LeftButton);
    EXPECT_EQ(option->text(), "auto");
    EXPECT_EQ(panel->BtnOpt(0), 3);
    EXPECT_FALSE(panel->IsChanged);
    EXPECT_EQ(desk.field(2), " One Button press for timed ON, OFF  (Can't change)");
}

TEST(ButtonsPanel, ChoosingATypeSetsItsOption)
{
    Desk desk;
    desk.window->createPanel(PanelClass::Sequencer);  // Play OnOff needs one to drive
    ButtonsPanel* panel = desk.add();
    struct Case {
        int code;
        const char* name;
        const char* option;
    };
    for (const Case& c : {Case{64, "Hold Pedal", "mom"}, Case{205, "Play OnOff", "togl"}, Case{7, "  Vol  ", "auto"},
                          Case{120, "  All NtsOff", ""}, Case{202, "Pitch Bend", "auto"},
                          Case{92, "FX2 OnOff", "togl"}}) {
        chooseController(panel, 3, c.code);
        EXPECT_EQ(label(panel, "CntrlLbl", 3)->text(), c.name);
        EXPECT_EQ(label(panel, "BtnOptLbl", 3)->text(), c.option) << c.code;
    }
    // Without another Buttons panel there is nothing to push.
    chooseController(panel, 3, 213);
    EXPECT_EQ(desk.dialogs.asked().back().text, "You must have Buttons Panels open to\rselect this controller type");
    EXPECT_EQ(panel->CurCtrl(3), 92);
}

TEST(ButtonsPanel, SysExIsNotOfferedUntilTheTableExists)
{
    Desk desk;
    ButtonsPanel* panel = desk.add();
    chooseController(panel, 0, 64);
    chooseController(panel, 0, 217);
    EXPECT_EQ(panel->CurCtrl(0), 64);
    EXPECT_EQ(label(panel, "CntrlLbl", 0)->text(), "Hold Pedal");
}

TEST(ButtonsPanel, HeldVolumeButtonSweepsAndReleaseSendsItsRestValue)
{
    Desk desk;
    ButtonsPanel* panel = desk.add();
    chooseController(panel, 0, 7);
    desk.midi->clearSent();
    press(panel, 0);
    EXPECT_TRUE(desk.timerOn);
    desk.tick(3);
    // The defaults for volume: 127 down to 0 in half a second.
    EXPECT_EQ(desk.sent(), (std::vector<Bytes>{{0xB0, 7, 127}, {0xB0, 7, 114}, {0xB0, 7, 102}}));
    release(panel, 0);
    EXPECT_EQ(desk.sent().back(), (Bytes{0xB0, 7, 127}));
    EXPECT_FALSE(desk.timerOn);
    EXPECT_FALSE(panel->isOn(0));
}

TEST(ButtonsPanel, MomentaryVolumeFromAFileSweepsWhileHeld)
{
    Desk desk;
    ButtonsPanel* panel = desk.add();
    chooseController(panel, 0, 7);
    QByteArray bytes = section(panel);
    bytes.replace("BtnOpt=3\r\nAMCName", "BtnOpt=1\r\nAMCName");
    ButtonsPanel* copy = desk.add();
    EXPECT_TRUE(load(desk, copy, bytes).isEmpty());
    EXPECT_EQ(label(copy, "BtnOptLbl", 0)->text(), "mom");
    press(copy, 0);
    desk.tick(1);
    release(copy, 0);
    EXPECT_EQ(desk.sent(), (std::vector<Bytes>{{0xB0, 7, 127}, {0xB0, 7, 127}}));
}

TEST(ButtonsPanel, ZeroLengthSweepWarnsOnRelease)
{
    Desk desk;
    ButtonsPanel* panel = desk.add();
    chooseController(panel, 0, 1);
    panel->setAutoSettings(0, AutoSettings{{}, 0, 64, 64, false, false, true});
    desk.midi->clearSent();
    press(panel, 0);
    desk.tick(3);
    release(panel, 0);
    EXPECT_EQ(desk.sent(), (std::vector<Bytes>{{0xB0, 1, 64}}));
    EXPECT_EQ(desk.field(0), " Warning, AutoEvent Reset skipped (Start = End, Time = 0)");
}

TEST(ButtonsPanel, ToggledSweepFromAFileEndsAfterTheSecondPress)
{
    Desk desk;
    ButtonsPanel* panel = desk.add();
    loadCode(desk, panel, 0, 1, 2);
    panel->setAutoSettings(0, AutoSettings{{}, 100, 0, 100, true, false, true});
    desk.midi->clearSent();
    press(panel, 0);
    release(panel, 0);
    desk.tick(4);
    EXPECT_EQ(desk.sent(), (std::vector<Bytes>{{0xB0, 1, 0}, {0xB0, 1, 50}, {0xB0, 1, 100}, {0xB0, 1, 0}}));
    press(panel, 0);  // the running pass completes, then the rest value and no repeat
    EXPECT_FALSE(panel->isOn(0));
    desk.tick(4);
    EXPECT_EQ(desk.sent().size(), 7u);
    EXPECT_EQ(desk.sent().back(), (Bytes{0xB0, 1, 0}));
    EXPECT_FALSE(desk.timerOn);
}

TEST(ButtonsPanel, TwoHeldButtonsSweepTogether)
{
    Desk desk;
    ButtonsPanel* panel = desk.add();
    chooseController(panel, 0, 10);
    chooseController(panel, 1, 202);
    desk.midi->clearSent();
    press(panel, 0);
    press(panel, 1);
    desk.tick(1);
    EXPECT_EQ(desk.sent(), (std::vector<Bytes>{{0xB0, 10, 63}, {0xE0, 0x00, 0x40}}));
    release(panel, 1);
    EXPECT_EQ(desk.sent().back(), (Bytes{0xE0, 0x00, 0x40}));
    EXPECT_TRUE(desk.timerOn);
    release(panel, 0);
    EXPECT_EQ(desk.sent().back(), (Bytes{0xB0, 10, 63}));
    EXPECT_FALSE(desk.timerOn);
}

TEST(ButtonsPanel, PushButtonsPressesAnotherPanelAndReleasesIt)
{
    Desk desk;
    ButtonsPanel* target = desk.add();
    for (int i = 0; i < 4; ++i)
        chooseController(target, i, 64 + (i == 3 ? 3 : i));
    ButtonsPanel* panel = desk.add();
    chooseController(panel, 0, 213);
    auto* targets = child<QComboBox>(panel, QStringLiteral("SelPatch"));
    ASSERT_TRUE(targets->isVisible());
    ASSERT_EQ(targets->count(), 1);  // never the panel itself
    EXPECT_EQ(targets->itemText(0), target->caption());
    targets->setCurrentIndex(0);
    panel->SelPatch_Click();
    EXPECT_EQ(panel->patchId(0), target->Tag.toInt());
    EXPECT_EQ(panel->controlsTargeting(PanelClass::Buttons, target->Tag), 1);
    EXPECT_FALSE(label(panel, "ChanLbl", 0)->isVisible());
    EXPECT_EQ(label(panel, "BtnOptLbl", 0)->text(), "mom");

    desk.midi->clearSent();
    press(panel, 0);
    EXPECT_EQ(desk.sent(), (std::vector<Bytes>{{0xB0, 64, 127}, {0xB0, 65, 127}, {0xB0, 66, 127}, {0xB0, 67, 127}}));
    EXPECT_TRUE(target->isOn(2));
    desk.midi->clearSent();
    release(panel, 0);
    EXPECT_EQ(desk.sent(), (std::vector<Bytes>{{0xB0, 64, 0}, {0xB0, 65, 0}, {0xB0, 66, 0}, {0xB0, 67, 0}}));

    // A target that has gone is reported and nothing is pressed.
    QByteArray bytes = section(panel);
    bytes.replace("PatchID=" + target->Tag.toLatin1(), "PatchID=999");
    load(desk, panel, bytes);
    desk.dialogs.clear();
    desk.midi->clearSent();
    press(panel, 0);
    ASSERT_EQ(desk.dialogs.asked().size(), 1u);
    EXPECT_EQ(desk.dialogs.asked()[0].text,
              panel->caption() + ": The selected panel no longer exists (" + QString::number(panel->patchId(0)) + ")");
    EXPECT_TRUE(desk.sent().empty());
}

TEST(ButtonsPanel, PatchButtonsStepAListAndAPatchSweepReturnsToItsStart)
{
    Desk desk;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Synth.ins"));
    QByteArray text = "; 1, 1    (last chan,port) @@\r\n[Synth]\r\n";
    for (int i = 0; i < 10; ++i)
        text += QByteArray::number(20 + i) + "=Patch " + QByteArray::number(i) + "\r\n";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    file.close();
    auto* list = qobject_cast<PatchListPanel*>(desk.window->createPanel(PanelClass::PatchList));
    ASSERT_TRUE(list && list->loadPatchFile(path, {}));

    ButtonsPanel* panel = desk.add();
    for (const auto& [slot, code] : {std::pair{0, 211}, std::pair{1, 210}, std::pair{2, 212}}) {
        chooseController(panel, slot, code);
        panel->SelPatch_Click();
        EXPECT_EQ(panel->patchId(slot), list->Tag.toInt());
    }
    EXPECT_EQ(panel->controlsTargeting(PanelClass::PatchList, list->Tag), 3);
    EXPECT_EQ(label(panel, "BtnOptLbl", 2)->text(), "auto");
    panel->setAutoSettings(2, AutoSettings{{}, 100, 0, 127, false, false, true});

    desk.midi->clearSent();
    press(panel, 2);
    desk.tick(3);
    release(panel, 2);  // back to the patch the sweep started from
    EXPECT_EQ(desk.sent(), (std::vector<Bytes>{{0xC0, 20}, {0xC0, 25}, {0xC0, 29}, {0xC0, 20}}));

    desk.midi->clearSent();
    for (int slot : {1, 0, 0}) {
        press(panel, slot);
        release(panel, slot);
    }
    // Down, up, and up again wraps round to the last patch.
    EXPECT_EQ(desk.sent(), (std::vector<Bytes>{{0xC0, 21}, {0xC0, 20}, {0xC0, 29}}));
}

TEST(ButtonsPanel, LoopsArePreventedWhenLinkingAndSurvivedWhenLoaded)
{
    Desk desk;
    ButtonsPanel* a = desk.add();
    ButtonsPanel* b = desk.add();
    ButtonsPanel* c = desk.add();
    auto link = [&](ButtonsPanel* from, ButtonsPanel* to) {
        chooseController(from, 0, 213);
        auto* targets = child<QComboBox>(from, QStringLiteral("SelPatch"));
        QStringList offered;
        for (int k = 0; k < targets->count(); ++k)
            offered << targets->itemText(k);
        const int entry = targets->findData(to ? to->Tag.toInt() : -1);
        if (entry >= 0) {
            targets->setCurrentIndex(entry);
            from->SelPatch_Click();
        }
        targets->hide();
        return entry >= 0;
    };
    a->setCaption(QStringLiteral("A"));
    b->setCaption(QStringLiteral("B"));
    c->setCaption(QStringLiteral("C"));
    ASSERT_TRUE(link(a, b));
    ASSERT_TRUE(link(b, c));
    EXPECT_TRUE(a->CausesLoop(c->Tag));
    EXPECT_FALSE(c->CausesLoop(a->Tag));
    EXPECT_FALSE(link(c, a));  // C pressing A would press C again
    EXPECT_TRUE(link(c, b) == false);

    // A ring read from a file neither hangs the loop check nor a press.
    QByteArray bytes = section(c);
    bytes.replace("ControlNum=0", "ControlNum=213");
    bytes.replace("PatchID=0", "PatchID=" + a->Tag.toLatin1());
    load(desk, c, bytes);
    EXPECT_TRUE(a->CausesLoop(a->Tag));
    EXPECT_FALSE(a->CausesLoop(QStringLiteral("999")));
    press(a, 0);
    release(a, 0);
}

TEST(ButtonsPanel, SectionKeysRoundTripAndEveryButtonStartsOff)
{
    Desk desk;
    ButtonsPanel* panel = desk.add();
    chooseController(panel, 0, 64);
    chooseController(panel, 1, 7);
    AutoSettings sweep{QStringLiteral("Swell"), 1500, 20, 90, true, false, false};
    panel->setAutoSettings(1, sweep);
    panel->setBtnIcon(2, 5);
    press(panel, 0);
    const QByteArray bytes = section(panel);
    EXPECT_TRUE(bytes.contains("Control=Hold Pedal\r\nControlNum=64\r\nPatchID=0\r\nBtnIcon=-1\r\nChannel=1\r\n"
                               "Port=1\r\nBtnOpt=1\r\nAMCName=\r\nADuration=500\r\nAstart=0\r\nAend=127\r\n"
                               "ARepeat=False\r\nATriangle=False\r\nAIsSet=False\r\n"));
    EXPECT_TRUE(bytes.contains("Control=  Vol  \r\nControlNum=7\r\nPatchID=0\r\nBtnIcon=-1\r\nChannel=1\r\nPort=1\r\n"
                               "BtnOpt=3\r\nAMCName=Swell\r\nADuration=1500\r\nAstart=20\r\nAend=90\r\n"
                               "ARepeat=True\r\nATriangle=False\r\nAIsSet=True\r\n"));
    EXPECT_TRUE(bytes.contains("BtnIcon=5\r\n"));

    ButtonsPanel* copy = desk.add();
    EXPECT_TRUE(load(desk, copy, bytes).isEmpty());
    EXPECT_EQ(section(copy).mid(section(copy).indexOf("Control=")), bytes.mid(bytes.indexOf("Control=")));
    EXPECT_FALSE(copy->isOn(0));
    EXPECT_EQ(copy->autoSettings(1).AMCName, "Swell");
    EXPECT_FALSE(copy->IsChanged);
}

TEST(ButtonsPanel, CloneCopiesTypesOptionsPicturesAndSweeps)
{
    Desk desk;
    ButtonsPanel* panel = desk.add();
    chooseController(panel, 0, 64);
    QTest::mouseClick(label(panel, "BtnOptLbl", 0), Qt::LeftButton);
    chooseController(panel, 3, 10);
    panel->setAutoSettings(3, AutoSettings{QStringLiteral("Pan"), 2000, 0, 127, true, true, true});
    panel->setBtnIcon(1, 7);
    desk.window->mdiArea().setActiveSubWindow(panel->subWindow());
    ButtonsPanel* clone = desk.add();
    clone->Clone(panel->Tag);
    const QByteArray original = section(panel);
    const QByteArray copied = section(clone);
    EXPECT_EQ(copied.mid(copied.indexOf("Control=")), original.mid(original.indexOf("Control=")));
    EXPECT_EQ(label(clone, "BtnOptLbl", 0)->text(), "togl");
    EXPECT_EQ(clone->BtnIcon(1), 7);
}

TEST(ButtonsPanel, DuplicateControllerCopiesTypeAndOptionToEveryButton)
{
    Desk desk;
    ButtonsPanel* panel = desk.add();
    chooseController(panel, 1, 91);
    desk.window->mdiArea().setActiveSubWindow(panel->subWindow());
    panel->CIndx = 1;
    desk.window->menus().DupMctrl_Click();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(panel->CurCtrl(i), 91);
        EXPECT_EQ(label(panel, "BtnOptLbl", i)->text(), "togl");
        EXPECT_EQ(label(panel, "CntrlLbl", i)->text(), "FX1 OnOff");
    }

    QTest::mouseClick(label(panel, "ChanLbl", 2), Qt::LeftButton);
    typeEnter(child<QComboBox>(panel, QStringLiteral("Channel"))->lineEdit(), QStringLiteral("5"));
    QTest::mouseClick(child<QToolButton>(panel, QStringLiteral("DupIcon")), Qt::LeftButton);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(panel->channelOfSlot(i), 5);
}

TEST(ButtonsPanel, PalettePictureDropSetsTheButtonIcon)
{
    Desk desk;
    ButtonsPanel* panel = desk.add();
    QLabel* button = label(panel, "MButton", 2);
    QMimeData data;
    data.setData(QString::fromLatin1(PaletteIndexMime), "12");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(button, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(desk.field(2), " Drag/Drop on panel ID icon or Buttons panel buttons, Right Click to change image");
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(button, &drop);
    EXPECT_EQ(panel->BtnIcon(2), 12);
    EXPECT_FALSE(button->pixmap().isNull());
    EXPECT_TRUE(panel->IsChanged);

    QMimeData text;
    text.setText(QStringLiteral("12"));
    QDropEvent other(QPointF(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(label(panel, "MButton", 0), &other);
    EXPECT_EQ(panel->BtnIcon(0), -1);
}

TEST(ButtonsPanel, HintsByControl)
{
    Desk desk;
    desk.window->createPanel(PanelClass::PatchList);
    ButtonsPanel* panel = desk.add();
    chooseController(panel, 0, 64);
    loadCode(desk, panel, 1, 300, 0);
    chooseController(panel, 2, 7);
    chooseController(panel, 3, 91);
    struct Case {
        QWidget* control;
        QString hint;
    };
    const Case cases[] = {
        {label(panel, "MButton", 0), "Click to send MIDI Message"},
        {label(panel, "MButton", 1), "No-Op control (does nothing)"},
        {label(panel, "BtnOptLbl", 0), "Button Down sends ON mesg, Up sends OFF"},
        {label(panel, "BtnOptLbl", 2), "One Button press for timed ON, OFF  (Can't change)"},
        {label(panel, "BtnOptLbl", 3), "One Button press for ON, next press OFF"},
        {label(panel, "ChanLbl", 0), "Output to Synth channel (Click to select)"},
        {child<QLabel>(panel, QStringLiteral("Label1")), "Output to Synth channel (Click to select)"},
        {child<QLabel>(panel, QStringLiteral("Label2")), " Output to MIDI Port (Click to select)"},
        {child<QToolButton>(panel, QStringLiteral("DupIcon")),
         "Duplicate last selected value on Port, Channel or Controller Type"},
        {panel, "PushButton Controls.  Right click for pop-up menu(s)"},
    };
    for (const Case& c : cases) {
        hover(c.control);
        EXPECT_EQ(desk.field(2).toStdString(), " " + c.hint.toStdString()) << c.control->objectName().toStdString();
    }
    chooseController(panel, 1, 211);
    panel->SelPatch_Click();
    hover(label(panel, "MButton", 1));
    EXPECT_EQ(desk.field(2), " Remote control Click to send MIDI Message");
}

TEST(ButtonsPanel, AutoSettingsDialogWritesBackOnOkOnly)
{
    Desk desk;
    ButtonsPanel* panel = desk.add();
    chooseController(panel, 1, 10);
    AutoDlgBox* dialog = panel->AutoSettings_Click(1);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "  Pan   Auto Settings");
    EXPECT_EQ(dialog->current().Astart, 63);
    EXPECT_EQ(dialog->current().Aend, 0);
    typeEnter(child<QLineEdit>(dialog, QStringLiteral("ActiveVal")), QStringLiteral("1200"));
    typeEnter(child<QLineEdit>(dialog, QStringLiteral("EndVal")), QStringLiteral("100"));
    panel->IsChanged = false;
    QTest::mouseClick(child<QPushButton>(dialog, QStringLiteral("OkBtn")), Qt::LeftButton);
    const AutoSettings& stored = panel->autoSettings(1);
    EXPECT_EQ(stored.Aduration, 1200);
    EXPECT_EQ(stored.Astart, 63);
    EXPECT_EQ(stored.Aend, 100);
    EXPECT_TRUE(stored.AIsSet);
    EXPECT_TRUE(panel->IsChanged);

    // Its sweep now plays: 63 up to 100 over 24 steps, the rest value on release.
    desk.midi->clearSent();
    press(panel, 1);
    desk.tick(25);
    EXPECT_EQ(desk.sent().front(), (Bytes{0xB0, 10, 63}));
    EXPECT_EQ(desk.sent().back(), (Bytes{0xB0, 10, 100}));
    release(panel, 1);
    EXPECT_EQ(desk.sent().back(), (Bytes{0xB0, 10, 63}));

    // A double click on the option label opens the settings too.
    QTest::mouseDClick(label(panel, "BtnOptLbl", 1), Qt::LeftButton);
    dialog = nullptr;
    for (AutoDlgBox* open : panel->findChildren<AutoDlgBox*>()) {
        if (open->isVisible())
            dialog = open;
    }
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->current().Aduration, 1200);  // the stored settings
    typeEnter(child<QLineEdit>(dialog, QStringLiteral("StartVal")), QStringLiteral("5"));
    QTest::mouseClick(child<QPushButton>(dialog, QStringLiteral("CancelBtn")), Qt::LeftButton);
    EXPECT_EQ(panel->autoSettings(1).Astart, 63);
}

}  // namespace
}  // namespace orvell
