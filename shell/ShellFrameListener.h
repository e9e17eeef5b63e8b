// Frame listener base: owns the input devices, flies the camera and keeps the statistics overlay current.
#pragma once

#include <array>
#include <string>

#include <Bites/OgreWindowEventUtilities.h>
#include <OgreFrameListener.h>
#include <OgreMath.h>
#include <OgreVector.h>
#include <OIS.h>

class DesktopMouse;

namespace Ogre {
class Camera;
class Overlay;
class OverlayElement;
class RenderWindow;
class SceneNode;
}

class ShellFrameListener : public Ogre::FrameListener, public OgreBites::WindowEventListener
{
public:
    // The statistics overlay, defined by the media's overlay script.
    static const char* const STATISTICS_OVERLAY;

    ShellFrameListener(Ogre::RenderWindow* window, Ogre::Camera* camera, bool bufferedKeys, bool bufferedMouse,
                       bool bufferedJoystick);
    virtual ~ShellFrameListener();

    bool frameRenderingQueued(const Ogre::FrameEvent& evt) override;
    bool frameEnded(const Ogre::FrameEvent& evt) override;

    virtual void refreshStatistics();
    virtual bool pollKeyboard(const Ogre::FrameEvent& evt);
    virtual bool pollMouse(const Ogre::FrameEvent& evt);
    virtual void applyCameraMotion();
    virtual void setStatisticsVisible(bool show);

    void windowResized(Ogre::RenderWindow* rw) override;
    void windowClosed(Ogre::RenderWindow* rw) override;
    void windowFocusChange(Ogre::RenderWindow* rw) override;

    // While grabbed, the pointer is held in the window and hidden, for mouse look; otherwise it is the
    // desktop's, free to leave the window, and the mouse device reports where it is over the window.
    void grabPointer(bool grab);
    bool pointerGrabbed() const;
    // Gives the input devices back to the desktop for good, as a closed window does.
    void releaseDevices();
    // Whether a few frames a second are enough; the frame loop asks before each frame.
    virtual bool isIdle() const { return false; }
    // Reads the devices between frames: true when a key went down or up, a button is held or the
    // mouse moved.
    bool inputWaiting();

protected:
    Ogre::Camera* mActiveCamera;
    Ogre::Vector3 mMoveVector;
    float mSpeedFactor;
    Ogre::RenderWindow* mRenderWindow;
    bool mShowStatistics;
    std::string mStatusText;
    unsigned int mScreenshotCount;
    float mMoveStep;
    Ogre::Degree mTurnStep;
    float mToggleDelay;
    Ogre::Radian mYawStep;
    Ogre::Radian mPitchStep;
    int mFilterMode;
    int mAnisotropyLevel;
    int mPolygonModeIndex;
    float mMoveUnitsPerSecond;
    Ogre::Degree mTurnDegreesPerSecond;
    Ogre::Overlay* mStatisticsOverlay;
    OIS::InputManager* mInputSystem;
    OIS::Mouse* mMouseDevice;
    OIS::Keyboard* mKeyboardDevice;
    OIS::JoyStick* mJoystickDevice;

    // Shared by every listener: the P key shows the camera's position and orientation.
    static bool sShowCameraDetails;

    // The mouse device mMouseDevice starts as: the desktop's pointer, free or grabbed.
    DesktopMouse* mDesktopMouse;
    bool mWindowFocused;
    // Seconds since the player last touched a key or the mouse.
    float mQuietSeconds;
    std::array<char, 256> mKeysSeen;
    bool mFullScreenKeyDown;
    unsigned int mWindowedWidth;
    unsigned int mWindowedHeight;

    // The camera turns and moves through the scene node it hangs on.
    Ogre::SceneNode* cameraNode() const;

private:
    // The statistics overlay's text elements and the captions they show: a caption set again, even
    // to the same text, makes the engine rebuild that element's glyphs for the next frame.
    enum StatisticsLine
    {
        CURRENT_FPS,
        BEST_FPS,
        WORST_FPS,
        TRIANGLES,
        BATCHES,
        STATUS,
        STATISTICS_LINES
    };
    std::array<Ogre::OverlayElement*, STATISTICS_LINES> mStatisticsElements{};
    std::array<std::string, STATISTICS_LINES> mStatisticsCaptions;
    void showStatistic(StatisticsLine line, const std::string& caption);

    bool anyDeviceUnbuffered() const;
    void noteInput(float frameTime);
    // What this poll saw change, for the latency benchmark's trace.
    void traceInput();
    std::array<char, 256> mTracedKeys{};
    int mTracedButtons = 0;
    // Whether a key went down or up, or the mouse moved or holds a button, since the last look.
    bool inputChanged();
    // F11 switches between full screen at the desktop's resolution and the window as it was.
    void toggleFullScreenOnF11();
};
