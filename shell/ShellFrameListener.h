// Frame listener base: owns the input devices, flies the camera and keeps the statistics overlay current.
#pragma once

#include <array>
#include <chrono>
#include <memory>
#include <string>

#include <Bites/OgreWindowEventUtilities.h>
#include <OgreFrameListener.h>
#include <OgreMath.h>
#include <OgreVector.h>
#include <OIS.h>

class DesktopMouse;
class Gamepads;
class LatchedKeyboard;

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

    // Reads the devices and acts on them (readInput), unless readInputAhead did so for this frame.
    bool frameRenderingQueued(const Ogre::FrameEvent& evt) override;
    // For a loop about to draw a frame: reads the devices and acts on them now, with the time since
    // the last such read, so that the frame shows it; that frame's frameRenderingQueued then returns
    // what this read decided. The engine would otherwise have drawn the frame before the read.
    void readInputAhead();
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
    // Takes the devices' events between frames: true when a key or button went down or up or the
    // mouse moved.
    bool inputWaiting();
    // For a listener that draws its own cursor: the desktop's is not shown over the window.
    void setDesktopCursorHidden(bool hidden);
    // Full screen at the desktop's resolution, or the window as it was before; F11 switches.
    void setFullScreen(bool fullScreen);

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
    // Game controllers, polled with the other devices; the listener decides what they do.
    std::unique_ptr<Gamepads> mGamepads;

    // Shared by every listener: the P key shows the camera's position and orientation.
    static bool sShowCameraDetails;

    // The devices mMouseDevice and mKeyboardDevice start as: the desktop's pointer, free or grabbed,
    // and the keyboard read through the input library's events (mKeyboardEvents).
    DesktopMouse* mDesktopMouse;
    LatchedKeyboard* mLatchedKeyboard;
    OIS::Keyboard* mKeyboardEvents;
    bool mWindowFocused;
    // Seconds since the player last touched a key or the mouse.
    float mQuietSeconds;
    std::array<char, 256> mKeysSeen;
    bool mFullScreenKeyDown;
    unsigned int mWindowedWidth;
    unsigned int mWindowedHeight;

    // The camera turns and moves through the scene node it hangs on.
    Ogre::SceneNode* cameraNode() const;

    // The size F11 gives the window: the whole screen it is on.
    void fullScreenSize(unsigned int& width, unsigned int& height) const;

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
    // Captures the devices, polls them (keys and mouse) and moves the camera.
    bool readInput(const Ogre::FrameEvent& evt);
    bool mInputReadAhead = false;
    bool mReadAheadResult = true;
    std::chrono::steady_clock::time_point mLastReadAhead;
    // Nothing held before a focus change counts as held after it.
    void forgetInput();
    void noteInput(float frameTime, bool padUsed);
    // What this poll saw change, for the latency benchmark's trace.
    void traceInput();
    std::array<char, 256> mTracedKeys{};
    // Whether the last frame was drawn at the idle rate, which the frame-rate statistics leave out.
    bool mWasIdle = false;
    int mTracedButtons = 0;
    // Whether a key went down or up, or the mouse moved or holds a button, since the last look.
    bool inputChanged();
    // F11 switches between full screen at the desktop's resolution and the window as it was.
    void toggleFullScreenOnF11();
};
