#pragma once

#include <SDL.h>

#include <cstdint>

namespace orvell::test {

// A stick made by SDL itself, so that tests take the path the program takes.
// The test holds it open to move it; pulling it out detaches it.
struct VirtualStick {
    explicit VirtualStick(const char* name)
    {
        SDL_InitSubSystem(SDL_INIT_JOYSTICK);
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = 2;
        desc.nbuttons = 2;
        desc.name = name;
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        stick = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
    }
    ~VirtualStick()
    {
        pull();
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }
    VirtualStick(const VirtualStick&) = delete;
    VirtualStick& operator=(const VirtualStick&) = delete;

    void pull()
    {
        if (!stick)
            return;
        const SDL_JoystickID id = SDL_JoystickInstanceID(stick);
        SDL_JoystickClose(stick);
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) == id)
                SDL_JoystickDetachVirtual(i);
        }
        stick = nullptr;
    }
    // Raw positions 0..65535 as the panels count them.
    void move(int x, int y)
    {
        SDL_JoystickSetVirtualAxis(stick, 0, static_cast<Sint16>(x - 32768));
        SDL_JoystickSetVirtualAxis(stick, 1, static_cast<Sint16>(y - 32768));
    }
    void button(int b, bool down) { SDL_JoystickSetVirtualButton(stick, b, down ? 1 : 0); }

    SDL_Joystick* stick = nullptr;
};

}  // namespace orvell::test
