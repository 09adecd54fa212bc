#include "app/AOrvell.h"
#include "app/StatusLine.h"
#include "core/SectionFile.h"
#include "midi/VirtualMidiSystem.h"
#include "panels/ColorConvert.h"
#include "panels/Panel.h"
#include "panels/Shared.h"
#include "support/TestDesk.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace orvell {
namespace {

struct Desk : test::TestDesk {
    Desk() { start({1000, 700}); }
};

TEST(Panels, EveryClassCanBeCreatedWithItsNameIconAndTag)
{
    Desk desk;
    desk.sticks->plug(QStringLiteral("Pad"));
    int expectedTag = 0;
    for (const PanelClassInfo& info : panelClasses()) {
        SCOPED_TRACE(info.name);
        Panel* panel = desk.window->createPanel(info.id);
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->Tag, QString::number(++expectedTag));
        // A joystick panel names its joystick.
        const QString number = info.id == PanelClass::JstkCtrl ? QStringLiteral("1") : QString();
        EXPECT_EQ(panel->caption(), QString::fromLatin1(info.caption) + number);
        EXPECT_EQ(panel->className(), QString::fromLatin1(info.name));
        EXPECT_EQ(panel->IDIconindx, info.defaultIcon);
        EXPECT_EQ(desk.window->activePanel(), panel);
        EXPECT_EQ(desk.window->findPanel(info.id, panel->Tag), panel);
        EXPECT_FALSE(panel->IsChanged);
    }
    EXPECT_EQ(desk.shared->UniqFormCounter, 8);
    EXPECT_EQ(desk.window->findPanel(PanelClass::HFaders, "2"), nullptr);  // tag 2 is a VFaders
    EXPECT_EQ(desk.window->statusLine().fieldText(3), "8");
}

TEST(Panels, NewPanelsLandSideBySideWithoutOverlap)
{
    Desk desk;
    Panel* first = desk.window->createPanel(PanelClass::Buttons);
    Panel* second = desk.window->createPanel(PanelClass::Buttons);
    const QRect a = first->subWindow()->geometry();
    const QRect b = second->subWindow()->geometry();
    EXPECT_EQ(a.topLeft(), QPoint(0, 0));
    EXPECT_FALSE(a.intersects(b));
    EXPECT_EQ(b.top(), 0);  // beside, not below, while the row has room
}

TEST(Panels, RenameWithAnEmptyAnswerChangesNothing)
{
    Desk desk;
    Panel* panel = desk.window->createPanel(PanelClass::HFaders);
    desk.dialogs.answer(QString());
    panel->RenameMe_Click();
    EXPECT_EQ(desk.dialogs.asked().back().text, "Enter a new name for Horizontal Faders");
    EXPECT_EQ(panel->caption(), "Horizontal Faders");
    EXPECT_FALSE(panel->IsChanged);

    desk.dialogs.answer(std::monostate{});  // Cancel
    panel->RenameMe_Click();
    EXPECT_FALSE(panel->IsChanged);

    desk.dialogs.answer(QStringLiteral("Lead Synth"));
    panel->RenameMe_Click();
    EXPECT_EQ(panel->caption(), "Lead Synth");
    EXPECT_TRUE(panel->IsChanged);
}

TEST(Panels, CommonKeysAreWrittenFirstAndTextBackColorIsNeverZero)
{
    Desk desk;
    Panel* panel = desk.window->createPanel(PanelClass::Sequencer);
    SectionWriter out;
    panel->SaveMe(out);
    EXPECT_TRUE(out.bytes().startsWith("\r\n[Sequencer Data]\r\nBackPictFile=\r\nIDIcon=36\r\nIsOpaque=False\r\n"
                                       "TextBackColor=-2147483633\r\n"));
}

TEST(Panels, LoadMeReadsCommonKeysUpToTheNextHeaderAndReportsTheRest)
{
    Desk desk;
    Panel* panel = desk.window->createPanel(PanelClass::Buttons);
    SectionReader in("IDIcon=5\r\nIsOpaque=True\r\nTextBackColor=255\r\nXY=1\r\nFrobnicate=2\r\n[Buttons]\r\nName=x\r\n");
    const QStringList problems = panel->LoadMe(in);
    EXPECT_EQ(panel->IDIconindx, 5);
    EXPECT_TRUE(panel->IsOpaque);
    EXPECT_EQ(panel->TextBackColor, 255u);
    EXPECT_EQ(problems, (QStringList{"XY=1", "Frobnicate=2"}));
    ASSERT_TRUE(in.peek());
    EXPECT_EQ(in.peek()->kind, SectionLine::Kind::Header);
}

TEST(Panels, PictureThatCannotBeLoadedChangesNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("broken.bmp");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BM not really a bitmap");
    file.close();

    Desk desk;
    Panel* panel = desk.window->createPanel(PanelClass::PatchList);
    desk.dialogs.answer(path);
    panel->SetPanlPict_Click();
    ASSERT_EQ(desk.dialogs.asked().size(), 2u);
    EXPECT_EQ(desk.dialogs.asked()[0].text, "Load Image");
    EXPECT_TRUE(desk.dialogs.asked()[1].text.startsWith("Error loading image broken.bmp\r"));
    EXPECT_EQ(desk.dialogs.asked()[1].title, "Load Image");
    EXPECT_TRUE(panel->BackPictFile.isEmpty());
    EXPECT_FALSE(panel->IsChanged);
    EXPECT_EQ(desk.shared->PictDir, dir.path() + '/');
}

TEST(Panels, ColoursAndOpaqueText)
{
    Desk desk;
    Panel* panel = desk.window->createPanel(PanelClass::HFaders);
    desk.dialogs.answer(QColor(10, 20, 30));
    panel->SetPanlColor_Click();
    EXPECT_EQ(panel->BackColor, rgbColor(10, 20, 30));
    EXPECT_EQ(panel->palette().color(QPalette::Window), QColor(10, 20, 30));
    EXPECT_TRUE(panel->IsChanged);

    panel->IsChanged = false;
    desk.dialogs.answer(std::monostate{});
    panel->SetPanlColor_Click();
    EXPECT_FALSE(panel->IsChanged);
    EXPECT_EQ(panel->BackColor, rgbColor(10, 20, 30));

    panel->DefPanlColor_Click();
    EXPECT_EQ(panel->BackColor, SysColor::ButtonFace);

    panel->OpaquePnlOn_Click();
    EXPECT_TRUE(panel->IsOpaque);
    desk.dialogs.answer(QColor(255, 0, 0));
    panel->PnlTextColor_Click();
    EXPECT_EQ(panel->TextBackColor, rgbColor(255, 0, 0));
    panel->DefPnlTextBack_Click();
    EXPECT_EQ(panel->TextBackColor, SysColor::ButtonFace);
}

TEST(Panels, IdIconRightClickOffersTheDefaultOnlyWhenChanged)
{
    Desk desk;
    Panel* panel = desk.window->createPanel(PanelClass::Buttons);
    panel->IDIcon_RightClick();
    EXPECT_TRUE(desk.dialogs.asked().empty());

    panel->setIDIcon(9);
    desk.dialogs.answer(MsgAnswer::Yes);
    panel->IDIcon_RightClick();
    ASSERT_EQ(desk.dialogs.asked().size(), 1u);
    EXPECT_EQ(desk.dialogs.asked()[0].text, "Button Controls: Restore default Icon Image?");
    EXPECT_EQ(panel->IDIconindx, 32);
    EXPECT_TRUE(panel->IsChanged);
}

TEST(Panels, CloneCopiesSettingsButNotForSequencers)
{
    Desk desk;
    desk.sticks->plug(QStringLiteral("Pad"));
    desk.sticks->plug(QStringLiteral("Pad"));
    Panel* source = desk.window->createPanel(PanelClass::JstkCtrl);
    source->setIDIcon(12);
    source->BackColor = rgbColor(1, 2, 3);
    source->IsOpaque = true;
    desk.window->CloneForm_Click();
    Panel* copy = desk.window->activePanel();
    ASSERT_NE(copy, source);
    EXPECT_EQ(copy->panelClass(), PanelClass::JstkCtrl);
    EXPECT_EQ(copy->IDIconindx, 12);
    EXPECT_EQ(copy->BackColor, rgbColor(1, 2, 3));
    EXPECT_TRUE(copy->IsOpaque);
    EXPECT_FALSE(desk.window->Cloning);

    desk.window->createPanel(PanelClass::Sequencer);
    const auto before = desk.window->panels().size();
    desk.window->CloneForm_Click();
    EXPECT_EQ(desk.window->panels().size(), before);
}

TEST(Panels, ToolsToggleShowsHiddenPanelsInsteadOfCreatingOne)
{
    Desk desk;
    desk.window->toolsToggle(PanelClass::PatchGroup);  // none yet: creates one
    ASSERT_EQ(desk.window->panelsOf(PanelClass::PatchGroup).size(), 1);
    EXPECT_TRUE(desk.window->classShown(PanelClass::PatchGroup));
    EXPECT_TRUE(desk.window->IsChanged);

    desk.window->toolsToggle(PanelClass::PatchGroup);  // hides
    Panel* panel = desk.window->panelsOf(PanelClass::PatchGroup).front();
    EXPECT_FALSE(panel->subWindow()->isVisible());
    EXPECT_FALSE(desk.window->classShown(PanelClass::PatchGroup));

    desk.window->toolsToggle(PanelClass::PatchGroup);  // shows again
    EXPECT_EQ(desk.window->panelsOf(PanelClass::PatchGroup).size(), 1);
    EXPECT_TRUE(panel->subWindow()->isVisible());
    EXPECT_TRUE(desk.window->classShown(PanelClass::PatchGroup));
}

TEST(Panels, HidingTheLastPanelOfAClassUnchecksIt)
{
    Desk desk;
    Panel* a = desk.window->createPanel(PanelClass::Sequencer);
    Panel* b = desk.window->createPanel(PanelClass::Sequencer);
    a->HideButton_Click();
    EXPECT_TRUE(desk.window->classShown(PanelClass::Sequencer));
    b->HideButton_Click();
    EXPECT_FALSE(desk.window->classShown(PanelClass::Sequencer));
    a->showAndMark();
    EXPECT_TRUE(desk.window->classShown(PanelClass::Sequencer));
}

TEST(PanelClose, OwnCloseBoxAsksYesNoCancel)
{
    struct Case {
        MsgAnswer answer;
        bool chooseFile;  // Yes then asks where to save the panel
        bool closes;
    };
    const Case cases[] = {{MsgAnswer::No, false, true},
                          {MsgAnswer::Cancel, false, false},
                          {MsgAnswer::Yes, true, true},
                          {MsgAnswer::Yes, false, false}};
    for (const Case& c : cases) {
        Desk desk;
        QTemporaryDir dir;
        Panel* panel = desk.window->createPanel(PanelClass::HFaders);
        EXPECT_TRUE(panel->queryClose(CloseReason::OwnCloseBox));  // unchanged: no question
        EXPECT_TRUE(desk.dialogs.asked().empty());
        panel->IsChanged = true;
        desk.dialogs.answer(c.answer);
        const QString path = dir.filePath(QStringLiteral("faders.mpl"));
        if (c.answer == MsgAnswer::Yes)
            desk.dialogs.answer(c.chooseFile ? test::ScriptedDialogs::Answer(path) : std::monostate{});
        EXPECT_EQ(panel->queryClose(CloseReason::OwnCloseBox), c.closes);
        ASSERT_GE(desk.dialogs.asked().size(), 1u);
        EXPECT_EQ(desk.dialogs.asked()[0].text, "Panel 'Horizontal Faders' has changed.  Do you want to save it?");
        EXPECT_EQ(desk.dialogs.asked()[0].buttons, MsgButtons::YesNoCancel);
        EXPECT_EQ(QFile::exists(path), c.chooseFile);
    }
}

TEST(PanelClose, ExitAsksEachChangedPanelWithTheFiveButtonBox)
{
    Desk desk;
    Panel* a = desk.window->createPanel(PanelClass::HFaders);
    Panel* b = desk.window->createPanel(PanelClass::VFaders);
    desk.window->createPanel(PanelClass::Buttons);
    a->IsChanged = true;
    b->IsChanged = true;
    desk.dialogs.answer(MsgAnswer::No);          // Save as Default Session?
    desk.dialogs.answer(BigAnswer::NoToAll);     // first changed panel
    EXPECT_TRUE(desk.window->close());
    ASSERT_EQ(desk.dialogs.asked().size(), 2u);  // the second panel is not asked again
    EXPECT_EQ(desk.dialogs.asked()[1].text, "Panel 'Horizontal Faders' has changed.  Do you want to save it?");
    EXPECT_EQ(desk.window->toAllAnswer(), BigAnswer::None);
}

TEST(PanelClose, CancelInThePanelQuestionKeepsTheProgramRunning)
{
    Desk desk;
    Panel* a = desk.window->createPanel(PanelClass::HFaders);
    a->IsChanged = true;
    desk.dialogs.answer(MsgAnswer::No);
    desk.dialogs.answer(BigAnswer::Cancel);
    EXPECT_FALSE(desk.window->close());
    EXPECT_TRUE(desk.window->isVisible());
    EXPECT_FALSE(desk.shared->flags.ClosingDown);
    EXPECT_EQ(desk.window->panels().size(), 1);
}

}  // namespace
}  // namespace orvell

namespace orvell {
namespace {

TEST(PanelsLook, ScreenshotOfEveryClassOnRequest)
{
    const QString folder = qEnvironmentVariable("ORVELL_SCREENSHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "set ORVELL_SCREENSHOTS to a folder to get screenshots";
    Desk desk;
    desk.window->resize(1100, 720);
    for (const PanelClassInfo& info : panelClasses())
        desk.window->createPanel(info.id);
    QTest::qWait(50);
    EXPECT_TRUE(desk.window->grab().save(folder + "/panels.png"));
}

}  // namespace
}  // namespace orvell
