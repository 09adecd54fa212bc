#include "app/AOrvell.h"
#include "app/MainMenus.h"
#include "app/MainToolbar.h"
#include "app/StatusLine.h"
#include "midi/VirtualMidiSystem.h"
#include "panels/Panel.h"
#include "panels/Shared.h"
#include "support/TestDesk.h"

#include <QAction>
#include <QComboBox>
#include <QEnterEvent>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <array>

namespace orvell {
namespace {

// One started window on virtual ports, with scripted dialogs.
struct Desk : test::TestDesk {
    Desk() { start({700, 450}); }

    MainMenus& menus() const { return window->menus(); }
    QAction* action(const char* name) const
    {
        QAction* found = menus().action(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QMenu* menu(const char* name) const { return menus().menu(QLatin1String(name)); }
    // Opens the menu the way the user does, so its opening rules run.
    void open(const char* name) const
    {
        QMenu* shown = menu(name);
        shown->popup(QPoint(10, 10));
        shown->hide();
    }
    QToolButton* button(const char* name) const { return window->toolbar().button(QLatin1String(name)); }
    QToolBar& toolBar() const { return window->toolbar().bar(); }
    QString hint() const { return window->statusLine().fieldText(2); }
    QWidget* backdrop() const { return window->mdiArea().viewport(); }
};

// Item names and captions of a menu; "-" a separator, "(-)" a hidden one.
QStringList layoutOf(const QMenu* menu)
{
    QStringList items;
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator())
            items << (action->isVisible() ? QStringLiteral("-") : QStringLiteral("(-)"));
        else
            items << action->objectName() + '=' + action->text();
    }
    return items;
}

TEST(MenuTree, EveryMenuHasItsItemsCaptionsAndSeparators)
{
    struct Case {
        const char* menu;
        const char* title;
        QStringList items;
    };
    const Case cases[] = {
        {"File",
         "&File",
         {"LoadSession=&Load Session...", "LoadPanel=L&oad Panel...", "LoadPatchLst=Load &PatchList...", "-",
          "SaveSession=&Save Session", "SaveAs=Save &As...", "SavePanel=Save Active &Panel", "-", "Exit=E&xit"}},
        {"Tools",
         "&Tools",
         {"HorizControl=&Horiz Faders", "VertControl=&Vertical Faders", "ButtonControls=&Button Controls", "-",
          "Joystick=&JoyStick Control", "-", "PtchList=&Patch List", "FavoritePatch=Patch &Group", "(-)",
          "SeqFName=&Sequencer", "-", "PatchPanlPtr=Panel Pointe&r", "-", "NewForm=&New Panel",
          "CloneForm=&Clone Panel"}},
        {"Setup",
         "&Setup",
         {"SetIDIcon=&Assign ID Icons", "-", "SetBackColor=Set Backdrop &Color", "DefBackColor=&Default Backdrop", "-",
          "SetBackPict=Set &Backdrop Picture", "ClearBackPict=&Remove Picture", "-",
          "HideShowStatusBar=Hide StatusBar", "HideShowToolBar=Hide ToolBar", "-", "MvStatusBar=Move &StatusBar",
          "MVToolBar=Move &ToolBar", "-", "AutoMenus=Automatic &Menus", "-", "MPortCfg=Config &MIDI Ports",
          "SysXMsgs=Sys E&x Messages", "-", "DumpMessages=Dump Help Mesgs", "LoadMsgFrmFile=Load Help Mesgs"}},
        {"Windows",
         "&Windows",
         {"CascadeWin=&Cascade", "TileWin=&Tile", "ArrangeIcon=&Arrange Icons", "ArrangePanls=Arrange &Panels", "-",
          "HideAll=H&ide all Panels", "ShowAll=&Show All Panels", "ShowHiddenMnu=Hidden Panels...", "-",
          "CloseAll=Close All Panels"}},
        {"HelpMenu", "&Help", {"ViewHelp=&Help Viewer", "ShowAbout=&About ORV..."}},
        {"MatchID",
         "Matching ID's",
         {"ShowAllID=Show &All", "ShowOnlyID=Show &Only", "HideAllID=&Hide All", "CloseAllID=&Close All"}},
        {"DupMenu", "Duplicate", {"DupChan=&Channel", "DupPort=&Port", "DupMctrl=C&ontroller"}},
        {"PatchMenu",
         "Patch Edit",
         {"CopyPatch=Copy", "CutPatch=Cut", "PastePtchBefore=Paste Before", "PastePtchAfter=Paste After"}},
        {"PanlMenu",
         "Panel Menu",
         {"RenameMe=&Rename Panel", "-", "SetPanlColor=Set Panel &Color", "DefPanlColor=&Default Color", "-",
          "SetPanlPict=Set Panel &Picture", "ClearPanlPict=&Remove Picture", "-", "OpaquePnlOn=&Opaque Text Back",
          "PnlTextColor=&Text Back Color", "DefPnlTextBack=Remove Te&xt Color", "-",
          "CustomEdit=Customi&ze Controller", "-", "SaveThsPanl=&Save Panel", "-", "CloneThisPanl=Clone &Me"}},
    };
    Desk desk;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.menu);
        QMenu* menu = desk.menu(c.menu);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->objectName(), c.menu);
        EXPECT_EQ(menu->title(), c.title);
        EXPECT_EQ(layoutOf(menu), c.items);
    }

    // Only the five main menus are on the bar; the pop-up menus are not.
    QStringList onBar;
    for (const QAction* entry : desk.window->menuBar()->actions())
        onBar << entry->menu()->objectName();
    EXPECT_EQ(onBar, (QStringList{"File", "Tools", "Setup", "Windows", "HelpMenu"}));
}

TEST(MenuTree, StartsWithTheLoadTimeStates)
{
    Desk desk;
    for (const char* name : {"CloneForm", "SavePanel", "ShowHiddenMnu", "PatchPanlPtr", "Joystick"})
        EXPECT_FALSE(desk.action(name)->isEnabled()) << name;
    for (const char* name : {"NewForm", "HorizControl", "SeqFName", "MPortCfg", "ViewHelp", "ShowAbout"})
        EXPECT_TRUE(desk.action(name)->isEnabled()) << name;
    EXPECT_TRUE(desk.action("AutoMenus")->isCheckable());
    EXPECT_TRUE(desk.action("AutoMenus")->isChecked());
    EXPECT_TRUE(desk.menus().autoMenus());
    EXPECT_TRUE(desk.action("HorizControl")->isCheckable());
    EXPECT_FALSE(desk.action("HorizControl")->isChecked());
}

TEST(MenuOpening, EveryMenuEndsAKeptMessage)
{
    Desk desk;
    for (const char* name :
         {"File", "Tools", "Setup", "Windows", "HelpMenu", "MatchID", "DupMenu", "PatchMenu", "PanlMenu"}) {
        desk.window->statusLine().setKeep(true);
        desk.open(name);
        EXPECT_FALSE(desk.window->statusLine().keep()) << name;
    }
}

TEST(MenuOpening, WithoutAPanelTheDesignCaptionsComeBackDisabled)
{
    Desk desk;
    Panel* panel = desk.window->createPanel(PanelClass::VFaders);
    desk.open("File");
    desk.open("Tools");
    ASSERT_EQ(desk.action("SavePanel")->text(), "Save VFaders");

    panel->subWindow()->close();
    QCoreApplication::processEvents();
    ASSERT_EQ(desk.window->activePanel(), nullptr);
    desk.open("File");
    desk.open("Tools");
    desk.open("Setup");
    EXPECT_EQ(desk.action("SavePanel")->text(), "Save Active &Panel");
    EXPECT_FALSE(desk.action("SavePanel")->isEnabled());
    EXPECT_EQ(desk.action("NewForm")->text(), "&New Panel");
    EXPECT_EQ(desk.action("CloneForm")->text(), "&Clone Panel");
    EXPECT_FALSE(desk.action("NewForm")->isEnabled());
    EXPECT_FALSE(desk.action("CloneForm")->isEnabled());
    EXPECT_FALSE(desk.action("SetIDIcon")->isEnabled());
}

TEST(MenuOpening, TheActivePanelNamesAndEnablesItsCommands)
{
    struct Case {
        PanelClass id;
        const char* name;
        bool clone;
        bool customize;
        bool save;
    };
    // The one joystick has its panel, so that panel cannot be cloned.
    const Case cases[] = {
        {PanelClass::HFaders, "HFaders", true, true, true},
        {PanelClass::VFaders, "VFaders", true, true, true},
        {PanelClass::Buttons, "Buttons", true, true, true},
        {PanelClass::JstkCtrl, "JstkCtrl", false, true, true},
        {PanelClass::PatchList, "PatchList", true, false, true},
        {PanelClass::PatchGroup, "PatchGroup", true, false, true},
        {PanelClass::Sequencer, "Sequencer", false, false, true},
        {PanelClass::PanlPointer, "PanlPointer", true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Desk desk;
        desk.sticks->plug(QStringLiteral("Pad"));
        desk.window->createPanel(c.id);
        desk.open("File");
        desk.open("Tools");
        desk.open("Setup");
        desk.open("PanlMenu");
        EXPECT_EQ(desk.action("SavePanel")->text(), QStringLiteral("Save ") + c.name);
        EXPECT_TRUE(desk.action("SavePanel")->isEnabled());
        EXPECT_EQ(desk.action("NewForm")->text(), QStringLiteral("New ") + c.name);
        EXPECT_TRUE(desk.action("NewForm")->isEnabled());
        EXPECT_EQ(desk.action("CloneForm")->text(), QStringLiteral("Clone ") + c.name);
        EXPECT_EQ(desk.action("CloneForm")->isEnabled(), c.clone);
        EXPECT_EQ(desk.action("CloneThisPanl")->isEnabled(), c.clone);
        EXPECT_EQ(desk.action("CustomEdit")->isEnabled(), c.customize);
        EXPECT_EQ(desk.action("SaveThsPanl")->isEnabled(), c.save);
        EXPECT_TRUE(desk.action("SetIDIcon")->isEnabled());
        EXPECT_TRUE(desk.action("RenameMe")->isEnabled());
    }
}

TEST(MenuOpening, JoystickPanelsCloneWhileAJoystickHasNoPanel)
{
    Desk desk;
    desk.sticks->plug(QStringLiteral("Pad"));
    desk.sticks->plug(QStringLiteral("Pad"));
    desk.menus().setJoystickCount(2);
    EXPECT_TRUE(desk.action("Joystick")->isEnabled());
    EXPECT_TRUE(desk.button("JstkButton")->isEnabled());
    desk.window->createPanel(PanelClass::JstkCtrl);
    desk.open("Tools");
    EXPECT_TRUE(desk.action("CloneForm")->isEnabled());
    desk.window->createPanel(PanelClass::JstkCtrl);
    desk.open("Tools");
    EXPECT_FALSE(desk.action("CloneForm")->isEnabled());
}

TEST(MenuOpening, PanelMenuFollowsThePanelsSettings)
{
    Desk desk;
    Panel* panel = desk.window->createPanel(PanelClass::Buttons);
    desk.open("PanlMenu");
    EXPECT_FALSE(desk.action("DefPanlColor")->isEnabled());
    EXPECT_FALSE(desk.action("ClearPanlPict")->isEnabled());
    EXPECT_FALSE(desk.action("OpaquePnlOn")->isChecked());
    EXPECT_FALSE(desk.action("PnlTextColor")->isEnabled());
    EXPECT_FALSE(desk.action("DefPnlTextBack")->isEnabled());

    panel->BackColor = rgbColor(10, 20, 30);
    panel->BackPictFile = "/pictures/wood.bmp";
    desk.action("OpaquePnlOn")->trigger();
    EXPECT_TRUE(panel->IsOpaque);
    EXPECT_TRUE(desk.action("OpaquePnlOn")->isChecked());
    desk.open("PanlMenu");
    EXPECT_TRUE(desk.action("DefPanlColor")->isEnabled());
    EXPECT_TRUE(desk.action("ClearPanlPict")->isEnabled());
    EXPECT_TRUE(desk.action("OpaquePnlOn")->isChecked());
    EXPECT_TRUE(desk.action("PnlTextColor")->isEnabled());
    EXPECT_TRUE(desk.action("DefPnlTextBack")->isEnabled());

    desk.action("OpaquePnlOn")->trigger();
    EXPECT_FALSE(panel->IsOpaque);
    EXPECT_FALSE(desk.action("OpaquePnlOn")->isChecked());

    // The items reach the active panel's own commands.
    desk.dialogs.answer(QStringLiteral("Drums"));
    desk.action("RenameMe")->trigger();
    EXPECT_EQ(panel->caption(), "Drums");
    desk.action("DefPanlColor")->trigger();
    EXPECT_EQ(panel->BackColor, SysColor::ButtonFace);
}

TEST(MenuOpening, SetupNamesTheBackdropItemsAndEnablesWhatCanBeUndone)
{
    Desk desk;
    desk.open("Setup");
    EXPECT_EQ(desk.action("SetBackColor")->text(), "Set Backdrop &Color");
    EXPECT_EQ(desk.action("DefBackColor")->text(), "&Default Backdrop");
    EXPECT_EQ(desk.action("SetBackPict")->text(), "Set Backdrop &Picture");
    EXPECT_EQ(desk.action("ClearBackPict")->text(), "C&lear Backdrop Picture");
    EXPECT_FALSE(desk.action("DefBackColor")->isEnabled());
    EXPECT_FALSE(desk.action("ClearBackPict")->isEnabled());

    desk.window->setBackColor(rgbColor(0, 0, 128));
    desk.window->BackPictFile = "/pictures/stage.bmp";
    desk.open("Setup");
    EXPECT_TRUE(desk.action("DefBackColor")->isEnabled());
    EXPECT_TRUE(desk.action("ClearBackPict")->isEnabled());
}

TEST(MenuOpening, WindowsListsTheShownPanels)
{
    Desk desk;
    desk.window->createPanel(PanelClass::HFaders);
    Panel* hidden = desk.window->createPanel(PanelClass::Buttons);
    desk.window->createPanel(PanelClass::VFaders);
    hidden->HideButton_Click();
    desk.open("Windows");
    EXPECT_TRUE(desk.action("ShowHiddenMnu")->isEnabled());
    const QStringList items = layoutOf(desk.menu("Windows"));
    ASSERT_GE(items.size(), 3);
    EXPECT_EQ(items.mid(items.size() - 3),
              (QStringList{"-", "=&1 Horizontal Faders", "=&2 Vertical Faders"}));
    const QList<QAction*> actions = desk.menu("Windows")->actions();
    EXPECT_TRUE(actions.last()->isChecked());

    // Choosing an entry activates its panel; the list is made afresh each time.
    actions[actions.size() - 2]->trigger();
    EXPECT_EQ(desk.window->activePanel()->panelClass(), PanelClass::HFaders);
    desk.open("Windows");
    EXPECT_EQ(layoutOf(desk.menu("Windows")).size(), items.size());
}

// Tools toggles from the menu and the toolbar.

TEST(ToolsToggle, CreatesHidesAndShowsAgainWithoutCreating)
{
    Desk desk;
    QAction* item = desk.action("HorizControl");
    QToolButton* button = desk.button("HFadeButton");

    item->trigger();
    ASSERT_EQ(desk.window->panelsOf(PanelClass::HFaders).size(), 1);
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(button->isChecked());
    EXPECT_TRUE(desk.window->IsChanged);
    Panel* panel = desk.window->panelsOf(PanelClass::HFaders).first();

    item->trigger();
    EXPECT_FALSE(panel->subWindow()->isVisible());
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(button->isChecked());

    // Only hidden panels of the class: they are shown, none is created.
    desk.window->IsChanged = false;
    item->trigger();
    EXPECT_EQ(desk.window->panelsOf(PanelClass::HFaders).size(), 1);
    EXPECT_TRUE(panel->subWindow()->isVisible());
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(button->isChecked());
    EXPECT_FALSE(desk.window->IsChanged);
}

TEST(ToolsToggle, EachItemAndButtonDrivesItsClass)
{
    struct Case {
        const char* item;
        const char* button;
        PanelClass id;
    };
    const Case cases[] = {
        {"HorizControl", "HFadeButton", PanelClass::HFaders},
        {"VertControl", "VFadeButton", PanelClass::VFaders},
        {"ButtonControls", "ButtonsButton", PanelClass::Buttons},
        {"PtchList", "PtchButton", PanelClass::PatchList},
        {"FavoritePatch", "FavButton", PanelClass::PatchGroup},
        {"SeqFName", "SeqButton", PanelClass::Sequencer},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        Desk desk;
        desk.action(c.item)->trigger();
        EXPECT_EQ(desk.window->panelsOf(c.id).size(), 1);
        EXPECT_TRUE(desk.button(c.button)->isChecked());
        QTest::mouseClick(desk.button(c.button), Qt::LeftButton);
        EXPECT_FALSE(desk.action(c.item)->isChecked());
        EXPECT_FALSE(desk.window->classShown(c.id));
    }
}

TEST(ToolbarToggle, PressInvertsTheLookAndOnlyAReleaseOverTheButtonActs)
{
    Desk desk;
    QToolButton* button = desk.button("VFadeButton");
    const QPoint inside = button->rect().center();

    QTest::mousePress(button, Qt::LeftButton, {}, inside);
    EXPECT_TRUE(button->isChecked());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(inside.x(), button->height() + 20));
    EXPECT_FALSE(button->isChecked());
    EXPECT_TRUE(desk.window->panelsOf(PanelClass::VFaders).isEmpty());

    QTest::mousePress(button, Qt::LeftButton, {}, inside);
    QTest::mouseRelease(button, Qt::LeftButton, {}, inside);
    EXPECT_EQ(desk.window->panelsOf(PanelClass::VFaders).size(), 1);
    EXPECT_TRUE(button->isChecked());
    EXPECT_TRUE(desk.action("VertControl")->isChecked());

    // While pressed again the look is released until the action hides the panels.
    QTest::mousePress(button, Qt::LeftButton, {}, inside);
    EXPECT_FALSE(button->isChecked());
    QTest::mouseRelease(button, Qt::LeftButton, {}, inside);
    EXPECT_FALSE(button->isChecked());
    EXPECT_FALSE(desk.window->panelsOf(PanelClass::VFaders).first()->subWindow()->isVisible());
}

TEST(ToolbarToggle, GreyedButtonsNeitherActNorMoveTheBar)
{
    Desk desk;
    for (const char* name : {"JstkButton", "PnlPtrBtn"}) {
        SCOPED_TRACE(name);
        QToolButton* button = desk.button(name);
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(button->isVisible());
        EXPECT_FALSE(button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_FALSE(button->isChecked());
        EXPECT_EQ(desk.window->toolBarArea(&desk.toolBar()), Qt::TopToolBarArea);
    }
    EXPECT_TRUE(desk.window->panels().isEmpty());
}

TEST(ToolbarHints, EachButtonDescribesItself)
{
    struct Case {
        const char* button;
        bool pressed;
        QString hint;
    };
    const QString tools = " Panel(s). Use &Tools Menu to create new panels";
    const QString record = " @ 100 BPM.  Right-click to change BPM";
    const Case cases[] = {
        {"LoadButton", false, " Load Session "},
        {"HFadeButton", false, " Show Horizontal Fader" + tools},
        {"HFadeButton", true, " Hide Horizontal Fader" + tools},
        {"VFadeButton", false, " Show Vertical Fader" + tools},
        {"ButtonsButton", true, " Hide PushButton Control" + tools},
        {"JstkButton", false, " Show Joystick Controller" + tools},
        {"PtchButton", false, " Show Patch List" + tools},
        {"FavButton", false, " Show Create Patch Group Panel. Also works as a switchable MIDI thru"},
        {"FavButton", true, " Hide Create Patch Group Panel. Also works as a switchable MIDI thru"},
        {"SeqButton", false, " Show Play Sequence (Midi File)" + tools},
        {"IconBtn", false, " Show Icon Palette for ID and Button icons (Drag/Drop)"},
        {"PnlPtrBtn", false, " Show Patch Panel Pointer" + tools},
        {"RecordBtn", false, " Record Events in a MIDI File" + record},
        {"HelpBtn", true, " Hide Help Viewer Panel"},
        {"ExitButton", false, " Exits program"},
    };
    Desk desk;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        QToolButton* button = desk.button(c.button);
        ASSERT_NE(button, nullptr);
        button->setChecked(c.pressed);
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QCoreApplication::sendEvent(button, &enter);
        EXPECT_EQ(desk.hint(), c.hint);
    }
}

TEST(ToolbarHints, SaveRecordAndSysExButtons)
{
    Desk desk;
    auto hover = [&desk](const char* name) {
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QCoreApplication::sendEvent(desk.button(name), &enter);
        return desk.hint();
    };
    EXPECT_EQ(hover("SaveButton"), " Save as default session");
    desk.window->SessionFile = "/music/live.orv";
    EXPECT_EQ(hover("SaveButton"), " Save Session /music/live.orv");

    desk.shared->flags.RecorderRunning = true;
    desk.window->toolbar().setRecorderTempo(132);
    EXPECT_EQ(hover("RecordBtn"), " Stop Event Recorder @ 132 BPM.  Right-click to change BPM");

    desk.window->ShowStatusText(2, "before");
    EXPECT_EQ(hover("SysXBtn"), " before");

    // A kept message stays until a menu opens.
    desk.window->statusLine().setKeep(true);
    EXPECT_EQ(hover("LoadButton"), " before");
}

TEST(ToolbarLayout, ButtonsFollowTheRightEdge)
{
    struct Case {
        int width;
        int exit, help, pointer, icon, record, sysex;
    };
    // Twips: Exit = W - 510 - 0.0033 W, Help 360 left of it, the panel pointer
    // midway between the sequencer (2900) and Help, the rest 360 apart.
    const Case cases[] = {
        {600, 564, 540, 367, 343, 391, 415},
        {700, 664, 640, 417, 393, 441, 465},
    };
    Desk desk;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        desk.window->resize(c.width, 450);
        QCoreApplication::processEvents();
        ASSERT_EQ(desk.toolBar().width(), c.width);
        const std::pair<const char*, int> expected[] = {
            {"ExitButton", c.exit}, {"HelpBtn", c.help},     {"PnlPtrBtn", c.pointer}, {"IconBtn", c.icon},
            {"RecordBtn", c.record}, {"SysXBtn", c.sysex},  {"LoadButton", 1},        {"SaveButton", 25},
            {"HFadeButton", 49},    {"SeqButton", 193},        {"PanicBtn", c.sysex + 24},
        };
        for (const auto& [name, left] : expected)
            EXPECT_EQ(desk.button(name)->x(), left) << name;
        EXPECT_EQ(desk.button("HFadeButton")->geometry(), QRect(49, 1, 22, 21));
        EXPECT_EQ(desk.button("ExitButton")->size(), QSize(34, 23));
        EXPECT_EQ(desk.toolBar().findChild<QWidget*>("Toolbarln")->width(), c.width);
    }

    desk.window->showMinimized();
    desk.window->resize(500, 450);
    QCoreApplication::processEvents();
    desk.window->toolbar().layoutButtons();
    EXPECT_EQ(desk.button("ExitButton")->x(), 664);
    desk.window->showNormal();
    QCoreApplication::processEvents();
    ASSERT_EQ(desk.toolBar().width(), 500);
    EXPECT_EQ(desk.button("ExitButton")->x(), 464);
}

// Moving and hiding the bars.

TEST(Bars, MenuItemsMoveEachBarToTheOtherEdgeAndStackThem)
{
    Desk desk;
    QToolBar& status = desk.window->statusBarStrip();
    QToolBar& tools = desk.toolBar();
    EXPECT_EQ(desk.window->toolBarArea(&tools), Qt::TopToolBarArea);
    EXPECT_EQ(desk.window->toolBarArea(&status), Qt::BottomToolBarArea);

    desk.action("MVToolBar")->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(desk.window->toolBarArea(&tools), Qt::BottomToolBarArea);
    EXPECT_TRUE(desk.window->IsChanged);
    // Both at the bottom: one above the other, each the full width.
    EXPECT_FALSE(tools.geometry().intersects(status.geometry()));
    EXPECT_EQ(tools.width(), desk.window->width());
    EXPECT_EQ(status.width(), desk.window->width());
    EXPECT_GT(tools.y(), desk.window->centralWidget()->geometry().bottom());
    EXPECT_LT(tools.y(), status.y());

    desk.action("MvStatusBar")->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(desk.window->toolBarArea(&status), Qt::TopToolBarArea);
    desk.action("MVToolBar")->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(desk.window->toolBarArea(&tools), Qt::TopToolBarArea);
    // The bar moved last goes on the inner side.
    EXPECT_LT(status.y(), tools.y());
    EXPECT_LT(tools.geometry().bottom(), desk.window->centralWidget()->y());
}

// A point of the bar where no field or button lies, and the widget the mouse meets there.
std::pair<QWidget*, QPoint> emptySpot(QToolBar& bar)
{
    const int y = bar.height() / 2;
    for (int x = 0; x < bar.width(); ++x) {
        QWidget* under = bar.childAt(x, y);
        if (!qobject_cast<QLabel*>(under) && !qobject_cast<QAbstractButton*>(under)) {
            QWidget* target = under ? under : &bar;
            return {target, target->mapFrom(&bar, QPoint(x, y))};
        }
    }
    ADD_FAILURE() << "no empty spot";
    return {&bar, QPoint(0, y)};
}

TEST(Bars, ClickingTheEmptyPartOfABarMovesIt)
{
    struct Case {
        bool toolBar;
        QString pressText;
    };
    const Case cases[] = {{true, " Click to move Tool Bar"}, {false, " Click to move Status Bar"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.toolBar);
        Desk desk;
        QToolBar& bar = c.toolBar ? desk.toolBar() : desk.window->statusBarStrip();
        const Qt::ToolBarArea before = desk.window->toolBarArea(&bar);
        const auto [target, at] = emptySpot(bar);
        QTest::mousePress(target, Qt::LeftButton, {}, at);
        EXPECT_EQ(desk.hint(), c.pressText);
        EXPECT_EQ(desk.window->toolBarArea(&bar), before);
        QTest::mouseRelease(target, Qt::LeftButton, {}, at);
        EXPECT_NE(desk.window->toolBarArea(&bar), before);
        EXPECT_TRUE(desk.window->IsChanged);
    }
}

TEST(Bars, HideAndShowAlternateTheCaptions)
{
    struct Case {
        const char* item;
        bool toolBar;
        QString hide, show;
    };
    const Case cases[] = {
        {"HideShowStatusBar", false, "Hide StatusBar", "Show StatusBar"},
        {"HideShowToolBar", true, "Hide ToolBar", "Show ToolBar"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        Desk desk;
        QToolBar* bar = c.toolBar ? &desk.toolBar() : &desk.window->statusBarStrip();
        QAction* item = desk.action(c.item);
        item->trigger();
        EXPECT_FALSE(bar->isVisible());
        EXPECT_EQ(item->text(), c.show);
        EXPECT_TRUE(desk.window->IsChanged);
        item->trigger();
        EXPECT_TRUE(bar->isVisible());
        EXPECT_EQ(item->text(), c.hide);
    }
}

// Setup commands on the backdrop.

TEST(Backdrop, ColourFromTheDialogAndBackToTheDefault)
{
    Desk desk;
    desk.dialogs.answer(std::monostate{});
    desk.action("SetBackColor")->trigger();
    EXPECT_EQ(desk.window->backColor(), SysColor::AppWorkspace);
    EXPECT_FALSE(desk.window->IsChanged);

    desk.dialogs.answer(QColor(0x10, 0x20, 0x30));
    desk.action("SetBackColor")->trigger();
    EXPECT_EQ(desk.window->backColor(), rgbColor(0x10, 0x20, 0x30));
    EXPECT_TRUE(desk.window->IsChanged);

    desk.window->IsChanged = false;
    desk.open("Setup");
    ASSERT_TRUE(desk.action("DefBackColor")->isEnabled());
    desk.action("DefBackColor")->trigger();
    EXPECT_EQ(desk.window->backColor(), SysColor::AppWorkspace);
    EXPECT_TRUE(desk.window->IsChanged);
}

TEST(Backdrop, PictureIsChosenRememberedAndRemoved)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString picture = dir.filePath("stage.png");
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::darkBlue);
    ASSERT_TRUE(image.save(picture));

    Desk desk;
    desk.dialogs.answer(picture);
    desk.action("SetBackPict")->trigger();
    ASSERT_EQ(desk.dialogs.asked().size(), 1u);
    EXPECT_EQ(desk.dialogs.asked()[0].title, "Load Image");
    EXPECT_EQ(desk.window->BackPictFile, picture);
    EXPECT_EQ(desk.shared->PictDir, dir.path() + '/');
    EXPECT_EQ(desk.shared->LastPictName, "stage.png");
    EXPECT_TRUE(desk.window->IsChanged);

    desk.window->IsChanged = false;
    desk.open("Setup");
    ASSERT_TRUE(desk.action("ClearBackPict")->isEnabled());
    desk.action("ClearBackPict")->trigger();
    EXPECT_EQ(desk.window->BackPictFile, "");
    EXPECT_TRUE(desk.window->IsChanged);
}

TEST(Backdrop, PictureThatCannotBeReadIsReportedAndChangesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString broken = dir.filePath("broken.bmp");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();

    Desk desk;
    desk.dialogs.answer(broken);
    desk.action("SetBackPict")->trigger();
    ASSERT_EQ(desk.dialogs.asked().size(), 2u);
    EXPECT_EQ(desk.dialogs.asked()[1].title, "Load Image");
    EXPECT_TRUE(desk.dialogs.asked()[1].text.startsWith("Error loading image broken.bmp\r"));
    EXPECT_EQ(desk.window->BackPictFile, "");
    EXPECT_FALSE(desk.window->IsChanged);

    desk.dialogs.answer(std::monostate{});
    desk.action("SetBackPict")->trigger();
    EXPECT_EQ(desk.dialogs.asked().size(), 3u);
    EXPECT_EQ(desk.window->BackPictFile, "");
}

TEST(HelpMenu, AboutNamesTheProgramAndItsVersion)
{
    Desk desk;
    desk.action("ShowAbout")->trigger();
    ASSERT_EQ(desk.dialogs.asked().size(), 1u);
    EXPECT_EQ(desk.dialogs.asked()[0].icon, MsgIcon::Information);
    EXPECT_TRUE(desk.dialogs.asked()[0].text.startsWith(QStringLiteral("Orvell " ORVELL_VERSION "\r")));
}

// Automatic backdrop menus.

struct BackdropClick {
    Qt::MouseButton button;
    Qt::KeyboardModifiers keys;
};

void clickBackdrop(Desk& desk, BackdropClick click, QPoint at = QPoint(60, 40))
{
    QTest::mousePress(desk.backdrop(), click.button, click.keys, at);
    QTest::mouseRelease(desk.backdrop(), click.button, click.keys, at);
}

// The menu a backdrop click popped up, closed again; "" when none is open.
QString poppedAndClosed(Desk& desk)
{
    const QString name = desk.menus().lastPopup();
    QMenu* shown = desk.menus().menu(name);
    if (!shown || !shown->isVisible())
        return {};
    shown->hide();
    return name;
}

TEST(BackdropMenus, RightClickOpensTheMenuOfTheKeysAtTheMouse)
{
    struct Case {
        Qt::KeyboardModifiers keys;
        const char* menu;
    };
    const Case cases[] = {
        {Qt::NoModifier, "Tools"},
        {Qt::ShiftModifier, "Setup"},
        {Qt::ControlModifier, "Windows"},
        {Qt::ShiftModifier | Qt::ControlModifier, "File"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.menu);
        Desk desk;
        ASSERT_EQ(desk.menus().lastPopup(), "");
        const QPoint at(60, 40);
        clickBackdrop(desk, {Qt::RightButton, c.keys}, at);
        QMenu* shown = desk.menus().menu(c.menu);
        EXPECT_TRUE(shown->isVisible());
        EXPECT_EQ(shown->pos(), desk.backdrop()->mapToGlobal(at));
        EXPECT_EQ(poppedAndClosed(desk), c.menu);
    }
}

TEST(BackdropMenus, NothingNearTheRightEdgeOrTheBottom)
{
    Desk desk;
    QWidget* backdrop = desk.backdrop();
    clickBackdrop(desk, {Qt::RightButton, Qt::ControlModifier}, QPoint(backdrop->width() - 5, 10));
    clickBackdrop(desk, {Qt::RightButton, Qt::ControlModifier}, QPoint(10, backdrop->height() - 70));
    EXPECT_EQ(desk.menus().lastPopup(), "");
    // A release without a press on the backdrop does nothing either.
    QTest::mouseRelease(backdrop, Qt::RightButton, {}, QPoint(60, 40));
    EXPECT_EQ(desk.menus().lastPopup(), "");
}

TEST(BackdropMenus, LeftClicksWalkTheMenusWhileAutomaticMenusIsOn)
{
    Desk desk;
    QSignalSpy help(&desk.menus(), &MainMenus::helpTopicFor);
    QStringList seen;
    for (int i = 0; i < 5; ++i) {
        clickBackdrop(desk, {Qt::LeftButton, Qt::NoModifier});
        seen << poppedAndClosed(desk);
    }
    // The fifth click asks for the general help topic instead of a menu.
    EXPECT_EQ(seen, (QStringList{"Tools", "Setup", "Windows", "File", ""}));
    ASSERT_FALSE(help.isEmpty());
    EXPECT_EQ(help.last().at(0).toInt(), 0);
    clickBackdrop(desk, {Qt::LeftButton, Qt::NoModifier});
    EXPECT_EQ(poppedAndClosed(desk), "Tools");

    desk.action("AutoMenus")->trigger();
    EXPECT_FALSE(desk.menus().autoMenus());
    const int cycle = desk.menus().MenuCycle;
    clickBackdrop(desk, {Qt::LeftButton, Qt::NoModifier});
    EXPECT_EQ(desk.menus().MenuCycle, cycle);
    EXPECT_EQ(poppedAndClosed(desk), "");
}

TEST(BackdropMenus, CommandsAndTheRightButtonMoveTheWalk)
{
    struct Case {
        const char* command;
        const char* next;
    };
    const Case cases[] = {
        {"VertControl", "Setup"},  // after a Tools command
        {"MvStatusBar", "Tools"},  // after a Setup command
        {"LoadSession", "Windows"},  // after a File command
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        Desk desk;
        desk.menus().MenuCycle = 3;
        if (QString::fromLatin1(c.command) == u"LoadSession")
            desk.dialogs.answer(QString());  // the file dialog, cancelled
        desk.action(c.command)->trigger();
        clickBackdrop(desk, {Qt::LeftButton, Qt::NoModifier});
        EXPECT_EQ(poppedAndClosed(desk), c.next);
    }

    Desk desk;
    clickBackdrop(desk, {Qt::LeftButton, Qt::NoModifier});
    EXPECT_EQ(poppedAndClosed(desk), "Tools");
    clickBackdrop(desk, {Qt::RightButton, Qt::ShiftModifier});
    EXPECT_EQ(poppedAndClosed(desk), "Setup");
    // The first left click after the right button only asks for help.
    QSignalSpy help(&desk.menus(), &MainMenus::helpTopicFor);
    clickBackdrop(desk, {Qt::LeftButton, Qt::NoModifier});
    EXPECT_EQ(poppedAndClosed(desk), "");
    ASSERT_EQ(help.size(), 1);
    EXPECT_EQ(help.first().at(0).toInt(), 0);
    clickBackdrop(desk, {Qt::LeftButton, Qt::NoModifier});
    EXPECT_EQ(poppedAndClosed(desk), "Tools");
}

// Duplicate commands.

// A panel with four controller slots and selectors that record what the
// commands did to them.
class SlotPanel : public Panel, public SlotSelectors {
public:
    explicit SlotPanel(PanelHost& host) : Panel(PanelClass::Buttons, host)
    {
        for (int channel = 1; channel <= 16; ++channel)
            channel_.addItem(QString::number(channel));
        for (int port : {0, 1, 2, 4})
            port_.addItem(QString::number(port), port);
        for (int code : {7, 10, 64, 201})
            control_.addItem(QString::number(code), code);
    }

    SlotSelectors* slotSelectors() override { return this; }
    QComboBox* Channel() override { return &channel_; }
    QComboBox* Port() override { return &port_; }
    QComboBox* Control() override { return &control_; }
    void Channel_Click() override { channels[static_cast<size_t>(CIndx)] = channel_.currentIndex() + 1; }
    void Port_Click() override { ports[static_cast<size_t>(CIndx)] = port_.currentData().toInt(); }
    void Control_Click() override
    {
        controls[static_cast<size_t>(CIndx)] = control_.currentData().toInt();
        controlSlots.push_back(CIndx);
        EXPECT_NE(DupIndx, -1);
    }
    int channelOfSlot(int slot) const override { return channels[static_cast<size_t>(slot)]; }
    int portOfSlot(int slot) const override { return ports[static_cast<size_t>(slot)]; }
    int CurCtrl(int slot) const override { return controls[static_cast<size_t>(slot)]; }
    void OptDsply() override { ++refreshed; }

    std::array<int, 4> channels{1, 2, 3, 4};
    std::array<int, 4> ports{0, 1, 2, 4};
    std::array<int, 4> controls{7, 10, 64, 201};
    std::vector<int> controlSlots;
    int refreshed = 0;

private:
    QComboBox channel_;
    QComboBox port_;
    QComboBox control_;
};

SlotPanel* addSlotPanel(Desk& desk)
{
    auto* panel = new SlotPanel(*desk.window);
    QMdiSubWindow* sub = desk.window->mdiArea().addSubWindow(panel);
    sub->show();
    desk.window->mdiArea().setActiveSubWindow(sub);
    EXPECT_EQ(desk.window->activePanel(), panel);
    return panel;
}

TEST(Duplicate, CurrentSlotsSettingGoesToEverySlot)
{
    Desk desk;
    SlotPanel* panel = addSlotPanel(desk);
    panel->CIndx = 2;

    desk.action("DupChan")->trigger();
    EXPECT_EQ(panel->channels, (std::array<int, 4>{3, 3, 3, 3}));
    EXPECT_EQ(panel->Channel()->currentIndex(), 2);

    desk.action("DupPort")->trigger();
    EXPECT_EQ(panel->ports, (std::array<int, 4>{2, 2, 2, 2}));

    desk.action("DupMctrl")->trigger();
    EXPECT_EQ(panel->controls, (std::array<int, 4>{64, 64, 64, 64}));
    // The duplicated slot itself is left alone, and the options are redrawn once.
    EXPECT_EQ(panel->controlSlots, (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(panel->refreshed, 1);

    EXPECT_EQ(panel->CIndx, 2);
    EXPECT_EQ(panel->DupIndx, -1);
}

TEST(Duplicate, NothingWhenTheSettingIsNotInTheSelector)
{
    Desk desk;
    SlotPanel* panel = addSlotPanel(desk);
    panel->CIndx = 1;
    panel->ports = {0, 9, 2, 4};
    panel->controls = {7, 300, 64, 201};
    desk.action("DupPort")->trigger();
    desk.action("DupMctrl")->trigger();
    EXPECT_EQ(panel->ports, (std::array<int, 4>{0, 9, 2, 4}));
    EXPECT_EQ(panel->controls, (std::array<int, 4>{7, 300, 64, 201}));
    EXPECT_EQ(panel->refreshed, 0);
    EXPECT_EQ(panel->CIndx, 1);
    EXPECT_EQ(panel->DupIndx, -1);

    // Panels without slots, and no panel at all, are simply skipped.
    desk.window->createPanel(PanelClass::PatchList);
    desk.action("DupChan")->trigger();
    desk.window->mdiArea().setActiveSubWindow(nullptr);
    desk.action("DupMctrl")->trigger();
    EXPECT_EQ(panel->channels, (std::array<int, 4>{1, 2, 3, 4}));
}

}  // namespace
}  // namespace orvell
