#include "controllers/JoystickSystem.h"

namespace orvell {

JoystickLink::~JoystickLink()
{
    if (handle_ >= 0)
        system_.close(handle_);
}

bool JoystickLink::openFree()
{
    system_.update();
    for (int i = 0; i < system_.count(); ++i) {
        if (system_.isOpen(i))
            continue;
        const int handle = system_.open(i);
        if (handle < 0)
            continue;
        handle_ = handle;
        index_ = i;
        name_ = system_.name(i);
        return true;
    }
    return false;
}

std::optional<JoyPosition> JoystickLink::read()
{
    system_.update();
    if (handle_ >= 0) {
        if (auto position = system_.position(handle_))
            return position;
    }
    if (!reopen())
        return std::nullopt;
    return system_.position(handle_);
}

bool JoystickLink::reopen()
{
    if (index_ < 0)
        return false;
    // The same kind of stick, free again: most likely the one pulled out.
    for (int i = 0; i < system_.count(); ++i) {
        if (system_.isOpen(i) || system_.name(i) != name_)
            continue;
        const int handle = system_.open(i);
        if (handle < 0)
            continue;
        if (handle_ >= 0)
            system_.close(handle_);
        handle_ = handle;
        return true;
    }
    return false;
}

int freeJoysticks(const JoystickSystem& system)
{
    int free = 0;
    for (int i = 0; i < system.count(); ++i)
        free += system.isOpen(i) ? 0 : 1;
    return free;
}

}  // namespace orvell
