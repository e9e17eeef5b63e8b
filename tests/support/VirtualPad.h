// A game controller of SDL's own making, for tests: plugged in while it lives, its buttons, sticks
// and triggers set by hand, its rumble recorded. Its buttons and axes are numbered as SDL's
// game-controller ones (SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_AXIS_LEFTX...), which SDL's mapping
// of a virtual controller keeps.
//
// What is set here becomes events only when SDL next updates its joysticks (SDL_PumpEvents, as in
// Gamepads::poll): a press and release set between two updates are never seen. update() makes the
// events at once, to play a tap that comes and goes between two polls.
#pragma once

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

class VirtualPad
{
public:
    enum Motors
    {
        WITH_RUMBLE,
        WITHOUT_RUMBLE
    };

    explicit VirtualPad(const char* name = "Virtual pad", Motors motors = WITH_RUMBLE)
    {
        startJoysticks();
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = name;
        desc.userdata = this;
        if (motors == WITH_RUMBLE)
            desc.Rumble = &VirtualPad::rumbled;
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        mJoystick = index < 0 ? nullptr : SDL_JoystickOpen(index);
        if (!mJoystick) {
            const std::string error = SDL_GetError();
            if (index >= 0)
                SDL_JoystickDetachVirtual(index);
            SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
            throw std::runtime_error("virtual pad: " + error);
        }
        mId = SDL_JoystickInstanceID(mJoystick);
    }

    ~VirtualPad()
    {
        unplug();
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }

    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    // Pulled out: SDL says so at its next update. Once only; the destructor does it otherwise.
    void unplug()
    {
        if (!mJoystick)
            return;
        SDL_JoystickClose(mJoystick);
        mJoystick = nullptr;
        // Attached under a device index, detached under the one it has now: pads come and go.
        for (int index = 0; index < SDL_NumJoysticks(); ++index) {
            if (SDL_JoystickGetDeviceInstanceID(index) == mId) {
                SDL_JoystickDetachVirtual(index);
                return;
            }
        }
    }

    void press(SDL_GameControllerButton button) { SDL_JoystickSetVirtualButton(mJoystick, button, SDL_PRESSED); }
    void release(SDL_GameControllerButton button) { SDL_JoystickSetVirtualButton(mJoystick, button, SDL_RELEASED); }

    // A stick from -1 to 1 (full travel either way, as SDL gives it: -32768 to 32767), a trigger
    // from 0 (at rest) to 1. A virtual trigger spans the joystick's whole range, which SDL's mapping
    // halves.
    void move(SDL_GameControllerAxis axis, float value)
    {
        const bool trigger = axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT || axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT;
        const float raw = trigger ? SDL_JOYSTICK_AXIS_MIN + value * (SDL_JOYSTICK_AXIS_MAX - SDL_JOYSTICK_AXIS_MIN)
                                  : value * -float(SDL_JOYSTICK_AXIS_MIN);
        const long clamped = std::clamp(std::lround(raw), long(SDL_JOYSTICK_AXIS_MIN), long(SDL_JOYSTICK_AXIS_MAX));
        SDL_JoystickSetVirtualAxis(mJoystick, axis, Sint16(clamped));
    }

    // Turns what was set so far into SDL events now, rather than at the next poll.
    static void update() { SDL_JoystickUpdate(); }

    SDL_JoystickID id() const { return mId; }

    // Rumble requests that reached the pad, and the strengths of the last one.
    int rumbles = 0;
    Uint16 lowRumble = 0;
    Uint16 highRumble = 0;

    // Pads of the machine's own would join the virtual ones and upset the tests' counts.
    static bool realPadsPresent()
    {
        startJoysticks();
        bool present = false;
        for (int index = 0; index < SDL_NumJoysticks(); ++index)
            present = present || !SDL_JoystickIsVirtual(index);
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
        return present;
    }

private:
    // Whoever starts SDL's events first decides whether SDL installs its quit-signal handlers: as
    // in the game, it must not.
    static void startJoysticks()
    {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) < 0)
            throw std::runtime_error(std::string("SDL joysticks: ") + SDL_GetError());
    }

    static int SDLCALL rumbled(void* userdata, Uint16 low, Uint16 high)
    {
        VirtualPad* pad = static_cast<VirtualPad*>(userdata);
        ++pad->rumbles;
        pad->lowRumble = low;
        pad->highRumble = high;
        return 0;
    }

    SDL_Joystick* mJoystick = nullptr;
    SDL_JoystickID mId = -1;
};
