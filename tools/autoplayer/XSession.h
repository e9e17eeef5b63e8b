// The auto-player's hands on an X display: finds windows by title and sends synthetic input through XTest.
#pragma once

#include <X11/Xlib.h>

#include <string>

namespace autoplayer {

class XSession
{
public:
    // Opens $DISPLAY; throws std::runtime_error without one or without the XTest extension.
    XSession();
    ~XSession();

    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // A window with exactly this title anywhere in the tree, or 0.
    Window findWindow(const std::string& title) const;

    // Absolute pointer position given in a window's own coordinates.
    void moveTo(Window window, int x, int y);
    // Relative motion over a window that holds the pointer grabbed: in pieces that never reach
    // past its edges, where the grab would clip them, waiting for the game to take the pointer back
    // to the middle when it has come near one.
    void moveBy(Window window, int dx, int dy);
    // Held for a moment: the game reads its devices once per frame and misses shorter clicks.
    void click(Window window, int x, int y);
    // The left button held for a moment where the pointer is.
    void pressButton();
    // The left button's press and release on their own, for callers that time the hold themselves.
    void buttonDown();
    void buttonUp();
    // One relative pointer motion, sent at once: no care for the window's edges.
    void nudge(int dx, int dy);
    void keyDown(unsigned long keysym);
    void keyUp(unsigned long keysym);
    void tapKey(unsigned long keysym);

    // Writes a window's (or with 0, the whole screen's) picture as a binary PPM file. Done here
    // rather than by a screenshot program, which would take the game's keyboard and pointer grab.
    bool savePicture(Window window, const std::string& path) const;

    // How far a bright bar reaches along the window's row y between x0 (empty) and x1 (full), 0..1:
    // the rightmost pixel whose red, green and blue add up to more than `brightness`.
    double barFill(Window window, int x0, int x1, int y, int brightness) const;

private:
    Window search(Window from, const std::string& title) const;

    Display* mDisplay;
};

// Seconds since an arbitrary start, and sleeping for a while.
double now();
void pause(double seconds);

}
