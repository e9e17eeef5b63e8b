// The desktop's pointer read as the input library's mouse device. Free, it reports where the
// pointer is over the window (also outside it, beyond the window's size) and leaves it to the
// desktop. Grabbed, it holds the pointer in the window, hidden, and reports its motion for mouse
// look: each capture takes the pointer back to the window's centre. Buttons come from the window's
// button events, so a click shorter than a frame is still one press and one release.
#pragma once

#include "InputLatch.h"

#include <OIS.h>

class DesktopMouse : public OIS::Mouse
{
public:
    DesktopMouse(void* display, unsigned long window);
    ~DesktopMouse() override;

    void setGrabbed(bool grabbed);
    bool grabbed() const { return mGrabbed; }
    // For a program that draws its own cursor: the desktop's is not shown over the window.
    void setCursorHidden(bool hidden);

    // Starts a poll: what it sees stays as it is until the next capture.
    void capture() override;
    // Takes the waiting button events without starting a poll; true if any came or the pointer moved.
    bool pump();
    // Buttons held as far as polls have seen count as released (the focus changed).
    void forget();

    void setBuffered(bool) override {}
    OIS::Interface* queryInterface(OIS::Interface::IType) override { return nullptr; }
    void _initialize() override {}

private:
    int centreX() const { return mState.width / 2; }
    int centreY() const { return mState.height / 2; }
    bool takeButtons();

    void* mDisplay;
    unsigned long mWindow;
    bool mGrabbed;
    InputLatch<3> mButtons;
};
