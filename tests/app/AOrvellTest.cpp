#include "app/AOrvell.h"
#include "app/MainMenus.h"
#include "app/MainToolbar.h"
#include "app/StatusLine.h"
#include "midi/VirtualMidiSystem.h"
#include "panels/Shared.h"
#include "support/TestDesk.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace orvell {
namespace {

using Desk = test::TestDesk;

TEST(MainWindowStart, WithoutInputOrOutputDeviceTheProgramEnds)
{
    const std::pair<int, int> counts[] = {{0, 2}, {1, 0}, {0, 0}};
    for (const auto& [inputs, outputs] : counts) {
        SCOPED_TRACE(std::to_string(inputs) + "," + std::to_string(outputs));
        Desk desk(inputs, outputs);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(desk.window->Load({}));
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("Fatal error, no MIDI ports found."), std::string::npos);
        ASSERT_EQ(desk.dialogs.asked().size(), 1u);
        EXPECT_EQ(desk.dialogs.asked()[0].text, "Fatal error, no MIDI ports found.");
    }
}

TEST(MainWindowStart, StartsQuietlyWithTheDesignGeometry)
{
    Desk desk;
    ASSERT_TRUE(desk.window->Load({}, QStringLiteral("Using virtual ports")));
    EXPECT_EQ(desk.window->windowTitle(), "Orvell");
    EXPECT_EQ(desk.window->size(), QSize(471, 330));
    EXPECT_EQ(desk.window->pos(), QPoint(124, 112));
    EXPECT_FALSE(desk.shared->flags.Initializing);
    EXPECT_FALSE(desk.window->statusLine().MsgLogging());
    EXPECT_EQ(desk.field(1), "");
    EXPECT_EQ(desk.field(2), " Using virtual ports");
    EXPECT_TRUE(desk.dialogs.asked().empty());
    EXPECT_EQ(desk.shared->AppDir, QDir::currentPath() + '/');
}

TEST(MainWindowStart, FilesOnTheCommandLineAreNamedInTheLogInLoadOrder)
{
    Desk desk;
    desk.sticks->plug(QStringLiteral("Pad"));  // nothing to say about joysticks
    ASSERT_TRUE(desk.window->Load({"song.mid", "notes.txt", "b.orv", "p.MPL"}));
    const QStringList log = desk.window->statusLine().logEntries();
    ASSERT_EQ(log.size(), 3);
    // The session file is missing: its load fails with a box.
    EXPECT_TRUE(log[0].startsWith(" Load Session b.orv")) << log[0].toStdString();
    EXPECT_TRUE(log[0].endsWith("      FAIL!"));
    EXPECT_TRUE(log[1].startsWith(" Load Session p.MPL")) << log[1].toStdString();
    EXPECT_TRUE(log[1].endsWith("      FAIL!"));
    EXPECT_TRUE(log[2].startsWith(" Could not load song.mid"));
    EXPECT_TRUE(log[2].endsWith("      FAIL!"));
    EXPECT_FALSE(desk.window->ParsingCmdLn);
}

TEST(StatusLine, LogPairsDescriptionWithOutcomeAndDropsTenOldest)
{
    Desk desk;
    StatusLine& status = desk.window->statusLine();
    status.MsgLogBtn_Click();
    ASSERT_TRUE(status.MsgLogging());
    EXPECT_TRUE(status.logButton()->isChecked());

    desk.window->ShowStatusText(0, "Controller 7 Data 100 Chan 1 Port 2");
    desk.window->ShowStatusMsg(1, 2);
    desk.window->ShowStatusText(2, "a hint is not logged");
    ASSERT_EQ(status.logEntries().size(), 1);
    EXPECT_EQ(status.logEntries()[0], " Controller 7 Data 100 Chan 1 Port 2      Sent");

    for (int i = 1; i <= 100; ++i)
        desk.window->ShowStatusText(0, QString::number(i));
    EXPECT_EQ(status.logEntries().size(), 91);
    EXPECT_EQ(status.logEntries().first(), " 10     ");
    EXPECT_EQ(status.logEntries().last(), " 100     ");

    status.MsgLogBtn_Click();
    desk.window->ShowStatusText(0, "not logged");
    EXPECT_EQ(status.logEntries().size(), 91);
}

// Mouse actions the way a real mouse makes them: through the window, so the
// toolkit sends the press, release and double-click events a user's hand
// does, and passes on what a widget leaves to its parents.
QPoint inWindow(QWidget* widget, QPoint at) { return widget->mapTo(widget->window(), at); }
void realPress(QWidget* widget, QPoint at)
{
    QTest::mousePress(widget->window()->windowHandle(), Qt::LeftButton, {}, inWindow(widget, at));
}
void realRelease(QWidget* widget, QPoint at)
{
    QTest::mouseRelease(widget->window()->windowHandle(), Qt::LeftButton, {}, inWindow(widget, at));
}
void realDoubleClick(QWidget* widget)
{
    QTest::mouseDClick(widget->window()->windowHandle(), Qt::LeftButton, {}, inWindow(widget, widget->rect().center()));
}

TEST(StatusLine, DoubleClickOnTheLogButtonOnlyClearsTheLogAndTurnsLoggingOff)
{
    for (const bool loggingBefore : {true, false}) {
        SCOPED_TRACE(loggingBefore);
        Desk desk;
        desk.window->show();
        StatusLine& status = desk.window->statusLine();
        status.MsgLogBtn_Click();
        desk.window->ShowStatusText(0, "one");
        if (!loggingBefore)
            status.MsgLogBtn_Click();
        ASSERT_EQ(status.MsgLogging(), loggingBefore);
        ASSERT_EQ(status.logEntries().size(), 1);
        QToolBar& bar = desk.window->statusBarStrip();
        const Qt::ToolBarArea edge = desk.window->toolBarArea(&bar);

        realDoubleClick(status.logButton());

        EXPECT_FALSE(status.MsgLogging());
        EXPECT_FALSE(status.logButton()->isChecked());
        EXPECT_FALSE(status.logButton()->isDown());
        EXPECT_TRUE(status.logEntries().isEmpty());
        EXPECT_EQ(desk.field(0), " Message Log cleared");
        EXPECT_EQ(desk.window->toolBarArea(&bar), edge);
        EXPECT_FALSE(desk.window->IsChanged);
        EXPECT_TRUE(desk.midi->sent().empty());
    }
}

// The longest stretch of the bar's width with no field or button on it.
std::pair<int, int> widestGap(const QWidget& bar)
{
    std::pair<int, int> best{0, 0};  // left, width
    int start = -1;
    for (int x = 0; x <= bar.width(); ++x) {
        const bool free = x < bar.width() && !bar.childAt(x, bar.height() / 2);
        if (free && start < 0)
            start = x;
        if (!free && start >= 0) {
            if (x - start > best.second)
                best = {start, x - start};
            start = -1;
        }
    }
    return best;
}

TEST(StatusLine, LogButtonAndEmptyPartAreAsLargeAsAToolbarButton)
{
    for (const int windowWidth : {471, 900}) {
        SCOPED_TRACE(windowWidth);
        Desk desk;
        ASSERT_TRUE(desk.window->Load({}));
        desk.window->resize(windowWidth, 330);
        desk.window->show();
        QCoreApplication::processEvents();
        StatusLine& status = desk.window->statusLine();
        const QSize target = desk.window->toolbar().button(QStringLiteral("LoadButton"))->size();

        EXPECT_GE(status.logButton()->width(), target.width());
        EXPECT_GE(status.logButton()->height(), target.height());
        const auto [left, width] = widestGap(status);
        EXPECT_GE(width, target.width());
        EXPECT_GE(status.height(), target.height());

        // The fields still show what they showed.
        const std::pair<int, QString> texts[] = {
            {0, "Open MIDI OUT Port 2"}, {1, "Loaded"}, {1, "FAIL!"}, {3, "88"}};
        for (const auto& [field, text] : texts) {
            desk.window->ShowStatusText(field, text);
            const QLabel* label = status.field(field);
            EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width())
                << text.toStdString();
        }

        const QPoint at(left + width / 2, status.height() / 2);
        realPress(&status, at);
        EXPECT_EQ(desk.field(2), " Click to move Status Bar");
        realRelease(&status, at);
        EXPECT_EQ(desk.window->toolBarArea(&desk.window->statusBarStrip()), Qt::TopToolBarArea);
        EXPECT_TRUE(desk.window->IsChanged);
        EXPECT_TRUE(desk.midi->sent().empty());
        desk.window->menus().MvStatusBar_Click();
        QCoreApplication::processEvents();
        const QString folder = qEnvironmentVariable("ORVELL_SCREENSHOTS");
        if (!folder.isEmpty()) {
            EXPECT_TRUE(desk.window->grab().save(folder + QStringLiteral("/status-bar-%1.png").arg(windowWidth)));
        }
    }
}

TEST(StatusLine, FieldsExplainThemselvesAndToggleLogAndWidth)
{
    Desk desk;
    desk.sticks->plug(QStringLiteral("Pad"));  // nothing to say about joysticks
    ASSERT_TRUE(desk.window->Load({"x.orv"}));
    desk.window->show();
    StatusLine& status = desk.window->statusLine();

    QTest::mousePress(status.field(0), Qt::LeftButton);
    EXPECT_EQ(desk.field(2), " MIDI Messages (Click to view Message Log)");
    QTest::mouseRelease(status.field(0), Qt::LeftButton);
    EXPECT_TRUE(status.logShown());
    auto* log = desk.window->findChild<QListWidget*>("MessageLog");
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->count(), 1);

    QTest::mousePress(status.field(1), Qt::LeftButton);
    EXPECT_EQ(desk.field(2), " Message Status (Click to hide Message Log)");
    QTest::mouseRelease(status.field(1), Qt::LeftButton);
    EXPECT_FALSE(status.logShown());

    QTest::mousePress(status.field(2), Qt::LeftButton);
    EXPECT_EQ(desk.field(2), " Object Help (Click for full-width help messages)");
    QTest::mouseRelease(status.field(2), Qt::LeftButton);
    EXPECT_TRUE(status.helpFullWidth());
    EXPECT_EQ(status.field(2)->width(), status.width());
    QTest::mousePress(status.field(2), Qt::LeftButton);
    EXPECT_EQ(desk.field(2), " Object Help (Click to restore MIDI/Staus message text)");
    QTest::mouseRelease(status.field(2), Qt::LeftButton);
    EXPECT_FALSE(status.helpFullWidth());

    QTest::mousePress(status.field(3), Qt::LeftButton);
    EXPECT_EQ(desk.field(2), " Panel Counter (both visible and hidden)");
}

TEST(StatusLine, EmptyLogDoesNotOpen)
{
    Desk desk;
    desk.window->show();
    StatusLine& status = desk.window->statusLine();
    status.Message_Click(0);
    EXPECT_FALSE(status.logShown());
}

TEST(StatusLine, KeptMessageHoldsUntilAMenuOpens)
{
    Desk desk;
    StatusLine& status = desk.window->statusLine();
    status.ShowStatusText(2, "important");
    status.setKeep(true);
    status.ShowHint("hover");
    EXPECT_EQ(desk.field(2), " important");
    auto* setup = desk.window->findChild<QMenu*>("Setup");
    ASSERT_NE(setup, nullptr);
    emit setup->aboutToShow();
    status.ShowHint("hover");
    EXPECT_EQ(desk.field(2), " hover");
}

TEST(MainWindowSends, EachSendIsDescribedAndAnErrorRaisesTheBox)
{
    Desk desk;
    ASSERT_TRUE(desk.window->Load({}));
    MidiEngine& midi = desk.shared->midi;
    midi.OpenMidiOut("2");
    EXPECT_EQ(desk.field(0), " Open MIDI OUT Port 2");
    EXPECT_EQ(desk.field(1), " Done");

    midi.SendCtrlChg("2", 7, 100, "1");
    EXPECT_EQ(desk.field(0), " Controller 7 Data 100 Chan 1 Port 2");
    EXPECT_EQ(desk.field(1), " Sent");
    ASSERT_EQ(desk.midi->sent().size(), 1u);
    EXPECT_EQ(desk.midi->sent()[0].bytes, (std::vector<std::uint8_t>{0xB0, 7, 100}));

    desk.midi->failSend(1, 42, "Synth unplugged");
    midi.SendProgChg("2", 3, "1");
    EXPECT_EQ(desk.field(1), " FAIL!");
    ASSERT_EQ(desk.dialogs.asked().size(), 1u);
    EXPECT_EQ(desk.dialogs.asked()[0].text, "SendProgChg:\rSynth unplugged");
    EXPECT_EQ(desk.dialogs.asked()[0].icon, MsgIcon::Exclamation);
}

TEST(MainWindowExit, NothingChangedClosesWithoutAQuestion)
{
    Desk desk;
    ASSERT_TRUE(desk.window->Load({}));
    desk.window->show();
    EXPECT_TRUE(desk.window->close());
    EXPECT_TRUE(desk.dialogs.asked().empty());
    EXPECT_TRUE(desk.shared->flags.ClosingDown);
}

TEST(MainWindowExit, AnswersToSaveAsDefaultSession)
{
    struct Case {
        MsgAnswer answer;
        bool closes;
    };
    const Case cases[] = {{MsgAnswer::Cancel, false}, {MsgAnswer::No, true}, {MsgAnswer::Yes, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.answer));
        Desk desk;
        ASSERT_TRUE(desk.window->Load({}));
        desk.window->show();
        desk.window->IsChanged = true;
        desk.window->SessionFile = "/music/live.orv";
        desk.dialogs.answer(c.answer);
        EXPECT_EQ(desk.window->close(), c.closes);
        ASSERT_EQ(desk.dialogs.asked().size(), 1u);
        EXPECT_EQ(desk.dialogs.asked()[0].text, "Save as Default Session?");
        EXPECT_EQ(desk.dialogs.asked()[0].buttons, MsgButtons::YesNoCancel);
        EXPECT_EQ(desk.dialogs.asked()[0].icon, MsgIcon::Question);
        if (!c.closes) {
            EXPECT_TRUE(desk.window->isVisible());
            EXPECT_FALSE(desk.shared->flags.ClosingDown);
            EXPECT_EQ(desk.window->SessionFile, "/music/live.orv");
        }
    }
}

TEST(MainWindowExit, RefusedWhileRecording)
{
    Desk desk;
    ASSERT_TRUE(desk.window->Load({}));
    desk.window->show();
    desk.shared->flags.RecorderRunning = true;
    desk.window->IsChanged = true;
    EXPECT_FALSE(desk.window->close());
    ASSERT_EQ(desk.dialogs.asked().size(), 1u);
    EXPECT_EQ(desk.dialogs.asked()[0].text, "Can't Exit while recording events.");
    EXPECT_EQ(desk.dialogs.asked()[0].icon, MsgIcon::Exclamation);
    EXPECT_FALSE(desk.shared->flags.ClosingDown);
    EXPECT_TRUE(desk.window->isVisible());
}

TEST(HelpMessages, DumpAndLoadThroughTheSetupMenu)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Desk desk;
    ASSERT_TRUE(desk.window->Load({}));
    desk.shared->AppDir = dir.path() + '/';
    const QString path = dir.path() + "/Help/ORVMesgs.txt";

    desk.window->findChild<QAction*>("DumpMessages")->trigger();
    ASSERT_TRUE(QFile::exists(path));
    ASSERT_EQ(desk.dialogs.asked().size(), 1u);
    EXPECT_EQ(desk.dialogs.asked()[0].text, "Messages saved as " + QDir::toNativeSeparators(path));

    // Dumping again asks before replacing; No leaves the file alone.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\"Okay\"\r\n\"Finished\"\r\n");
    file.close();
    desk.dialogs.answer(MsgAnswer::No);
    desk.window->findChild<QAction*>("DumpMessages")->trigger();
    EXPECT_EQ(desk.dialogs.asked().back().buttons, MsgButtons::YesNo);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\"Okay\"\r\n\"Finished\"\r\n"));
    file.close();

    desk.window->findChild<QAction*>("LoadMsgFrmFile")->trigger();
    EXPECT_EQ(desk.shared->msg(0), "Okay");
    EXPECT_EQ(desk.shared->msg(1), "Finished");
    EXPECT_EQ(desk.shared->msg(2), "Sent");
    EXPECT_EQ(desk.field(0), " Messages file");
    EXPECT_EQ(desk.field(1), " Loaded");

    // A broken file keeps the table and says why.
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\"Unclosed");
    file.close();
    const size_t before = desk.dialogs.asked().size();
    desk.window->findChild<QAction*>("LoadMsgFrmFile")->trigger();
    ASSERT_EQ(desk.dialogs.asked().size(), before + 1);
    EXPECT_EQ(desk.dialogs.asked().back().title, "Load Messages from File");
    EXPECT_TRUE(desk.dialogs.asked().back().text.startsWith("Error loading " + QDir::toNativeSeparators(path)));
    EXPECT_TRUE(desk.dialogs.asked().back().text.endsWith(")"));
    EXPECT_EQ(desk.field(1), " FAIL!");
    EXPECT_EQ(desk.shared->msg(0), "Okay");

    QFile::remove(path);
    desk.window->findChild<QAction*>("LoadMsgFrmFile")->trigger();
    EXPECT_EQ(desk.dialogs.asked().back().title, "Load Messages from File");
    EXPECT_EQ(desk.shared->msg(0), "Okay");
}

TEST(HelpMessages, DumpIntoAnUnwritableFolderSaysSo)
{
    Desk desk;
    ASSERT_TRUE(desk.window->Load({}));
    desk.shared->AppDir = "/proc/";
    desk.window->DumpMessages_Click();
    ASSERT_FALSE(desk.dialogs.asked().empty());
    EXPECT_EQ(desk.dialogs.asked().back().title, "Dump Messages");
    EXPECT_TRUE(desk.dialogs.asked().back().text.startsWith("Error saving "));
}

}  // namespace
}  // namespace orvell

namespace orvell {
namespace {

// Saves what the user sees into $ORVELL_SCREENSHOTS, for a look by eye.
TEST(MainWindowLook, ScreenshotOnRequest)
{
    const QString folder = qEnvironmentVariable("ORVELL_SCREENSHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "set ORVELL_SCREENSHOTS to a folder to get screenshots";
    Desk desk;
    ASSERT_TRUE(desk.window->Load({"live.orv"}, QStringLiteral("No ALSA sequencer or JACK server found: using virtual MIDI ports")));
    desk.window->resize(640, 400);
    desk.window->show();
    desk.shared->midi.OpenMidiOut("1");
    desk.shared->midi.SendCtrlChg("1", 7, 100, "1");
    desk.window->statusLine().Message_Click(0);
    QTest::qWait(50);
    EXPECT_TRUE(desk.window->grab().save(folder + "/main-window.png"));
}

}  // namespace
}  // namespace orvell
