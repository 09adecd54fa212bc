// The joystick panel on SDL's virtual sticks, with the whole MIDI log checked
// after every action.
#include "app/AOrvell.h"
#include "app/MainMenus.h"
#include "app/MainToolbar.h"
#include "controllers/ButtonsPanel.h"
#include "controllers/JstkCtrl.h"
#include "midi/VirtualMidiSystem.h"
#include "panels/Shared.h"
#include "support/TestDesk.h"
#include "support/VirtualSticks.h"
#include "support/WidgetDriving.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace orvell {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Log = std::vector<Bytes>;
using test::child;

constexpr const char* PadName = "Orvell Virtual Pad";

struct Desk : test::TestDesk {
    explicit Desk(bool sdl = true)
    {
        if (sdl) {
            // SDL's sticks in place of the fake ones, so the program's path is the one tested.
            joysticks = makeSdlJoystickSystem();
            sticks = nullptr;
            window->setJoystickSystem(joysticks.get());
        }
        start({1000, 700});
        // Sweeps are stepped by hand.
        shared->autoSweep.setTimerSwitch([](bool) {});
    }

    JstkCtrl* add()
    {
        auto* panel = qobject_cast<JstkCtrl*>(window->createPanel(PanelClass::JstkCtrl));
        QCoreApplication::processEvents();
        midi->clearSent();
        dialogs.clear();
        return panel;
    }

    Log take()
    {
        Log out = test::sentBytes(*midi);
        midi->clearSent();
        return out;
    }
};

// One poll of the panel, as its timer makes it.
Log poll(Desk& desk, JstkCtrl* panel, int times = 1)
{
    for (int k = 0; k < times; ++k)
        panel->JoyPoll_Timer();
    return desk.take();
}

void choose(JstkCtrl* panel, int slot, int code)
{
    const bool fire = slot >= JstkCtrl::FireA;
    auto* label = child<QLabel>(panel, fire ? QStringLiteral("RCntrlLbl%1").arg(slot - 2) : QStringLiteral("CntrlLbl%1").arg(slot));
    QTest::mouseClick(label, Qt::LeftButton);
    auto* list = child<QComboBox>(panel, fire ? QStringLiteral("RControl") : QStringLiteral("Control"));
    ASSERT_TRUE(list->isVisible());
    const int entry = list->findData(code);
    ASSERT_GE(entry, 0) << code;
    list->setCurrentIndex(entry);
    emit list->activated(entry);
}

TEST(JstkCtrl, AxesFollowTheStickInCentreModeAndClimbWithoutIt)
{
    test::VirtualStick pad(PadName);
    ASSERT_NE(pad.stick, nullptr) << SDL_GetError();
    Desk desk;
    JstkCtrl* panel = desk.add();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->caption(), "JoyStkController1");
    EXPECT_EQ(poll(desk, panel, 5), Log{});  // at rest

    QTest::mouseClick(child<QCheckBox>(panel, "CenterChk0"), Qt::LeftButton);
    EXPECT_EQ(desk.take(), Log{});
    pad.move(65535, 32768);
    EXPECT_EQ(poll(desk, panel), (Log{{0xB0, 10, 127}}));
    EXPECT_EQ(child<QLabel>(panel, "Xval")->text(), "127");
    EXPECT_EQ(poll(desk, panel, 3), Log{});
    pad.move(0, 32768);
    EXPECT_EQ(poll(desk, panel), (Log{{0xB0, 10, 0}}));
    QTest::mouseClick(child<QCheckBox>(panel, "Check20"), Qt::LeftButton);
    EXPECT_EQ(desk.take(), Log{});
    pad.move(65535, 32768);
    EXPECT_EQ(poll(desk, panel), Log{});  // reversed, the right end is 0, which it holds
    pad.move(0, 32768);
    EXPECT_EQ(poll(desk, panel), (Log{{0xB0, 10, 127}}));

    // Y on pitch bend, centre mode off: held up it climbs to the top and stays there.
    choose(panel, 1, 202);
    EXPECT_EQ(desk.take(), Log{});
    pad.move(0, 65535);
    EXPECT_EQ(poll(desk, panel), (Log{{0xE0, 0x00, 0x60}}));
    EXPECT_EQ(poll(desk, panel), (Log{{0xE0, 0x7F, 0x7F}}));
    EXPECT_EQ(poll(desk, panel, 3), Log{});
    pad.move(0, 32768);
    EXPECT_EQ(poll(desk, panel, 3), Log{});
    EXPECT_EQ(child<QLabel>(panel, "Yval")->text(), "8191");
}

TEST(JstkCtrl, SensitivityAndPollRateFromTheirSlidersAndBoxes)
{
    test::VirtualStick pad(PadName);
    Desk desk;
    JstkCtrl* panel = desk.add();
    ASSERT_NE(panel, nullptr);
    QTest::mouseClick(child<QCheckBox>(panel, "CenterChk0"), Qt::LeftButton);
    auto* sens = child<QLineEdit>(panel, "Sens");
    EXPECT_EQ(sens->text(), "70");
    EXPECT_EQ(panel->JoyPoll()->interval(), 50);
    EXPECT_TRUE(panel->JoyPoll()->isActive());

    sens->setFocus();
    sens->selectAll();
    QTest::keyClicks(sens, "250");
    QTest::keyClick(sens, Qt::Key_Return);
    EXPECT_EQ(sens->text(), "100");  // clamped
    EXPECT_EQ(child<QScrollBar>(panel, "SensSlider")->value(), 100);
    pad.move(32768 + 600, 32768);
    EXPECT_EQ(poll(desk, panel), Log{});
    pad.move(32768 + 700, 32768);
    EXPECT_EQ(poll(desk, panel), (Log{{0xB0, 10, 65}}));

    child<QScrollBar>(panel, "PollSlider")->setValue(120);
    EXPECT_EQ(child<QLineEdit>(panel, "PollRate")->text(), "120");
    EXPECT_EQ(panel->JoyPoll()->interval(), 120);
    EXPECT_TRUE(panel->IsChanged);
    EXPECT_EQ(desk.take(), Log{});
}

TEST(JstkCtrl, FireButtonsPressAsPushButtonsInEachOption)
{
    test::VirtualStick pad(PadName);
    Desk desk;
    JstkCtrl* panel = desk.add();
    ASSERT_NE(panel, nullptr);
    choose(panel, JstkCtrl::FireA, 64);  // Hold Pedal, held
    EXPECT_EQ(child<QLabel>(panel, "BtnOptLbl0")->text(), "mom");
    EXPECT_EQ(desk.take(), Log{});
    pad.button(0, true);
    EXPECT_EQ(poll(desk, panel), (Log{{0xB0, 64, 127}}));
    EXPECT_EQ(poll(desk, panel), Log{});
    pad.button(0, false);
    EXPECT_EQ(poll(desk, panel), (Log{{0xB0, 64, 0}}));

    QTest::mouseClick(child<QLabel>(panel, "BtnOptLbl0"), Qt::LeftButton);
    EXPECT_EQ(child<QLabel>(panel, "BtnOptLbl0")->text(), "togl");
    const std::pair<bool, Log> toggled[] = {
        {true, {{0xB0, 64, 127}}}, {false, {}}, {true, {{0xB0, 64, 0}}}, {false, {}}};
    for (const auto& [down, log] : toggled) {
        pad.button(0, down);
        EXPECT_EQ(poll(desk, panel), log) << down;
    }

    // Button B sweeps volume while held and resets on release.
    choose(panel, JstkCtrl::FireB, 7);
    EXPECT_EQ(child<QLabel>(panel, "BtnOptLbl1")->text(), "auto");
    panel->setAutoSettings(3, AutoSettings{{}, 100, 0, 100, false, false, true});
    EXPECT_EQ(desk.take(), Log{});
    pad.button(1, true);
    EXPECT_EQ(poll(desk, panel), Log{});
    for (const int value : {0, 50}) {
        desk.shared->autoSweep.AutoEvent_Timer();
        EXPECT_EQ(desk.take(), (Log{{0xB0, 7, std::uint8_t(value)}}));
    }
    pad.button(1, false);
    const Log released = poll(desk, panel);
    ASSERT_EQ(released.size(), 1u);
    EXPECT_EQ(released[0][1], 7);
    desk.shared->autoSweep.AutoEvent_Timer();
    desk.shared->autoSweep.AutoEvent_Timer();
    EXPECT_EQ(desk.take(), Log{});
}

TEST(JstkCtrl, UnpluggedStickReportsEachPollAndIsFoundAgainByName)
{
    auto pad = std::make_unique<test::VirtualStick>(PadName);
    Desk desk;
    JstkCtrl* panel = desk.add();
    ASSERT_NE(panel, nullptr);
    QTest::mouseClick(child<QCheckBox>(panel, "CenterChk0"), Qt::LeftButton);
    pad.reset();
    for (int k = 0; k < 3; ++k) {
        desk.window->statusLine().clearField(0);
        EXPECT_EQ(poll(desk, panel), Log{});
        EXPECT_EQ(desk.field(0), " Can't poll Joystick 1");
    }
    EXPECT_TRUE(panel->JoyPoll()->isActive());

    test::VirtualStick again(PadName);
    again.move(40000, 32768);
    EXPECT_EQ(poll(desk, panel), Log{});  // back, where it rests now is the centre
    again.move(65535, 32768);
    EXPECT_EQ(poll(desk, panel), (Log{{0xB0, 10, 127}}));
}

TEST(JstkCtrl, NoSecondPanelForOneStick)
{
    test::VirtualStick pad(PadName);
    Desk desk;
    ASSERT_NE(desk.add(), nullptr);
    EXPECT_EQ(desk.window->createPanel(PanelClass::JstkCtrl), nullptr);
    ASSERT_EQ(desk.dialogs.asked().size(), 1u);
    EXPECT_EQ(desk.dialogs.asked()[0].text, "Can't have more Joystick Panels than Joysticks");
    EXPECT_EQ(desk.dialogs.asked()[0].title, "Joystick Controller");
    EXPECT_EQ(desk.field(0), " Can't have more Joystick Panels than Joysticks");
    EXPECT_EQ(desk.window->panelsOf(PanelClass::JstkCtrl).size(), 1);
    EXPECT_EQ(desk.take(), Log{});

    // A stick plugged in later takes a panel of its own.
    test::VirtualStick second("Another Pad");
    JstkCtrl* other = desk.add();
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->joystickNumber(), 2);
}

TEST(JstkCtrl, StartUpSaysWhatJoysticksThereAre)
{
    struct Case {
        bool driver;
        int sticks;
        QString said;  // in the start-up log
        bool enabled;
    };
    const Case cases[] = {
        {false, 0, " No Joystick driver available", false},
        {true, 0, " No Joystick found...", false},
        {true, 1, QString(), true},
    };
    for (const Case& c : cases) {
        test::TestDesk desk;
        desk.sticks->present = c.driver;
        for (int k = 0; k < c.sticks; ++k)
            desk.sticks->plug(QStringLiteral("Pad"));
        ASSERT_TRUE(desk.window->Load({}));
        const QStringList log = desk.window->statusLine().logEntries();
        const bool said = std::any_of(log.begin(), log.end(), [&](const QString& line) {
            return !c.said.isEmpty() && line.startsWith(c.said);
        });
        EXPECT_EQ(said, !c.said.isEmpty()) << log.join('|').toStdString();
        EXPECT_EQ(desk.window->menus().action(QStringLiteral("Joystick"))->isEnabled(), c.enabled);
    }
}

TEST(JstkCtrl, SectionHoldsTheKeysInOrderAndRoundTripsByteForByte)
{
    test::VirtualStick pad(PadName);
    test::VirtualStick pad2("Second Pad");
    Desk desk;
    JstkCtrl* panel = desk.add();
    ASSERT_NE(panel, nullptr);
    const QByteArray fresh = test::sectionOf(panel);
    const auto at = fresh.indexOf("Control=");
    ASSERT_GT(at, 0);
    EXPECT_EQ(fresh.mid(at).toStdString(),
              "Control=  Pan  \r\nControlNum=10\r\nPatchID=0\r\nCenter=0\r\nReverse=0\r\nChannel=1\r\nPort=1\r\n"
              "Control=  Pan  \r\nControlNum=10\r\nPatchID=0\r\nCenter=0\r\nReverse=0\r\nChannel=1\r\nPort=1\r\n"
              "RControl=Contrl\r\nControlNum=0\r\nPatchID=0\r\nChannel=1\r\nPort=1\r\nBtnOpt=3\r\nAMCName=\r\n"
              "ADuration=500\r\nAstart=0\r\nAend=127\r\nARepeat=False\r\nATriangle=False\r\nAIsSet=False\r\n"
              "RControl=Contrl\r\nControlNum=0\r\nPatchID=0\r\nChannel=1\r\nPort=1\r\nBtnOpt=3\r\nAMCName=\r\n"
              "ADuration=500\r\nAstart=0\r\nAend=127\r\nARepeat=False\r\nATriangle=False\r\nAIsSet=False\r\n"
              "PollRate=50\r\nSensitivity=70\r\n");

    choose(panel, 1, 202);
    choose(panel, JstkCtrl::FireB, 7);
    QTest::mouseClick(child<QCheckBox>(panel, "CenterChk1"), Qt::LeftButton);
    QTest::mouseClick(child<QCheckBox>(panel, "Check20"), Qt::LeftButton);
    panel->setAutoSettings(3, AutoSettings{QStringLiteral("Swell"), 1500, 20, 110, true, true, true});
    child<QScrollBar>(panel, "PollSlider")->setValue(35);
    child<QScrollBar>(panel, "SensSlider")->setValue(12);
    const QByteArray saved = test::sectionOf(panel);
    EXPECT_TRUE(saved.contains("PollRate=35\r\nSensitivity=12\r\n"));
    EXPECT_TRUE(saved.contains("ControlNum=202\r\nPatchID=0\r\nCenter=1\r\nReverse=0\r\n"));

    JstkCtrl* copy = desk.add();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(test::loadSection(*desk.shared, copy, saved), QStringList{});
    const auto from = saved.indexOf("Control=");
    EXPECT_EQ(test::sectionOf(copy).mid(from).toStdString(), saved.mid(from).toStdString());
    EXPECT_EQ(copy->JoyPoll()->interval(), 35);
    EXPECT_EQ(desk.take(), Log{});
}

}  // namespace
}  // namespace orvell

namespace orvell {
namespace {

TEST(JstkCtrl, CloneAndDuplicateKeepAxesAndFireButtonsApart)
{
    test::VirtualStick pad(PadName);
    test::VirtualStick pad2(PadName);
    Desk desk;
    JstkCtrl* panel = desk.add();
    ASSERT_NE(panel, nullptr);
    choose(panel, 0, 202);
    choose(panel, JstkCtrl::FireA, 64);
    QTest::mouseClick(child<QCheckBox>(panel, "Check20"), Qt::LeftButton);
    child<QScrollBar>(panel, "SensSlider")->setValue(40);

    // The X axis's type goes to Y only; the fire buttons keep theirs.
    panel->CIndx = 0;
    desk.window->menus().DupMctrl_Click();
    EXPECT_EQ(panel->CurCtrl(1), 202);
    EXPECT_EQ(panel->CurCtrl(2), 64);
    EXPECT_EQ(panel->CurCtrl(3), 0);
    // A channel goes everywhere.
    QTest::mouseClick(child<QLabel>(panel, "ChanLbl2"), Qt::LeftButton);
    auto* channels = child<QComboBox>(panel, "Channel");
    channels->setCurrentIndex(4);
    emit channels->activated(4);
    desk.window->menus().DupChan_Click();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(panel->channelOfSlot(i), 5) << i;
    EXPECT_EQ(desk.take(), Log{});

    desk.window->CloneForm_Click();
    auto* copy = qobject_cast<JstkCtrl*>(desk.window->activePanel());
    ASSERT_NE(copy, nullptr);
    ASSERT_NE(copy, panel);
    EXPECT_EQ(copy->joystickNumber(), 2);
    const QByteArray original = test::sectionOf(panel);
    const auto from = original.indexOf("Control=");
    EXPECT_EQ(test::sectionOf(copy).mid(from).toStdString(), original.mid(from).toStdString());
    EXPECT_EQ(desk.take(), Log{});
}

TEST(JstkCtrl, ASessionWithMoreJoystickPanelsThanSticksLoadsTheRest)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("two.orv"));
    {
        test::VirtualStick pad(PadName);
        test::VirtualStick pad2(PadName);
        Desk desk;
        ASSERT_NE(desk.add(), nullptr);
        desk.window->createPanel(PanelClass::Buttons);
        ASSERT_NE(desk.add(), nullptr);
        desk.window->SessionFile = file;
        ASSERT_TRUE(desk.window->SaveSession_Click());
    }
    test::VirtualStick pad(PadName);
    Desk desk;
    desk.dialogs.answer(file);
    desk.window->LoadSession_Click();
    EXPECT_EQ(desk.window->panelsOf(PanelClass::JstkCtrl).size(), 1);
    EXPECT_EQ(desk.window->panelsOf(PanelClass::Buttons).size(), 1);
    EXPECT_TRUE(desk.dialogs.wasAsked(QStringLiteral("Can't have more Joystick Panels than Joysticks")));
    EXPECT_EQ(desk.take(), Log{});
}

TEST(JstkCtrl, EveryControlExplainsItself)
{
    test::VirtualStick pad(PadName);
    Desk desk;
    JstkCtrl* panel = desk.add();
    ASSERT_NE(panel, nullptr);
    const std::pair<const char*, int> cases[] = {
        {"PollRate", 52}, {"pollrate", 52}, {"ms", 52},         {"PollSlider", 52}, {"Sens", 86},
        {"sens", 86},     {"Check20", 53},  {"Check21", 53},    {"CenterChk0", 203}, {"CenterChk1", 203},
        {"Label1", 19},   {"Label2", 87},   {"BtnOptLbl0", 31},
    };
    for (const auto& [name, message] : cases) {
        desk.window->statusLine().clearField(2);
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(child<QWidget>(panel, QString::fromLatin1(name)), &enter);
        EXPECT_TRUE(desk.field(2).contains(desk.shared->msg(message).trimmed())) << name << " " << desk.field(2).toStdString();
    }
}

}  // namespace
}  // namespace orvell

namespace orvell {
namespace {

TEST(JstkCtrl, Screenshot)
{
    const QString folder = qEnvironmentVariable("ORVELL_SCREENSHOTS");
    if (folder.isEmpty())
        GTEST_SKIP();
    test::VirtualStick pad(PadName);
    Desk desk;
    JstkCtrl* panel = desk.add();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->grab().save(folder + QStringLiteral("/joystick.png")));
}

}  // namespace
}  // namespace orvell

namespace orvell {
namespace {

TEST(JstkCtrl, AFireButtonPressesTheButtonsOfAnotherPanel)
{
    test::VirtualStick pad(PadName);
    Desk desk;
    auto* buttons = qobject_cast<ButtonsPanel*>(desk.window->createPanel(PanelClass::Buttons));
    ASSERT_NE(buttons, nullptr);
    // Its first button holds the pedal; the other three sweep controller 0.
    buttons->CIndx = 0;
    buttons->Control()->setCurrentIndex(buttons->Control()->findData(64));
    buttons->Control_Click();
    JstkCtrl* panel = desk.add();
    ASSERT_NE(panel, nullptr);
    choose(panel, JstkCtrl::FireA, CtrlCode::PushButtons);
    auto* targets = child<QComboBox>(panel, "SelPatch");
    ASSERT_TRUE(targets->isVisible());
    ASSERT_EQ(targets->count(), 1);
    emit targets->activated(0);
    EXPECT_EQ(panel->patchId(JstkCtrl::FireA), buttons->Tag.toInt());
    EXPECT_EQ(desk.take(), Log{});

    pad.button(0, true);
    EXPECT_EQ(poll(desk, panel), (Log{{0xB0, 64, 127}}));
    EXPECT_TRUE(buttons->isOn(0));
    pad.button(0, false);
    // Released, the pedal is let go and the sweeps go back to their rest value.
    EXPECT_EQ(poll(desk, panel), (Log{{0xB0, 64, 0}, {0xB0, 0, 0}, {0xB0, 0, 0}, {0xB0, 0, 0}}));
    EXPECT_FALSE(buttons->isOn(0));
}

}  // namespace
}  // namespace orvell

namespace orvell {
namespace {

TEST(JstkCtrl, AStickPluggedInAfterStartUpIsOfferedAndShownFromTheToolsMenu)
{
    test::TestDesk desk;
    desk.start({1000, 700});
    QAction* tools = desk.window->menus().action(QStringLiteral("Joystick"));
    QToolButton* button = desk.window->toolbar().button(QStringLiteral("JstkButton"));
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(tools->isEnabled());
    EXPECT_FALSE(button->isEnabled());

    desk.sticks->plug(QStringLiteral("Late Pad"));
    auto* watch = desk.window->findChild<QTimer*>(QStringLiteral("JoyWatch"));
    ASSERT_NE(watch, nullptr);
    watch->setInterval(0);
    QTest::qWait(20);
    EXPECT_TRUE(tools->isEnabled());
    EXPECT_TRUE(button->isEnabled());

    tools->trigger();
    ASSERT_EQ(desk.window->panelsOf(PanelClass::JstkCtrl).size(), 1);
    EXPECT_TRUE(tools->isChecked());
    EXPECT_TRUE(test::sentBytes(*desk.midi).empty());
}

}  // namespace
}  // namespace orvell
