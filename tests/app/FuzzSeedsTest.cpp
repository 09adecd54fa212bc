// The fuzzers start from files the program itself saved. These tests keep
// the shipped seeds loadable and make new ones:
//   ORVELL_WRITE_FUZZ_SEEDS=fuzz/seeds orvell_widget_tests --gtest_filter='FuzzSeeds.*'

#include "app/AOrvell.h"
#include "panels/Panel.h"
#include "panels/PanelClasses.h"
#include "panels/SessionFile.h"
#include "panels/Shared.h"
#include "support/Files.h"
#include "support/TestDesk.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <set>

namespace orvell {
namespace {

const PanelClass SeededClasses[] = {PanelClass::HFaders, PanelClass::VFaders, PanelClass::Buttons,
                                    PanelClass::PatchList};

struct Desk : test::TestDesk {
    Desk()
    {
        start({1000, 700});
        dialogs.clear();
    }
    std::set<QString> classes() const
    {
        std::set<QString> names;
        for (Panel* panel : window->panels())
            names.insert(panel->className());
        return names;
    }
};

std::set<QString> seededNames()
{
    std::set<QString> names;
    for (const PanelClass id : SeededClasses)
        names.insert(QString::fromLatin1(panelClassInfo(id).name));
    return names;
}

TEST(FuzzSeeds, ADeskWithEveryPanelClassSavesFilesThatLoadBackTheSame)
{
    Desk desk;
    for (const PanelClass id : SeededClasses)
        desk.window->createPanel(id);
    desk.shared->SysExList = {{"Reset", "F0 7E 7F 09 01 F7"}, {"Hello", "F0 41 10 42 12 F7"}};
    const QByteArray session = writeSession(*desk.window);
    std::vector<std::pair<QString, QByteArray>> panelFiles;
    for (Panel* panel : desk.window->panels())
        panelFiles.emplace_back(panel->className(), writePanelFile(*panel));
    ASSERT_EQ(panelFiles.size(), std::size(SeededClasses));

    {
        Desk copy;
        readSession(*copy.window, session);
        EXPECT_TRUE(copy.dialogs.asked().empty());
        EXPECT_EQ(copy.classes(), seededNames());
        EXPECT_EQ(copy.shared->SysExList.size(), 2u);
    }
    for (const auto& [name, bytes] : panelFiles) {
        SCOPED_TRACE(name.toStdString());
        Desk copy;
        EXPECT_TRUE(readPanelFile(*copy.window, bytes));
        EXPECT_TRUE(copy.dialogs.asked().empty());
        ASSERT_EQ(copy.window->panels().size(), 1);
        EXPECT_EQ(writePanelFile(*copy.window->panels().front()), bytes);
    }

    const QString seeds = qEnvironmentVariable("ORVELL_WRITE_FUZZ_SEEDS");
    if (seeds.isEmpty())
        return;
    const QDir dir(seeds);
    ASSERT_TRUE(dir.mkpath("session") && dir.mkpath("panel"));
    ASSERT_TRUE(test::writeFile(dir.filePath("session/every-class.orv"), session));
    for (const auto& [name, bytes] : panelFiles)
        ASSERT_TRUE(test::writeFile(dir.filePath("panel/" + name + ".mpl"), bytes));
}

TEST(FuzzSeeds, TheShippedSeedsLoadWithoutAQuestionAndCoverEveryClass)
{
    const QDir seeds(QStringLiteral(ORVELL_SOURCE_DIR "/fuzz/seeds"));
    std::set<QString> inSessions;
    for (const QFileInfo& file : QDir(seeds.filePath("session")).entryInfoList(QDir::Files)) {
        SCOPED_TRACE(file.fileName().toStdString());
        Desk desk;
        readSession(*desk.window, test::readAll(file.filePath()));
        EXPECT_TRUE(desk.dialogs.asked().empty());
        inSessions.merge(desk.classes());
    }
    EXPECT_EQ(inSessions, seededNames());

    std::set<QString> inPanelFiles;
    for (const QFileInfo& file : QDir(seeds.filePath("panel")).entryInfoList(QDir::Files)) {
        SCOPED_TRACE(file.fileName().toStdString());
        Desk desk;
        EXPECT_TRUE(readPanelFile(*desk.window, test::readAll(file.filePath())));
        EXPECT_TRUE(desk.dialogs.asked().empty());
        EXPECT_EQ(desk.classes(), std::set<QString>{file.completeBaseName()});
        inPanelFiles.merge(desk.classes());
    }
    EXPECT_EQ(inPanelFiles, seededNames());
}

}  // namespace
}  // namespace orvell
