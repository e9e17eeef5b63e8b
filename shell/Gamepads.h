// Game controllers through SDL's game-controller API, whose database gives every common pad the
// same buttons. Any number may come and go at any time; the last one used is the active one, and
// only its buttons and sticks are reported. Buttons are latched like the keyboard's keys: a press
// and release between two polls is seen down by one poll and up by the next.
#pragma once

#include <memory>

class Gamepads
{
public:
    enum Button
    {
        A,
        B,
        X,
        Y,
        BACK,
        START,
        DPAD_UP,
        DPAD_DOWN,
        DPAD_LEFT,
        DPAD_RIGHT,
        // The right trigger as a button: down past half its travel, up again below a quarter.
        RIGHT_TRIGGER,
        BUTTON_COUNT
    };
    enum Axis
    {
        LEFT_X,
        LEFT_Y,
        RIGHT_X,
        RIGHT_Y,
        AXIS_COUNT
    };

    // Starts SDL's game-controller subsystem (without its signal handlers) and opens every pad
    // already there. One line in the engine's log says how many pads there are, or why there can
    // be none; without the subsystem every call does nothing.
    Gamepads();
    ~Gamepads();
    Gamepads(const Gamepads&) = delete;
    Gamepads& operator=(const Gamepads&) = delete;

    bool ready() const;
    int connected() const;

    // Takes SDL's events since the last poll: pads added and removed, buttons, sticks, triggers.
    // True when any pad was used: a button went down or up, or a stick or trigger moved past a
    // quarter of its travel (less is taken for drift). A button going down or such a move makes
    // its pad the active one; whatever the previous one held is dropped.
    bool poll();

    // The active pad's state at this poll; nothing is down and the sticks are centred without one.
    bool down(Button button) const;
    // -1 to 1; down and right are positive, as SDL gives them. No dead zone is applied here.
    float axis(Axis axis) const;

    // True at the first poll after the active pad was removed (the game pauses).
    bool activeRemoved() const;

    // A pulse on the active pad, strength 0 to 1; nothing on a pad without rumble or without a pad.
    void rumble(float strength, int milliseconds);

private:
    struct State;
    std::unique_ptr<State> mState;
};
