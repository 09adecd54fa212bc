#include "app/AOrvell.h"
#include "app/MainMenus.h"
#include "app/MainToolbar.h"
#include "app/SysXDlg.h"
#include "app/WindowManager.h"
#include "controllers/ButtonsPanel.h"
#include "panels/Shared.h"
#include "support/FileSizeLimit.h"
#include "support/Files.h"
#include "support/TestDesk.h"
#include "support/WidgetDriving.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace orvell {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::child;
using Kind = test::ScriptedDialogs::Question::Kind;

struct Desk : test::TestDesk {
    Desk()
    {
        start({1000, 700});
        window->SysXBtn_Click();
        dlg = &window->sysExWindow();
        QCoreApplication::processEvents();
    }

    template <class T>
    T* get(const char* name) const
    {
        return child<T>(dlg, QString::fromLatin1(name));
    }
    QLineEdit* sel() const { return get<QLineEdit>("SysXSel"); }
    QLineEdit* lbl() const { return get<QLineEdit>("SysXLbl"); }
    QLineEdit* msg() const { return get<QLineEdit>("SysXMsg"); }
    QScrollBar* scroll() const { return get<QScrollBar>("SysXScrol"); }
    QPushButton* button(const char* name) const { return get<QPushButton>(name); }
    void type(QLineEdit* box, const QString& text) const
    {
        box->selectAll();
        box->del();
        QTest::keyClicks(box, text);
    }
    void add(const QString& label, const QString& message)
    {
        type(lbl(), label);
        type(msg(), message);
        QTest::mouseClick(button("AddBtn"), Qt::LeftButton);
    }
    QString lastBox() const { return dialogs.asked().empty() ? QString() : dialogs.asked().back().text; }
    const std::vector<SysExEntry>& table() const { return shared->SysExList; }
    // Minimum, maximum, shown number, whether OK/Del can be used and the number typed.
    std::tuple<QString, QString, int, bool, bool> state() const
    {
        return {get<QLabel>("Label1")->text(), get<QLabel>("Label2")->text(), scroll()->value(),
                button("OkBtn")->isEnabled(), sel()->isReadOnly()};
    }

    SysXDlg* dlg = nullptr;
};

TEST(SysXDlg, IsOneToolWindowThatTheToolbarAndMenuShowAndHide)
{
    Desk desk;
    QMdiSubWindow* frame = qobject_cast<QMdiSubWindow*>(desk.dlg->parentWidget());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(desk.dlg->windowTitle(), "Sys Ex Messages");
    EXPECT_TRUE(frame->isVisible());
    QToolButton* indicator = desk.window->toolbar().button(QStringLiteral("SysXBtn"));
    EXPECT_TRUE(indicator->isEnabled());
    EXPECT_TRUE(indicator->isChecked());
    EXPECT_TRUE(desk.window->panels().isEmpty());

    QTest::mouseClick(desk.get<QToolButton>("HideButton"), Qt::LeftButton);
    EXPECT_FALSE(frame->isVisible());
    EXPECT_FALSE(indicator->isChecked());

    QTest::mouseClick(indicator, Qt::LeftButton);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(indicator->isChecked());
    frame->close();  // the close box only hides it
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(frame->isVisible());
    EXPECT_FALSE(indicator->isChecked());

    desk.window->menus().action(QStringLiteral("SysXMsgs"))->trigger();
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(&desk.window->sysExWindow(), desk.dlg);
    // One Sys Ex window beside the help viewer that exists for the run.
    int sysExWindows = 0;
    for (QMdiSubWindow* sub : desk.window->mdiArea().subWindowList())
        sysExWindows += qobject_cast<SysXDlg*>(sub->widget()) ? 1 : 0;
    EXPECT_EQ(sysExWindows, 1);
}

TEST(SysXDlg, EmptyTableLocksTheNumberAndAddingUnlocksIt)
{
    Desk desk;
    EXPECT_EQ(desk.state(), std::make_tuple(QString("0"), QString("0"), 0, false, true));
    EXPECT_EQ(desk.sel()->text(), "0");
    EXPECT_FALSE(desk.button("DelBtn")->isEnabled());

    desk.add("GM On", "F0 7E 7F 09 01 F7");
    ASSERT_EQ(desk.table().size(), 1u);
    EXPECT_EQ(desk.table()[0].message, "F0 7E 7F 09 01 F7");  // blanks kept
    EXPECT_EQ(desk.state(), std::make_tuple(QString("1"), QString("1"), 1, true, false));
    EXPECT_EQ(desk.field(2), " Sys Ex table changes Done");
    EXPECT_TRUE(desk.scroll()->hasFocus());
    EXPECT_TRUE(desk.window->IsChanged);

    desk.add("Roland", "f0 41 10 42 12 40 00 7f 00 41 f7");
    EXPECT_EQ(desk.state(), std::make_tuple(QString("1"), QString("2"), 2, true, false));
    EXPECT_EQ(desk.sel()->text(), "2");
}

TEST(SysXDlg, AddRefusesWhatCannotBeStored)
{
    Desk desk;
    desk.add("GM On", "F0 7E 7F 09 01 F7");
    struct Case {
        const char* label;
        const char* message;
        QString box;
        const char* focus;
    };
    const QString blank = "Label and/or Sys Ex string cannot be blank";
    const Case cases[] = {
        {"", "F0 F7", blank, "SysXLbl"},
        {"X", "", blank, "SysXMsg"},
        {"X", "F0,7E", "F0,7E\ris not a HEX string. Use 0 - 9, A - F.", "SysXMsg"},
        {"X", "G1", "G1\ris not a HEX string. Use 0 - 9, A - F.", "SysXMsg"},
        {"X", "F0 7E 7", "F0 7E 7\rhas an odd number of hex digits. Every byte takes two.", "SysXMsg"},
        {"X", "7E 01", "7E 01\ris not one Sys Ex message. It must start with F0 and end with F7, "
                       "with no other byte from 80 to FF between.", "SysXMsg"},
        {"GM On", "F0 01 F7", "Sys Ex labels must be unique.", "SysXLbl"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.label) + "/" + c.message);
        desk.dialogs.clear();
        desk.add(QString::fromLatin1(c.label), QString::fromLatin1(c.message));
        ASSERT_EQ(desk.dialogs.asked().size(), 1u);
        EXPECT_EQ(desk.lastBox(), c.box);
        EXPECT_EQ(desk.dialogs.asked().back().buttons, MsgButtons::Ok);
        EXPECT_EQ(desk.table().size(), 1u);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), c.focus);
    }
}

TEST(SysXDlg, OkStoresIntoTheShownEntryAndItsOwnLabelIsNoDuplicate)
{
    Desk desk;
    desk.add("A", "F0 01 F7");
    desk.add("B", "F0 02 F7");
    desk.scroll()->setValue(1);
    EXPECT_EQ(desk.lbl()->text(), "A");
    EXPECT_EQ(desk.sel()->text(), "1");
    desk.type(desk.msg(), "F0 03 03 F7");
    QTest::mouseClick(desk.button("OkBtn"), Qt::LeftButton);
    EXPECT_TRUE(desk.dialogs.asked().empty());
    EXPECT_EQ(desk.table()[0].label, "A");
    EXPECT_EQ(desk.table()[0].message, "F0 03 03 F7");

    desk.type(desk.lbl(), "B");
    QTest::mouseClick(desk.button("OkBtn"), Qt::LeftButton);
    EXPECT_EQ(desk.lastBox(), "Sys Ex labels must be unique.");
    EXPECT_EQ(desk.table()[0].label, "A");
}

TEST(SysXDlg, NumberBoxTakesEnterOnlyAndClampsToTheTable)
{
    Desk desk;
    for (const char* label : {"A", "B", "C"})
        desk.add(QString::fromLatin1(label), "F0 F7");
    struct Case {
        const char* typed;
        const char* shown;
        const char* label;
    };
    for (const Case& c : {Case{"2", "2", "B"}, Case{"9", "3", "C"}, Case{"0", "1", "A"}, Case{"x", "1", "A"}}) {
        SCOPED_TRACE(c.typed);
        desk.type(desk.sel(), QString::fromLatin1(c.typed));
        QTest::keyClick(desk.sel(), Qt::Key_Return);
        EXPECT_EQ(desk.sel()->text(), c.shown);
        EXPECT_EQ(desk.lbl()->text(), c.label);
    }
    // Enter in the message box stores nothing.
    desk.type(desk.msg(), "F0 09 F7");
    QTest::keyClick(desk.msg(), Qt::Key_Return);
    EXPECT_EQ(desk.table()[0].message, "F0 F7");
}

TEST(SysXDlg, DeletingMovesLaterEntriesDownAndTheLastLeavesItLocked)
{
    Desk desk;
    for (const char* label : {"A", "B", "C"})
        desk.add(QString::fromLatin1(label), "F0 F7");
    desk.scroll()->setValue(2);
    desk.dialogs.answer(MsgAnswer::Cancel);
    QTest::mouseClick(desk.button("DelBtn"), Qt::LeftButton);
    EXPECT_EQ(desk.lastBox(),
              "Are you sure you want to delete this Sys Ex entry?\r(This won't check to see if it's in use...)");
    EXPECT_EQ(desk.table().size(), 3u);

    desk.dialogs.answer(MsgAnswer::Ok);
    QTest::mouseClick(desk.button("DelBtn"), Qt::LeftButton);
    ASSERT_EQ(desk.table().size(), 2u);
    EXPECT_EQ(desk.table()[1].label, "C");
    EXPECT_EQ(desk.sel()->text(), "2");
    EXPECT_EQ(desk.lbl()->text(), "C");
    EXPECT_EQ(desk.state(), std::make_tuple(QString("1"), QString("2"), 2, true, false));

    // The last entry shown: the number steps back to the new last one.
    desk.dialogs.answer(MsgAnswer::Ok);
    QTest::mouseClick(desk.button("DelBtn"), Qt::LeftButton);
    EXPECT_EQ(desk.sel()->text(), "1");
    EXPECT_EQ(desk.lbl()->text(), "A");

    desk.dialogs.answer(MsgAnswer::Ok);
    QTest::mouseClick(desk.button("DelBtn"), Qt::LeftButton);
    EXPECT_TRUE(desk.table().empty());
    EXPECT_EQ(desk.state(), std::make_tuple(QString("0"), QString("0"), 0, false, true));
    EXPECT_TRUE(desk.lbl()->text().isEmpty());
    EXPECT_TRUE(desk.msg()->text().isEmpty());
    EXPECT_FALSE(desk.button("DelBtn")->isEnabled());
    EXPECT_EQ(desk.field(2), " Sys Ex table changes Done");
}

TEST(SysXDlg, ShowsTheTableASessionBringsAndCloseAllEmptiesIt)
{
    Desk desk;
    desk.add("A", "F0 F7");
    desk.window->SessionFile = desk.home.filePath("two.orv");
    desk.shared->SysExList = {{"GM On", "F0 7E 7F 09 01 F7"}, {"Roland", "F0 41 F7"}};
    ASSERT_TRUE(desk.window->SaveSession_Click());

    ASSERT_TRUE(desk.window->windows().CloseAll_Click());
    EXPECT_TRUE(desk.table().empty());
    EXPECT_EQ(desk.state(), std::make_tuple(QString("0"), QString("0"), 0, false, true));
    EXPECT_TRUE(desk.lbl()->text().isEmpty());

    desk.dialogs.answer(desk.home.filePath("two.orv"));
    desk.window->LoadSession_Click();
    ASSERT_EQ(desk.table().size(), 2u);
    EXPECT_EQ(desk.state(), std::make_tuple(QString("1"), QString("2"), 1, true, false));
    EXPECT_EQ(desk.lbl()->text(), "GM On");
}

TEST(SysXDlg, TheSessionKeepsTheShownEntryAndWhereTheWindowStood)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sysex.orv"));
    QByteArray saved;
    {
        Desk desk;
        desk.add("A", "F0 01 F7");
        desk.add("B", "F0 02 F7");
        desk.add("C", "F0 03 F7");
        desk.dlg->SetSysXIndex(2);
        desk.dlg->parentWidget()->move(30, 45);
        desk.window->SessionFile = path;
        ASSERT_TRUE(desk.window->SaveSession_Click());
        saved = test::readAll(path);
    }
    const QByteArray block = "\r\n\r\n[SysXDlg]\r\nName=Sys Ex Messages\r\nTop=675\r\nLeft=450\r\n"
                             "Color=-2147483633\r\nVisible=True\r\nTag=\r\nWindowState=0\r\n"
                             "\r\n[SysXDlg Data]\r\nSysExIndex=2\r\n";
    ASSERT_TRUE(saved.contains(block)) << saved.toStdString();

    struct Case {
        const char* index;  // as the file gives it
        bool visible;
        int shown;
    };
    // A number the table does not have shows the first entry.
    const Case cases[] = {{"2", true, 2}, {"3", false, 3}, {"9", true, 1}, {"0", true, 1}, {"abc", true, 1},
                          {"-1", true, 1}, {"", true, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        QByteArray edited = saved;
        edited.replace("SysExIndex=2", QByteArray("SysExIndex=") + c.index);
        if (!c.visible)
            edited.replace("[SysXDlg]\r\nName=Sys Ex Messages\r\nTop=675\r\nLeft=450\r\nColor=-2147483633\r\nVisible=True",
                           "[SysXDlg]\r\nName=Sys Ex Messages\r\nTop=675\r\nLeft=450\r\nColor=-2147483633\r\nVisible=False");
        ASSERT_TRUE(test::writeFile(path, edited));
        // The window was never opened in this desk: the session brings it.
        test::TestDesk desk;
        desk.start({1000, 700});
        desk.dialogs.answer(path);
        desk.window->LoadSession_Click();
        SysXDlg& dlg = desk.window->sysExWindow();
        QWidget* frame = dlg.parentWidget();
        EXPECT_EQ(frame->isVisible(), c.visible);
        EXPECT_EQ(desk.window->toolbar().button(QStringLiteral("SysXBtn"))->isChecked(), c.visible);
        EXPECT_EQ(frame->pos(), QPoint(30, 45));
        EXPECT_EQ(child<QLineEdit>(&dlg, QStringLiteral("SysXSel"))->text(), QString::number(c.shown));
        EXPECT_EQ(child<QLineEdit>(&dlg, QStringLiteral("SysXLbl"))->text(), QString(QChar(u'A' + c.shown - 1)));
        // Saved again, the block is what was read.
        desk.window->SessionFile = path;
        ASSERT_TRUE(desk.window->SaveSession_Click());
        QByteArray again = block;
        again.replace("SysExIndex=2", "SysExIndex=" + QByteArray::number(c.shown));
        if (!c.visible)
            again.replace("Visible=True", "Visible=False");
        EXPECT_TRUE(test::readAll(path).contains(again)) << test::readAll(path).toStdString();
    }

    // A desk that never opened the window has no block for it.
    test::TestDesk plain;
    plain.start({1000, 700});
    plain.window->SessionFile = path;
    ASSERT_TRUE(plain.window->SaveSession_Click());
    EXPECT_FALSE(test::readAll(path).contains("SysXDlg"));
}

TEST(SysXDlg, HintsNameEachControl)
{
    Desk desk;
    auto hint = [&](const char* name, QEvent::Type type) {
        desk.window->ShowHint(QString());
        QEvent event(type);
        QApplication::sendEvent(child<QWidget>(desk.dlg, QString::fromLatin1(name)), &event);
        return desk.field(2).trimmed();
    };
    EXPECT_EQ(hint("AddBtn", QEvent::Enter), "Add this entry to the Sys Ex message table");
    EXPECT_EQ(hint("OkBtn", QEvent::Enter), "Store this as the current Sys Ex entry");
    EXPECT_EQ(hint("DelBtn", QEvent::Enter), "Delete this Sys Ex entry (better not be using it...)");
    EXPECT_EQ(hint("SysXSel", QEvent::Enter), "Select Sys Ex entry by index number");
    EXPECT_EQ(hint("SysXScrol", QEvent::FocusIn), "Use slider to select Sys Ex entry");
    EXPECT_EQ(hint("SysXScrol", QEvent::Enter), "");
    EXPECT_EQ(hint("SysXLbl", QEvent::FocusIn),
              "This label appears in the Sys Ex dropdown selection list for buttons controls");
    EXPECT_EQ(hint("SysXMsg", QEvent::Enter), "Actual Sys Ex string in Hex (spaces ok for readability)");
}

TEST(SysXDlg, ImportAddsOneEntryPerMessageAndExportWritesTheBytes)
{
    Desk desk;
    desk.add("Dump 1", "F0 F7");
    const QString path = desk.home.filePath("Dump.syx");
    ASSERT_TRUE(test::writeFile(path, QByteArray::fromHex("F07E7F0901F7" "00" "F0411042F7")));
    desk.dialogs.answer(path);
    QTest::mouseClick(desk.button("ImportBtn"), Qt::LeftButton);
    EXPECT_EQ(desk.dialogs.asked().back().file.filter, "Sys Ex Files (*.syx)|*.syx");
    ASSERT_EQ(desk.table().size(), 3u);
    EXPECT_EQ(desk.table()[1].label, "Dump 1 (2)");  // "Dump 1" was taken
    EXPECT_EQ(desk.table()[1].message, "F0 7E 7F 09 01 F7");
    EXPECT_EQ(desk.table()[2].label, "Dump 2");
    EXPECT_EQ(desk.table()[2].message, "F0 41 10 42 F7");
    EXPECT_EQ(desk.sel()->text(), "2");

    const QString out = desk.home.filePath("out.syx");
    desk.dialogs.answer(out);
    QTest::mouseClick(desk.button("ExportBtn"), Qt::LeftButton);
    EXPECT_EQ(desk.dialogs.asked().back().file.fileName, "Dump 1 (2).syx");
    QFile written(out);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray::fromHex("F07E7F0901F7"));

    // A file without a name part still gives a label.
    const QString unnamed = desk.home.filePath(".syx");
    ASSERT_TRUE(test::writeFile(unnamed, QByteArray::fromHex("F043F7")));
    desk.dialogs.answer(unnamed);
    QTest::mouseClick(desk.button("ImportBtn"), Qt::LeftButton);
    EXPECT_EQ(desk.table().back().label, "Sys Ex");
}

TEST(SysXDlg, ImportOfAFileWithoutMessagesOrUnreadableChangesNothing)
{
    Desk desk;
    desk.add("Kept", "F0 F7");
    const QString noise = desk.home.filePath("noise.syx");
    ASSERT_TRUE(test::writeFile(noise, "not sysex at all"));
    for (const QString& path : {noise, desk.home.filePath("missing.syx"), desk.home.path()}) {
        SCOPED_TRACE(path.toStdString());
        desk.dialogs.clear();
        desk.dialogs.answer(path);
        QTest::mouseClick(desk.button("ImportBtn"), Qt::LeftButton);
        ASSERT_EQ(desk.dialogs.asked().size(), 2u);
        EXPECT_TRUE(desk.lastBox().endsWith(path));
        EXPECT_EQ(desk.table().size(), 1u);
        EXPECT_EQ(desk.lbl()->text(), "Kept");
    }
}

TEST(SysXDlg, FailedExportLeavesTheEarlierFile)
{
    Desk desk;
    desk.add("A", "F0 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 F7");
    const QString out = desk.home.filePath("a.syx");
    ASSERT_TRUE(test::writeFile(out, "old"));
    desk.dialogs.answer(out);
    {
        test::FileSizeLimit limit(8);  // the message is longer
        ASSERT_TRUE(limit.active());
        QTest::mouseClick(desk.button("ExportBtn"), Qt::LeftButton);
    }
    ASSERT_EQ(desk.dialogs.asked().size(), 2u);
    EXPECT_TRUE(desk.lastBox().startsWith("Error saving " + out + "\r")) << desk.lastBox().toStdString();
    EXPECT_EQ(test::readAll(out), "old");
}

TEST(SysXDlg, ButtonSendsItsEntryOncePerPress)
{
    Desk desk;
    desk.add("GM On", "F0 7E 7F 09 01 F7");
    desk.add("Roland", "F0 41 10 42 12 40 00 7F 00 41 F7");
    auto* panel = qobject_cast<ButtonsPanel*>(desk.window->createPanel(PanelClass::Buttons));
    ASSERT_NE(panel, nullptr);
    QCoreApplication::processEvents();
    // Typing goes to the window in front.
    QTest::mouseClick(desk.get<QToolButton>("HideButton"), Qt::LeftButton);
    QTest::mouseClick(child<QLabel>(panel, "CntrlLbl0"), Qt::LeftButton);
    auto* combo = child<QComboBox>(panel, QStringLiteral("Control"));
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), "217");
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(panel->CurCtrl(0), 217);
    auto* entries = child<QComboBox>(panel, QStringLiteral("SelPatch"));
    ASSERT_TRUE(entries->isVisible());
    ASSERT_EQ(entries->count(), 2);
    EXPECT_EQ(entries->itemText(1), "Roland");
    EXPECT_EQ(desk.field(2), " Select Sys Ex message to send");
    entries->setCurrentIndex(1);
    panel->SelPatch_Click();

    desk.midi->clearSent();
    QLabel* button = child<QLabel>(panel, "MButton0");
    QTest::mousePress(button, Qt::LeftButton);
    const Bytes roland = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
    EXPECT_EQ(test::sentBytes(*desk.midi), std::vector<Bytes>{roland});
    QTest::mouseRelease(button, Qt::LeftButton);
    EXPECT_EQ(test::sentBytes(*desk.midi), std::vector<Bytes>{roland});
    QTest::mousePress(button, Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton);
    EXPECT_EQ(test::sentBytes(*desk.midi), (std::vector<Bytes>{roland, roland}));
    EXPECT_EQ(desk.field(0), " Sys Ex Msg Port 1");

    // Entries are referred to by place: with the entry gone nothing is sent.
    desk.window->SysXBtn_Click();
    desk.dialogs.answer(MsgAnswer::Ok);
    QTest::mouseClick(desk.button("DelBtn"), Qt::LeftButton);
    desk.midi->clearSent();
    QTest::mousePress(button, Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton);
    EXPECT_TRUE(desk.midi->sent().empty());
}

}  // namespace
}  // namespace orvell
