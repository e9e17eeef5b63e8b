#include "DesktopMouse.h"

#include "DesktopWindow.h"

#include <algorithm>

DesktopMouse::DesktopMouse(void* display, unsigned long window)
    : OIS::Mouse("desktop pointer", false, 0, nullptr), mDisplay(display), mWindow(window), mGrabbed(false)
{
}

DesktopMouse::~DesktopMouse()
{
    setGrabbed(false);
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

void DesktopMouse::capture()
{
    mState.X.rel = mState.Y.rel = 0;
    PointerState pointer;
    if (!queryPointer(mDisplay, mWindow, pointer))
        return;
    mState.buttons = 0;
    // A click into another window is not one into ours.
    const bool inside = pointer.x >= 0 && pointer.y >= 0 && pointer.x < mState.width && pointer.y < mState.height;
    if (inside) {
        mState.buttons |= pointer.left ? 1 << OIS::MB_Left : 0;
        mState.buttons |= pointer.right ? 1 << OIS::MB_Right : 0;
        mState.buttons |= pointer.middle ? 1 << OIS::MB_Middle : 0;
    }
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
