#pragma once

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

#include <functional>
#include <optional>

namespace orvell {

class AOrvell;
class Panel;

// The Windows menu and the Matching ID's menu: arranging, hiding, showing,
// listing and closing panels.
class WindowManager : public QObject {
    Q_OBJECT

public:
    explicit WindowManager(AOrvell& window);
    ~WindowManager() override;

    void CascadeWin_Click();
    void TileWin_Click();
    void ArrangeIcon_Click();
    void ArrangePanls_Click();
    void HideAll_Click();
    void ShowAll_Click();
    void ShowHiddenMnu_Click();
    // False when a panel refused to close or the user cancelled.
    bool CloseAll_Click();

    void ShowAllID_Click();
    void ShowOnlyID_Click();
    void HideAllID_Click();
    // False when a panel refused to close.
    bool CloseAllID_Click();

    // Moves the panels whose normal place lies outside the backdrop into
    // it, as a session written on a larger screen leaves them, and says so.
    void bringIntoView(const QList<Panel*>& panels);

    // Names of the hidden panels with their item data; returns the data of the
    // chosen entry, nothing on Cancel. The hidden-panel list window by
    // default; tests put their own answer here.
    using HiddenChooser = std::function<std::optional<int>(const QList<QPair<QString, int>>& entries)>;
    HiddenChooser chooseHidden;

private:
    // Panels showing the active panel's ID icon, the active one last; empty
    // when no panel is active.
    QList<Panel*> matchingActiveId() const;

    AOrvell& window_;
};

}  // namespace orvell
