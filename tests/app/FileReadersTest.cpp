// Files that are not files: every reader of the program refuses a named pipe
// at once, however it is reached, and the desk goes on.

#include "app/AOrvell.h"
#include "panels/Panel.h"
#include "panels/Shared.h"
#include "support/Fifo.h"
#include "support/Files.h"
#include "support/TestDesk.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>

namespace orvell {
namespace {

using test::writeFile;

QStringList boxes(const test::ScriptedDialogs& dialogs)
{
    QStringList texts;
    for (const auto& question : dialogs.asked())
        texts << question.text;
    return texts;
}

TEST(FileReaders, ANamedPipeIsRefusedFromTheCommandLineAndFromInsideFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto fifo = [&dir](const char* name) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(test::makeFifo(path));
        return path;
    };
    const QString pipeSession = fifo("pipe.orv");
    const QString pipePanel = fifo("pipe.mpl");
    const QString pipeList = fifo("pipe.ins");
    const QString pipePicture = fifo("pipe.bmp");
    const QString listSession = dir.filePath("list.orv");
    ASSERT_TRUE(writeFile(listSession, "[Panels]\r\n\r\n[PatchList]\r\nName=Piano\r\nTag=1\r\n\r\n[PatchList Data]\r\n"
                                       "FileName=" + pipeList.toUtf8() + "\r\nChannel=1\r\n"));
    const QString backdropSession = dir.filePath("backdrop.orv");
    ASSERT_TRUE(writeFile(backdropSession, "[Panels]\r\n\r\n[AOrvell]\r\nName=Orvell\r\n\r\n[AOrvell Data]\r\n"
                                           "BackPictFile=" + pipePicture.toUtf8() + "\r\n"));
    const QString picturePanel = dir.filePath("picture.mpl");
    ASSERT_TRUE(writeFile(picturePanel, "\r\n[HFaders]\r\nName=Faders\r\nTag=1\r\n\r\n[HFaders Data]\r\n"
                                        "BackPictFile=" + pipePicture.toUtf8() + "\r\n"));

    struct Case {
        const char* name;
        QString word;  // on the command line
        QString box;
        int panels;
    };
    const Case cases[] = {
        {"session", pipeSession, "Not a regular file:\r" + QDir::toNativeSeparators(pipeSession), 0},
        {"panel file", pipePanel, "Not a regular file:\r" + QDir::toNativeSeparators(pipePanel), 0},
        {"patch list named by a session", listSession, "Error loading " + pipeList + "\rNot a regular file (75)", 1},
        {"backdrop named by a session", backdropSession,
         "Error loading image pipe.bmp\rNot a regular file (75)", 0},
        {"panel picture named by a panel file", picturePanel,
         "Error loading image pipe.bmp\rNot a regular file (75)", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TestDesk desk;
        desk.dialogs.setDefaultAnswer(MsgAnswer::Ok);
        const auto started = std::chrono::steady_clock::now();
        {
            const test::FifoWatchdog watchdog({pipeSession, pipePanel, pipeList, pipePicture});
            EXPECT_TRUE(desk.window->Load({c.word}));
            EXPECT_FALSE(watchdog.fired()) << "a reader waited for a writer";
        }
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
        EXPECT_EQ(boxes(desk.dialogs), QStringList{c.box});
        EXPECT_EQ(desk.window->panels().size(), c.panels);
        EXPECT_FALSE(desk.shared->flags.Initializing);
    }
}

TEST(FileReaders, SavingASessionClearsWhatAnInterruptedSaveOfItLeft)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDir folder(dir.path());
    for (const char* name : {"Live.orv", "Live.orv.kXmTqB", "Live.orv.backup", "Other.orv.kXmTqB"})
        ASSERT_TRUE(writeFile(folder.filePath(name), "old"));

    test::TestDesk desk;
    desk.start({800, 600});
    desk.window->SessionFile = folder.filePath("Live.orv");
    ASSERT_TRUE(desk.window->SaveSession_Click());
    QStringList left = folder.entryList(QDir::Files | QDir::Hidden);
    left.sort();
    EXPECT_EQ(left, (QStringList{"Live.orv", "Live.orv.backup", "Other.orv.kXmTqB"}));
    EXPECT_TRUE(test::readAll(folder.filePath("Live.orv")).contains("\r\n[Panels]\r\n"));
}

}  // namespace
}  // namespace orvell
