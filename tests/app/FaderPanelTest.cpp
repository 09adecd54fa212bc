#include "app/AOrvell.h"
#include "controllers/FaderPanel.h"
#include "core/SectionFile.h"
#include "midi/VirtualMidiSystem.h"
#include "panels/Shared.h"
#include "support/TestDesk.h"
#include "support/WidgetDriving.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace orvell {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Desk : test::TestDesk {
    Desk() { start({1000, 700}); }

    FaderPanel* add(PanelClass id)
    {
        auto* panel = new FaderPanel(id, *window);
        panel->Tag = QString::number(++shared->UniqFormCounter);
        window->mdiArea().addSubWindow(panel)->show();
        QCoreApplication::processEvents();
        return panel;
    }

    std::vector<Bytes> sentBytes() const { return test::sentBytes(*midi); }
};

using test::child;
using test::chooseInSlot;
using test::typeEnter;

// Types into an entry box and presses Enter.
void typeValue(FaderPanel* panel, int slot, const QString& text)
{
    typeEnter(child<QLineEdit>(panel, QStringLiteral("DataVal%1").arg(slot)), text);
}

// Clicks the slot's label, then types into the selector it shows.
void chooseController(FaderPanel* panel, int slot, int code)
{
    chooseInSlot(panel, QStringLiteral("CntrlLbl"), slot, QStringLiteral("Control"), QString::number(code));
}

// Drags the thumb with the mouse to `target` (in the bar's coordinates), in steps.
void dragThumb(QScrollBar* bar, QPoint target, int steps = 8)
{
    const QPoint start = test::scrollBarPart(bar, QStyle::SC_ScrollBarSlider);
    auto send = [bar](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, bar->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(bar, &event);
    };
    send(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    for (int k = 1; k <= steps; ++k)
        send(QEvent::MouseMove, start + (target - start) * k / steps, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, target, Qt::LeftButton, Qt::NoButton);
}

QByteArray section(FaderPanel* panel) { return test::sectionOf(panel); }

QStringList load(Desk& desk, FaderPanel* panel, const QByteArray& bytes) { return test::loadSection(*desk.shared, panel, bytes); }

TEST(FaderPanel, TypedValuesAreClampedAndTheSameValueSendsAgain)
{
    Desk desk;
    FaderPanel* panel = desk.add(PanelClass::HFaders);
    chooseController(panel, 0, 7);
    struct Case {
        const char* typed;
        std::vector<Bytes> sent;
        const char* shown;
    };
    const Case cases[] = {
        {"200", {{0xB0, 7, 127}}, "127"},  // volume starts at 127: it does not move, so it is sent directly
        {"-5", {{0xB0, 7, 0}}, "0"},
        {"-5", {{0xB0, 7, 0}}, "0"},
        {"0", {{0xB0, 7, 0}}, "0"},
        {"abc", {}, "0"},
        {"90", {{0xB0, 7, 90}}, "90"},
        {"300", {{0xB0, 7, 127}}, "127"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        desk.midi->clearSent();
        typeValue(panel, 0, QString::fromLatin1(c.typed));
        EXPECT_EQ(desk.sentBytes(), c.sent);
        EXPECT_EQ(child<QLineEdit>(panel, "DataVal0")->text(), c.shown);
        EXPECT_EQ(panel->fader(0)->value(), QString::fromLatin1(c.shown).toInt());
    }
    EXPECT_TRUE(panel->IsChanged);
}

TEST(FaderPanel, ChoosingAControllerSetsItsStartValueAndLabel)
{
    Desk desk;
    FaderPanel* panel = desk.add(PanelClass::HFaders);
    EXPECT_EQ(child<QLabel>(panel, "CntrlLbl1")->text(), "Contrl");
    EXPECT_EQ(panel->fader(1)->value(), 64);
    struct Case {
        int code;
        int start;
        const char* label;
        Bytes sent;
    };
    const Case cases[] = {
        {10, 63, "  Pan  ", {0xB0, 10, 63}},
        {7, 127, "  Vol  ", {0xB0, 7, 127}},
        {1, 0, "MOD Wheel", {0xB0, 1, 0}},
        {8, 63, "  Bal  ", {0xB0, 8, 63}},
        {11, 127, "Expr esion", {0xB0, 11, 127}},
        {201, 0, "After Touch", {0xD0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        desk.midi->clearSent();
        chooseController(panel, 1, c.code);
        EXPECT_EQ(panel->CurCtrl(1), c.code);
        EXPECT_EQ(panel->fader(1)->value(), c.start);
        EXPECT_EQ(child<QLabel>(panel, "CntrlLbl1")->text(), c.label);
        EXPECT_EQ(desk.sentBytes(), std::vector<Bytes>{c.sent});
    }
}

TEST(FaderPanel, PitchBendSnapsToCentreWhileDraggedAndNeverMarksChanged)
{
    Desk desk;
    FaderPanel* panel = desk.add(PanelClass::HFaders);
    chooseController(panel, 2, 202);
    EXPECT_EQ(panel->fader(2)->minimum(), -8192);
    EXPECT_EQ(panel->fader(2)->maximum(), 8191);
    EXPECT_EQ(child<QLabel>(panel, "DMaxLbl")->text(), "8191");
    panel->IsChanged = false;

    QScrollBar* bar = panel->fader(2);
    const struct {
        int position;
        Bytes sent;
        int value;
    } steps[] = {
        {700, {0xE0, 0x00, 0x40}, 0},
        {-800, {0xE0, 0x00, 0x40}, 0},
        {801, {0xE0, 0x21, 0x46}, 801},  // 8192 + 801 = 70 * 128 + 33
        {8191, {0xE0, 0x7F, 0x7F}, 8191},
        {-8192, {0xE0, 0x00, 0x00}, -8192},
    };
    bar->setSliderDown(true);
    for (const auto& step : steps) {
        SCOPED_TRACE(step.position);
        desk.midi->clearSent();
        bar->setSliderPosition(step.position);
        EXPECT_EQ(desk.sentBytes(), std::vector<Bytes>{step.sent});
        EXPECT_EQ(bar->value(), step.value);
        EXPECT_EQ(child<QLineEdit>(panel, "DataVal2")->text(), QString::number(step.value));
    }
    bar->setSliderDown(false);
    EXPECT_FALSE(panel->IsChanged);
    EXPECT_TRUE(section(panel).contains("ControlNum=202\r\nFaderVal=0\r\n"));
}

TEST(FaderPanel, DraggingSendsEveryStepAndTheTopOfAVerticalFaderIsHigh)
{
    struct Case {
        PanelClass id;
        int code;  // 0 keeps the design type
        int end;
        Bytes last;
    };
    const Case cases[] = {
        {PanelClass::HFaders, 0, 127, {0xB0, 0, 127}},
        {PanelClass::VFaders, 0, 127, {0xB0, 0, 127}},
        {PanelClass::VFaders, 202, 8191, {0xE0, 0x7F, 0x7F}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        Desk desk;
        FaderPanel* panel = desk.add(c.id);
        if (c.code)
            chooseController(panel, 3, c.code);
        QScrollBar* bar = panel->fader(3);
        desk.midi->clearSent();
        const QPoint far = c.id == PanelClass::VFaders ? QPoint(bar->width() / 2, -40)
                                                        : QPoint(bar->width() + 40, bar->height() / 2);
        dragThumb(bar, far);
        EXPECT_EQ(bar->value(), c.end);
        ASSERT_GE(desk.midi->sent().size(), 2u);  // each step, not only the last
        EXPECT_EQ(desk.midi->sent().back().bytes, c.last);
        if (c.id == PanelClass::VFaders) {
            const auto range = faderRange(c.code, true);
            EXPECT_EQ(range.minimum, c.end);  // the design's Min is the top
        }
    }
}

TEST(FaderPanel, ChannelChangeSendsTheRestValueOnTheOldChannelFirst)
{
    Desk desk;
    FaderPanel* panel = desk.add(PanelClass::HFaders);
    chooseController(panel, 0, 10);
    typeValue(panel, 0, "20");
    desk.midi->clearSent();

    chooseInSlot(panel, "ChanLbl", 0, "Channel", "5");
    EXPECT_EQ(desk.sentBytes(), (std::vector<Bytes>{{0xB0, 10, 63}}));
    EXPECT_EQ(child<QLabel>(panel, "ChanLbl0")->text(), "5");
    EXPECT_EQ(panel->channelOfSlot(0), 5);
    desk.midi->clearSent();
    typeValue(panel, 0, "30");
    EXPECT_EQ(desk.sentBytes(), (std::vector<Bytes>{{0xB4, 10, 30}}));

    // Outside 1..16, not a number, or the same channel: nothing happens.
    for (const char* typed : {"17", "0", "x", "5"}) {
        SCOPED_TRACE(typed);
        desk.midi->clearSent();
        panel->IsChanged = false;
        chooseInSlot(panel, "ChanLbl", 0, "Channel", typed);
        EXPECT_TRUE(desk.sentBytes().empty());
        EXPECT_EQ(child<QLabel>(panel, "ChanLbl0")->text(), "5");
        EXPECT_FALSE(panel->IsChanged);
    }

    // A choice from the list works the same way.
    QTest::mouseClick(child<QLabel>(panel, "ChanLbl0"), Qt::LeftButton);
    auto* combo = child<QComboBox>(panel, "Channel");
    combo->setCurrentIndex(15);
    emit combo->activated(15);
    EXPECT_EQ(child<QLabel>(panel, "ChanLbl0")->text(), "16");
    EXPECT_FALSE(combo->isVisible());
}

TEST(FaderPanel, PortChangeResetsClosesAndOpens)
{
    Desk desk;
    MidiEngine& midi = desk.shared->midi;
    ASSERT_EQ(desk.midi->openDeviceCount(0), 0);
    FaderPanel* panel = desk.add(PanelClass::HFaders);
    EXPECT_EQ(child<QLabel>(panel, "PortLbl0")->text(), "1");  // the first enabled device
    EXPECT_EQ(child<QLabel>(panel, "ChanLbl0")->text(), "1");
    EXPECT_EQ(midi.MidiOutPorts[1].OpenCount, 4);
    EXPECT_EQ(desk.midi->openDeviceCount(0), 1);

    chooseController(panel, 0, 7);
    typeValue(panel, 0, "50");
    desk.midi->clearSent();
    chooseInSlot(panel, "PortLbl", 0, "Port", "2");
    ASSERT_EQ(desk.midi->sent().size(), 1u);
    EXPECT_EQ(desk.midi->sent()[0].port, 1);
    EXPECT_EQ(desk.midi->sent()[0].bytes, (Bytes{0xB0, 7, 127}));
    EXPECT_EQ(midi.MidiOutPorts[1].OpenCount, 3);
    EXPECT_EQ(midi.MidiOutPorts[2].OpenCount, 1);
    EXPECT_EQ(desk.midi->openDeviceCount(1), 1);

    desk.midi->clearSent();
    typeValue(panel, 0, "60");
    ASSERT_EQ(desk.midi->sent().size(), 1u);
    EXPECT_EQ(desk.midi->sent()[0].port, 2);

    // A port that is not configured reverts.
    chooseInSlot(panel, "PortLbl", 0, "Port", "9");
    EXPECT_EQ(child<QLabel>(panel, "PortLbl0")->text(), "2");

    delete panel->subWindow();
    EXPECT_EQ(midi.MidiOutPorts[1].OpenCount, 0);
    EXPECT_EQ(midi.MidiOutPorts[2].OpenCount, 0);
    EXPECT_EQ(desk.midi->openDeviceCount(0), 0);
    EXPECT_EQ(desk.midi->openDeviceCount(1), 0);
}

TEST(FaderPanel, SaveLoadRoundTripIsByteForByte)
{
    Desk desk;
    FaderPanel* panel = desk.add(PanelClass::VFaders);
    chooseController(panel, 0, 10);
    typeValue(panel, 0, "90");
    chooseInSlot(panel, "ChanLbl", 0, "Channel", "3");
    chooseInSlot(panel, "PortLbl", 0, "Port", "2");
    chooseController(panel, 1, 202);
    panel->fader(1)->setValue(3000);
    desk.dialogs.answer(MsgAnswer::Yes);
    chooseController(panel, 2, 70);  // named and kept with the panel
    typeValue(panel, 2, "12");
    const QByteArray saved = section(panel);

    EXPECT_TRUE(saved.startsWith("\r\n[VFaders Data]\r\nBackPictFile=\r\nIDIcon=34\r\nIsOpaque=False\r\n"));
    EXPECT_TRUE(saved.contains("-2147483633\r\nCstmCtrlr=70|C#70 Cont|0|0\r\n"
                               "Control=  Pan  \r\nControlNum=10\r\nFaderVal=90\r\nPatchID=0\r\nChannel=3\r\nPort=2\r\n"
                               "Control=Pitch Bend\r\nControlNum=202\r\nFaderVal=0\r\n"));
    EXPECT_TRUE(saved.endsWith("Control=Contrl\r\nControlNum=0\r\nFaderVal=64\r\nPatchID=0\r\nChannel=1\r\nPort=1\r\n"));

    FaderPanel* copy = desk.add(PanelClass::VFaders);
    desk.midi->clearSent();
    EXPECT_TRUE(load(desk, copy, saved).isEmpty());
    EXPECT_TRUE(desk.midi->sent().empty());
    EXPECT_FALSE(copy->IsChanged);
    EXPECT_EQ(section(copy), saved);
    EXPECT_EQ(copy->fader(1)->minimum(), -8192);
    EXPECT_EQ(copy->customControllers().size(), 1u);
    EXPECT_EQ(desk.shared->midi.MidiOutPorts[2].OpenCount, 2);

    // Within a fader the type applies before the value, whatever the key order.
    FaderPanel* third = desk.add(PanelClass::HFaders);
    EXPECT_TRUE(load(desk, third,
                     "[HFaders Data]\r\nControl=Pitch Bend\r\nFaderVal=-4000\r\nPatchID=0\r\nControlNum=202\r\n"
                     "Control=  Vol  \r\nFaderVal=5\r\nControlNum=7\r\n")
                    .isEmpty());
    EXPECT_EQ(third->fader(0)->value(), -4000);
    EXPECT_EQ(third->fader(1)->value(), 5);
    EXPECT_EQ(child<QLineEdit>(third, "DataVal0")->text(), "-4000");
}

TEST(FaderPanel, EachLoadStartsAtTheFirstFaderAndAFifthIsNotUnderstood)
{
    Desk desk;
    FaderPanel* panel = desk.add(PanelClass::HFaders);
    const QByteArray one = "[HFaders Data]\r\nControl=  Vol  \r\nControlNum=7\r\nFaderVal=5\r\n";
    EXPECT_TRUE(load(desk, panel, one).isEmpty());
    EXPECT_TRUE(load(desk, panel, one).isEmpty());
    EXPECT_EQ(panel->fader(0)->value(), 5);
    EXPECT_EQ(child<QLabel>(panel, "CntrlLbl1")->text(), "Contrl");  // the second load did not move on

    QByteArray five = "[HFaders Data]\r\n";
    for (int i = 0; i < 5; ++i)
        five += "Control=  Pan  \r\nControlNum=10\r\nFaderVal=" + QByteArray::number(20 + i) + "\r\n";
    const QStringList problems = load(desk, panel, five);
    EXPECT_EQ(problems, (QStringList{"Control=  Pan  ", "ControlNum=10", "FaderVal=24"}));
    EXPECT_EQ(panel->fader(0)->value(), 20);
    EXPECT_EQ(panel->fader(3)->value(), 23);
}

TEST(FaderPanel, MalformedCustomControllerLinesAreReportedAndSkipped)
{
    Desk desk;
    FaderPanel* panel = desk.add(PanelClass::HFaders);
    EXPECT_TRUE(load(desk, panel, "[HFaders Data]\r\nCstmCtrlr=64|Sus\r\nCstmCtrlr=64|Sus|-1|-1\r\n").isEmpty());
    ASSERT_EQ(desk.dialogs.asked().size(), 1u);
    EXPECT_EQ(desk.dialogs.asked()[0].text, "Error during Custom MIDI Controller load.  Invalid Format");
    ASSERT_EQ(panel->customControllers().size(), 1u);
    EXPECT_EQ(panel->customControllers()[0].CtrlName, "Sus");
    chooseController(panel, 0, 64);
    EXPECT_EQ(child<QLabel>(panel, "CntrlLbl0")->text(), "Sus");
}

TEST(FaderPanel, EditedControllerRenamesItsFadersOnThisPanelOnly)
{
    Desk desk;
    FaderPanel* panel = desk.add(PanelClass::HFaders);
    FaderPanel* other = desk.add(PanelClass::HFaders);
    chooseController(panel, 0, 64);
    chooseController(panel, 3, 64);
    chooseController(other, 0, 64);
    panel->CIndx = 0;
    panel->CtrlWasChanged("Sus", true, true, false);
    EXPECT_EQ(child<QLabel>(panel, "CntrlLbl0")->text(), "Sus");
    EXPECT_EQ(child<QLabel>(panel, "CntrlLbl3")->text(), "Sus");
    EXPECT_EQ(child<QLabel>(other, "CntrlLbl0")->text(), "Hold Pedal");
    EXPECT_TRUE(section(panel).contains("TextBackColor=-2147483633\r\nCstmCtrlr=64|Sus|-1|-1\r\nControl=Sus\r\n"));

    panel->CtrlWasChanged("Sus", true, true, true);
    EXPECT_TRUE(panel->customControllers().empty());
    EXPECT_EQ(child<QLabel>(panel, "CntrlLbl0")->text(), "Hold Pedal");

    // Without a built-in entry behind it, a deleted name leaves the number.
    desk.dialogs.answer(MsgAnswer::Yes);
    chooseController(panel, 1, 70);
    panel->CIndx = 1;
    panel->CtrlWasChanged("", false, false, true);
    EXPECT_EQ(child<QLabel>(panel, "CntrlLbl1")->text(), "70");
}

TEST(FaderPanel, TypedControllerNumbers)
{
    Desk desk;
    FaderPanel* panel = desk.add(PanelClass::HFaders);
    struct Case {
        const char* typed;
        std::vector<MsgAnswer> answers;
        int code;  // afterwards
        const char* label;
    };
    const Case cases[] = {
        {"40", {}, 40, "CC#8 LSB"},
        {"7", {}, 7, "  Vol  "},
        {"abc", {}, 7, "  Vol  "},
        {"300", {}, 7, "  Vol  "},
        {"-1", {}, 7, "  Vol  "},
        {"150", {}, 7, "  Vol  "},
        {"70", {MsgAnswer::No}, 7, "  Vol  "},
        {"70", {MsgAnswer::Yes}, 70, "C#70 Cont"},
        {"110", {}, 110, "C#110 Cont"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        for (MsgAnswer answer : c.answers)
            desk.dialogs.answer(answer);
        chooseInSlot(panel, "CntrlLbl", 0, "Control", QString::fromLatin1(c.typed));
        EXPECT_EQ(panel->CurCtrl(0), c.code);
        EXPECT_EQ(child<QLabel>(panel, "CntrlLbl0")->text(), c.label);
        EXPECT_EQ(desk.dialogs.pendingAnswers(), 0u);
    }
    EXPECT_TRUE(desk.dialogs.wasAsked("Can't use On/Off Controller types here, convert to continuous?"));
}

TEST(FaderPanel, PatchChangeIsRefusedWithoutAPatchList)
{
    Desk desk;
    FaderPanel* panel = desk.add(PanelClass::HFaders);
    chooseController(panel, 0, 7);
    desk.midi->clearSent();
    chooseController(panel, 0, 212);
    EXPECT_TRUE(desk.dialogs.wasAsked("You must have PatchList Panels open to\rselect this controller type"));
    EXPECT_EQ(panel->CurCtrl(0), 7);
    EXPECT_TRUE(desk.midi->sent().empty());
}

TEST(FaderPanel, DuplicateCopiesTheLastSelectedValue)
{
    Desk desk;
    FaderPanel* panel = desk.add(PanelClass::HFaders);
    chooseInSlot(panel, "ChanLbl", 2, "Channel", "9");
    desk.midi->clearSent();
    QTest::mouseClick(child<QToolButton>(panel, "DupIcon"), Qt::LeftButton);
    for (int slot = 0; slot < 4; ++slot)
        EXPECT_EQ(panel->channelOfSlot(slot), 9) << slot;
    EXPECT_EQ(desk.midi->sent().size(), 3u);  // the rest value on each old channel
    EXPECT_EQ(panel->CIndx, 2);
    EXPECT_EQ(panel->DupIndx, -1);

    chooseController(panel, 1, 10);
    QTest::mouseClick(child<QToolButton>(panel, "DupIcon"), Qt::LeftButton);
    for (int slot = 0; slot < 4; ++slot) {
        EXPECT_EQ(panel->CurCtrl(slot), 10) << slot;
        EXPECT_EQ(panel->fader(slot)->value(), 63) << slot;
    }

    // The Duplicate menu goes through the same selectors.
    SlotSelectors* selectors = panel->slotSelectors();
    ASSERT_NE(selectors, nullptr);
    chooseInSlot(panel, "PortLbl", 3, "Port", "2");
    selectors->DupIndx = selectors->CIndx;
    selectors->Port()->setCurrentIndex(selectors->Port()->findData(selectors->portOfSlot(3)));
    for (int slot = 0; slot < 4; ++slot) {
        selectors->CIndx = slot;
        selectors->Port_Click();
    }
    for (int slot = 0; slot < 4; ++slot)
        EXPECT_EQ(panel->portOfSlot(slot), 2) << slot;
    EXPECT_EQ(desk.shared->midi.MidiOutPorts[2].OpenCount, 4);
}

TEST(FaderPanel, CloneCopiesEverything)
{
    Desk desk;
    FaderPanel* panel = desk.add(PanelClass::HFaders);
    desk.dialogs.answer(MsgAnswer::Yes);
    chooseController(panel, 0, 80);
    typeValue(panel, 0, "33");
    chooseController(panel, 1, 202);
    chooseInSlot(panel, "ChanLbl", 3, "Channel", "16");
    chooseInSlot(panel, "PortLbl", 2, "Port", "0");
    FaderPanel* copy = desk.add(PanelClass::HFaders);
    copy->Clone(panel->Tag);
    EXPECT_EQ(section(copy), section(panel));
    EXPECT_EQ(copy->customControllers(), panel->customControllers());
    EXPECT_EQ(copy->fader(1)->minimum(), -8192);
    EXPECT_TRUE(copy->IsChanged);
}

TEST(FaderPanel, CloneSendsOnTheSourcesChannelAndPort)
{
    Desk desk;
    FaderPanel* panel = desk.add(PanelClass::HFaders);
    chooseInSlot(panel, "ChanLbl", 0, "Channel", "5");
    chooseInSlot(panel, "PortLbl", 0, "Port", "2");
    chooseController(panel, 0, 7);
    desk.midi->clearSent();
    FaderPanel* copy = desk.add(PanelClass::HFaders);
    copy->Clone(panel->Tag);
    for (const auto& message : desk.midi->sent()) {
        if (!message.bytes.empty() && message.bytes[0] >= 0x80 && message.bytes[0] < 0xF0 &&
            message.bytes.size() == 3 && message.bytes[1] == 7) {
            EXPECT_EQ(message.bytes[0], 0xB4);  // channel 5
            EXPECT_EQ(message.port, 2);
        }
    }
}

TEST(FaderPanel, SelectorOfOneFaderClosesWhenAnotherBecomesCurrent)
{
    Desk desk;
    FaderPanel* panel = desk.add(PanelClass::HFaders);
    QTest::mouseClick(child<QLabel>(panel, "ChanLbl0"), Qt::LeftButton);
    EXPECT_TRUE(child<QComboBox>(panel, "Channel")->isVisible());
    child<QLineEdit>(panel, "DataVal2")->setFocus();
    QCoreApplication::processEvents();
    EXPECT_FALSE(child<QComboBox>(panel, "Channel")->isVisible());
}

TEST(FaderPanel, LeavingTheValueBoxActsAsEnterForWhatWasTyped)
{
    Desk desk;
    FaderPanel* panel = desk.add(PanelClass::HFaders);
    auto* box = child<QLineEdit>(panel, "DataVal1");
    auto* next = child<QLineEdit>(panel, "DataVal2");
    const struct {
        const char* typed;
        std::vector<Bytes> sent;
    } cases[] = {
        {"", {}},  // nothing typed: leaving sends nothing
        {"90", {{0xB0, 0x00, 90}}},
        {"90", {{0xB0, 0x00, 90}}},  // typed again, so sent again
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        box->setFocus();
        QCoreApplication::processEvents();
        QTest::keyClicks(box, QString::fromLatin1(c.typed));
        desk.midi->clearSent();
        next->setFocus();
        QCoreApplication::processEvents();
        EXPECT_EQ(desk.sentBytes(), c.sent);
    }
}

TEST(FaderPanel, HintsForEachControl)
{
    Desk desk;
    FaderPanel* panel = desk.add(PanelClass::HFaders);
    chooseController(panel, 0, 7);
    chooseInSlot(panel, "PortLbl", 1, "Port", "0");
    const struct {
        const char* control;
        QString hint;
    } cases[] = {
        {"DMinLbl", "Sets data value for MIDI Controller message"},
        {"DMaxLbl", "Sets data value for MIDI Controller message"},
        {"DataVal0", "Sets data value for MIDI Controller message"},
        {"ChanLbl2", "Output to Synth channel (Click to select)"},
        {"Label1", "Output to Synth channel (Click to select)"},
        {"Label2", " Output to MIDI Port (Click to select)"},
        {"PortLbl1", "MIDI Mapper Out"},
        {"DupIcon", "Duplicate last selected value on Port, Channel or Controller Type"},
        {"CntrlLbl0", "MIDI Message type   Vol  .  Click to change.  Use Panel Menu to customize (Dbl- or Right-click panl)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control);
        auto* widget = panel->findChild<QWidget*>(QString::fromLatin1(c.control));
        ASSERT_NE(widget, nullptr);
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(widget, &enter);
        // The status line sets its fields off by a blank.
        EXPECT_EQ(desk.field(2).toStdString(), " " + c.hint.toStdString());
    }
}

}  // namespace
}  // namespace orvell

namespace orvell {
namespace {

TEST(FaderPanelPorts, APortThatFailsToOpenLeavesEverySelector)
{
    Desk desk;
    FaderPanel* panel = desk.add(PanelClass::HFaders);
    FaderPanel* other = desk.add(PanelClass::VFaders);
    desk.midi->failOpen(1, MidiResult::Allocated, "Busy.");
    chooseInSlot(panel, "PortLbl", 0, "Port", "2");
    EXPECT_TRUE(desk.dialogs.wasAsked("OpenMidiOut:\rBusy."));
    for (FaderPanel* p : {panel, other}) {
        auto* ports = child<QComboBox>(p, "Port");
        EXPECT_EQ(ports->findData(2), -1);
        EXPECT_NE(ports->findData(1), -1);
        EXPECT_NE(ports->findData(0), -1);
    }
}

}  // namespace
}  // namespace orvell
