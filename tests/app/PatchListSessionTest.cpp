#include "app/AOrvell.h"
#include "panels/Shared.h"
#include "patches/PatchListPanel.h"
#include "support/TestDesk.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace orvell {
namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

struct Desk : test::TestDesk {
    explicit Desk(const QString& appDir)
    {
        start({1000, 700});
        shared->AppDir = appDir + u'/';
        dialogs.clear();
    }
    QList<PatchListPanel*> lists() const
    {
        QList<PatchListPanel*> out;
        for (Panel* panel : window->panelsOf(PanelClass::PatchList))
            out << qobject_cast<PatchListPanel*>(panel);
        return out;
    }
};

QStringList names(const PatchListPanel* panel)
{
    QStringList out;
    for (const PatchEntry& entry : panel->entries().all())
        out << QString::number(entry.prog) + u'=' + entry.name;
    return out;
}

TEST(PatchListSession, SaveLoadSaveKeepsEveryPatchListAsItWas)
{
    QTemporaryDir dir;
    const QString banks = dir.filePath(QStringLiteral("banks.ins"));
    const QString single = dir.filePath(QStringLiteral("single.txt"));
    ASSERT_TRUE(writeFile(banks, "; 3, 1    (last chan,port) @@\r\n[One]\r\n1=A\r\n[Two]\r\n7=X\r\n8=Y\r\n9=Z\r\n"));
    ASSERT_TRUE(writeFile(single, "0=Piano\r\n1=Organ\r\n"));
    const QString first = dir.filePath(QStringLiteral("first.orv"));
    const QString second = dir.filePath(QStringLiteral("second.orv"));

    Desk original(dir.path());
    original.dialogs.answer(banks);
    original.dialogs.answer(MsgAnswer::No);
    original.dialogs.answer(MsgAnswer::Yes);
    original.window->LoadPatchLst_Click();
    original.dialogs.answer(single);
    original.window->LoadPatchLst_Click();
    ASSERT_EQ(original.lists().size(), 2);
    PatchListPanel* two = original.lists()[0];
    two->setChanLbl(QStringLiteral("5"));
    two->selectPatch(1);
    original.window->SessionFile = first;
    ASSERT_TRUE(original.window->SaveSession_Click());
    const QByteArray saved = readAll(first);
    EXPECT_TRUE(saved.contains("\r\n[PatchList]\r\nName=Two\r\n"));
    EXPECT_TRUE(saved.contains("FileName=" + banks.toUtf8() + "\r\nChannel=5\r\nPort=1\r\nCurPatch=1\r\n"));
    EXPECT_TRUE(saved.contains("FileName=" + single.toUtf8() + "\r\nChannel=Chan\r\nPort=port\r\nCurPatch=-1\r\n"));

    Desk copy(dir.path());
    copy.dialogs.answer(first);
    copy.window->LoadSession_Click();
    EXPECT_EQ(copy.dialogs.asked().size(), 1u);  // only the file dialog: the bank is found by name
    ASSERT_EQ(copy.lists().size(), 2);
    const PatchListPanel* restored = copy.lists()[0];
    EXPECT_EQ(restored->caption(), "Two");
    EXPECT_EQ(names(restored), (QStringList{"7=X", "8=Y", "9=Z"}));
    EXPECT_EQ(restored->channelText(), "5");
    EXPECT_EQ(restored->portText(), "1");
    EXPECT_EQ(restored->ListIndex(), 1);
    EXPECT_EQ(copy.lists()[1]->ListIndex(), -1);
    EXPECT_EQ(names(copy.lists()[1]), (QStringList{"0=Piano", "1=Organ"}));
    EXPECT_FALSE(copy.window->IsChanged);

    copy.window->SessionFile = second;
    ASSERT_TRUE(copy.window->SaveSession_Click());
    EXPECT_EQ(readAll(second), saved);
}

}  // namespace
}  // namespace orvell
