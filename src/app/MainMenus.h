#pragma once

#include "panels/PanelClasses.h"

#include <QObject>
#include <QPoint>

#include <memory>

class QAction;
class QMenu;
class QToolBar;

namespace orvell {

class AOrvell;

// The menu bar, the four pop-up menus (Matching ID's, Duplicate, Patch Edit,
// Panel Menu), the rules applied when a menu opens, the Setup commands and the
// automatic backdrop menus.
class MainMenus : public QObject {
    Q_OBJECT

public:
    explicit MainMenus(AOrvell& window);
    ~MainMenus() override;

    // By object name: the names of the menu items ("HorizControl", "SavePanel", ...)
    QAction* action(const QString& name) const;
    // "File", "Tools", "Setup", "Windows", "HelpMenu", "MatchID", "DupMenu", "PatchMenu", "PanlMenu"
    QMenu* menu(const QString& name) const;
    // Opens the menu at the position and returns at once.
    void popup(const QString& menuName, QPoint globalPos);
    // The name of the menu popped up last, "" before any.
    QString lastPopup() const;

    // The Tools item of a class is checked while its panels are shown.
    void setClassChecked(PanelClass id, bool checked);
    bool classChecked(PanelClass id) const;

    // Joystick panels need a joystick; cloning one needs a joystick without a panel.
    void setJoystickCount(int count);

    // Setup commands.
    void SetBackColor_Click();
    void DefBackColor_Click();
    void SetBackPict_Click();
    void ClearBackPict_Click();
    void HideShowStatusBar_Click();
    void HideShowToolBar_Click();
    void MvStatusBar_Click();
    void MVToolBar_Click();
    void ShowAbout_Click();

    // Shows or hides a bar with the matching caption of its Setup item; for
    // sessions as well as the menu.
    void showStatusBar(bool shown);
    void showToolBar(bool shown);
    // Docks a bar at the top or bottom edge, on a row of its own. On an edge
    // that already holds the other bar it goes on the inner side: below it at
    // the top, above it at the bottom.
    void placeBar(QToolBar& bar, Qt::ToolBarArea area);

    // Duplicate commands, acting on the active panel.
    void DupChan_Click();
    void DupPort_Click();
    void DupMctrl_Click();

    // Mouse on the empty backdrop: automatic menus. Positions are in backdrop
    // (MDI viewport) coordinates.
    void backdropPress(Qt::MouseButton button, QPoint pos);
    void backdropRelease(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    bool autoMenus() const;
    int MenuCycle = 0;

signals:
    // A menu opened or the backdrop asked for general help: the help viewer
    // picks its topic from this message number.
    void helpTopicFor(int messageNumber);

private:
    void build();
    void prepareFile();
    void prepareTools();
    void prepareSetup();
    void prepareWindows();
    void preparePanelMenu();
    bool canClone(PanelClass id) const;

    struct Private;
    std::unique_ptr<Private> d_;
};

}  // namespace orvell
