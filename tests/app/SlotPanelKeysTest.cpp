// Fader and Buttons panels driven as a user drives them: real clicks on the
// widgets and keys typed into whatever has the keyboard, with the whole MIDI
// log checked after every action.
#include "app/AOrvell.h"
#include "controllers/ButtonsPanel.h"
#include "controllers/FaderPanel.h"
#include "midi/VirtualMidiSystem.h"
#include "panels/Shared.h"
#include "support/TestDesk.h"
#include "support/WidgetDriving.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace orvell {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Log = std::vector<Bytes>;

struct Desk : test::TestDesk {
    Desk()
    {
        start({1000, 700});
        QApplication::setActiveWindow(window.get());
        QCoreApplication::processEvents();
    }

    template <typename P>
    P* add(PanelClass id)
    {
        auto* panel = qobject_cast<P*>(window->createPanel(id));
        EXPECT_NE(panel, nullptr);
        QCoreApplication::processEvents();
        midi->clearSent();
        return panel;
    }

    // What was sent since the last look.
    Log take()
    {
        Log out = test::sentBytes(*midi);
        midi->clearSent();
        return out;
    }
};

using test::child;

QWidget* slotWidget(QWidget* panel, const char* name, int slot)
{
    return child<QWidget>(panel, QString::fromLatin1(name) + QString::number(slot));
}

void click(QWidget* widget, QPoint at = {})
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, at.isNull() ? widget->rect().center() : at);
    QCoreApplication::processEvents();
}

// Keys go where the keyboard is, as a user's would.
QWidget* keyboard()
{
    QWidget* focus = QApplication::focusWidget();
    EXPECT_NE(focus, nullptr);
    return focus;
}

void type(const QString& text)
{
    if (QWidget* focus = keyboard())
        QTest::keyClicks(focus, text);
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    if (QWidget* focus = keyboard())
        QTest::keyClick(focus, key, modifiers);
    QCoreApplication::processEvents();
}

bool hasKeyboard(const QComboBox* combo)
{
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == combo || focus == combo->lineEdit());
}

QPoint partOf(QScrollBar* bar, QStyle::SubControl part) { return test::scrollBarPart(bar, part); }

// Chooses a controller by typing its number into the controller selector.
void typeController(QWidget* panel, int slot, const QString& typed)
{
    click(slotWidget(panel, "CntrlLbl", slot));
    auto* combo = child<QComboBox>(panel, QStringLiteral("Control"));
    EXPECT_TRUE(combo->isVisible());
    EXPECT_TRUE(hasKeyboard(combo));
    type(typed);
    press(Qt::Key_Return);
    EXPECT_FALSE(combo->isVisible());
}

TEST(SlotPanelKeys, LeavingAValueBoxSendsOnlyWhatWasTypedAndOnlyOnce)
{
    Desk desk;
    auto* panel = desk.add<FaderPanel>(PanelClass::HFaders);
    typeController(panel, 0, QStringLiteral("7"));
    EXPECT_EQ(desk.take(), (Log{{0xB0, 7, 127}}));
    QWidget* box = slotWidget(panel, "DataVal", 0);
    QScrollBar* other = panel->fader(1);
    const QPoint right = partOf(other, QStyle::SC_ScrollBarAddLine);

    struct Step {
        const char* what;
        std::function<void()> act;
        Log sent;
    };
    const Step steps[] = {
        {"type 90 and Enter", [&] { click(box); type("90"); press(Qt::Key_Return); }, {{0xB0, 7, 90}}},
        {"other fader, 1st click", [&] { click(other, right); }, {{0xB0, 0, 65}}},
        {"other fader, 2nd click", [&] { click(other, right); }, {{0xB0, 0, 66}}},
        {"other fader, 3rd click", [&] { click(other, right); }, {{0xB0, 0, 67}}},
        // Typed without Enter: leaving the box sends it, once, before the other fader moves.
        {"type 33, click other fader", [&] { click(box); type("33"); click(other, right); },
         {{0xB0, 7, 33}, {0xB0, 0, 68}}},
        {"box, then channel label", [&] { click(box); click(slotWidget(panel, "ChanLbl", 1)); }, {}},
        {"Escape", [&] { press(Qt::Key_Escape); }, {}},
        {"type 20, controller label", [&] { click(box); type("20"); click(slotWidget(panel, "CntrlLbl", 1)); },
         {{0xB0, 7, 20}}},
        {"Escape again", [&] { press(Qt::Key_Escape); }, {}},
        // Dup copies the type chosen last to the other three faders: one message each.
        {"box, then Dup", [&] { click(box); click(child<QToolButton>(panel, "DupIcon")); },
         {{0xB0, 7, 127}, {0xB0, 7, 127}, {0xB0, 7, 127}}},
        {"box, then its own labels", [&] {
             click(box);
             click(slotWidget(panel, "ChanLbl", 0));
             click(slotWidget(panel, "PortLbl", 0));
             click(slotWidget(panel, "CntrlLbl", 0));
         }, {}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        EXPECT_EQ(desk.take(), step.sent);
    }

    click(box);
    panel->IsChanged = false;
    panel->subWindow()->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(desk.take(), Log{});
}

TEST(SlotPanelKeys, TheTopOfAFaderIsItsHighEndForArrowsAndTrough)
{
    struct Case {
        PanelClass id;
        int code;  // 0 keeps the design type, whose fader starts at 64
        QStyle::SubControl part;
        int after;
        Bytes sent;
    };
    const Case cases[] = {
        {PanelClass::VFaders, 0, QStyle::SC_ScrollBarSubLine, 65, {0xB0, 0, 65}},   // the upper arrow
        {PanelClass::VFaders, 0, QStyle::SC_ScrollBarAddLine, 63, {0xB0, 0, 63}},   // the lower arrow
        {PanelClass::VFaders, 0, QStyle::SC_ScrollBarSubPage, 74, {0xB0, 0, 74}},   // above the thumb
        {PanelClass::VFaders, 0, QStyle::SC_ScrollBarAddPage, 54, {0xB0, 0, 54}},   // below the thumb
        {PanelClass::VFaders, 202, QStyle::SC_ScrollBarSubLine, 64, {0xE0, 0x40, 0x40}},
        {PanelClass::VFaders, 202, QStyle::SC_ScrollBarAddLine, -64, {0xE0, 0x40, 0x3F}},
        {PanelClass::VFaders, 202, QStyle::SC_ScrollBarSubPage, 645, {0xE0, 0x05, 0x45}},
        {PanelClass::HFaders, 0, QStyle::SC_ScrollBarAddLine, 65, {0xB0, 0, 65}},   // the right arrow
        {PanelClass::HFaders, 0, QStyle::SC_ScrollBarSubLine, 63, {0xB0, 0, 63}},
        {PanelClass::HFaders, 0, QStyle::SC_ScrollBarAddPage, 74, {0xB0, 0, 74}},
    };
    Desk desk;
    FaderPanel* panels[] = {desk.add<FaderPanel>(PanelClass::HFaders), desk.add<FaderPanel>(PanelClass::VFaders)};
    int slot = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.id) << " code " << c.code << " part " << int(c.part));
        FaderPanel* panel = panels[c.id == PanelClass::VFaders ? 1 : 0];
        slot = (slot + 1) % FaderPanel::Slots;
        if (c.code)
            typeController(panel, slot, QString::number(c.code));
        QScrollBar* bar = panel->fader(slot);
        bar->setValue(c.code ? 0 : 64);
        desk.take();
        const QPoint target = partOf(bar, c.part);
        const QPoint thumb = partOf(bar, QStyle::SC_ScrollBarSlider);
        click(bar, target);
        EXPECT_EQ(bar->value(), c.after);
        EXPECT_EQ(desk.take(), Log{c.sent});
        // The thumb moves towards where the bar was clicked.
        const QPoint moved = partOf(bar, QStyle::SC_ScrollBarSlider);
        EXPECT_LE((moved - target).manhattanLength(), (thumb - target).manhattanLength());
    }
}

TEST(SlotPanelKeys, TypedControllerNumbersAreTakenFromTheKeyboard)
{
    struct Case {
        PanelClass id;
        const char* typed;
        std::vector<MsgAnswer> answers;
        int code;  // afterwards
        const char* label;
        Log sent;
        const char* asked;  // the start of the last question, if any
    };
    const Case cases[] = {
        {PanelClass::HFaders, "10", {}, 10, "  Pan  ", {{0xB0, 10, 63}}, nullptr},
        {PanelClass::HFaders, "40", {}, 40, "CC#8 LSB", {{0xB0, 40, 0}}, nullptr},
        {PanelClass::HFaders, "7", {}, 7, "  Vol  ", {{0xB0, 7, 127}}, nullptr},
        {PanelClass::HFaders, "abc", {}, 7, "  Vol  ", {}, nullptr},
        {PanelClass::HFaders, "300", {}, 7, "  Vol  ", {}, nullptr},
        {PanelClass::HFaders, "70", {MsgAnswer::Yes}, 70, "C#70 Cont", {{0xB0, 70, 0}}, "Can't use On/Off"},
        {PanelClass::HFaders, "110", {}, 110, "C#110 Cont", {}, nullptr},
        {PanelClass::Buttons, "110", {MsgAnswer::Yes}, 110, "C#110 Cont", {}, "MIDI Controllers can be"},
        {PanelClass::Buttons, "111", {MsgAnswer::No, MsgAnswer::Yes}, 111, "C#111 On/Off", {}, "This controller can"},
        {PanelClass::Buttons, "112", {MsgAnswer::Cancel}, 111, "C#111 On/Off", {}, "MIDI Controllers can be"},
        {PanelClass::Buttons, "70", {}, 70, "C#70 On/Off", {}, nullptr},
        {PanelClass::Buttons, "64", {}, 64, "Hold Pedal", {}, nullptr},
    };
    Desk desk;
    QWidget* fader = desk.add<FaderPanel>(PanelClass::HFaders);
    QWidget* buttons = desk.add<ButtonsPanel>(PanelClass::Buttons);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.id) << " " << c.typed);
        QWidget* panel = c.id == PanelClass::Buttons ? buttons : fader;
        desk.dialogs.clear();
        for (MsgAnswer answer : c.answers)
            desk.dialogs.answer(answer);
        typeController(panel, 0, QString::fromLatin1(c.typed));
        auto* selectors = c.id == PanelClass::Buttons ? static_cast<SlotSelectors*>(qobject_cast<ButtonsPanel*>(panel))
                                                      : static_cast<SlotSelectors*>(qobject_cast<FaderPanel*>(panel));
        EXPECT_EQ(selectors->CurCtrl(0), c.code);
        EXPECT_EQ(child<QLabel>(panel, "CntrlLbl0")->text(), c.label);
        EXPECT_EQ(desk.take(), c.sent);
        EXPECT_EQ(desk.dialogs.pendingAnswers(), 0u);
        if (c.asked) {
            ASSERT_FALSE(desk.dialogs.asked().empty());
            EXPECT_TRUE(desk.dialogs.asked().back().text.startsWith(QString::fromLatin1(c.asked)))
                << desk.dialogs.asked().back().text.toStdString();
        } else {
            EXPECT_TRUE(desk.dialogs.asked().empty());
        }
    }
}

TEST(SlotPanelKeys, EverySelectorClosesAfterEnterAndOnEscape)
{
    struct Case {
        const char* label;
        const char* selector;
        const char* typed;  // nullptr: Escape after typing 5
        const char* shown;  // the label afterwards
    };
    const Case cases[] = {
        {"ChanLbl", "Channel", "17", "1"},   {"ChanLbl", "Channel", "0", "1"},
        {"ChanLbl", "Channel", "abc", "1"},  {"ChanLbl", "Channel", "2.5", "1"},
        {"ChanLbl", "Channel", "1", "1"},    {"ChanLbl", "Channel", nullptr, "1"},
        {"ChanLbl", "Channel", "5", "5"},    {"PortLbl", "Port", "9", "1"},
        {"PortLbl", "Port", "abc", "1"},     {"PortLbl", "Port", "1", "1"},
        {"PortLbl", "Port", nullptr, "1"},   {"PortLbl", "Port", "2", "2"},
        {"CntrlLbl", "Control", "abc", "Contrl"}, {"CntrlLbl", "Control", "2.5", "Contrl"},
        {"CntrlLbl", "Control", "-1", "Contrl"},  {"CntrlLbl", "Control", nullptr, "Contrl"},
    };
    Desk desk;
    for (PanelClass id : {PanelClass::HFaders, PanelClass::VFaders, PanelClass::Buttons}) {
        QWidget* panel = id == PanelClass::Buttons ? static_cast<QWidget*>(desk.add<ButtonsPanel>(id))
                                                   : static_cast<QWidget*>(desk.add<FaderPanel>(id));
        int slot = 0;
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << int(id) << " " << c.selector << " " << (c.typed ? c.typed : "Escape"));
            slot = (slot + 1) % 4;
            QWidget* label = slotWidget(panel, c.label, slot);
            const QString before = static_cast<QLabel*>(label)->text();
            click(label);
            auto* combo = child<QComboBox>(panel, QString::fromLatin1(c.selector));
            ASSERT_TRUE(combo->isVisible());
            EXPECT_TRUE(hasKeyboard(combo));
            if (c.typed) {
                type(QString::fromLatin1(c.typed));
                press(Qt::Key_Return);
            } else {
                type(QStringLiteral("5"));
                press(Qt::Key_Escape);
            }
            EXPECT_FALSE(combo->isVisible());
            EXPECT_FALSE(hasKeyboard(combo));
            EXPECT_EQ(static_cast<QLabel*>(label)->text(), QString::fromLatin1(c.shown));
            // Only a change sends: the rest value on the old channel or port.
            const Log sent = desk.take();
            if (static_cast<QLabel*>(label)->text() == before)
                EXPECT_EQ(sent, Log{});
            else
                EXPECT_LE(sent.size(), 1u);
        }
    }
}

TEST(SlotPanelKeys, TheKeyboardReachesAndMovesFaders)
{
    struct Case {
        Qt::Key key;
        int horizontal;  // the value afterwards
        int vertical;
    };
    const Case cases[] = {
        {Qt::Key_Up, 65, 65},       {Qt::Key_Right, 66, 66},   {Qt::Key_Down, 65, 65},
        {Qt::Key_Left, 64, 64},     {Qt::Key_PageUp, 74, 74},  {Qt::Key_PageDown, 64, 64},
        {Qt::Key_End, 127, 0},      {Qt::Key_Home, 0, 127},    {Qt::Key_Home, 0, 127},
    };
    Desk desk;
    for (PanelClass id : {PanelClass::HFaders, PanelClass::VFaders}) {
        SCOPED_TRACE(int(id));
        auto* panel = desk.add<FaderPanel>(id);
        click(slotWidget(panel, "DataVal", 0));
        press(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), panel->fader(1));
        EXPECT_EQ(panel->CIndx, 1);
        press(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), slotWidget(panel, "DataVal", 1));
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(QApplication::focusWidget(), panel->fader(1));
        EXPECT_EQ(desk.take(), Log{});

        int last = 64;
        for (const Case& c : cases) {
            SCOPED_TRACE(c.key);
            press(c.key);
            const int value = id == PanelClass::VFaders ? c.vertical : c.horizontal;
            EXPECT_EQ(panel->fader(1)->value(), value);
            const Log expected = value == last ? Log{} : Log{{0xB0, 0, Bytes::value_type(value)}};
            EXPECT_EQ(desk.take(), expected);
            last = value;
        }

        // A click gives a fader the keyboard too; pitch bend steps by its own small change.
        typeController(panel, 2, QStringLiteral("202"));
        desk.take();
        click(panel->fader(2), partOf(panel->fader(2), QStyle::SC_ScrollBarSlider));
        EXPECT_EQ(QApplication::focusWidget(), panel->fader(2));
        press(Qt::Key_Up);
        EXPECT_EQ(desk.take(), (Log{{0xE0, 0x40, 0x40}}));

        // A selector closed, the keyboard stays with the panel and moves the current fader.
        click(slotWidget(panel, "ChanLbl", 3));
        press(Qt::Key_Escape);
        press(Qt::Key_Up);
        EXPECT_EQ(panel->CIndx, 3);
        EXPECT_EQ(desk.take(), (Log{{0xB0, 0, 65}}));
    }
}

}  // namespace
}  // namespace orvell
