// What the desktop knows of a window: focus, the pointer over it, the display's refresh rate and
// size. All take the window's own X display connection and window id.
#pragma once

#include <functional>
#include <string>

// Whether an X display can be opened ($DISPLAY); `name` gets the display's name as given.
bool displayReachable(std::string& name);

// Whether the window holds the keyboard focus.
bool hasInputFocus(void* display, unsigned long window);

struct PointerState
{
    int x, y; // relative to the window's top-left corner, also when outside it
};

// Where the desktop's pointer is, relative to the window.
bool queryPointer(void* display, unsigned long window, PointerState& state);

// Asks for the window's button presses and releases on this connection, beside what it asks for already.
void watchButtons(void* display, unsigned long window);
// Hands on the button presses and releases waiting for the window, in the order they came: 1 is the
// left button, 2 the middle, 3 the right, higher numbers the wheel.
void takeButtonEvents(void* display, unsigned long window, const std::function<void(int button, bool down)>& seen);

// Whether the desktop's cursor shows over the window (a program that draws its own hides it).
void setCursorHidden(void* display, unsigned long window, bool hidden);

// Holds the pointer inside the window, hidden, until released; false if the desktop refused.
bool grabPointer(void* display, unsigned long window);
void releasePointer(void* display, unsigned long window);
// Takes the window off the screen at once (the program may block next, for example in an error box).
void hideWindow(void* display, unsigned long window);

// Puts the pointer at a place of the window.
void warpPointer(void* display, unsigned long window, int x, int y);

// The display's refresh rate in frames a second, or 0 when it cannot be read.
int displayRefreshRate(void* display);

// The size of the screen the window is on, in pixels.
void screenSize(void* display, unsigned int& width, unsigned int& height);
