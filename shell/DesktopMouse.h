// The desktop's pointer read as the input library's mouse device. Free, it reports where the
// pointer is over the window and which buttons are held, and leaves it to the desktop. Grabbed, it
// holds the pointer in the window, hidden, and reports its motion for mouse look: each capture
// takes the pointer back to the window's centre.
#pragma once

#include <OIS.h>

class DesktopMouse : public OIS::Mouse
{
public:
    DesktopMouse(void* display, unsigned long window);
    ~DesktopMouse() override;

    void setGrabbed(bool grabbed);
    bool grabbed() const { return mGrabbed; }

    void capture() override;

    void setBuffered(bool) override {}
    OIS::Interface* queryInterface(OIS::Interface::IType) override { return nullptr; }
    void _initialize() override {}

private:
    int centreX() const { return mState.width / 2; }
    int centreY() const { return mState.height / 2; }

    void* mDisplay;
    unsigned long mWindow;
    bool mGrabbed;
};
