// Joysticks through SDL2. Polled from the user-interface thread: update()
// lets SDL look for added and removed devices and read the sticks; no
// events are queued, so nothing piles up between polls.
#include "controllers/JoystickSystem.h"

#include <SDL.h>

#include <algorithm>
#include <map>

namespace orvell {

namespace {

class SdlJoystickSystem final : public JoystickSystem {
public:
    SdlJoystickSystem()
    {
        // The program answers stop signals itself.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        // The panels have no SDL window, so no window ever has the focus.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        started_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
        if (started_)
            SDL_JoystickEventState(SDL_IGNORE);
    }

    ~SdlJoystickSystem() override
    {
        if (!started_)
            return;
        for (const auto& [handle, stick] : open_)
            SDL_JoystickClose(stick);
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }

    bool available() const override { return started_; }

    void update() override
    {
        if (started_)
            SDL_JoystickUpdate();
    }

    int count() const override { return started_ ? std::max(0, SDL_NumJoysticks()) : 0; }

    QString name(int index) const override
    {
        const char* text = started_ ? SDL_JoystickNameForIndex(index) : nullptr;
        return text ? QString::fromUtf8(text) : QString();
    }

    bool isOpen(int index) const override
    {
        return started_ && open_.contains(SDL_JoystickGetDeviceInstanceID(index));
    }

    int open(int index) override
    {
        if (!started_ || isOpen(index))
            return -1;
        SDL_Joystick* stick = SDL_JoystickOpen(index);
        if (!stick)
            return -1;
        const SDL_JoystickID id = SDL_JoystickInstanceID(stick);
        open_[id] = stick;
        return id;
    }

    void close(int handle) override
    {
        const auto found = open_.find(handle);
        if (found == open_.end())
            return;
        SDL_JoystickClose(found->second);
        open_.erase(found);
    }

    std::optional<JoyPosition> position(int handle) const override
    {
        const auto found = open_.find(handle);
        if (found == open_.end() || !SDL_JoystickGetAttached(found->second))
            return std::nullopt;
        SDL_Joystick* stick = found->second;
        JoyPosition at;
        // SDL reads -32768..32767; the panels count 0..65535.
        at.x = SDL_JoystickGetAxis(stick, 0) + 32768;
        at.y = SDL_JoystickGetAxis(stick, 1) + 32768;
        const int buttons = std::min(SDL_JoystickNumButtons(stick), 32);
        for (int b = 0; b < buttons; ++b) {
            if (SDL_JoystickGetButton(stick, b))
                at.buttons |= 1u << b;
        }
        return at;
    }

private:
    bool started_ = false;
    std::map<int, SDL_Joystick*> open_;  // by instance id, the handle
};

}  // namespace

std::unique_ptr<JoystickSystem> makeSdlJoystickSystem() { return std::make_unique<SdlJoystickSystem>(); }

}  // namespace orvell
