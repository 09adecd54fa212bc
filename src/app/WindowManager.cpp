#include "app/WindowManager.h"

#include "app/AOrvell.h"
#include "app/HiddenMenu.h"
#include "app/StatusLine.h"
#include "panels/ArrangePanels.h"
#include "panels/Dialogs.h"
#include "panels/Panel.h"
#include "panels/Shared.h"

#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>

namespace orvell {

namespace {

enum : int {
    MsgCantExitRecording = 114,
    MsgSessionChanged = 233,
};

// A panel the user can see, or could if the main window were on screen.
bool shown(const Panel* panel)
{
    const QMdiSubWindow* window = panel->subWindow();
    return window ? !window->isHidden() : !panel->isHidden();
}

bool minimised(const Panel* panel)
{
    const QMdiSubWindow* window = panel->subWindow();
    return window && window->isMinimized();
}

}  // namespace

WindowManager::WindowManager(AOrvell& window) : window_(window)
{
    chooseHidden = [this](const QList<QPair<QString, int>>& entries) {
        return HiddenMenu::choose(&window_, entries, window_.shared().Msgs,
                                  [this](const QString& hint) { window_.ShowHint(hint); });
    };
}

WindowManager::~WindowManager() = default;

void WindowManager::CascadeWin_Click() { window_.mdiArea().cascadeSubWindows(); }

void WindowManager::TileWin_Click()
{
    // Panels are drawn for their own size: tiling places them in the area
    // as it is, rather than stretching them or growing the main window.
    QList<QMdiSubWindow*> windows;
    std::vector<QSize> sizes;
    for (QMdiSubWindow* window : window_.mdiArea().subWindowList(QMdiArea::CreationOrder)) {
        if (window->isHidden() || window->isMinimized())
            continue;
        if (window->isMaximized())
            window->showNormal();
        windows.append(window);
        sizes.push_back(window->size());
    }
    const std::vector<QPoint> at = tileWindows(sizes, window_.mdiArea().viewport()->size());
    for (qsizetype i = 0; i < windows.size(); ++i)
        windows[i]->move(at[static_cast<size_t>(i)]);
}

void WindowManager::bringIntoView(const QList<Panel*>& panels)
{
    // While the main window is not shown yet its layout has not followed
    // the size the session gave it.
    if (QLayout* layout = window_.layout(); layout && !window_.isVisible()) {
        layout->invalidate();
        layout->activate();
    }
    QMdiArea& backdrop = window_.mdiArea();
    const QSize area = backdrop.contentsRect().size();
    QMdiSubWindow* active = backdrop.activeSubWindow();
    int moved = 0;
    for (Panel* panel : panels) {
        QMdiSubWindow* window = panel->subWindow();
        if (!window)
            continue;
        // A minimised or maximised window has its normal place only in the normal state.
        const Qt::WindowStates state = window->windowState();
        const Qt::WindowStates normal = state & ~(Qt::WindowMinimized | Qt::WindowMaximized);
        const bool hidden = window->isHidden();
        if (state != normal)
            window->setWindowState(normal);
        const QPoint inside = keepInside(window->geometry(), area);
        if (inside != window->pos()) {
            window->move(inside);
            ++moved;
        }
        if (state != normal)
            window->setWindowState(state);
        if (hidden)
            window->hide();
    }
    // Restoring a window for a moment activates it.
    if (active && backdrop.activeSubWindow() != active)
        backdrop.setActiveSubWindow(active);
    if (moved == 0)
        return;
    window_.ShowStatusText(2, QStringLiteral("Moved %1 panel%2 into view").arg(moved).arg(moved == 1 ? "" : "s"));
    window_.statusLine().setKeep(true);
}

void WindowManager::ArrangeIcon_Click()
{
    QList<QMdiSubWindow*> icons;
    for (QMdiSubWindow* window : window_.mdiArea().subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isHidden() && window->isMinimized())
            icons.append(window);
    }
    std::vector<QSize> sizes;
    for (const QMdiSubWindow* window : icons)
        sizes.push_back(window->size());
    const std::vector<QPoint> at = arrangeIcons(sizes, window_.mdiArea().viewport()->size());
    for (qsizetype i = 0; i < icons.size(); ++i)
        icons[i]->move(at[static_cast<size_t>(i)]);
}

void WindowManager::ArrangePanls_Click()
{
    QList<QMdiSubWindow*> windows;
    std::vector<ArrangeEntry> entries;
    for (Panel* panel : window_.panels()) {
        if (!shown(panel) || minimised(panel) || !panel->subWindow())
            continue;
        windows.append(panel->subWindow());
        entries.push_back({panel->panelClass(), panel->subWindow()->size()});
    }
    const std::vector<QPoint> at = arrangePanels(entries, window_.mdiArea().viewport()->width());
    for (qsizetype i = 0; i < windows.size(); ++i)
        windows[i]->move(at[static_cast<size_t>(i)]);
}

void WindowManager::HideAll_Click()
{
    for (Panel* panel : window_.panels())
        panel->HideButton_Click();
}

void WindowManager::ShowAll_Click()
{
    for (Panel* panel : window_.panels())
        panel->showAndMark();
    window_.updatePanelCounter();
}

void WindowManager::ShowHiddenMnu_Click()
{
    QList<Panel*> hidden;
    QList<QPair<QString, int>> entries;
    for (Panel* panel : window_.panels()) {
        if (shown(panel))
            continue;
        entries.append({panel->caption(), static_cast<int>(hidden.size())});
        hidden.append(panel);
    }
    const std::optional<int> choice = chooseHidden(entries);
    if (!choice || *choice < 0 || *choice >= hidden.size())
        return;
    Panel* panel = hidden[*choice];
    panel->showAndMark();
    if (panel->subWindow())
        window_.mdiArea().setActiveSubWindow(panel->subWindow());
}

bool WindowManager::CloseAll_Click()
{
    Shared& shared = window_.shared();
    Dialogs& dialogs = window_.dialogs();
    if (shared.flags.RecorderRunning) {
        dialogs.MsgBox(shared.msg(MsgCantExitRecording), MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }

    const QList<Panel*> panels = window_.panels();
    const bool changed =
        window_.IsChanged || std::ranges::any_of(panels, [](const Panel* panel) { return panel->IsChanged; });
    window_.setToAllAnswer(BigAnswer::None);
    if (changed) {
        switch (dialogs.MsgBox(shared.msg(MsgSessionChanged), MsgButtons::YesNoCancel, MsgIcon::Question)) {
        case MsgAnswer::Yes:
            window_.SaveAs_Click();
            // The session file holds the panels now; they need not ask.
            window_.setToAllAnswer(BigAnswer::NoToAll);
            break;
        case MsgAnswer::No:
            break;
        default:
            return false;
        }
    }

    // No MIDI error boxes while panels let go of their ports.
    shared.flags.ClosingDown = true;
    for (Panel* panel : panels) {
        if (!panel->closeForSession()) {
            shared.flags.ClosingDown = false;
            window_.setToAllAnswer(BigAnswer::None);
            window_.updatePanelCounter();
            return false;
        }
    }

    window_.hideIconPalette();
    shared.SysExList.clear();
    window_.sysExTableReplaced();
    window_.SessionFile.clear();
    window_.setToAllAnswer(BigAnswer::None);
    shared.flags.ClosingDown = false;
    window_.IsChanged = false;
    window_.updatePanelCounter();
    return true;
}

QList<Panel*> WindowManager::matchingActiveId() const
{
    const QList<Panel*> panels = window_.panels();
    const qsizetype active = panels.indexOf(window_.activePanel());
    if (active < 0)
        return {};
    std::vector<int> icons;
    for (const Panel* panel : panels)
        icons.push_back(panel->IDIconindx);
    QList<Panel*> result;
    for (int i : matchingIdOrder(icons, static_cast<int>(active)))
        result.append(panels[i]);
    return result;
}

void WindowManager::ShowAllID_Click()
{
    for (Panel* panel : matchingActiveId())
        panel->showAndMark();
}

void WindowManager::ShowOnlyID_Click()
{
    const QList<Panel*> matching = matchingActiveId();
    if (matching.isEmpty())
        return;
    for (Panel* panel : window_.panels()) {
        if (!matching.contains(panel) && shown(panel))
            panel->HideButton_Click();
    }
    for (Panel* panel : matching)
        panel->showAndMark();
}

void WindowManager::HideAllID_Click()
{
    for (Panel* panel : matchingActiveId())
        panel->HideButton_Click();
}

bool WindowManager::CloseAllID_Click()
{
    const QList<Panel*> matching = matchingActiveId();
    window_.setToAllAnswer(BigAnswer::None);
    bool closed = true;
    for (Panel* panel : matching) {
        if (!panel->closeForSession()) {
            closed = false;
            break;
        }
    }
    window_.setToAllAnswer(BigAnswer::None);
    window_.updatePanelCounter();
    return closed;
}

}  // namespace orvell
