#include "app/AOrvell.h"
#include "app/MainToolbar.h"
#include "app/RecorderControl.h"
#include "app/TempoDlg.h"
#include "controllers/ButtonsPanel.h"
#include "panels/Shared.h"
#include "support/FileSizeLimit.h"
#include "support/Files.h"
#include "support/TestDesk.h"
#include "support/WidgetDriving.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace orvell {
namespace {

using Kind = test::ScriptedDialogs::Question::Kind;

struct Desk : test::TestDesk {
    Desk()
    {
        start({1000, 700});
        window->recorderControl().setClock(*clock);
        shared->midi.OpenMidiOut("1");
    }
    QToolButton* record() const { return window->toolbar().button(QStringLiteral("RecordBtn")); }
    void click() const
    {
        QTest::mousePress(record(), Qt::LeftButton);
        QTest::mouseRelease(record(), Qt::LeftButton);
    }
    QString hover() const
    {
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QCoreApplication::sendEvent(record(), &enter);
        return field(2);
    }
    QByteArray read(const QString& path) const { return test::readAll(path); }
    // Records one control change 550 ms after the start.
    void recordOne()
    {
        click();
        clock->advanceMs(550);
        shared->midi.SendCtrlChg("1", 7, 100, "1");
    }
};

// The file of one control change on channel 1, port 1, 550 ms in, at 100 BPM.
const QByteArray OneEventFile = QByteArray::fromHex(
    "4D546864000000060001000200784D54726B0000002300FF030654696D696E6700FF58040402180800FF5902000000FF51030927C0"
    "00FF2F004D54726B0000002600FF21010000FF030E4368616E20312C20506F7274203101903F01013F006EB0076400FF2F00");

TEST(RecordButton, RecordsAndSavesTheFileByteForByte)
{
    Desk desk;
    EXPECT_TRUE(desk.record()->isEnabled());
    EXPECT_EQ(desk.hover(), " Record Events in a MIDI File @ 100 BPM.  Right-click to change BPM");
    desk.recordOne();
    EXPECT_TRUE(desk.shared->flags.RecorderRunning);
    EXPECT_TRUE(desk.record()->isChecked());
    EXPECT_TRUE(desk.record()->styleSheet().contains("rgb(255, 0, 0)"));
    EXPECT_EQ(desk.hover(), " Stop Event Recorder @ 100 BPM.  Right-click to change BPM");
    EXPECT_EQ(desk.field(0), " 0:00.550 Controller 7 Data 100 Chan 1 Port 1");
    EXPECT_EQ(desk.midi->sent().size(), 1u);

    const QString path = desk.home.filePath("take.mid");
    desk.shared->SeqDir = desk.home.path() + "/";
    desk.dialogs.answer(path);
    desk.click();
    EXPECT_FALSE(desk.shared->flags.RecorderRunning);
    EXPECT_FALSE(desk.record()->isChecked());
    EXPECT_TRUE(desk.record()->styleSheet().isEmpty());
    ASSERT_EQ(desk.dialogs.asked().size(), 1u);
    const auto& asked = desk.dialogs.asked()[0];
    EXPECT_EQ(asked.kind, Kind::SaveFile);
    EXPECT_EQ(asked.file.title, "Save Sequence");
    EXPECT_EQ(asked.file.filter, "MIDI 1.0 File (*.mid)|*.mid");
    EXPECT_EQ(asked.file.defaultExtension, "mid");
    EXPECT_EQ(asked.file.directory, desk.home.path() + "/");
    EXPECT_EQ(desk.read(path).toHex(' '), OneEventFile.toHex(' '));
    EXPECT_EQ(desk.window->recorderControl().lastSequenceFile(), "take.mid");

    // A new take starts from an empty table and proposes the last name.
    desk.dialogs.clear();
    desk.recordOne();
    desk.dialogs.answer(QString());
    desk.click();
    EXPECT_EQ(desk.dialogs.asked().back().file.fileName, "take.mid");
    EXPECT_EQ(desk.read(path).toHex(' '), OneEventFile.toHex(' '));  // Cancel writes nothing
}

TEST(RecordButton, NothingRecordedAsksNothing)
{
    Desk desk;
    desk.click();
    desk.shared->midi.SendRealTime("1", 0xFA);
    desk.click();
    EXPECT_TRUE(desk.dialogs.asked().empty());
    EXPECT_FALSE(desk.shared->flags.RecorderRunning);
}

TEST(RecordButton, FailedSavesLeaveTheEarlierFile)
{
    Desk desk;
    // What is there and is no file cannot be replaced: nothing is written.
    const QString folder = desk.home.filePath("take.mid");
    ASSERT_TRUE(QDir().mkpath(folder));
    desk.recordOne();
    desk.dialogs.answer(folder);
    desk.click();
    ASSERT_EQ(desk.dialogs.asked().size(), 2u);
    EXPECT_EQ(desk.dialogs.asked().back().text, "Could not erase previous version of " + folder);
    EXPECT_TRUE(QFileInfo(folder).isDir());

    // A write that fails half-way keeps the earlier take.
    const QString path = desk.home.filePath("earlier.mid");
    ASSERT_TRUE(test::writeFile(path, "earlier"));
    desk.dialogs.clear();
    desk.recordOne();
    desk.dialogs.answer(path);
    {
        test::FileSizeLimit limit(16);  // the file is longer
        ASSERT_TRUE(limit.active());
        desk.click();
    }
    ASSERT_EQ(desk.dialogs.asked().size(), 2u);
    const auto& box = desk.dialogs.asked().back();
    EXPECT_EQ(box.title, "Save Recording");
    EXPECT_EQ(box.icon, MsgIcon::Exclamation);
    EXPECT_TRUE(box.text.startsWith("Error saving " + path + "\r")) << box.text.toStdString();
    EXPECT_TRUE(box.text.endsWith(")\rCould not save recorded events!")) << box.text.toStdString();
    EXPECT_EQ(desk.read(path), "earlier");
    EXPECT_EQ(QDir(desk.home.path()).entryList(QDir::Files).filter("earlier").size(), 1);  // no leftovers
}

TEST(RecordButton, ExitIsRefusedWhileRecording)
{
    Desk desk;
    desk.click();
    desk.window->close();
    EXPECT_TRUE(desk.window->isVisible());
    EXPECT_EQ(desk.dialogs.asked().back().text, "Can't Exit while recording events.");
    desk.shared->midi.setRecorder(nullptr);
    desk.shared->flags.RecorderRunning = false;
}

TEST(RecordButton, RightClickSetsTheTempoShownInTheHint)
{
    Desk desk;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<TempoDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = true;
        EXPECT_EQ(dialog->windowTitle(), "Tempo");
        EXPECT_EQ(dialog->TempoVal->text(), "100");
        EXPECT_EQ(dialog->TempoScrol->value(), 100);
        dialog->TempoVal->selectAll();
        QTest::keyClicks(dialog->TempoVal, "132");
        QTest::keyClick(dialog->TempoVal, Qt::Key_Return);
        EXPECT_EQ(dialog->TempoScrol->value(), 132);
        QTest::mouseClick(dialog->OkBtn, Qt::LeftButton);
    });
    QTest::mousePress(desk.record(), Qt::RightButton);
    QTest::mouseRelease(desk.record(), Qt::RightButton);
    EXPECT_TRUE(seen);
    EXPECT_FALSE(desk.shared->flags.RecorderRunning);
    EXPECT_EQ(desk.window->recorderControl().recorder().tempo(), 132);
    EXPECT_EQ(desk.hover(), " Record Events in a MIDI File @ 132 BPM.  Right-click to change BPM");
}

TEST(TempoDialog, OkAndCloseBoxTakeTheScrollBarCancelKeepsTheTempo)
{
    Desk desk;
    struct Case {
        const char* typed;
        const char* how;
        int tempo;
    };
    for (const Case& c : {Case{"300", "ok", 250}, Case{"5", "ok", 10}, Case{"abc", "ok", 90},
                          Case{"120", "cancel", 90}, Case{"140", "close", 140}}) {
        SCOPED_TRACE(std::string(c.typed) + " " + c.how);
        TempoDlg dialog(*desk.window, 90);
        dialog.show();
        dialog.TempoVal->selectAll();
        QTest::keyClicks(dialog.TempoVal, c.typed);
        QTest::keyClick(dialog.TempoVal, Qt::Key_Return);
        if (std::string(c.how) == "ok")
            QTest::mouseClick(dialog.OkBtn, Qt::LeftButton);
        else if (std::string(c.how) == "cancel")
            QTest::mouseClick(dialog.CancelBtn, Qt::LeftButton);
        else
            dialog.close();
        EXPECT_EQ(dialog.tempo(), c.tempo);
    }
    TempoDlg dialog(*desk.window, 90);
    EXPECT_EQ(dialog.TempoVal->maxLength(), 3);
    EXPECT_EQ(dialog.TempoScrol->pageStep(), 10);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(dialog.CancelBtn, &enter);
    EXPECT_EQ(desk.field(2), " Discard any changes and exit");
    QApplication::sendEvent(dialog.TempoScrol, &enter);
    EXPECT_EQ(desk.field(2), " Set Tempo for MIDI Events file");
}

TEST(RecordButton, ButtonsPanelRecorderButtonStartsAndStops)
{
    Desk desk;
    auto* panel = qobject_cast<ButtonsPanel*>(desk.window->createPanel(PanelClass::Buttons));
    ASSERT_NE(panel, nullptr);
    QCoreApplication::processEvents();
    QTest::mouseClick(test::child<QLabel>(panel, "CntrlLbl0"), Qt::LeftButton);
    auto* combo = test::child<QComboBox>(panel, QStringLiteral("Control"));
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), "206");
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    ASSERT_EQ(panel->CurCtrl(0), 206);
    desk.midi->clearSent();
    QLabel* button = test::child<QLabel>(panel, "MButton0");
    QTest::mousePress(button, Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton);
    EXPECT_TRUE(desk.shared->flags.RecorderRunning);
    EXPECT_TRUE(desk.record()->isChecked());
    QTest::mousePress(button, Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton);
    EXPECT_FALSE(desk.shared->flags.RecorderRunning);
    EXPECT_TRUE(desk.midi->sent().empty());
}

}  // namespace
}  // namespace orvell
