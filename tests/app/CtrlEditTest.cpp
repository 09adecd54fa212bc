#include "controllers/CtrlEdit.h"
#include "help/MessageTable.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QEnterEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace orvell {
namespace {

// A dialog shown the way a panel opens it, with its controls at hand.
struct Editor {
    explicit Editor(const CtrlEditRequest& request)
        : edit(request, messages, dialogs, [this](const QString& text) { hints << text; })
    {
        edit.show();
        name = edit.findChild<QLineEdit*>("CName");
        onOff = edit.findChild<QCheckBox*>("OnOffChk");
        noData = edit.findChild<QCheckBox*>("DataChk");
        ok = edit.findChild<QPushButton*>("OkBtn");
        cancel = edit.findChild<QPushButton*>("CancelBtn");
        del = edit.findChild<QPushButton*>("DelBtn");
        EXPECT_TRUE(name && onOff && noData && ok && cancel && del);
    }

    MessageTable messages;
    test::ScriptedDialogs dialogs;
    QStringList hints;
    CtrlEdit edit;
    QLineEdit* name = nullptr;
    QCheckBox* onOff = nullptr;
    QCheckBox* noData = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QPushButton* del = nullptr;
};

void hover(QWidget* widget)
{
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)));
    QCoreApplication::sendEvent(widget, &enter);
}

// Clicks the box itself: the empty part of a wide check box does nothing.
void tick(QCheckBox* box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

const CtrlEditRequest kHold{64, QStringLiteral("Hold Pedal"), true, true, false, false};

TEST(CtrlEdit, ShowsTheControllerItEdits)
{
    Editor e({120, QStringLiteral("  All NtsOff"), true, false, false, false});
    EXPECT_EQ(e.edit.windowTitle(), "Customize Controller 120");
    EXPECT_EQ(e.name->text(), "  All NtsOff");
    EXPECT_EQ(e.name->maxLength(), 13);
    EXPECT_EQ(e.onOff->text(), "On/Off Control");
    EXPECT_EQ(e.noData->text(), "No Data");
    EXPECT_EQ(e.ok->text(), "OK");
    EXPECT_EQ(e.cancel->text(), "Cancel");
    EXPECT_EQ(e.del->text(), "Del");
    EXPECT_TRUE(e.onOff->isChecked());
    EXPECT_TRUE(e.noData->isChecked());
    for (QWidget* widget : {static_cast<QWidget*>(e.name), static_cast<QWidget*>(e.ok),
                            static_cast<QWidget*>(e.cancel), static_cast<QWidget*>(e.del)})
        EXPECT_TRUE(e.edit.rect().contains(widget->geometry())) << widget->objectName().toStdString();
}

TEST(CtrlEdit, OnOffBoxOnlyWhereTheKindIsOpen)
{
    const struct {
        int code;
        bool continuousOnly;
        bool shown;
    } cases[] = {
        {1, false, false},  {63, false, false}, {64, false, true},   {96, false, false},  {97, false, false},
        {119, false, true}, {120, false, false}, {1, true, false},   {63, true, false},   {64, true, false},
        {96, true, false},  {97, true, false},  {119, true, false},  {120, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.code << (c.continuousOnly ? " continuous only" : ""));
        // A checked switch, so a visible box also shows the data box.
        Editor e({c.code, QStringLiteral("X"), true, false, c.continuousOnly, false});
        EXPECT_EQ(e.onOff->isVisible(), c.shown);
        EXPECT_EQ(e.noData->isVisible(), c.shown);
    }
}

TEST(CtrlEdit, DataBoxFollowsTheOnOffBox)
{
    Editor e({70, QStringLiteral("C#70 Cont"), false, false, false, true});
    EXPECT_TRUE(e.onOff->isVisible());
    EXPECT_FALSE(e.onOff->isChecked());
    EXPECT_FALSE(e.noData->isVisible());

    tick(e.onOff);
    EXPECT_TRUE(e.onOff->isChecked());
    EXPECT_TRUE(e.noData->isVisible());
    EXPECT_FALSE(e.noData->isChecked());

    tick(e.onOff);
    EXPECT_FALSE(e.noData->isVisible());
}

TEST(CtrlEdit, DelOnlyForThePanelsOwnEntries)
{
    Editor builtIn(kHold);
    EXPECT_FALSE(builtIn.del->isEnabled());
    CtrlEditRequest own = kHold;
    own.isCustom = true;
    Editor custom(own);
    EXPECT_TRUE(custom.del->isEnabled());
}

TEST(CtrlEdit, EachButtonClosesWithItsResult)
{
    const struct {
        const char* button;
        std::optional<CtrlEditResult> expected;
    } cases[] = {
        {"OkBtn", CtrlEditResult{QStringLiteral("Sus"), true, false, false}},
        {"DelBtn", CtrlEditResult{QStringLiteral("Sus"), true, false, true}},
        {"CancelBtn", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        CtrlEditRequest request = kHold;
        request.isCustom = true;
        Editor e(request);
        QSignalSpy finished(&e.edit, &QDialog::finished);
        e.name->setText(QStringLiteral("Sus"));
        tick(e.noData);
        QTest::mouseClick(e.edit.findChild<QPushButton*>(c.button), Qt::LeftButton);
        EXPECT_EQ(finished.count(), 1);
        EXPECT_FALSE(e.edit.isVisible());
        EXPECT_EQ(e.edit.outcome(), c.expected);
        EXPECT_TRUE(e.dialogs.asked().empty());
    }
}

TEST(CtrlEdit, OkWithTheBoxesOffGivesAContinuousEntry)
{
    Editor e(kHold);
    tick(e.onOff);
    QTest::mouseClick(e.ok, Qt::LeftButton);
    ASSERT_TRUE(e.edit.outcome().has_value());
    EXPECT_FALSE(e.edit.outcome()->isOnOff);
    EXPECT_TRUE(e.edit.outcome()->canTogl);
}

TEST(CtrlEdit, RenamingAFixedOneShotKeepsItsKind)
{
    Editor e({96, QStringLiteral("Data Incr"), true, false, false, false});
    e.name->setText(QStringLiteral("Step Up"));
    QTest::mouseClick(e.ok, Qt::LeftButton);
    EXPECT_EQ(e.edit.outcome(), (CtrlEditResult{QStringLiteral("Step Up"), true, false, false}));
}

TEST(CtrlEdit, EnterInTheNameActsAsOkOnce)
{
    Editor e(kHold);
    QSignalSpy finished(&e.edit, &QDialog::finished);
    e.name->setFocus();
    QTest::keyClicks(e.name, QStringLiteral("!"));
    QTest::keyClick(e.name, Qt::Key_Return);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(e.edit.outcome(), (CtrlEditResult{QStringLiteral("Hold Pedal!"), true, true, false}));
}

TEST(CtrlEdit, NameCannotHoldTheFieldSeparator)
{
    Editor e(kHold);
    e.name->clear();
    QTest::keyClicks(e.name, QStringLiteral("A|B"));
    EXPECT_EQ(e.name->text(), "AB");
}

TEST(CtrlEdit, NumericNameIsQuestionedFirst)
{
    const QString question = QStringLiteral("This field is for a descriptive name. Are you sure want a number here?");
    Editor e(kHold);
    e.name->setText(QStringLiteral(" 42 "));

    e.dialogs.answer(MsgAnswer::No);
    QTest::keyClick(e.name, Qt::Key_Return);
    ASSERT_EQ(e.dialogs.asked().size(), 1u);
    EXPECT_EQ(e.dialogs.asked()[0].text, question);
    EXPECT_EQ(e.dialogs.asked()[0].buttons, MsgButtons::YesNo);
    EXPECT_TRUE(e.edit.isVisible());
    EXPECT_FALSE(e.edit.outcome().has_value());
    EXPECT_EQ(e.name->selectedText(), " 42 ");

    e.dialogs.answer(MsgAnswer::Yes);
    QTest::mouseClick(e.ok, Qt::LeftButton);
    EXPECT_EQ(e.dialogs.asked().size(), 2u);
    EXPECT_FALSE(e.edit.isVisible());
    ASSERT_TRUE(e.edit.outcome().has_value());
    EXPECT_EQ(e.edit.outcome()->name, " 42 ");
}

// Presses `button` of the modal editor once its loop runs; Escape if it is missing.
std::optional<CtrlEditResult> askAndPress(const char* button)
{
    const MessageTable messages;
    test::ScriptedDialogs dialogs;
    QTimer::singleShot(0, [button] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            ADD_FAILURE() << "no modal editor";
            return;
        }
        if (auto* target = modal->findChild<QPushButton*>(button))
            QTest::mouseClick(target, Qt::LeftButton);
        else
            QTest::keyClick(modal, Qt::Key_Escape);
    });
    return CtrlEdit::ask(nullptr, kHold, messages, dialogs);
}

TEST(CtrlEdit, AskRunsModallyAndReturnsTheDecision)
{
    EXPECT_EQ(askAndPress("OkBtn"), (CtrlEditResult{QStringLiteral("Hold Pedal"), true, true, false}));
    EXPECT_EQ(askAndPress("CancelBtn"), std::nullopt);
    EXPECT_EQ(askAndPress("no such button"), std::nullopt);
}

TEST(CtrlEdit, PointerHelpForEachPart)
{
    Editor e(kHold);
    const struct {
        QWidget* widget;
        const char* text;
    } cases[] = {
        {&e.edit, "Customize MIDI Controller Info"},
        {e.name, "Text Controller Name (Label). Use Spaces to center or move to 2nd line"},
        {e.onOff, "Makes this an On/Off (Pedal) controller like Hold, Soft pedals"},
        {e.noData, "Set if your device doesn't use a data value, e.g. AllNotesOff message"},
        {e.ok, "Save changes and exit"},
        {e.cancel, "Discard any changes and exit"},
        {e.del, "Delete this controller type (reverts to default controller type)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        e.hints.clear();
        hover(c.widget);
        EXPECT_EQ(e.hints, QStringList{QString::fromLatin1(c.text)});
    }
}

}  // namespace
}  // namespace orvell
