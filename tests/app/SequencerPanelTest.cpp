#include "app/AOrvell.h"
#include "controllers/ButtonsPanel.h"
#include "core/Twips.h"
#include "panels/Shared.h"
#include "sequencer/SequencePlayer.h"
#include "sequencer/SequencerPanel.h"
#include "support/Files.h"
#include "support/SmfBytes.h"
#include "support/SteppedClock.h"
#include "support/TestDesk.h"
#include "support/WidgetDriving.h"

#include <QComboBox>
#include <QDir>
#include <QEnterEvent>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace orvell {
namespace {

using namespace test::smf;
using test::child;
using test::readAll;
using test::writeFile;

// 96 ticks a quarter note at the default 120 BPM, all on port 1 channel 1:
// a note from 0 to 500 ms and one from 1000 ms to the end at 2000 ms.
const Bytes TwoNotes = format0({0x00, 0xFF, 0x21, 0x01, 0x00, 0x00, 0x90, 0x3C, 0x40, 0x60, 0x80, 0x3C, 0x00, 0x60,
                                0x90, 0x3E, 0x50, 0x81, 0x40, 0x80, 0x3E, 0x00, 0x00, 0xFF, 0x2F, 0x00});

// First base, so the clock outlives the panels whose players sleep on it.
struct SteppedTime {
    test::SteppedClock playerClock;
};

struct Desk : SteppedTime, test::TestDesk {
    Desk()
    {
        start({1000, 700});
        song = dir.filePath(QStringLiteral("Song One.mid"));
        EXPECT_TRUE(writeFile(song, toQByteArray(TwoNotes)));
        dialogs.clear();
    }

    SequencerPanel* add()
    {
        auto* panel = qobject_cast<SequencerPanel*>(window->createPanel(PanelClass::Sequencer));
        EXPECT_NE(panel, nullptr);
        panel->usePlayerClock(playerClock);
        return panel;
    }

    SequencerPanel* loaded()
    {
        SequencerPanel* panel = add();
        EXPECT_TRUE(panel->LoadSeq(song));
        settle();
        return panel;
    }

    // Lets the player finish what is due and its news reach the panel.
    void settle()
    {
        playerClock.settle();
        QCoreApplication::processEvents();
    }
    void advanceMs(int ms)
    {
        playerClock.advanceMs(ms);
        QCoreApplication::processEvents();
    }

    // Everything sent since the last call.
    std::vector<Bytes> sent()
    {
        std::vector<Bytes> out = test::sentBytes(*midi);
        midi->clearSent();
        return out;
    }

    QTemporaryDir dir;
    QString song;
};

// The marker's left edge for a time in a sequence of 2000 ms.
int markerPixelsAt(int ms) { return twipsToPixels(120 + 1320 * ms / 2000); }

QFrame* marker(SequencerPanel* panel) { return child<QFrame>(panel, QStringLiteral("Position")); }

void click(SequencerPanel* panel, const char* name)
{
    auto* button = child<QAbstractButton>(panel, QString::fromLatin1(name));
    ASSERT_TRUE(button->isEnabled()) << name;
    QTest::mouseClick(button, Qt::LeftButton);
}

TEST(SequencerPanel, ControlsStandWhereThePanelWasDrawn)
{
    Desk desk;
    SequencerPanel* panel = desk.add();
    EXPECT_EQ(panel->caption(), "Play Sequence");
    const QFrame* track = child<QFrame>(panel, QStringLiteral("Track"));
    EXPECT_EQ(track->x(), twipsToPixels(120));
    EXPECT_EQ(track->x() + track->width() - 1, twipsToPixels(1440));
    EXPECT_EQ(track->y(), twipsToPixels(480));
    EXPECT_EQ(marker(panel)->x(), twipsToPixels(120));
    EXPECT_EQ(marker(panel)->y(), twipsToPixels(465));
    EXPECT_EQ(marker(panel)->y() + marker(panel)->height() - 1, twipsToPixels(495));
    EXPECT_EQ(marker(panel)->palette().color(QPalette::Window), QColor(0, 255, 0));
    // Nothing to play yet.
    for (const char* name : {"PlayBtn", "StopBtn", "RewindBtn"})
        EXPECT_FALSE(child<QToolButton>(panel, QString::fromLatin1(name))->isEnabled()) << name;
    EXPECT_TRUE(child<QPushButton>(panel, QStringLiteral("OpenBtn"))->isEnabled());
    for (QWidget* control : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control->isVisibleTo(panel)) {
            EXPECT_TRUE(panel->rect().contains(control->geometry())) << control->objectName().toStdString();
        }
    }
}

TEST(SequencerPanel, OpenAsksForAMidiFileInTheRememberedFolderAndNamesThePanel)
{
    Desk desk;
    SequencerPanel* panel = desk.add();
    desk.shared->SeqDir = desk.home.path() + u'/';
    desk.dialogs.answer(desk.song);
    click(panel, "OpenBtn");
    ASSERT_EQ(desk.dialogs.asked().size(), 1u);
    const FileRequest& request = desk.dialogs.asked()[0].file;
    EXPECT_EQ(desk.dialogs.asked()[0].text, "Open Sequence");
    EXPECT_EQ(request.directory, desk.home.path() + u'/');
    EXPECT_EQ(request.filter, "MIDI Files (*.mid)|*.mid");
    EXPECT_EQ(request.defaultExtension, "mid");
    EXPECT_EQ(panel->caption(), "Song One");
    EXPECT_EQ(panel->FileName(), desk.song);
    EXPECT_EQ(desk.shared->SeqDir, desk.dir.path() + u'/');
    EXPECT_TRUE(panel->IsChanged);
    EXPECT_TRUE(desk.sent().empty());

    // The next open proposes the same folder and file; Cancel keeps everything.
    desk.dialogs.answer(QString());
    click(panel, "OpenBtn");
    EXPECT_EQ(desk.dialogs.asked()[1].file.directory, desk.dir.path() + u'/');
    EXPECT_EQ(desk.dialogs.asked()[1].file.fileName, "Song One.mid");
    EXPECT_EQ(panel->FileName(), desk.song);
}

TEST(SequencerPanel, PlaysMovesTheMarkerAndIsBackAtTheStartAtTheEnd)
{
    Desk desk;
    SequencerPanel* panel = desk.loaded();
    desk.sent();
    click(panel, "PlayBtn");
    desk.settle();
    EXPECT_TRUE(panel->isPlaying());
    EXPECT_FALSE(child<QToolButton>(panel, QStringLiteral("PlayBtn"))->isEnabled());
    EXPECT_EQ(desk.sent(), (std::vector<Bytes>{{0x90, 0x3C, 0x40}}));

    desk.advanceMs(500);
    EXPECT_EQ(desk.sent(), (std::vector<Bytes>{{0x80, 0x3C, 0x00}}));
    EXPECT_EQ(marker(panel)->x(), markerPixelsAt(500));
    desk.advanceMs(1000);
    EXPECT_EQ(desk.sent(), (std::vector<Bytes>{{0x90, 0x3E, 0x50}}));
    EXPECT_EQ(marker(panel)->x(), markerPixelsAt(1500));

    desk.advanceMs(600);
    EXPECT_EQ(desk.sent(), (std::vector<Bytes>{{0x80, 0x3E, 0x00}}));
    EXPECT_FALSE(panel->isPlaying());
    EXPECT_EQ(marker(panel)->x(), markerPixelsAt(0));
    EXPECT_TRUE(child<QToolButton>(panel, QStringLiteral("PlayBtn"))->isEnabled());

    // Ready to play again from the start.
    click(panel, "PlayBtn");
    desk.settle();
    EXPECT_EQ(desk.sent(), (std::vector<Bytes>{{0x90, 0x3C, 0x40}}));
}

TEST(SequencerPanel, StopLeavesNothingSoundingAndRewindGoesBackToTheStart)
{
    Desk desk;
    SequencerPanel* panel = desk.loaded();
    click(panel, "PlayBtn");
    desk.advanceMs(1200);
    desk.sent();
    click(panel, "StopBtn");
    desk.settle();
    EXPECT_EQ(desk.sent(), (std::vector<Bytes>{{0x80, 0x3E, 0x00}, {0xB0, 0x40, 0x00}}));
    EXPECT_FALSE(panel->isPlaying());
    EXPECT_EQ(marker(panel)->x(), markerPixelsAt(1200));

    click(panel, "RewindBtn");
    desk.settle();
    EXPECT_TRUE(desk.sent().empty());
    EXPECT_EQ(marker(panel)->x(), markerPixelsAt(0));
    EXPECT_EQ(panel->player().position(), 0);
}

TEST(SequencerPanel, AFileThatCannotBeReadIsReportedAndTheLoadedSequenceStays)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        QString error;
    };
    const std::vector<Case> cases = {
        {"empty.mid", {}, "The file is empty."},
        {"text.mid", "hello there, not music", "Not a MIDI file: it does not begin with MThd."},
        {"cut.mid", toQByteArray(TwoNotes).left(30), "Track 1 claims 26 bytes but only 8 are left in the file."},
        {"pattern.mid", toQByteArray(join({header(2, 1, 96), track({0x00, 0xFF, 0x2F, 0x00})})),
         "Format 2 files (independent patterns) cannot be played."},
        {"missing.mid", {}, {}},
    };
    Desk desk;
    SequencerPanel* panel = desk.loaded();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = desk.dir.filePath(QString::fromLatin1(c.name));
        // The case without an error text names a file that is not there.
        ASSERT_TRUE(c.error.isEmpty() || writeFile(path, c.bytes));
        desk.dialogs.clear();
        desk.dialogs.answer(path);
        click(panel, "OpenBtn");
        ASSERT_EQ(desk.dialogs.asked().size(), 2u);
        const auto& box = desk.dialogs.asked()[1];
        EXPECT_EQ(box.title, "Open Sequence");
        const QString what = "Could not load " + QDir::toNativeSeparators(path);
        if (!c.error.isEmpty()) {
            EXPECT_EQ(box.text, what + u'\r' + c.error);
        } else {
            EXPECT_TRUE(box.text.startsWith(what + u'\r')) << box.text.toStdString();
        }
        EXPECT_EQ(desk.field(0), u' ' + what);
        EXPECT_EQ(desk.field(1), " FAIL!");
        EXPECT_EQ(panel->caption(), "Song One");
        EXPECT_EQ(panel->FileName(), desk.song);
        EXPECT_EQ(panel->player().length(), 2000000);
    }
}

TEST(SequencerPanel, HintsInTheThirdField)
{
    Desk desk;
    SequencerPanel* panel = desk.loaded();
    struct Case {
        const char* control;
        QString hint;
    };
    for (const Case& c : {Case{"OpenBtn", "Open Sequence"}, Case{"PlayBtn", "Play the sequence"},
                          Case{"StopBtn", "Stop where it is"}, Case{"RewindBtn", "Stop and go back to the start"},
                          Case{"Track", QDir::toNativeSeparators(desk.song)}}) {
        QWidget* control = child<QWidget>(panel, QString::fromLatin1(c.control));
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        desk.window->ShowHint({});
        QApplication::sendEvent(control, &enter);
        EXPECT_EQ(desk.field(2), u' ' + c.hint) << c.control;
        // Reached from the keyboard, a button says the same.
        if (control->focusPolicy() & Qt::TabFocus) {
            desk.window->ShowHint({});
            QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
            QApplication::sendEvent(control, &focus);
            EXPECT_EQ(desk.field(2), u' ' + c.hint) << c.control << " from the keyboard";
        }
    }
    // The words that have a number come from the message table.
    QByteArray messages = desk.shared->Msgs.toFileBytes();
    messages.replace("\"Open Sequence\"", "\"Pick a song\"");
    ASSERT_FALSE(desk.shared->Msgs.loadFromBytes(messages));
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(child<QWidget>(panel, QStringLiteral("OpenBtn")), &enter);
    EXPECT_EQ(desk.field(2), QStringLiteral(" Pick a song"));
}

TEST(SequencerPanel, SessionKeysRoundTrip)
{
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first.orv"));
    const QString second = dir.filePath(QStringLiteral("second.orv"));
    QString song;
    QByteArray saved;
    {
        Desk original;
        song = dir.filePath(QStringLiteral("Tune.mid"));
        ASSERT_TRUE(writeFile(song, toQByteArray(TwoNotes)));
        SequencerPanel* panel = original.add();
        ASSERT_TRUE(panel->LoadSeq(song));
        EXPECT_EQ(test::sectionOf(panel), "\r\n[Sequencer Data]\r\nBackPictFile=\r\nIDIcon=36\r\nIsOpaque=False\r\n"
                                          "TextBackColor=-2147483633\r\nFileName=" +
                                              song.toUtf8() + "\r\n");
        original.add();  // empty: no file named
        original.window->SessionFile = first;
        ASSERT_TRUE(original.window->SaveSession_Click());
        saved = readAll(first);
        EXPECT_TRUE(saved.contains("\r\n[Sequencer]\r\nName=Tune\r\n"));
        EXPECT_TRUE(saved.contains("TextBackColor=-2147483633\r\nFileName=\r\n"));
    }
    Desk copy;
    copy.dialogs.answer(first);
    copy.window->LoadSession_Click();
    EXPECT_EQ(copy.dialogs.asked().size(), 1u);
    const QList<Panel*> panels = copy.window->panelsOf(PanelClass::Sequencer);
    ASSERT_EQ(panels.size(), 2);
    auto* restored = qobject_cast<SequencerPanel*>(panels[0]);
    EXPECT_EQ(restored->caption(), "Tune");
    EXPECT_EQ(restored->FileName(), song);
    EXPECT_EQ(restored->player().length(), 2000000);
    EXPECT_TRUE(qobject_cast<SequencerPanel*>(panels[1])->FileName().isEmpty());
    EXPECT_FALSE(copy.window->IsChanged);
    EXPECT_TRUE(copy.sent().empty());

    copy.window->SessionFile = second;
    ASSERT_TRUE(copy.window->SaveSession_Click());
    EXPECT_EQ(readAll(second), saved);
}

TEST(SequencerPanel, ASessionNamingAMissingFileReportsItAndKeepsTheName)
{
    Desk desk;
    SequencerPanel* panel = desk.add();
    const QString gone = desk.dir.filePath(QStringLiteral("gone.mid"));
    const QByteArray section = "[Sequencer Data]\r\nBackPictFile=\r\nIDIcon=36\r\nIsOpaque=False\r\n"
                               "TextBackColor=-2147483633\r\nFileName=" +
                               gone.toUtf8() + "\r\n";
    EXPECT_TRUE(test::loadSection(*desk.shared, panel, section).isEmpty());
    ASSERT_EQ(desk.dialogs.asked().size(), 1u);
    EXPECT_EQ(desk.dialogs.asked()[0].title, "Open Sequence");
    EXPECT_FALSE(panel->player().isOpen());
    EXPECT_EQ(test::sectionOf(panel), "\r\n" + section);
}

// A Buttons panel whose first button plays the sequencer.
ButtonsPanel* playButtonFor(Desk& desk, SequencerPanel* target)
{
    auto* buttons = qobject_cast<ButtonsPanel*>(desk.window->createPanel(PanelClass::Buttons));
    QTest::mouseClick(child<QLabel>(buttons, QStringLiteral("CntrlLbl0")), Qt::LeftButton);
    QLineEdit* typed = child<QComboBox>(buttons, QStringLiteral("Control"))->lineEdit();
    typed->selectAll();
    QTest::keyClicks(typed, QStringLiteral("205"));
    QTest::keyClick(typed, Qt::Key_Return);
    auto* targets = child<QComboBox>(buttons, QStringLiteral("SelPatch"));
    targets->setCurrentIndex(targets->findText(target->caption()));
    buttons->SelPatch_Click();
    EXPECT_EQ(buttons->patchId(0), target->Tag.toInt());
    desk.sent();
    return buttons;
}

void pressAndRelease(ButtonsPanel* buttons)
{
    QLabel* button = child<QLabel>(buttons, QStringLiteral("MButton0"));
    QTest::mousePress(button, Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton);
}

TEST(SequencerPanel, PlayOnOffFromAButtonsPanelStartsThenStopsAndRewinds)
{
    Desk desk;
    SequencerPanel* panel = desk.loaded();
    ButtonsPanel* buttons = playButtonFor(desk, panel);

    pressAndRelease(buttons);
    desk.settle();
    EXPECT_TRUE(panel->isPlaying());
    EXPECT_EQ(desk.sent(), (std::vector<Bytes>{{0x90, 0x3C, 0x40}}));
    desk.advanceMs(1200);
    EXPECT_EQ(desk.sent(), (std::vector<Bytes>{{0x80, 0x3C, 0x00}, {0x90, 0x3E, 0x50}}));

    pressAndRelease(buttons);
    desk.settle();
    EXPECT_FALSE(panel->isPlaying());
    EXPECT_EQ(desk.sent(), (std::vector<Bytes>{{0x80, 0x3E, 0x00}, {0xB0, 0x40, 0x00}}));
    EXPECT_EQ(marker(panel)->x(), markerPixelsAt(0));
    EXPECT_EQ(panel->player().position(), 0);
    EXPECT_TRUE(desk.dialogs.asked().empty());

    EXPECT_TRUE(RemotePlayOnOff(*desk.window, panel->Tag));
    desk.settle();
    EXPECT_TRUE(panel->isPlaying());
    EXPECT_EQ(desk.sent(), (std::vector<Bytes>{{0x90, 0x3C, 0x40}}));
}

TEST(SequencerPanel, PlayOnOffOnAVanishedPanelSaysSoAndReturnsFalse)
{
    Desk desk;
    EXPECT_FALSE(RemotePlayOnOff(*desk.window, QStringLiteral("999")));
    ASSERT_EQ(desk.dialogs.asked().size(), 1u);
    EXPECT_EQ(desk.dialogs.asked()[0].text, "Play On/Off: The selected panel no longer exists (999)");
    EXPECT_TRUE(desk.sent().empty());
}

TEST(SequencerPanel, CannotCloseWhileAButtonPlaysItAndClosingSilencesIt)
{
    Desk desk;
    SequencerPanel* panel = desk.loaded();
    ButtonsPanel* buttons = playButtonFor(desk, panel);
    pressAndRelease(buttons);
    desk.advanceMs(100);
    desk.sent();

    panel->subWindow()->close();
    ASSERT_EQ(desk.dialogs.asked().size(), 1u);
    EXPECT_EQ(desk.dialogs.asked()[0].text, "Can't close.  In use by 1 Push(or Fire)-Button Control(s)");
    EXPECT_TRUE(panel->isPlaying());
    EXPECT_EQ(desk.window->panelsOf(PanelClass::Sequencer).size(), 1);

    buttons->IsChanged = false;
    buttons->subWindow()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    desk.dialogs.clear();
    panel->IsChanged = false;
    panel->subWindow()->close();
    EXPECT_TRUE(desk.dialogs.asked().empty());
    EXPECT_EQ(desk.sent(), (std::vector<Bytes>{{0x80, 0x3C, 0x00}, {0xB0, 0x40, 0x00}}));
}

TEST(SequencerPanel, AMidiFileOnTheCommandLineOpensInANewSequencer)
{
    test::TestDesk desk;
    QTemporaryDir dir;
    const QString song = dir.filePath(QStringLiteral("Named.mid"));
    ASSERT_TRUE(writeFile(song, toQByteArray(TwoNotes)));
    desk.window->resize(1000, 700);
    desk.window->show();
    ASSERT_TRUE(desk.window->Load(QStringList{song}));
    const QList<Panel*> panels = desk.window->panelsOf(PanelClass::Sequencer);
    ASSERT_EQ(panels.size(), 1);
    auto* panel = qobject_cast<SequencerPanel*>(panels[0]);
    EXPECT_EQ(panel->caption(), "Named");
    EXPECT_EQ(panel->FileName(), song);
    EXPECT_FALSE(panel->IsChanged);
    // It plays at once, and stops when asked.
    EXPECT_TRUE(panel->isPlaying());
    panel->StopBtn_Click();
    EXPECT_FALSE(panel->isPlaying());
}

TEST(SequencerPanel, Screenshot)
{
    Desk desk;
    SequencerPanel* panel = desk.loaded();
    click(panel, "PlayBtn");
    desk.advanceMs(1000);
    panel->subWindow()->resize(panel->subWindow()->sizeHint());
    EXPECT_TRUE(panel->subWindow()->grab().save(QDir::tempPath() + QStringLiteral("/sequencer-panel.png")));
    click(panel, "StopBtn");
    desk.settle();
}

}  // namespace
}  // namespace orvell
