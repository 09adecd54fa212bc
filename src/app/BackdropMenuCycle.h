#pragma once

#include <QPoint>
#include <QSize>
#include <Qt>

namespace orvell {

// What a mouse release on the empty backdrop asks for.
enum class BackdropMenu { None, Tools, Setup, Windows, File, Help };

// The automatic menus of the empty backdrop. The right button picks a menu by
// the keys held; the left button, when automatic menus are on, walks through
// Tools, Setup, Windows, File and the general help topic. Commands from the
// menus move the walk on, so the next left click offers what usually follows.
class BackdropMenuCycle {
public:
    static constexpr int Steps = 5;  // Tools, Setup, Windows, File, help

    // A button went down on the backdrop; only the release after it counts.
    void press() { pressed_ = true; }
    bool pressed() const { return pressed_; }

    // The release of `button` at `pos` on a backdrop of size `area` (pixels).
    BackdropMenu release(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos, QSize area,
                         bool autoMenus);

    // A command of this menu was used.
    void commandUsed(BackdropMenu menu);

    // Releases near the right edge (scroll bar) or the bottom (status bar and
    // toolbar when docked there) do nothing.
    static bool inMenuArea(QPoint pos, QSize area);

    // The step the next left release takes, 0 (Tools) to 4 (help).
    int menuCycle() const { return cycle_; }
    void setMenuCycle(int step);
    Qt::MouseButton lastButton() const { return last_; }

private:
    bool pressed_ = false;
    int cycle_ = 0;
    Qt::MouseButton last_ = Qt::NoButton;
};

}  // namespace orvell
