#include "app/AOrvell.h"
#include "app/MainMenus.h"
#include "app/MainToolbar.h"
#include "controllers/FaderPanel.h"
#include "panels/Panel.h"
#include "panels/Shared.h"
#include "support/FileSizeLimit.h"
#include "support/Files.h"
#include "support/TestDesk.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace orvell {
namespace {

using test::readAll;
using test::writeFile;

// What a test leaves on screen, saved into $ORVELL_SCREENSHOTS for a look by eye.
void screenshotOnRequest(QWidget& window, const QString& name)
{
    const QString folder = qEnvironmentVariable("ORVELL_SCREENSHOTS");
    if (!folder.isEmpty()) {
        EXPECT_TRUE(window.grab().save(folder + '/' + name));
    }
}

struct Desk : test::TestDesk {
    explicit Desk(const QString& appDir)
    {
        sticks->plug(QStringLiteral("Pad"));
        start({1000, 700});
        shared->AppDir = appDir + u'/';
        dialogs.clear();
    }

    // The File menu's Load Session with the file chosen in the dialog.
    void load(const QString& path)
    {
        dialogs.answer(path);
        window->LoadSession_Click();
    }

    bool save(const QString& path)
    {
        window->SessionFile = path;
        return window->SaveSession_Click();
    }

    QStringList questions() const
    {
        QStringList list;
        for (const auto& question : dialogs.asked())
            list << question.text;
        return list;
    }
};

// One panel of each class, with settings that differ from a new panel's.
void buildDesktop(Desk& desk)
{
    for (const PanelClassInfo& info : panelClasses())
        desk.window->createPanel(info.id);
    const QList<Panel*> panels = desk.window->panels();
    ASSERT_EQ(panels.size(), 8);
    for (Panel* panel : panels) {
        if (auto* faders = qobject_cast<FaderPanel*>(panel)) {
            faders->fader(0)->setValue(17);
            faders->fader(3)->setValue(99);
        }
    }
    panels[0]->setCaption(QStringLiteral("A=B"));
    panels[1]->subWindow()->move(40, 60);
    panels[2]->subWindow()->hide();
    panels[3]->subWindow()->move(120, 30);
    panels[3]->subWindow()->showMinimized();
    desk.shared->PanlDir = QStringLiteral("/some/panels/");
    desk.shared->SeqDir = QStringLiteral("/some/seq/");
}

TEST(Session, SaveLoadSaveGivesTheSameBytesAndRestoresEachPanel)
{
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first.orv"));
    const QString second = dir.filePath(QStringLiteral("second.orv"));

    Desk original(dir.path());
    buildDesktop(original);
    ASSERT_TRUE(original.save(first));
    EXPECT_EQ(original.field(1), " Saved");
    const QByteArray saved = readAll(first);
    EXPECT_TRUE(saved.startsWith("\r\n[MIDI In Devs]\r\nVirtual In 1\r\n\r\n[MIDI Out Devs]\r\nMIDI Mapper Out\r\n"
                                 "Virtual Out 1\r\nVirtual Out 2\r\n\r\n[Panels]\r\n\r\n[AOrvell]\r\nName=Orvell\r\n"));
    EXPECT_TRUE(saved.contains("\r\n\r\n[HFaders]\r\nName=A=B\r\nTop="));
    EXPECT_TRUE(saved.contains("\r\nWindowState=1\r\n\r\n[JstkCtrl Data]\r\n"));
    EXPECT_TRUE(saved.contains("\r\n[AOrvell Data]\r\nUniqFormCounter=8\r\nToolBarVisible=True\r\n"
                               "StatusBarVisible=True\r\nToolBarPos=1\r\nStatusBarPos=2\r\nBackPictFile=\r\n"
                               "PanlDir=/some/panels/\r\nPatchDir=\r\nSeqDir=/some/seq/\r\n"));
    EXPECT_TRUE(saved.contains("SysExCount=0\r\n"));
    EXPECT_EQ(saved.count("\r\nHeight="), 2);  // only the main window and the help viewer have a size

    Desk copy(dir.path());
    copy.load(first);
    EXPECT_EQ(copy.field(1), " Loaded");
    EXPECT_FALSE(copy.window->IsChanged);
    EXPECT_FALSE(copy.shared->flags.Initializing);
    EXPECT_EQ(copy.window->SessionFile, first);
    const QList<Panel*> panels = copy.window->panels();
    ASSERT_EQ(panels.size(), 8);
    EXPECT_EQ(panels[0]->caption(), "A=B");
    EXPECT_EQ(panels[1]->subWindow()->pos(), QPoint(40, 60));
    EXPECT_TRUE(panels[2]->subWindow()->isHidden());
    EXPECT_TRUE(panels[3]->subWindow()->isMinimized());
    EXPECT_EQ(qobject_cast<FaderPanel*>(panels[0])->fader(3)->value(), 99);
    EXPECT_EQ(copy.shared->UniqFormCounter, 8);
    EXPECT_EQ(copy.shared->SeqDir, "/some/seq/");
    // The last panel read is the active one, and the desk takes input again.
    EXPECT_EQ(copy.window->activePanel(), panels.back());
    EXPECT_TRUE(copy.window->mdiArea().isEnabled());
    EXPECT_TRUE(panels.back()->isEnabled());

    // The minimised panel comes back at its normal position.
    panels[3]->subWindow()->showNormal();
    EXPECT_EQ(panels[3]->subWindow()->pos(), QPoint(120, 30));
    panels[3]->subWindow()->showMinimized();

    ASSERT_TRUE(copy.save(second));
    EXPECT_EQ(readAll(second), saved);
}

// The main window's header lines, from its name to its size.
QByteArray mainGeometry(const QByteArray& session)
{
    const qsizetype from = session.indexOf("[AOrvell]\r\n");
    const qsizetype to = session.indexOf("Color=", from);
    return from < 0 || to < 0 ? QByteArray() : session.mid(from, to - from);
}

TEST(Session, TheMainWindowKeepsItsPlaceAndSizeThroughSaveAndLoad)
{
    struct Case {
        const char* name;
        const char* from;  // a line of the saved file, and what it becomes
        const char* to;
    };
    const Case cases[] = {
        {"as saved", "", ""},
        {"no toolbar", "ToolBarVisible=True", "ToolBarVisible=False"},
        {"no status bar", "StatusBarVisible=True", "StatusBarVisible=False"},
        {"both bars at the bottom", "ToolBarPos=1", "ToolBarPos=2"},
        {"both bars at the top", "StatusBarPos=2", "StatusBarPos=1"},
        {"bars swapped", "ToolBarPos=1\r\nStatusBarPos=2", "StatusBarPos=1\r\nToolBarPos=2"},
        {"a maximised panel", "", ""},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("size.orv"));
    QByteArray saved;
    QByteArray savedMaximised;  // the same desk with a maximised panel
    {
        Desk desk(dir.path());
        desk.window->resize(900, 640);
        QCoreApplication::processEvents();
        ASSERT_TRUE(desk.save(path));
        saved = readAll(path);
        desk.window->createPanel(PanelClass::HFaders)->subWindow()->showMaximized();
        QCoreApplication::processEvents();
        ASSERT_TRUE(desk.save(path));
        savedMaximised = readAll(path);
    }
    const QByteArray geometry = mainGeometry(saved);
    ASSERT_EQ(mainGeometry(savedMaximised).toStdString(), geometry.toStdString());
    ASSERT_TRUE(geometry.contains("Height=9600\r\nWidth=13500\r\n")) << geometry.toStdString();
    for (const Case& c : cases) {
        for (const bool atStartUp : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.name << (atStartUp ? ", read at start-up" : ", read by Load Session"));
            QByteArray edited = QByteArray(c.name) == "a maximised panel" ? savedMaximised : saved;
            if (*c.from)
                edited.replace(c.from, c.to);
            ASSERT_TRUE(writeFile(path, edited));
            for (int round = 0; round < 2; ++round) {
                test::TestDesk desk;
                if (atStartUp) {
                    // Start-up reads the file before the window shows.
                    QFile::remove(desk.home.filePath(QStringLiteral("Orvell.ini")));
                    ASSERT_TRUE(QFile::copy(path, desk.home.filePath(QStringLiteral("Orvell.ini"))));
                    ASSERT_TRUE(desk.window->Load({}));
                    desk.window->show();
                } else {
                    desk.start({1000, 700});
                    desk.dialogs.answer(path);
                    desk.window->LoadSession_Click();
                }
                QCoreApplication::processEvents();
                desk.window->SessionFile = path;
                ASSERT_TRUE(desk.window->SaveSession_Click());
                EXPECT_EQ(mainGeometry(readAll(path)).toStdString(), geometry.toStdString()) << "round " << round;
            }
        }
    }
}

TEST(Session, BarsKeepTheirEdgesAndVisibility)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bars.orv"));
    Desk desk(dir.path());
    ASSERT_TRUE(writeFile(path, "\r\n[Panels]\r\n\r\n[AOrvell]\r\n\r\n[AOrvell Data]\r\nToolBarVisible=False\r\n"
                                "StatusBarVisible=False\r\nStatusBarPos=1\r\nToolBarPos=2\r\n"));
    desk.load(path);
    EXPECT_TRUE(desk.window->toolbar().bar().isHidden());
    EXPECT_TRUE(desk.window->statusBarStrip().isHidden());
    EXPECT_EQ(desk.window->toolBarArea(&desk.window->statusBarStrip()), Qt::TopToolBarArea);
    EXPECT_EQ(desk.window->toolBarArea(&desk.window->toolbar().bar()), Qt::BottomToolBarArea);
    EXPECT_TRUE(desk.window->menus().action(QStringLiteral("HideShowToolBar"))->text().startsWith("Show "));
    EXPECT_TRUE(desk.window->menus().action(QStringLiteral("HideShowStatusBar"))->text().startsWith("Show "));

    const QString again = dir.filePath(QStringLiteral("again.orv"));
    ASSERT_TRUE(desk.save(again));
    EXPECT_TRUE(readAll(again).contains("ToolBarVisible=False\r\nStatusBarVisible=False\r\nStatusBarPos=1\r\n"
                                        "ToolBarPos=2\r\n"));
}

TEST(Session, ProblemsInTheFileAreAskedAbout)
{
    struct Case {
        const char* name;
        QByteArray file;
        std::vector<MsgAnswer> answers;
        QStringList questions;
        int panels;
    };
    const std::vector<Case> cases = {
        {"short key inside a panel block",
         "\r\n[Panels]\r\n\r\n[VFaders]\r\nName=One\r\nXY=1\r\nTop=10\r\n\r\n[VFaders Data]\r\nIDIcon=3\r\n",
         {MsgAnswer::Ok, MsgAnswer::Ok, MsgAnswer::Ok, MsgAnswer::Ok},
         {"An error occurred during LOAD", "Unsupported Option, Top=10", "Unsupported Option, [VFaders Data]",
          "Unsupported Option, IDIcon=3"},
         1},
        {"unknown window class, answered OK",
         "[PortConfig]\r\n\r\n[Panels]\r\n\r\n[HFaders]\r\nName=P\r\n",
         {MsgAnswer::Ok},
         {"Unsupported Option, [PortConfig]"},
         1},
        {"Cancel ends the load and keeps what was loaded",
         "\r\n[Panels]\r\n\r\n[HFaders]\r\nName=P\r\n[PortConfig]\r\n\r\n[Panels]\r\n\r\n[VFaders]\r\n",
         {MsgAnswer::Cancel},
         {"Unsupported Option, [PortConfig]"},
         1},
        {"port sections naming no present device",
         "[MIDI In Devs]\r\nDev0=Something\r\n[MIDI Out Devs]\r\nDev0=Else\r\n[Panels]\r\n[Buttons]\r\n",
         {MsgAnswer::Ok},
         {"The stored Midi Port Configuration is invalid.\rUse 'Configure MIDI Ports' from Setup Menu."},
         1},
        {"an output section on its own is not ours",
         "[MIDI Out Devs]\r\nVirtual Out 1\r\n[Panels]\r\n[Buttons]\r\n",
         {MsgAnswer::Ok, MsgAnswer::Ok},
         {"Unsupported Option, [MIDI Out Devs]", "Unsupported Option, Virtual Out 1"},
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad.orv"));
        ASSERT_TRUE(writeFile(path, c.file));
        Desk desk(dir.path());
        desk.dialogs.answer(path);
        for (MsgAnswer answer : c.answers)
            desk.dialogs.answer(answer);
        desk.window->LoadSession_Click();
        QStringList asked = desk.questions();
        asked.removeFirst();  // the file dialog
        EXPECT_EQ(asked, c.questions);
        EXPECT_EQ(desk.window->panels().size(), c.panels);
        EXPECT_EQ(desk.field(1), " Loaded");
        EXPECT_FALSE(desk.shared->flags.Initializing);
    }
}

TEST(Session, LoadingTwiceDoublesThePanelsAndNewTagsStayUnique)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.orv"));
    Desk desk(dir.path());
    desk.window->createPanel(PanelClass::HFaders);
    desk.window->createPanel(PanelClass::Buttons);
    ASSERT_TRUE(desk.save(path));

    Desk other(dir.path());
    other.load(path);
    other.load(path);
    const QList<Panel*> panels = other.window->panels();
    ASSERT_EQ(panels.size(), 4);
    EXPECT_EQ(panels[2]->Tag, panels[0]->Tag);
    EXPECT_EQ(other.shared->UniqFormCounter, 2);
    EXPECT_EQ(other.window->createPanel(PanelClass::VFaders)->Tag, "3");
}

TEST(Session, ACounterAtTheEndOfItsRangeStillGivesUniqueTags)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("end.orv"));
    ASSERT_TRUE(writeFile(path, "[Panels]\r\n[AOrvell]\r\n[AOrvell Data]\r\nUniqFormCounter=2147483647\r\n"
                                "[HFaders]\r\nTag=1\r\n[VFaders]\r\nTag=2147483647\r\n"));
    Desk desk(dir.path());
    desk.load(path);
    EXPECT_EQ(desk.shared->UniqFormCounter, 2147483647);
    EXPECT_EQ(desk.window->createPanel(PanelClass::Buttons)->Tag, "2");
    EXPECT_EQ(desk.window->createPanel(PanelClass::Buttons)->Tag, "3");
}

TEST(Session, EmptySessionFileSavesTheDefaultSessionWhichStartUpLoads)
{
    QTemporaryDir dir;
    {
        Desk desk(dir.path());
        desk.window->createPanel(PanelClass::Sequencer);
        desk.window->IsChanged = true;
        desk.window->SessionFile.clear();
        ASSERT_TRUE(desk.window->SaveSession_Click());
        EXPECT_EQ(desk.field(0), " Save Session Default Session");
        EXPECT_EQ(desk.window->SessionFile, dir.filePath(QStringLiteral("Orvell.ini")));
        EXPECT_FALSE(desk.window->IsChanged);
        EXPECT_FALSE(desk.window->panels()[0]->IsChanged);
        EXPECT_TRUE(readAll(dir.filePath(QStringLiteral("Orvell.ini"))).contains("[Sequencer]"));
    }
    // Start-up reads AppDir/Orvell.ini, AppDir being the current directory.
    test::TestDesk desk;
    QFile::remove(desk.home.filePath(QStringLiteral("Orvell.ini")));
    ASSERT_TRUE(QFile::copy(dir.filePath(QStringLiteral("Orvell.ini")), desk.home.filePath(QStringLiteral("Orvell.ini"))));
    desk.start({800, 600});
    EXPECT_EQ(desk.window->panels().size(), 1);
    EXPECT_TRUE(desk.dialogs.asked().empty());
}

TEST(Session, MissingDefaultSessionAtStartUpIsReported)
{
    test::TestDesk desk;
    QFile::remove(desk.home.filePath(QStringLiteral("Orvell.ini")));
    desk.start({800, 600});
    ASSERT_EQ(desk.dialogs.asked().size(), 1u);
    const auto& box = desk.dialogs.asked()[0];
    EXPECT_EQ(box.title, "Load Session ");
    EXPECT_EQ(box.icon, MsgIcon::Exclamation);
    EXPECT_TRUE(box.text.endsWith(":\r" + QDir::toNativeSeparators(QDir::currentPath() + "/Orvell.ini") +
                                  "\rDefault session not found"))
        << box.text.toStdString();
    EXPECT_TRUE(desk.window->panels().isEmpty());
    EXPECT_FALSE(desk.shared->flags.Initializing);
}

TEST(Session, TheMainWindowIsWrittenAndReadAsOrvellWhilePanelsAreMaximised)
{
    QTemporaryDir dir;
    Desk desk(dir.path());
    Panel* panel = desk.window->createPanel(PanelClass::HFaders);
    panel->setCaption(QStringLiteral("Mixer"));
    panel->subWindow()->showMaximized();
    const QString path = dir.filePath(QStringLiteral("max.orv"));
    ASSERT_TRUE(desk.save(path));
    const QByteArray saved = readAll(path);
    EXPECT_TRUE(saved.contains("\r\n[AOrvell]\r\nName=Orvell\r\n")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("\r\n[HFaders]\r\nName=Mixer\r\n"));

    // An older file carries the title a maximised panel gave the window.
    const QString stale = dir.filePath(QStringLiteral("stale.orv"));
    ASSERT_TRUE(writeFile(stale, "[Panels]\r\n[AOrvell]\r\nName=Orvell - [Mixer]\r\n[HFaders]\r\nName=Mixer\r\n"
                                 "WindowState=2\r\n"));
    for (const QString& file : {path, stale}) {
        SCOPED_TRACE(file.toStdString());
        Desk other(dir.path());
        other.load(file);
        ASSERT_EQ(other.window->panels().size(), 1);
        other.window->panels()[0]->subWindow()->showNormal();
        EXPECT_EQ(other.window->windowTitle(), "Orvell");
        const QString again = dir.filePath(QStringLiteral("again.orv"));
        ASSERT_TRUE(other.save(again));
        EXPECT_TRUE(readAll(again).contains("\r\n[AOrvell]\r\nName=Orvell\r\n"));
    }
}

TEST(Session, AnIdIconOutsideThePaletteGivesTheClassDefaultAndStaysUsable)
{
    QTemporaryDir dir;
    const std::pair<PanelClass, const char*> classes[] = {{PanelClass::HFaders, "HFaders"},
                                                          {PanelClass::Buttons, "Buttons"}};
    for (const auto& [id, name] : classes) {
        for (const char* value : {"40", "41", "9999", "2147483647", "-1", "-40"}) {
            SCOPED_TRACE(std::string(name) + " " + value);
            const QString path = dir.filePath(QStringLiteral("icon.orv"));
            ASSERT_TRUE(writeFile(path, QByteArray("[Panels]\r\n[") + name + "]\r\nName=P\r\n[" + name +
                                            " Data]\r\nIDIcon=" + value + "\r\n"));
            Desk desk(dir.path());
            desk.load(path);
            ASSERT_EQ(desk.window->panels().size(), 1);
            Panel* panel = desk.window->panels()[0];
            const int standard = panelClassInfo(id).defaultIcon;
            EXPECT_EQ(panel->IDIconindx, standard);

            auto* icon = panel->findChild<QLabel*>(QStringLiteral("IDIcon"));
            ASSERT_NE(icon, nullptr);
            EXPECT_TRUE(icon->isVisible());
            EXPECT_FALSE(icon->pixmap().isNull());
            QMenu* matching = desk.window->menus().menu(QStringLiteral("MatchID"));
            ASSERT_NE(matching, nullptr);
            QTest::mouseClick(icon, Qt::LeftButton);
            EXPECT_TRUE(matching->isVisible());
            matching->hide();
            // Nothing to restore: the icon is the default already.
            panel->IDIcon_RightClick();
            EXPECT_TRUE(desk.questions().filter(QStringLiteral("Restore default")).isEmpty());

            const QString again = dir.filePath(QStringLiteral("again.orv"));
            ASSERT_TRUE(desk.save(again));
            EXPECT_TRUE(readAll(again).contains("\r\nIDIcon=" + QByteArray::number(standard) + "\r\n"));
        }
    }
}

// A session written on a larger screen: the panels lie beyond this window's
// backdrop, one also above and left of it.
const QByteArray BiggerScreenSession =
    "[Panels]\r\n[AOrvell]\r\nName=Orvell\r\nTop=1680\r\nLeft=1860\r\nHeight=4956\r\nWidth=7068\r\n"
    "[HFaders]\r\nName=far\r\nTop=15000\r\nLeft=30000\r\n"
    "[Buttons]\r\nName=before\r\nTop=-3000\r\nLeft=-6000\r\n"
    "[VFaders]\r\nName=hidden\r\nTop=300\r\nLeft=45000\r\nVisible=False\r\n"
    "[Sequencer]\r\nName=minimised\r\nTop=30000\r\nLeft=30000\r\nWindowState=1\r\n"
    "[Buttons]\r\nName=inside\r\nTop=150\r\nLeft=150\r\n";

// Every panel's normal place lies within the backdrop, as far as its size allows.
void expectAllInView(test::TestDesk& desk)
{
    const QRect area = desk.window->mdiArea().viewport()->rect();
    for (Panel* panel : desk.window->panels()) {
        SCOPED_TRACE(panel->caption().toStdString());
        QMdiSubWindow* window = panel->subWindow();
        const bool hidden = window->isHidden();
        const bool minimised = window->isMinimized();
        if (minimised)
            window->showNormal();
        const QRect rect = window->geometry();
        EXPECT_GE(rect.left(), 0);
        EXPECT_GE(rect.top(), 0);
        EXPECT_LE(rect.right(), std::max(area.width(), rect.width()) - 1);
        EXPECT_LE(rect.bottom(), std::max(area.height(), rect.height()) - 1);
        if (minimised)
            window->showMinimized();
        if (hidden)
            window->hide();
    }
}

TEST(Session, PanelsSavedOutsideTheBackdropAreMovedIntoViewWithANote)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.orv"));
    ASSERT_TRUE(writeFile(path, BiggerScreenSession));
    Desk desk(dir.path());
    desk.load(path);
    ASSERT_LT(desk.window->width(), 500);
    const QList<Panel*> panels = desk.window->panels();
    ASSERT_EQ(panels.size(), 5);
    EXPECT_EQ(panels[4]->subWindow()->pos(), QPoint(10, 10));
    EXPECT_TRUE(panels[2]->subWindow()->isHidden());
    EXPECT_TRUE(panels[3]->subWindow()->isMinimized());
    expectAllInView(desk);
    EXPECT_EQ(desk.field(1), " Loaded");
    EXPECT_EQ(desk.field(2), " Moved 4 panels into view");
    desk.window->ShowHint(QStringLiteral("a hover"));
    EXPECT_EQ(desk.field(2), " Moved 4 panels into view");
    EXPECT_EQ(desk.questions().size(), 1);  // the file dialog
    EXPECT_TRUE(desk.midi->sent().empty());
    screenshotOnRequest(*desk.window, QStringLiteral("moved-into-view.png"));

    // A panel file from the larger screen, too.
    const QString single = dir.filePath(QStringLiteral("far.mpl"));
    ASSERT_TRUE(writeFile(single, "[HFaders]\r\nName=solo\r\nTop=15000\r\nLeft=30000\r\n[HFaders Data]\r\n"));
    desk.load(single);
    ASSERT_EQ(desk.window->panels().size(), 6);
    expectAllInView(desk);
    EXPECT_EQ(desk.field(2), " Moved 1 panel into view");

    // A session whose panels all lie inside says nothing of the kind.
    const QString inside = dir.filePath(QStringLiteral("inside.orv"));
    ASSERT_TRUE(writeFile(inside, "[Panels]\r\n[Buttons]\r\nName=b\r\nTop=0\r\nLeft=0\r\n"));
    desk.load(inside);
    EXPECT_EQ(desk.field(2), "");
}

TEST(Session, PanelsOutsideTheBackdropAtStartUpAreInViewOnceTheWindowShows)
{
    test::TestDesk desk;
    ASSERT_TRUE(writeFile(desk.home.filePath(QStringLiteral("Orvell.ini")), BiggerScreenSession));
    ASSERT_TRUE(desk.window->Load({}));
    desk.window->show();
    QCoreApplication::processEvents();
    ASSERT_EQ(desk.window->panels().size(), 5);
    expectAllInView(desk);
}

using test::FileSizeLimit;

TEST(Session, FailedSaveKeepsThePreviousFileAndSaysSo)
{
    QTemporaryDir dir;
    const QByteArray previous = "the previous session\r\n";
    const QString path = dir.filePath(QStringLiteral("keep.orv"));
    ASSERT_TRUE(writeFile(path, previous));

    Desk desk(dir.path());
    for (int i = 0; i < 4; ++i)
        desk.window->createPanel(PanelClass::VFaders);
    desk.window->IsChanged = true;

    struct Case {
        const char* name;
        QString target;
        bool limitSize;
    };
    const std::vector<Case> cases = {
        {"folder that is a file", path + QStringLiteral("/x.orv"), false},
        {"write cut short", path, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        desk.dialogs.clear();
        bool saved = true;
        {
            FileSizeLimit limit(c.limitSize ? 64 : RLIM_INFINITY);
            ASSERT_TRUE(limit.active());
            saved = desk.save(c.target);
        }
        EXPECT_FALSE(saved);
        EXPECT_EQ(desk.field(1), " FAIL!");
        EXPECT_TRUE(desk.window->IsChanged);
        EXPECT_EQ(readAll(path), previous);
        ASSERT_EQ(desk.dialogs.asked().size(), 1u);
        EXPECT_EQ(desk.dialogs.asked()[0].icon, MsgIcon::Exclamation);
        EXPECT_TRUE(desk.dialogs.asked()[0].text.endsWith("\rSession not saved!"));
        EXPECT_FALSE(desk.dialogs.asked()[0].text.startsWith("\r"));
    }
}

TEST(Session, SaveAsAsksForTheFileAndCancelSavesNothing)
{
    QTemporaryDir dir;
    Desk desk(dir.path());
    desk.window->createPanel(PanelClass::HFaders);
    desk.dialogs.answer(QString());
    desk.window->SaveAs_Click();
    EXPECT_EQ(desk.field(0), " Session not saved!");
    ASSERT_EQ(desk.dialogs.asked().size(), 1u);
    const FileRequest& request = desk.dialogs.asked()[0].file;
    EXPECT_EQ(request.title, "Save Session ");
    EXPECT_EQ(request.filter, "Orvell session Files (*.orv)|*.orv");

    const QString path = dir.filePath(QStringLiteral("named.orv"));
    desk.dialogs.answer(path);
    desk.window->SaveAs_Click();
    EXPECT_EQ(desk.field(0), " Save Session named.orv");
    EXPECT_EQ(desk.window->SessionFile, path);
    EXPECT_EQ(desk.shared->PanlDir, QFileInfo(path).absolutePath() + u'/');
    EXPECT_TRUE(readAll(dir.filePath(QStringLiteral("named.orv"))).contains("[HFaders]"));
}

TEST(Session, ExitSavesTheDefaultSessionOnYes)
{
    QTemporaryDir dir;
    Desk desk(dir.path());
    desk.window->createPanel(PanelClass::Buttons);
    desk.window->IsChanged = true;
    desk.window->SessionFile = dir.filePath(QStringLiteral("mine.orv"));
    desk.dialogs.answer(MsgAnswer::Yes);
    desk.dialogs.answer(BigAnswer::No);
    desk.window->close();
    EXPECT_TRUE(readAll(dir.filePath(QStringLiteral("Orvell.ini"))).contains("[Buttons]"));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("mine.orv"))));
}

}  // namespace
}  // namespace orvell
