#include "Gamepads.h"

#include "InputLatch.h"

#include <OgreLogManager.h>

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace {

// Past this much of its travel a stick or trigger is in use rather than drifting: only then does it
// make its pad the active one.
const float USE_TRAVEL = 0.25f;
// The right trigger as a button: a finger resting between the two does not make it chatter.
const float TRIGGER_PRESS = 0.5f;
const float TRIGGER_RELEASE = 0.25f;
const SDL_JoystickID NO_PAD = -1;

void logLine(const std::string& line)
{
    if (Ogre::LogManager* log = Ogre::LogManager::getSingletonPtr())
        log->logMessage("Gamepads: " + line);
}

Gamepads::Button buttonOf(Uint8 button)
{
    switch (button) {
    case SDL_CONTROLLER_BUTTON_A:
        return Gamepads::A;
    case SDL_CONTROLLER_BUTTON_B:
        return Gamepads::B;
    case SDL_CONTROLLER_BUTTON_X:
        return Gamepads::X;
    case SDL_CONTROLLER_BUTTON_Y:
        return Gamepads::Y;
    case SDL_CONTROLLER_BUTTON_BACK:
        return Gamepads::BACK;
    case SDL_CONTROLLER_BUTTON_START:
        return Gamepads::START;
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
        return Gamepads::DPAD_UP;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
        return Gamepads::DPAD_DOWN;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
        return Gamepads::DPAD_LEFT;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
        return Gamepads::DPAD_RIGHT;
    default:
        return Gamepads::BUTTON_COUNT;
    }
}

// The sticks; the triggers have no axis of ours.
const std::array<SDL_GameControllerAxis, Gamepads::AXIS_COUNT> STICK_AXES = {
    SDL_CONTROLLER_AXIS_LEFTX, SDL_CONTROLLER_AXIS_LEFTY, SDL_CONTROLLER_AXIS_RIGHTX, SDL_CONTROLLER_AXIS_RIGHTY};

// SDL's sticks reach one step further left and up than right and down.
float travel(Sint16 value)
{
    return std::clamp(value / float(SDL_JOYSTICK_AXIS_MAX), -1.0f, 1.0f);
}

struct Pad
{
    SDL_GameController* controller = nullptr;
    SDL_JoystickID id = NO_PAD;
    std::string name;
    std::array<float, Gamepads::AXIS_COUNT> sticks{};
    // Where the trigger is, whichever pad is active: a pull made while another pad was in use is
    // not a press when this one takes over, any more than a button held meanwhile.
    bool triggerHeld = false;
    bool noRumbleLogged = false;
};

} // namespace

struct Gamepads::State
{
    bool ready = false;
    std::vector<Pad> pads;
    SDL_JoystickID active = NO_PAD;
    // The active pad's; a new one starts with nothing held.
    InputLatch<BUTTON_COUNT> buttons;
    bool activeRemoved = false;

    Pad* find(SDL_JoystickID id)
    {
        auto pad = std::find_if(pads.begin(), pads.end(), [id](const Pad& p) { return p.id == id; });
        return pad == pads.end() ? nullptr : &*pad;
    }

    // Pads there at start come again in SDL's first added events: one already open is left alone.
    // False with a reason in `error` when SDL cannot open it.
    bool open(int deviceIndex, std::string& error)
    {
        const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
        if (id < 0 || find(id))
            return false;
        SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
        if (!controller) {
            const char* name = SDL_GameControllerNameForIndex(deviceIndex);
            error = std::string(name ? name : "a pad") + " could not be opened: " + SDL_GetError();
            return false;
        }
        Pad pad;
        pad.controller = controller;
        pad.id = id;
        const char* name = SDL_GameControllerName(controller);
        pad.name = name ? name : "unnamed pad";
        for (int axis = 0; axis < AXIS_COUNT; ++axis)
            pad.sticks[axis] = travel(SDL_GameControllerGetAxis(controller, STICK_AXES[axis]));
        pad.triggerHeld =
            travel(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_TRIGGERRIGHT)) > TRIGGER_PRESS;
        pads.push_back(pad);
        return true;
    }

    void close(SDL_JoystickID id)
    {
        Pad* pad = find(id);
        if (!pad)
            return;
        logLine("disconnected " + pad->name);
        if (id == active) {
            active = NO_PAD;
            buttons = {};
            activeRemoved = true;
        }
        SDL_GameControllerClose(pad->controller);
        pads.erase(pads.begin() + (pad - pads.data()));
    }

    void use(const Pad& pad)
    {
        if (pad.id == active)
            return;
        active = pad.id;
        buttons = {};
    }

    void moveTrigger(Pad& pad, float value)
    {
        const bool held = pad.triggerHeld ? value >= TRIGGER_RELEASE : value > TRIGGER_PRESS;
        if (held == pad.triggerHeld)
            return;
        pad.triggerHeld = held;
        if (pad.id != active)
            return;
        if (held)
            buttons.press(RIGHT_TRIGGER);
        else
            buttons.release(RIGHT_TRIGGER);
    }

    // Whether the event was a use of a pad.
    bool handle(const SDL_Event& event)
    {
        if (event.type == SDL_CONTROLLERDEVICEADDED) {
            std::string error;
            if (open(event.cdevice.which, error))
                logLine("connected " + pads.back().name);
            else if (!error.empty())
                logLine(error);
            return false;
        }
        if (event.type == SDL_CONTROLLERDEVICEREMOVED) {
            close(event.cdevice.which);
            return false;
        }
        if (event.type == SDL_CONTROLLERBUTTONDOWN || event.type == SDL_CONTROLLERBUTTONUP) {
            Pad* pad = find(event.cbutton.which);
            if (!pad)
                return false;
            const bool pressed = event.type == SDL_CONTROLLERBUTTONDOWN;
            if (pressed)
                use(*pad);
            const Button button = buttonOf(event.cbutton.button);
            if (pad->id == active && button != BUTTON_COUNT) {
                if (pressed)
                    buttons.press(button);
                else
                    buttons.release(button);
            }
            return true;
        }
        if (event.type == SDL_CONTROLLERAXISMOTION) {
            Pad* pad = find(event.caxis.which);
            if (!pad)
                return false;
            const float value = travel(event.caxis.value);
            const bool used = std::abs(value) > USE_TRAVEL;
            if (used)
                use(*pad);
            const auto stick = std::find(STICK_AXES.begin(), STICK_AXES.end(), event.caxis.axis);
            if (stick != STICK_AXES.end())
                pad->sticks[stick - STICK_AXES.begin()] = value;
            else if (event.caxis.axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT)
                moveTrigger(*pad, value);
            return used;
        }
        return false;
    }
};

Gamepads::Gamepads() : mState(std::make_unique<State>())
{
    // The game catches the quit signals itself, and SDL has no window of ours to have the focus.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) < 0) {
        logLine(std::string("none, as SDL's game-controller subsystem did not start: ") + SDL_GetError());
        return;
    }
    mState->ready = true;

    std::string names;
    std::string errors;
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
        if (!SDL_IsGameController(index))
            continue;
        std::string error;
        if (mState->open(index, error))
            names += (names.empty() ? "" : ", ") + mState->pads.back().name;
        else if (!error.empty())
            errors += "; " + error;
    }
    if (mState->pads.empty())
        logLine("none connected" + errors);
    else
        logLine(std::to_string(mState->pads.size()) + " connected: " + names + errors);
}

Gamepads::~Gamepads()
{
    if (!mState->ready)
        return;
    for (const Pad& pad : mState->pads)
        SDL_GameControllerClose(pad.controller);
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool Gamepads::ready() const
{
    return mState->ready;
}

int Gamepads::connected() const
{
    return int(mState->pads.size());
}

bool Gamepads::poll()
{
    if (!mState->ready)
        return false;
    mState->activeRemoved = false;
    mState->buttons.beginPoll();
    SDL_PumpEvents();
    bool used = false;
    SDL_Event events[32];
    int taken;
    do {
        taken = SDL_PeepEvents(events, 32, SDL_GETEVENT, SDL_CONTROLLERAXISMOTION, SDL_CONTROLLERDEVICEREMOVED);
        for (int i = 0; i < taken; ++i)
            used = mState->handle(events[i]) || used;
    } while (taken == 32);
    // The joysticks' own events, which the controllers' are made from, and the controllers' others:
    // nothing reads them, and the queue must not fill up.
    SDL_FlushEvents(SDL_JOYAXISMOTION, SDL_FINGERDOWN - 1);
    mState->buttons.endPoll();
    return used;
}

bool Gamepads::down(Button button) const
{
    return mState->buttons.down(button);
}

float Gamepads::axis(Axis axis) const
{
    const Pad* pad = mState->find(mState->active);
    return pad && axis >= 0 && axis < AXIS_COUNT ? pad->sticks[axis] : 0.0f;
}

bool Gamepads::activeRemoved() const
{
    return mState->activeRemoved;
}

void Gamepads::rumble(float strength, int milliseconds)
{
    Pad* pad = mState->find(mState->active);
    if (!pad)
        return;
    if (!SDL_GameControllerHasRumble(pad->controller)) {
        if (!pad->noRumbleLogged)
            logLine(pad->name + " has no rumble");
        pad->noRumbleLogged = true;
        return;
    }
    // Written as a comparison so that a NaN strength is no rumble.
    const float level = strength > 0.0f ? std::min(strength, 1.0f) : 0.0f;
    const Uint16 motor = Uint16(std::lround(level * 0xFFFF));
    SDL_GameControllerRumble(pad->controller, motor, motor, Uint32(std::max(milliseconds, 0)));
}
