#include "app/MainMenus.h"

#include "app/AOrvell.h"
#include "app/BackdropMenuCycle.h"
#include "app/MainToolbar.h"
#include "app/StatusLine.h"
#include "app/WindowManager.h"
#include "panels/ColorConvert.h"
#include "panels/Dialogs.h"
#include "panels/Panel.h"
#include "panels/PictureFiles.h"
#include "panels/SelectorTools.h"
#include "panels/Shared.h"

#include <QAction>
#include <QComboBox>
#include <QHash>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QToolBar>

#include <array>
#include <functional>

namespace orvell {

namespace {

enum : int {
    MsgGeneralHelp = 0,
    MsgLoadImage = 181,
};

// Message numbers the help viewer maps to the topic of each menu.
enum : int {
    HelpFileMenu = 1,
    HelpToolsMenu = 2,
    HelpSetupMenu = 3,
    HelpWindowsMenu = 4,
    HelpPanelMenu = 5,
    HelpHelpMenu = 6,
};

const QString HideStatusBarCaption = QStringLiteral("Hide StatusBar");
const QString ShowStatusBarCaption = QStringLiteral("Show StatusBar");
const QString HideToolBarCaption = QStringLiteral("Hide ToolBar");
const QString ShowToolBarCaption = QStringLiteral("Show ToolBar");

struct ToolsItem {
    const char* name;
    PanelClass id;
};

constexpr std::array<ToolsItem, 8> ToolsItems = {{
    {"HorizControl", PanelClass::HFaders},
    {"VertControl", PanelClass::VFaders},
    {"ButtonControls", PanelClass::Buttons},
    {"Joystick", PanelClass::JstkCtrl},
    {"PtchList", PanelClass::PatchList},
    {"FavoritePatch", PanelClass::PatchGroup},
    {"SeqFName", PanelClass::Sequencer},
    {"PatchPanlPtr", PanelClass::PanlPointer},
}};

const char* toolsItemName(PanelClass id)
{
    for (const ToolsItem& item : ToolsItems) {
        if (item.id == id)
            return item.name;
    }
    return "";
}

Qt::ToolBarArea otherEdge(Qt::ToolBarArea area)
{
    return area == Qt::TopToolBarArea ? Qt::BottomToolBarArea : Qt::TopToolBarArea;
}

}  // namespace

struct MainMenus::Private {
    explicit Private(AOrvell& w) : window(w) {}

    AOrvell& window;
    QHash<QString, QAction*> actions;
    QHash<QString, QMenu*> menus;
    std::array<bool, 8> classChecked{};
    // Design captions, given back when no panel is active.
    QString newFormCaption;
    QString cloneFormCaption;
    QString savePanelCaption;
    QString lastPopup;
    int joysticks = 0;
    BackdropMenuCycle cycle;
    QList<QAction*> windowList;  // the panels appended to the Windows menu
};

MainMenus::MainMenus(AOrvell& window) : d_(std::make_unique<Private>(window))
{
    build();
}

MainMenus::~MainMenus() = default;

void MainMenus::build()
{
    AOrvell& window = d_->window;
    WindowManager& windows = window.windows();

    QMenu* current = nullptr;
    BackdropMenu group = BackdropMenu::None;

    auto addMenu = [&](QMenu* menu, const char* name, int helpMessage, BackdropMenu menuGroup) {
        menu->setObjectName(QLatin1String(name));
        d_->menus.insert(menu->objectName(), menu);
        // Opening any menu ends a kept message, so hints show again.
        connect(menu, &QMenu::aboutToShow, this, [this, helpMessage] {
            d_->window.statusLine().setKeep(false);
            if (helpMessage >= 0)
                emit helpTopicFor(helpMessage);
        });
        current = menu;
        group = menuGroup;
    };
    auto barMenu = [&](const char* name, const QString& caption, int helpMessage, BackdropMenu menuGroup) {
        addMenu(window.menuBar()->addMenu(caption), name, helpMessage, menuGroup);
    };
    // Pop-up-only menus never appear on the menu bar.
    auto popupMenu = [&](const char* name, const QString& caption, int helpMessage) {
        addMenu(new QMenu(caption, &window), name, helpMessage, BackdropMenu::None);
    };
    auto item = [&](const char* name, const QString& caption, std::function<void()> command = {}) {
        QAction* action = current->addAction(caption);
        action->setObjectName(QLatin1String(name));
        d_->actions.insert(action->objectName(), action);
        if (command) {
            const BackdropMenu from = group;
            connect(action, &QAction::triggered, this, [this, from, command = std::move(command)] {
                d_->cycle.setMenuCycle(MenuCycle);
                d_->cycle.commandUsed(from);
                MenuCycle = d_->cycle.menuCycle();
                command();
            });
        }
        return action;
    };
    auto separator = [&](bool visible = true) { current->addSeparator()->setVisible(visible); };
    auto onActivePanel = [this](void (Panel::*command)()) {
        return [this, command] {
            if (Panel* panel = d_->window.activePanel())
                (panel->*command)();
        };
    };

    barMenu("File", QStringLiteral("&File"), HelpFileMenu, BackdropMenu::File);
    item("LoadSession", QStringLiteral("&Load Session..."), [&window] { window.LoadSession_Click(); });
    item("LoadPanel", QStringLiteral("L&oad Panel..."), [&window] { window.LoadPanel_Click(); });
    item("LoadPatchLst", QStringLiteral("Load &PatchList..."), [&window] { window.LoadPatchLst_Click(); });
    separator();
    item("SaveSession", QStringLiteral("&Save Session"), [&window] { window.SaveSession_Click(); });
    item("SaveAs", QStringLiteral("Save &As..."), [&window] { window.SaveAs_Click(); });
    item("SavePanel", QStringLiteral("Save Active &Panel"), [&window] { window.SavePanel_Click(); });
    separator();
    item("Exit", QStringLiteral("E&xit"), [&window] { window.Exit_Click(); });
    connect(current, &QMenu::aboutToShow, this, &MainMenus::prepareFile);

    barMenu("Tools", QStringLiteral("&Tools"), HelpToolsMenu, BackdropMenu::Tools);
    const QString toolsCaptions[] = {
        QStringLiteral("&Horiz Faders"), QStringLiteral("&Vertical Faders"), QStringLiteral("&Button Controls"),
        QStringLiteral("&JoyStick Control"), QStringLiteral("&Patch List"), QStringLiteral("Patch &Group"),
        QStringLiteral("&Sequencer"), QStringLiteral("Panel Pointe&r"),
    };
    for (size_t i = 0; i < ToolsItems.size(); ++i) {
        const PanelClass id = ToolsItems[i].id;
        QAction* toggle = item(ToolsItems[i].name, toolsCaptions[i], [this, id] {
            // The check mark follows the panels, not the click.
            action(QLatin1String(toolsItemName(id)))->setChecked(classChecked(id));
            d_->window.toolsToggle(id);
        });
        toggle->setCheckable(true);
        // Group separators; the one before the sequencer is kept but not shown.
        if (id == PanelClass::Buttons || id == PanelClass::JstkCtrl || id == PanelClass::Sequencer ||
            id == PanelClass::PanlPointer)
            separator();
        else if (id == PanelClass::PatchGroup)
            separator(false);
    }
    item("NewForm", QStringLiteral("&New Panel"), [&window] { window.NewForm_Click(); });
    item("CloneForm", QStringLiteral("&Clone Panel"), [&window] { window.CloneForm_Click(); });
    connect(current, &QMenu::aboutToShow, this, &MainMenus::prepareTools);

    barMenu("Setup", QStringLiteral("&Setup"), HelpSetupMenu, BackdropMenu::Setup);
    item("SetIDIcon", QStringLiteral("&Assign ID Icons"), [&window] { window.SetIDIcon_Click(); });
    separator();
    item("SetBackColor", QStringLiteral("Set Backdrop &Color"), [this] { SetBackColor_Click(); });
    item("DefBackColor", QStringLiteral("&Default Backdrop"), [this] { DefBackColor_Click(); });
    separator();
    item("SetBackPict", QStringLiteral("Set &Backdrop Picture"), [this] { SetBackPict_Click(); });
    item("ClearBackPict", QStringLiteral("&Remove Picture"), [this] { ClearBackPict_Click(); });
    separator();
    item("HideShowStatusBar", HideStatusBarCaption, [this] { HideShowStatusBar_Click(); });
    item("HideShowToolBar", HideToolBarCaption, [this] { HideShowToolBar_Click(); });
    separator();
    item("MvStatusBar", QStringLiteral("Move &StatusBar"), [this] { MvStatusBar_Click(); });
    item("MVToolBar", QStringLiteral("Move &ToolBar"), [this] { MVToolBar_Click(); });
    separator();
    QAction* autoMenus = item("AutoMenus", QStringLiteral("Automatic &Menus"), [] {});
    autoMenus->setCheckable(true);
    autoMenus->setChecked(true);
    separator();
    item("MPortCfg", QStringLiteral("Config &MIDI Ports"), [&window] { window.MPortCfg_Click(); });
    item("SysXMsgs", QStringLiteral("Sys E&x Messages"), [&window] { window.SysXBtn_Click(); });
    separator();
    item("DumpMessages", QStringLiteral("Dump Help Mesgs"), [&window] { window.DumpMessages_Click(); });
    item("LoadMsgFrmFile", QStringLiteral("Load Help Mesgs"), [&window] { window.LoadMsgFrmFile_Click(); });
    connect(current, &QMenu::aboutToShow, this, &MainMenus::prepareSetup);

    barMenu("Windows", QStringLiteral("&Windows"), HelpWindowsMenu, BackdropMenu::Windows);
    item("CascadeWin", QStringLiteral("&Cascade"), [&windows] { windows.CascadeWin_Click(); });
    item("TileWin", QStringLiteral("&Tile"), [&windows] { windows.TileWin_Click(); });
    item("ArrangeIcon", QStringLiteral("&Arrange Icons"), [&windows] { windows.ArrangeIcon_Click(); });
    item("ArrangePanls", QStringLiteral("Arrange &Panels"), [&windows] { windows.ArrangePanls_Click(); });
    separator();
    item("HideAll", QStringLiteral("H&ide all Panels"), [&windows] { windows.HideAll_Click(); });
    item("ShowAll", QStringLiteral("&Show All Panels"), [&windows] { windows.ShowAll_Click(); });
    item("ShowHiddenMnu", QStringLiteral("Hidden Panels..."), [&windows] { windows.ShowHiddenMnu_Click(); })
        ->setEnabled(false);
    separator();
    item("CloseAll", QStringLiteral("Close All Panels"), [&windows] { windows.CloseAll_Click(); });
    connect(current, &QMenu::aboutToShow, this, &MainMenus::prepareWindows);

    barMenu("HelpMenu", QStringLiteral("&Help"), HelpHelpMenu, BackdropMenu::None);
    item("ViewHelp", QStringLiteral("&Help Viewer"), [&window] { window.HelpBtn_Click(); });
    item("ShowAbout", QStringLiteral("&About ORV..."), [this] { ShowAbout_Click(); });

    popupMenu("MatchID", QStringLiteral("Matching ID's"), -1);
    item("ShowAllID", QStringLiteral("Show &All"), [&windows] { windows.ShowAllID_Click(); });
    item("ShowOnlyID", QStringLiteral("Show &Only"), [&windows] { windows.ShowOnlyID_Click(); });
    item("HideAllID", QStringLiteral("&Hide All"), [&windows] { windows.HideAllID_Click(); });
    item("CloseAllID", QStringLiteral("&Close All"), [&windows] { windows.CloseAllID_Click(); });

    popupMenu("DupMenu", QStringLiteral("Duplicate"), -1);
    item("DupChan", QStringLiteral("&Channel"), [this] { DupChan_Click(); });
    item("DupPort", QStringLiteral("&Port"), [this] { DupPort_Click(); });
    item("DupMctrl", QStringLiteral("C&ontroller"), [this] { DupMctrl_Click(); });

    popupMenu("PatchMenu", QStringLiteral("Patch Edit"), -1);
    item("CopyPatch", QStringLiteral("Copy"), [&window] { window.CopyPatch(); });
    item("CutPatch", QStringLiteral("Cut"), [&window] { window.CutPatch(); });
    item("PastePtchBefore", QStringLiteral("Paste Before"), [&window] { window.PastePtchBefore(); });
    item("PastePtchAfter", QStringLiteral("Paste After"), [&window] { window.PastePtchAfter(); });

    popupMenu("PanlMenu", QStringLiteral("Panel Menu"), HelpPanelMenu);
    item("RenameMe", QStringLiteral("&Rename Panel"), onActivePanel(&Panel::RenameMe_Click));
    separator();
    item("SetPanlColor", QStringLiteral("Set Panel &Color"), onActivePanel(&Panel::SetPanlColor_Click));
    item("DefPanlColor", QStringLiteral("&Default Color"), onActivePanel(&Panel::DefPanlColor_Click));
    separator();
    item("SetPanlPict", QStringLiteral("Set Panel &Picture"), onActivePanel(&Panel::SetPanlPict_Click));
    item("ClearPanlPict", QStringLiteral("&Remove Picture"), onActivePanel(&Panel::ClearPanlPict_Click));
    separator();
    QAction* opaque = item("OpaquePnlOn", QStringLiteral("&Opaque Text Back"), [this] {
        Panel* panel = d_->window.activePanel();
        if (panel)
            panel->OpaquePnlOn_Click();
        action(QStringLiteral("OpaquePnlOn"))->setChecked(panel && panel->IsOpaque);
    });
    opaque->setCheckable(true);
    item("PnlTextColor", QStringLiteral("&Text Back Color"), onActivePanel(&Panel::PnlTextColor_Click));
    item("DefPnlTextBack", QStringLiteral("Remove Te&xt Color"), onActivePanel(&Panel::DefPnlTextBack_Click));
    separator();
    item("CustomEdit", QStringLiteral("Customi&ze Controller"), onActivePanel(&Panel::SetUpCtrlEdit));
    separator();
    item("SaveThsPanl", QStringLiteral("&Save Panel"), [&window] { window.SavePanel_Click(); });
    separator();
    item("CloneThisPanl", QStringLiteral("Clone &Me"), [&window] { window.CloneForm_Click(); });
    connect(current, &QMenu::aboutToShow, this, &MainMenus::preparePanelMenu);

    d_->newFormCaption = action(QStringLiteral("NewForm"))->text();
    d_->cloneFormCaption = action(QStringLiteral("CloneForm"))->text();
    d_->savePanelCaption = action(QStringLiteral("SavePanel"))->text();
    action(QStringLiteral("CloneForm"))->setEnabled(false);
    action(QStringLiteral("SavePanel"))->setEnabled(false);
    // Driving other panels needs something to drive; a load decides.
    action(QStringLiteral("PatchPanlPtr"))->setEnabled(false);
    // No joystick until the joystick layer reports one.
    action(QStringLiteral("Joystick"))->setEnabled(false);
}

QAction* MainMenus::action(const QString& name) const { return d_->actions.value(name); }

QMenu* MainMenus::menu(const QString& name) const { return d_->menus.value(name); }

void MainMenus::popup(const QString& menuName, QPoint globalPos)
{
    QMenu* shown = menu(menuName);
    if (!shown)
        return;
    d_->lastPopup = menuName;
    shown->popup(globalPos);
}

QString MainMenus::lastPopup() const { return d_->lastPopup; }

void MainMenus::setClassChecked(PanelClass id, bool checked)
{
    d_->classChecked[static_cast<size_t>(id)] = checked;
    action(QLatin1String(toolsItemName(id)))->setChecked(checked);
}

bool MainMenus::classChecked(PanelClass id) const { return d_->classChecked[static_cast<size_t>(id)]; }

void MainMenus::setJoystickCount(int count)
{
    d_->joysticks = count;
    action(QStringLiteral("Joystick"))->setEnabled(count > 0);
    d_->window.toolbar().setAvailable(QStringLiteral("JstkButton"), count > 0);
}

bool MainMenus::canClone(PanelClass id) const
{
    if (id == PanelClass::Sequencer)
        return false;
    if (id == PanelClass::JstkCtrl)
        return d_->window.panelsOf(PanelClass::JstkCtrl).size() < d_->joysticks;
    return true;
}

// Menu opening rules.

void MainMenus::prepareFile()
{
    QAction* save = action(QStringLiteral("SavePanel"));
    if (Panel* panel = d_->window.activePanel()) {
        save->setText(QStringLiteral("Save ") + panel->className());
        save->setEnabled(true);
    } else {
        save->setText(d_->savePanelCaption);
        save->setEnabled(false);
    }
}

void MainMenus::prepareTools()
{
    QAction* newForm = action(QStringLiteral("NewForm"));
    QAction* cloneForm = action(QStringLiteral("CloneForm"));
    if (Panel* panel = d_->window.activePanel()) {
        newForm->setText(QStringLiteral("New ") + panel->className());
        newForm->setEnabled(true);
        cloneForm->setText(QStringLiteral("Clone ") + panel->className());
        cloneForm->setEnabled(canClone(panel->panelClass()));
    } else {
        // No panel to copy the class from: the single windows or nothing active.
        newForm->setText(d_->newFormCaption);
        newForm->setEnabled(false);
        cloneForm->setText(d_->cloneFormCaption);
        cloneForm->setEnabled(false);
    }
}

void MainMenus::prepareSetup()
{
    action(QStringLiteral("SetIDIcon"))->setEnabled(d_->window.activePanel() != nullptr);
    action(QStringLiteral("SetBackColor"))->setText(QStringLiteral("Set Backdrop &Color"));
    QAction* defColor = action(QStringLiteral("DefBackColor"));
    defColor->setText(QStringLiteral("&Default Backdrop"));
    defColor->setEnabled(d_->window.backColor() != SysColor::AppWorkspace);
    action(QStringLiteral("SetBackPict"))->setText(QStringLiteral("Set Backdrop &Picture"));
    QAction* clearPict = action(QStringLiteral("ClearBackPict"));
    clearPict->setText(QStringLiteral("C&lear Backdrop Picture"));
    clearPict->setEnabled(!d_->window.BackPictFile.isEmpty());
}

void MainMenus::prepareWindows()
{
    QMenu* windowsMenu = menu(QStringLiteral("Windows"));
    qDeleteAll(d_->windowList);
    d_->windowList.clear();
    action(QStringLiteral("ShowHiddenMnu"))->setEnabled(!d_->window.panels().isEmpty());

    QMdiArea& area = d_->window.mdiArea();
    QMdiSubWindow* active = area.activeSubWindow();
    int number = 0;
    for (QMdiSubWindow* sub : area.subWindowList(QMdiArea::CreationOrder)) {
        if (sub->isHidden())
            continue;
        if (number == 0)
            d_->windowList.append(windowsMenu->addSeparator());
        ++number;
        QAction* entry = windowsMenu->addAction(QStringLiteral("&%1 %2").arg(number).arg(sub->windowTitle()));
        entry->setCheckable(true);
        entry->setChecked(sub == active);
        QPointer<QMdiSubWindow> target = sub;
        connect(entry, &QAction::triggered, this, [&area, target] {
            if (target)
                area.setActiveSubWindow(target);
        });
        d_->windowList.append(entry);
    }
}

void MainMenus::preparePanelMenu()
{
    Panel* panel = d_->window.activePanel();
    for (QAction* entry : menu(QStringLiteral("PanlMenu"))->actions())
        entry->setEnabled(panel != nullptr);
    if (!panel)
        return;
    action(QStringLiteral("DefPanlColor"))->setEnabled(panel->BackColor != SysColor::ButtonFace);
    action(QStringLiteral("ClearPanlPict"))->setEnabled(!panel->BackPictFile.isEmpty());
    action(QStringLiteral("OpaquePnlOn"))->setChecked(panel->IsOpaque);
    action(QStringLiteral("PnlTextColor"))->setEnabled(panel->IsOpaque);
    action(QStringLiteral("DefPnlTextBack"))->setEnabled(panel->IsOpaque);
    action(QStringLiteral("CustomEdit"))->setEnabled(panel->canCustomizeControllers());
    action(QStringLiteral("SaveThsPanl"))->setEnabled(panel->panelClass() != PanelClass::PanlPointer);
    action(QStringLiteral("CloneThisPanl"))->setEnabled(canClone(panel->panelClass()));
}

// Setup commands.

void MainMenus::SetBackColor_Click()
{
    AOrvell& window = d_->window;
    const auto color = window.dialogs().ChooseColor(toQColor(window.backColor()));
    if (!color)
        return;
    window.setBackColor(fromQColor(*color));
    window.IsChanged = true;
}

void MainMenus::DefBackColor_Click()
{
    d_->window.setBackColor(SysColor::AppWorkspace);
    d_->window.IsChanged = true;
}

void MainMenus::SetBackPict_Click()
{
    AOrvell& window = d_->window;
    Shared& shared = window.shared();
    const QString path = askPicturePath(shared, window.dialogs());
    if (path.isEmpty())
        return;
    QString error;
    if (!window.setBackPicture(path, &error)) {
        showPictureError(shared, window.dialogs(), path, error, shared.msg(MsgLoadImage));
        return;
    }
    window.IsChanged = true;
}

void MainMenus::ClearBackPict_Click()
{
    d_->window.setBackPicture({});
    d_->window.BackPictFile.clear();
    d_->window.IsChanged = true;
}

void MainMenus::showStatusBar(bool shown)
{
    d_->window.statusBarStrip().setVisible(shown);
    action(QStringLiteral("HideShowStatusBar"))->setText(shown ? HideStatusBarCaption : ShowStatusBarCaption);
}

void MainMenus::showToolBar(bool shown)
{
    d_->window.toolbar().bar().setVisible(shown);
    action(QStringLiteral("HideShowToolBar"))->setText(shown ? HideToolBarCaption : ShowToolBarCaption);
}

void MainMenus::HideShowStatusBar_Click()
{
    showStatusBar(d_->window.statusBarStrip().isHidden());
    d_->window.IsChanged = true;
}

void MainMenus::HideShowToolBar_Click()
{
    showToolBar(d_->window.toolbar().bar().isHidden());
    d_->window.IsChanged = true;
}

void MainMenus::placeBar(QToolBar& bar, Qt::ToolBarArea area)
{
    AOrvell& window = d_->window;
    if (window.toolBarArea(&bar) == area)
        return;
    QToolBar& statusStrip = window.statusBarStrip();
    QToolBar& other = &bar == &statusStrip ? window.toolbar().bar() : statusStrip;
    // Two bars on one edge stack in rows rather than share one.
    if (window.toolBarArea(&other) == area)
        window.addToolBarBreak(area);
    window.addToolBar(area, &bar);
}

void MainMenus::MvStatusBar_Click()
{
    QToolBar& bar = d_->window.statusBarStrip();
    placeBar(bar, otherEdge(d_->window.toolBarArea(&bar)));
    d_->window.IsChanged = true;
}

void MainMenus::MVToolBar_Click()
{
    QToolBar& bar = d_->window.toolbar().bar();
    placeBar(bar, otherEdge(d_->window.toolBarArea(&bar)));
    d_->window.IsChanged = true;
}

void MainMenus::ShowAbout_Click()
{
    d_->window.dialogs().MsgBox(
        QStringLiteral("Orvell %1\rA MIDI control surface: panels of faders, buttons, patch lists and sequences "
                       "that play your synthesizers.")
            .arg(QStringLiteral(ORVELL_VERSION)),
        MsgButtons::Ok, MsgIcon::Information, QStringLiteral("About Orvell"));
}

// Duplicate commands: the current slot's setting goes to every slot.

namespace {
void duplicateOn(Panel* panel, DupSetting setting)
{
    if (SlotSelectors* selectors = panel ? panel->slotSelectors() : nullptr)
        duplicateSlot(*selectors, setting, 4);
}
}  // namespace

void MainMenus::DupChan_Click() { duplicateOn(d_->window.activePanel(), DupSetting::Channel); }

void MainMenus::DupPort_Click() { duplicateOn(d_->window.activePanel(), DupSetting::Port); }

void MainMenus::DupMctrl_Click() { duplicateOn(d_->window.activePanel(), DupSetting::Control); }

// Automatic backdrop menus.

bool MainMenus::autoMenus() const { return action(QStringLiteral("AutoMenus"))->isChecked(); }

void MainMenus::backdropPress(Qt::MouseButton, QPoint) { d_->cycle.press(); }

void MainMenus::backdropRelease(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos)
{
    QWidget* backdrop = d_->window.mdiArea().viewport();
    d_->cycle.setMenuCycle(MenuCycle);
    const BackdropMenu chosen = d_->cycle.release(button, modifiers, pos, backdrop->size(), autoMenus());
    MenuCycle = d_->cycle.menuCycle();

    const QPoint at = backdrop->mapToGlobal(pos);
    switch (chosen) {
    case BackdropMenu::Tools:
        popup(QStringLiteral("Tools"), at);
        break;
    case BackdropMenu::Setup:
        popup(QStringLiteral("Setup"), at);
        break;
    case BackdropMenu::Windows:
        popup(QStringLiteral("Windows"), at);
        break;
    case BackdropMenu::File:
        popup(QStringLiteral("File"), at);
        break;
    case BackdropMenu::Help:
        emit helpTopicFor(MsgGeneralHelp);
        break;
    case BackdropMenu::None:
        break;
    }
}

}  // namespace orvell
