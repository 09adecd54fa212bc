#include "app/AOrvell.h"
#include "app/MainMenus.h"
#include "app/MainToolbar.h"
#include "panels/Panel.h"
#include "panels/Shared.h"
#include "support/Files.h"
#include "support/TestDesk.h"
#include "support/WidgetDriving.h"
#include "tools/HelpView.h"
#include "tools/IconPalette.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEnterEvent>
#include <QImage>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace orvell {
namespace {

using test::child;

struct Desk : test::TestDesk {
    Desk()
    {
        start({1000, 700});
        shared->AppDir = home.path() + u'/';
        QDir(home.path()).mkdir(QStringLiteral("Help"));
        writeTopic(QStringLiteral("Overview.txt"), "Overview of it all.\r\n");
        view = &window->helpView();
        dialogs.clear();
    }
    void writeTopic(const QString& name, const QByteArray& text) const
    {
        EXPECT_TRUE(test::writeFile(home.filePath(QStringLiteral("Help/") + name), text));
    }
    void open()
    {
        if (!view->subWindow()->isVisible())
            window->HelpBtn_Click();
    }
    QString shownText() const { return child<QPlainTextEdit>(view, QStringLiteral("HelpText"))->toPlainText(); }
    QString selection() const
    {
        return child<QPlainTextEdit>(view, QStringLiteral("HelpText"))->textCursor().selectedText();
    }
    int selectionStart() const
    {
        return child<QPlainTextEdit>(view, QStringLiteral("HelpText"))->textCursor().selectionStart();
    }
    void find(const QString& text, bool byKey = true)
    {
        auto* box = child<QComboBox>(view, QStringLiteral("FindHist"));
        box->setCurrentText(text);
        if (byKey)
            QTest::keyClick(box->lineEdit(), Qt::Key_F3);
        else
            QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    }
    QStringList questions() const
    {
        QStringList list;
        for (const auto& question : dialogs.asked())
            list << question.text;
        return list;
    }
    HelpView* view = nullptr;
};

TEST(HelpView, ShowingATopicReadsItsFileOnceAndShowsItsTitle)
{
    Desk desk;
    desk.writeTopic(QStringLiteral("JoystickCtrlr.txt"), "Sticks.\nTwo lines.\n");
    desk.open();
    EXPECT_EQ(desk.view->subWindow()->windowTitle(), "OverView");
    EXPECT_EQ(desk.shownText(), "Overview of it all.");
    desk.view->ShowHelp(3);
    EXPECT_EQ(desk.view->windowTitle(), "JoystickCtrlr");
    EXPECT_EQ(desk.view->topicText(3), "Sticks.\r\nTwo lines.");
    EXPECT_EQ(child<QComboBox>(desk.view, QStringLiteral("TopicSel"))->currentIndex(), 3);
    // Kept for the run: a changed file is not read again.
    desk.writeTopic(QStringLiteral("JoystickCtrlr.txt"), "Other.\r\n");
    desk.view->ShowHelp(0);
    desk.view->ShowHelp(3);
    EXPECT_EQ(desk.shownText(), "Sticks.\nTwo lines.");
    EXPECT_TRUE(desk.dialogs.asked().empty());
    EXPECT_TRUE(test::sentBytes(*desk.midi).empty());
}

TEST(HelpView, AMissingTopicFileIsReportedAndReadOnceItIsThere)
{
    Desk desk;
    desk.open();
    desk.dialogs.answer(MsgAnswer::Ok);
    desk.view->ShowHelp(7);
    const QString path = QDir::toNativeSeparators(desk.home.filePath(QStringLiteral("Help/Faders.txt")));
    ASSERT_EQ(desk.dialogs.asked().size(), 1u);
    EXPECT_EQ(desk.dialogs.asked()[0].title, "Load Help File");
    EXPECT_TRUE(desk.dialogs.asked()[0].text.startsWith("Error loading " + path + ' '));
    EXPECT_TRUE(desk.dialogs.asked()[0].text.endsWith("(53)"));
    EXPECT_EQ(desk.view->topicText(7), "");
    EXPECT_EQ(desk.view->windowTitle(), "Faders");

    desk.writeTopic(QStringLiteral("Faders.txt"), "Faders move.\r\n");
    desk.dialogs.clear();
    desk.view->ShowHelp(7);
    EXPECT_EQ(desk.shownText(), "Faders move.");
    EXPECT_TRUE(desk.dialogs.asked().empty());
}

TEST(HelpView, SearchingFindsEachOccurrenceInTurnThenWrapsAndReportsAnAbsentText)
{
    Desk desk;
    desk.writeTopic(QStringLiteral("Buttons.txt"), "A button sends.\r\nEach Button has a face.\r\nLast button.\r\n");
    desk.open();
    desk.view->ShowHelp(6);
    const QList<int> starts = {2, 21, 45, 2};
    for (int i = 0; i < starts.size(); ++i) {
        SCOPED_TRACE(i);
        desk.find(QStringLiteral("button"), i % 2 == 0);
        EXPECT_EQ(desk.selectionStart(), starts[i]);
        EXPECT_EQ(desk.selection().toLower(), "button");
    }
    EXPECT_TRUE(desk.dialogs.asked().empty());
    desk.dialogs.answer(MsgAnswer::Ok);
    desk.find(QStringLiteral("joystick"));
    EXPECT_EQ(desk.questions(), QStringList{"Text not found"});
    EXPECT_EQ(desk.selectionStart(), 2);  // the selection stays
    // Both searched texts are in the history.
    EXPECT_GE(child<QComboBox>(desk.view, QStringLiteral("FindHist"))->count(), 2);
}

TEST(HelpView, AutoSelFollowsHintsAndMenusOnlyWhileCheckedAndShown)
{
    Desk desk;
    desk.open();
    Panel* panel = desk.window->createPanel(PanelClass::VFaders);
    auto hover = [&] {
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(panel, &enter);
    };
    // Unchecked: nothing moves the topic.
    desk.view->setAutoSelect(false);
    hover();
    desk.view->ShowHelpTopicFor(32);
    emit desk.window->menus().helpTopicFor(1);
    EXPECT_EQ(desk.view->topicIndex(), 0);

    desk.view->setAutoSelect(true);
    struct Step {
        std::function<void()> act;
        int topic;
    };
    const std::vector<Step> steps = {
        {[&] { desk.view->ShowHelpTopicFor(32); }, 11},  // a controller type, not the buttons topic
        {hover, 7},
        {[&] { desk.view->ShowHelpTopicFor(27); }, 7},  // never changes the topic
        {[&] { desk.view->ShowHelpTopicFor(500); }, 7},
        {[&] { emit desk.window->menus().helpTopicFor(1); }, 17},
        {[&] { desk.window->menus().menu(QStringLiteral("Windows"))->aboutToShow(); }, 18},
        {[&] { desk.window->menus().menu(QStringLiteral("HelpMenu"))->aboutToShow(); }, 24},
        {[&] {
             QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
             QApplication::sendEvent(desk.window->toolbar().button(QStringLiteral("LoadButton")), &enter);
         },
         19},
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(i);
        steps[i].act();
        EXPECT_EQ(desk.view->topicIndex(), steps[i].topic);
    }
    // A missing topic file chosen by a hint is told in the status line, not in a box.
    EXPECT_TRUE(desk.dialogs.asked().empty());
    EXPECT_TRUE(desk.field(1).contains("Error loading "));

    // Hidden, the viewer does not follow.
    desk.window->HelpBtn_Click();
    desk.view->ShowHelpTopicFor(130);
    EXPECT_EQ(desk.view->topicIndex(), 19);
    EXPECT_TRUE(test::sentBytes(*desk.midi).empty());
}

TEST(HelpView, LocatingTheHelpFilesMovesTheFolderAndMarksTheSession)
{
    Desk desk;
    QTemporaryDir other;
    test::writeFile(other.filePath(QStringLiteral("Faders.txt")), "Elsewhere.\r\n");
    desk.open();
    desk.dialogs.answer(MsgAnswer::Ok);
    desk.view->ShowHelp(7);  // missing here
    desk.dialogs.clear();
    desk.window->IsChanged = false;

    desk.dialogs.answer(QString());
    desk.view->SetHelpDir();
    EXPECT_EQ(desk.shared->HelpDir, "");
    EXPECT_FALSE(desk.window->IsChanged);
    const FileRequest& request = desk.dialogs.asked()[0].file;
    EXPECT_EQ(request.title, "Locate Help Files");
    EXPECT_EQ(request.filter, "Text Files (*.txt)|*.txt");
    EXPECT_EQ(request.fileName, "Faders.txt");
    EXPECT_EQ(request.directory, desk.shared->AppDir);

    desk.dialogs.answer(other.filePath(QStringLiteral("gone.txt")));
    desk.dialogs.answer(MsgAnswer::Ok);
    desk.view->SetHelpDir();
    EXPECT_TRUE(desk.dialogs.asked().back().text.startsWith("Error locating "));
    EXPECT_EQ(desk.shared->HelpDir, "");

    desk.dialogs.answer(other.filePath(QStringLiteral("Faders.txt")));
    desk.view->SetHelpDir();
    EXPECT_EQ(desk.shared->HelpDir, other.path() + u'/');
    EXPECT_TRUE(desk.window->IsChanged);
    EXPECT_EQ(desk.shownText(), "Elsewhere.");
}

TEST(HelpView, TheMenuAndTheToolbarButtonShowAndHideTheViewer)
{
    Desk desk;
    QToolButton* button = desk.window->toolbar().button(QStringLiteral("HelpBtn"));
    QMdiSubWindow* frame = desk.view->subWindow();
    EXPECT_FALSE(frame->isVisible());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(button->isChecked());
    desk.window->menus().action(QStringLiteral("ViewHelp"))->trigger();
    EXPECT_FALSE(frame->isVisible());
    EXPECT_FALSE(button->isChecked());
    desk.window->menus().action(QStringLiteral("ViewHelp"))->trigger();
    EXPECT_TRUE(frame->isVisible());
    frame->close();
    EXPECT_FALSE(frame->isVisible());
    EXPECT_FALSE(button->isChecked());
    // Only a panel counts for New and Clone.
    desk.window->HelpBtn_Click();
    QCoreApplication::processEvents();
    desk.window->NewForm_Click();
    EXPECT_TRUE(desk.window->panels().isEmpty());
}

TEST(HelpView, ASessionWithThePaletteAndTheViewerOpenComesBackByteForByte)
{
    Desk desk;
    desk.writeTopic(QStringLiteral("Faders.txt"), "Faders.\r\n");
    desk.open();
    desk.view->ShowHelp(7);
    desk.view->setAutoSelect(true);
    desk.view->subWindow()->move(30, 40);
    desk.view->subWindow()->resize(400, 300);
    desk.window->SetIDIcon_Click();
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::cyan);
    const QString picture = desk.home.filePath(QStringLiteral("p.png"));
    ASSERT_TRUE(image.save(picture));
    ASSERT_TRUE(desk.window->iconPalette().loadSlot(3, picture));
    ASSERT_TRUE(desk.window->iconPalette().loadSlot(10, picture));

    const QString first = desk.home.filePath(QStringLiteral("first.orv"));
    desk.window->SessionFile = first;
    ASSERT_TRUE(desk.window->SaveSession_Click());
    const QByteArray saved = test::readAll(first);
    EXPECT_TRUE(saved.contains("\r\n\r\n[HelpView]\r\nName=Faders\r\nTop=600\r\nLeft=450\r\nHeight=4500\r\n"
                               "Width=6000\r\nColor=-2147483633\r\nVisible=True\r\nTag=\r\nWindowState=0\r\n"
                               "\r\n[HelpView Data]\r\nHelpIdx=7\r\nAutoSel=True\r\n"));
    EXPECT_TRUE(saved.contains("\r\n[IconPalette]\r\nName=Icon Palette\r\n"));

    Desk copy;
    copy.shared->AppDir = desk.shared->AppDir;
    copy.dialogs.answer(first);
    copy.window->LoadSession_Click();
    EXPECT_TRUE(copy.view->subWindow()->isVisible());
    EXPECT_TRUE(copy.window->toolbar().button(QStringLiteral("HelpBtn"))->isChecked());
    EXPECT_TRUE(copy.window->toolbar().button(QStringLiteral("IconBtn"))->isChecked());
    EXPECT_EQ(copy.view->topicIndex(), 7);
    EXPECT_TRUE(copy.view->autoSelect());
    EXPECT_EQ(copy.window->iconPalette().StoreIcons(), "3, " + picture + "|10, " + picture);
    const QString second = desk.home.filePath(QStringLiteral("second.orv"));
    copy.window->SessionFile = second;
    ASSERT_TRUE(copy.window->SaveSession_Click());
    EXPECT_EQ(test::readAll(second), saved);
}

}  // namespace
}  // namespace orvell
