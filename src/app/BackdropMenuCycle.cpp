#include "app/BackdropMenuCycle.h"

#include "core/Twips.h"

namespace orvell {

namespace {

constexpr int RightMarginTwips = 150;
constexpr int BottomMarginTwips = 1200;
constexpr int HelpStep = BackdropMenuCycle::Steps - 1;

BackdropMenu menuOfStep(int step)
{
    switch (step) {
    case 0:
        return BackdropMenu::Tools;
    case 1:
        return BackdropMenu::Setup;
    case 2:
        return BackdropMenu::Windows;
    case 3:
        return BackdropMenu::File;
    default:
        return BackdropMenu::Help;
    }
}

BackdropMenu menuForKeys(Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers keys =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (keys == Qt::NoModifier)
        return BackdropMenu::Tools;
    if (keys == Qt::ShiftModifier)
        return BackdropMenu::Setup;
    if (keys == Qt::ControlModifier)
        return BackdropMenu::Windows;
    if (keys == (Qt::ShiftModifier | Qt::ControlModifier))
        return BackdropMenu::File;
    return BackdropMenu::None;
}

}  // namespace

bool BackdropMenuCycle::inMenuArea(QPoint pos, QSize area)
{
    return pos.x() >= 0 && pos.y() >= 0 &&
           pixelsToTwips(pos.x()) < pixelsToTwips(area.width()) - RightMarginTwips &&
           pixelsToTwips(pos.y()) < pixelsToTwips(area.height()) - BottomMarginTwips;
}

void BackdropMenuCycle::setMenuCycle(int step) { cycle_ = (step % Steps + Steps) % Steps; }

BackdropMenu BackdropMenuCycle::release(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos,
                                        QSize area, bool autoMenus)
{
    const bool pressed = pressed_;
    pressed_ = false;
    if (!pressed || !inMenuArea(pos, area))
        return BackdropMenu::None;

    if (button == Qt::RightButton) {
        last_ = Qt::RightButton;
        return menuForKeys(modifiers);
    }
    if (button != Qt::LeftButton || !autoMenus)
        return BackdropMenu::None;

    // Right after the right button was used, a left click only asks for help
    // and the walk starts over with Tools.
    if (last_ == Qt::RightButton)
        cycle_ = HelpStep;
    last_ = Qt::LeftButton;
    const int step = cycle_;
    cycle_ = (cycle_ + 1) % Steps;
    return menuOfStep(step);
}

void BackdropMenuCycle::commandUsed(BackdropMenu menu)
{
    switch (menu) {
    case BackdropMenu::Tools:
        cycle_ = 1;  // Setup next
        break;
    case BackdropMenu::Setup:
        cycle_ = 0;  // Tools next
        break;
    case BackdropMenu::File:
        cycle_ = 2;  // Windows next
        break;
    default:
        break;
    }
}

}  // namespace orvell
