#include "DesktopMouse.h"

#include "DesktopWindow.h"

#include <algorithm>

namespace {
// The X server's button numbers as the input library's: left, right, middle; the wheel is not a button here.
int buttonId(int xButton)
{
    switch (xButton) {
    case 1:
        return OIS::MB_Left;
    case 2:
        return OIS::MB_Middle;
    case 3:
        return OIS::MB_Right;
    default:
        return -1;
    }
}
}

DesktopMouse::DesktopMouse(void* display, unsigned long window)
    : OIS::Mouse("desktop pointer", false, 0, nullptr), mDisplay(display), mWindow(window), mGrabbed(false)
{
    watchButtons(mDisplay, mWindow);
}

DesktopMouse::~DesktopMouse()
{
    setGrabbed(false);
    setCursorHidden(false);
}

void DesktopMouse::setGrabbed(bool grabbed)
{
    if (grabbed == mGrabbed)
        return;
    mGrabbed = grabbed;
    if (grabbed) {
        grabPointer(mDisplay, mWindow);
        warpPointer(mDisplay, mWindow, centreX(), centreY());
    } else {
        releasePointer(mDisplay, mWindow);
    }
}

void DesktopMouse::setCursorHidden(bool hidden)
{
    ::setCursorHidden(mDisplay, mWindow, hidden);
}

bool DesktopMouse::takeButtons()
{
    bool came = false;
    // Only events for the window arrive: a click into another window is not one into ours.
    takeButtonEvents(mDisplay, mWindow, [this, &came](int xButton, bool down) {
        const int id = buttonId(xButton);
        if (id < 0)
            return;
        if (down)
            mButtons.press(id);
        else
            mButtons.release(id);
        came = true;
    });
    return came;
}

bool DesktopMouse::pump()
{
    const bool buttons = takeButtons();
    PointerState pointer;
    if (!queryPointer(mDisplay, mWindow, pointer))
        return buttons;
    const bool moved = mGrabbed ? pointer.x != centreX() || pointer.y != centreY()
                                : pointer.x != mState.X.abs || pointer.y != mState.Y.abs;
    return buttons || moved;
}

void DesktopMouse::forget()
{
    mButtons.forget();
}

void DesktopMouse::capture()
{
    mButtons.beginPoll();
    takeButtons();
    mButtons.endPoll();
    mState.buttons = 0;
    for (int id : {OIS::MB_Left, OIS::MB_Right, OIS::MB_Middle})
        mState.buttons |= mButtons.down(id) ? 1 << id : 0;

    mState.X.rel = mState.Y.rel = 0;
    PointerState pointer;
    if (!queryPointer(mDisplay, mWindow, pointer))
        return;
    if (!mGrabbed) {
        mState.X.rel = pointer.x - mState.X.abs;
        mState.Y.rel = pointer.y - mState.Y.abs;
        mState.X.abs = pointer.x;
        mState.Y.abs = pointer.y;
        return;
    }
    mState.X.rel = pointer.x - centreX();
    mState.Y.rel = pointer.y - centreY();
    mState.X.abs = std::clamp(mState.X.abs + mState.X.rel, 0, mState.width);
    mState.Y.abs = std::clamp(mState.Y.abs + mState.Y.rel, 0, mState.height);
    if (mState.X.rel != 0 || mState.Y.rel != 0)
        warpPointer(mDisplay, mWindow, centreX(), centreY());
}
