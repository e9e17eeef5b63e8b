#include "ShellFrameListener.h"

#include "DesktopMouse.h"
#include "DesktopWindow.h"
#include "FrameTrace.h"
#include "Gamepads.h"
#include "LatchedKeyboard.h"
#include "MouseLook.h"
#include "ShellFacts.h"

#include <OgreCamera.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreRenderWindow.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayElement.h>
#include <Overlay/OgreOverlayManager.h>

#include <array>
#include <chrono>
#include <clocale>

const char* const ShellFrameListener::STATISTICS_OVERLAY = "Core/DebugOverlay";
bool ShellFrameListener::sShowCameraDetails = false;

ShellFrameListener::ShellFrameListener(Ogre::RenderWindow* window, Ogre::Camera* camera, bool bufferedKeys,
                                       bool bufferedMouse, bool bufferedJoystick)
    : mActiveCamera(camera), mMoveVector(Ogre::Vector3::ZERO), mSpeedFactor(0), mRenderWindow(window),
      mShowStatistics(true), mScreenshotCount(0), mMoveStep(0), mTurnStep(0), mToggleDelay(0), mYawStep(0),
      mPitchStep(0), mFilterMode(Ogre::TFO_BILINEAR), mAnisotropyLevel(1), mPolygonModeIndex(0),
      mMoveUnitsPerSecond(100), mTurnDegreesPerSecond(36), mStatisticsOverlay(nullptr), mInputSystem(nullptr),
      mMouseDevice(nullptr), mKeyboardDevice(nullptr), mJoystickDevice(nullptr), mDesktopMouse(nullptr),
      mLatchedKeyboard(nullptr), mKeyboardEvents(nullptr), mWindowFocused(true), mQuietSeconds(0), mKeysSeen(),
      mFullScreenKeyDown(false), mWindowedWidth(0), mWindowedHeight(0)
{
    mStatisticsOverlay = Ogre::OverlayManager::getSingleton().getByName(STATISTICS_OVERLAY);

    Ogre::LogManager::getSingletonPtr()->logMessage(kInputStartedLine);

    size_t windowHandle = 0;
    mRenderWindow->getCustomAttribute("WINDOW", &windowHandle);
    void* display = nullptr;
    mRenderWindow->getCustomAttribute("XDISPLAY", &display);
    // The keyboard is never grabbed, so the desktop's shortcuts keep working. The mouse is the
    // desktop's pointer, grabbed only when asked (the input library's own mouse would grab it from
    // the start and move it into a corner of the window).
    OIS::ParamList params;
    params.insert(std::make_pair(std::string("WINDOW"), std::to_string(windowHandle)));
    params.insert(std::make_pair(std::string("x11_keyboard_grab"), std::string("false")));
    mInputSystem = OIS::InputManager::createInputSystem(params);

    // Read through its events, whatever the caller asked for: a state read once a frame misses taps.
    mKeyboardEvents = static_cast<OIS::Keyboard*>(mInputSystem->createInputObject(OIS::OISKeyboard, true, ""));
    mLatchedKeyboard = new LatchedKeyboard(mKeyboardEvents);
    mLatchedKeyboard->setBuffered(bufferedKeys);
    mKeyboardDevice = mLatchedKeyboard;
    // Making the keyboard has set LC_CTYPE to the user's locale. The GUI library, which reads its
    // files next, logs an error for each one unless the whole locale is plain "C" (not only
    // LC_NUMERIC): the process stays in "C" until run() gives LC_CTYPE back.
    std::setlocale(LC_ALL, "C");
    mDesktopMouse = new DesktopMouse(display, windowHandle);
    mDesktopMouse->setBuffered(bufferedMouse);
    mMouseDevice = mDesktopMouse;
    try {
        mJoystickDevice =
            static_cast<OIS::JoyStick*>(mInputSystem->createInputObject(OIS::OISJoyStick, bufferedJoystick, ""));
    } catch (...) {
        // Most machines have no joystick; play goes on without one.
        mJoystickDevice = nullptr;
    }
    mGamepads = std::make_unique<Gamepads>();

    windowResized(mRenderWindow);
    setStatisticsVisible(true);
    OgreBites::WindowEventUtilities::addWindowEventListener(mRenderWindow, this);
}

ShellFrameListener::~ShellFrameListener()
{
    OgreBites::WindowEventUtilities::removeWindowEventListener(mRenderWindow, this);
    windowClosed(mRenderWindow);
}

Ogre::SceneNode* ShellFrameListener::cameraNode() const
{
    return mActiveCamera->getParentSceneNode();
}

bool ShellFrameListener::anyDeviceUnbuffered() const
{
    return !mMouseDevice->buffered() || !mKeyboardDevice->buffered() ||
           (mJoystickDevice && !mJoystickDevice->buffered());
}

bool ShellFrameListener::frameRenderingQueued(const Ogre::FrameEvent& evt)
{
    if (mRenderWindow->isClosed())
        return false;
    if (mInputReadAhead) {
        mInputReadAhead = false;
        return mReadAheadResult;
    }
    return readInput(evt);
}

void ShellFrameListener::readInputAhead()
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point now = Clock::now();
    Ogre::FrameEvent evt;
    evt.timeSinceLastFrame =
        mLastReadAhead == Clock::time_point() ? 0 : std::chrono::duration<float>(now - mLastReadAhead).count();
    evt.timeSinceLastEvent = evt.timeSinceLastFrame;
    mLastReadAhead = now;
    // A closed window has given its devices back; the frame itself then says to stop.
    mReadAheadResult = !mRenderWindow->isClosed() && readInput(evt);
    mInputReadAhead = true;
}

bool ShellFrameListener::readInput(const Ogre::FrameEvent& evt)
{
    mKeyboardDevice->capture();
    mMouseDevice->capture();
    if (mJoystickDevice)
        mJoystickDevice->capture();
    const bool padUsed = mGamepads->poll();
    noteInput(evt.timeSinceLastFrame, padUsed);
    traceInput();
    toggleFullScreenOnF11();

    const Ogre::Vector3 previousMove = mMoveVector;
    const float frameTime = evt.timeSinceLastFrame;
    const bool unbuffered = anyDeviceUnbuffered();
    if (unbuffered) {
        if (mToggleDelay >= 0)
            mToggleDelay -= frameTime;
        mMoveStep = mMoveUnitsPerSecond * frameTime;
        mTurnStep = mTurnDegreesPerSecond * frameTime;
        mYawStep = 0;
        mPitchStep = 0;
        mMoveVector = Ogre::Vector3::ZERO;
    }

    if (!mKeyboardDevice->buffered() && !pollKeyboard(evt))
        return false;
    if (!mMouseDevice->buffered() && !pollMouse(evt))
        return false;

    // With no key held the camera glides on in its last direction and slows down.
    if (mMoveVector == Ogre::Vector3::ZERO) {
        mSpeedFactor -= frameTime * 0.3f;
        mMoveVector = previousMove;
    } else {
        mSpeedFactor += frameTime;
    }
    mSpeedFactor = Ogre::Math::Clamp(mSpeedFactor, 0.0f, 1.0f);
    mMoveVector *= mSpeedFactor;

    if (unbuffered)
        applyCameraMotion();
    return true;
}

bool ShellFrameListener::frameEnded(const Ogre::FrameEvent&)
{
    refreshStatistics();
    return true;
}

void ShellFrameListener::refreshStatistics()
{
    static const std::string currFps = "Current FPS: ";
    static const std::string bestFps = "Best FPS: ";
    static const std::string worstFps = "Worst FPS: ";
    static const std::string tris = "Triangle Count: ";
    static const std::string batches = "Batch Count: ";

    // Frames drawn slowly on purpose say nothing of how fast the game draws: the frame rates keep
    // what they showed before idling, and start afresh once full-rate drawing resumes (from its
    // first whole second on, when the engine has measured one).
    const bool idle = isIdle();
    if (mWasIdle && !idle)
        mRenderWindow->resetStatistics();
    mWasIdle = idle;
    const Ogre::RenderTarget::FrameStats& stats = mRenderWindow->getStatistics();
    if (!idle && stats.bestFPS > 0) {
        showStatistic(CURRENT_FPS, currFps + Ogre::StringConverter::toString(stats.lastFPS));
        showStatistic(BEST_FPS, bestFps + Ogre::StringConverter::toString(stats.bestFPS) + " " +
                                    Ogre::StringConverter::toString(stats.bestFrameTime) + " ms");
        showStatistic(WORST_FPS, worstFps + Ogre::StringConverter::toString(stats.worstFPS) + " " +
                                     Ogre::StringConverter::toString(stats.worstFrameTime) + " ms");
    }
    showStatistic(TRIANGLES, tris + Ogre::StringConverter::toString(stats.triangleCount));
    showStatistic(BATCHES, batches + Ogre::StringConverter::toString(stats.batchCount));
    showStatistic(STATUS, mStatusText);
}

void ShellFrameListener::showStatistic(StatisticsLine line, const std::string& caption)
{
    static const char* const names[STATISTICS_LINES] = {"Core/CurrFps", "Core/BestFps",    "Core/WorstFps",
                                                        "Core/NumTris", "Core/NumBatches", "Core/DebugText"};
    Ogre::OverlayElement*& element = mStatisticsElements[line];
    if (!element) {
        try {
            element = Ogre::OverlayManager::getSingleton().getOverlayElement(names[line]);
        } catch (...) {
            // A missing overlay element only costs its own caption.
            return;
        }
    }
    if (caption == mStatisticsCaptions[line])
        return;
    element->setCaption(caption);
    mStatisticsCaptions[line] = caption;
}

bool ShellFrameListener::pollKeyboard(const Ogre::FrameEvent&)
{
    const float distance = mKeyboardDevice->isKeyDown(OIS::KC_LSHIFT) ? mMoveStep * 10 : mMoveStep;

    if (mKeyboardDevice->isKeyDown(OIS::KC_A))
        mMoveVector.x = -distance;
    if (mKeyboardDevice->isKeyDown(OIS::KC_D))
        mMoveVector.x = distance;
    if (mKeyboardDevice->isKeyDown(OIS::KC_UP) || mKeyboardDevice->isKeyDown(OIS::KC_W))
        mMoveVector.z = -distance;
    if (mKeyboardDevice->isKeyDown(OIS::KC_DOWN) || mKeyboardDevice->isKeyDown(OIS::KC_S))
        mMoveVector.z = distance;
    if (mKeyboardDevice->isKeyDown(OIS::KC_PGUP))
        mMoveVector.y = distance;
    if (mKeyboardDevice->isKeyDown(OIS::KC_PGDOWN))
        mMoveVector.y = -distance;
    if (mKeyboardDevice->isKeyDown(OIS::KC_RIGHT))
        cameraNode()->yaw(-mTurnStep, Ogre::Node::TS_WORLD);
    if (mKeyboardDevice->isKeyDown(OIS::KC_LEFT))
        cameraNode()->yaw(mTurnStep, Ogre::Node::TS_WORLD);

    if (mKeyboardDevice->isKeyDown(OIS::KC_ESCAPE) || mKeyboardDevice->isKeyDown(OIS::KC_Q))
        return false;

    if (mKeyboardDevice->isKeyDown(OIS::KC_F) && mToggleDelay <= 0) {
        mShowStatistics = !mShowStatistics;
        setStatisticsVisible(mShowStatistics);
        mToggleDelay = 1;
    }

    if (mKeyboardDevice->isKeyDown(OIS::KC_T) && mToggleDelay <= 0) {
        switch (mFilterMode) {
        case Ogre::TFO_BILINEAR:
            mFilterMode = Ogre::TFO_TRILINEAR;
            mAnisotropyLevel = 1;
            break;
        case Ogre::TFO_TRILINEAR:
            mFilterMode = Ogre::TFO_ANISOTROPIC;
            mAnisotropyLevel = 8;
            break;
        case Ogre::TFO_ANISOTROPIC:
            mFilterMode = Ogre::TFO_BILINEAR;
            mAnisotropyLevel = 1;
            break;
        default:
            break;
        }
        Ogre::MaterialManager::getSingleton().setDefaultTextureFiltering(
            static_cast<Ogre::TextureFilterOptions>(mFilterMode));
        Ogre::MaterialManager::getSingleton().setDefaultAnisotropy(mAnisotropyLevel);
        setStatisticsVisible(mShowStatistics);
        mToggleDelay = 1;
    }

    if (mKeyboardDevice->isKeyDown(OIS::KC_SYSRQ) && mToggleDelay <= 0) {
        ++mScreenshotCount;
        const std::string name = "screenshot_" + std::to_string(mScreenshotCount) + ".png";
        mRenderWindow->writeContentsToFile(name);
        mToggleDelay = 0.5f;
        mStatusText = "Saved: " + name;
    }

    if (mKeyboardDevice->isKeyDown(OIS::KC_R) && mToggleDelay <= 0) {
        static const Ogre::PolygonMode modes[] = {Ogre::PM_SOLID, Ogre::PM_WIREFRAME, Ogre::PM_POINTS};
        mPolygonModeIndex = (mPolygonModeIndex + 1) % 3;
        mActiveCamera->setPolygonMode(modes[mPolygonModeIndex]);
        mToggleDelay = 0.5f;
    }

    if (mKeyboardDevice->isKeyDown(OIS::KC_P) && mToggleDelay <= 0) {
        sShowCameraDetails = !sShowCameraDetails;
        mToggleDelay = 0.5f;
        if (!sShowCameraDetails)
            mStatusText.clear();
    }

    if (sShowCameraDetails) {
        mStatusText = "P: " + Ogre::StringConverter::toString(mActiveCamera->getDerivedPosition()) + " " +
                      "O: " + Ogre::StringConverter::toString(mActiveCamera->getDerivedOrientation());
    }
    return true;
}

bool ShellFrameListener::pollMouse(const Ogre::FrameEvent&)
{
    const OIS::MouseState& state = mMouseDevice->getMouseState();
    if (state.buttonDown(OIS::MB_Right)) {
        mMoveVector.x += static_cast<float>(state.X.rel * MOUSE_SENSITIVITY);
        mMoveVector.y -= static_cast<float>(state.Y.rel * MOUSE_SENSITIVITY);
    } else {
        mYawStep = Ogre::Degree(static_cast<float>(-state.X.rel * MOUSE_SENSITIVITY));
        mPitchStep = Ogre::Degree(static_cast<float>(-state.Y.rel * MOUSE_SENSITIVITY));
    }
    return true;
}

void ShellFrameListener::applyCameraMotion()
{
    // A turn by nothing still rounds the orientation (a turn about the world's axis takes it apart
    // and puts it together again): a still camera would creep, and the far floor, tiled thousands
    // of times, shimmer from frame to frame.
    Ogre::SceneNode* node = cameraNode();
    if (mYawStep != Ogre::Radian(0))
        node->yaw(mYawStep, Ogre::Node::TS_WORLD);
    if (mPitchStep != Ogre::Radian(0))
        node->pitch(mPitchStep, Ogre::Node::TS_LOCAL);
    node->translate(mMoveVector, Ogre::Node::TS_LOCAL);
}

void ShellFrameListener::setStatisticsVisible(bool show)
{
    if (!mStatisticsOverlay)
        return;
    if (show)
        mStatisticsOverlay->show();
    else
        mStatisticsOverlay->hide();
}

void ShellFrameListener::windowResized(Ogre::RenderWindow* rw)
{
    unsigned int width, height, depth;
    int left, top;
    rw->getMetrics(width, height, depth, left, top);
    for (const OIS::Mouse* mouse : {static_cast<OIS::Mouse*>(mDesktopMouse), mMouseDevice}) {
        if (!mouse)
            continue;
        const OIS::MouseState& state = mouse->getMouseState();
        state.width = width;
        state.height = height;
    }
    // Keeps the picture undistorted whatever shape the window takes.
    if (height > 0)
        mActiveCamera->setAspectRatio(Ogre::Real(width) / Ogre::Real(height));
}

void ShellFrameListener::windowClosed(Ogre::RenderWindow* rw)
{
    if (rw == mRenderWindow)
        releaseDevices();
}

void ShellFrameListener::releaseDevices()
{
    if (!mInputSystem)
        return;
    delete mDesktopMouse;
    mDesktopMouse = nullptr;
    mMouseDevice = nullptr;
    delete mLatchedKeyboard;
    mLatchedKeyboard = nullptr;
    mKeyboardDevice = nullptr;
    mInputSystem->destroyInputObject(mKeyboardEvents);
    mInputSystem->destroyInputObject(mJoystickDevice);
    OIS::InputManager::destroyInputSystem(mInputSystem);
    mInputSystem = nullptr;
}

void ShellFrameListener::windowFocusChange(Ogre::RenderWindow* rw)
{
    if (rw != mRenderWindow)
        return;
    void* display = nullptr;
    unsigned long window = 0;
    rw->getCustomAttribute("XDISPLAY", &display);
    rw->getCustomAttribute("WINDOW", &window);
    mWindowFocused = rw->isVisible() && hasInputFocus(display, window);
    forgetInput();
}

void ShellFrameListener::forgetInput()
{
    // A key or button released while another window had the focus never told us so.
    if (mLatchedKeyboard)
        mLatchedKeyboard->forget();
    if (mDesktopMouse)
        mDesktopMouse->forget();
    mFullScreenKeyDown = false;
}

void ShellFrameListener::setDesktopCursorHidden(bool hidden)
{
    if (mDesktopMouse)
        mDesktopMouse->setCursorHidden(hidden);
}

void ShellFrameListener::grabPointer(bool grab)
{
    if (mDesktopMouse)
        mDesktopMouse->setGrabbed(grab);
}

bool ShellFrameListener::pointerGrabbed() const
{
    return mDesktopMouse && mDesktopMouse->grabbed();
}

bool ShellFrameListener::inputChanged()
{
    // Changes, not states: a key held down for long must not keep the game awake.
    std::array<char, 256> keys;
    mKeyboardDevice->copyKeyStates(keys.data());
    const bool keysChanged = keys != mKeysSeen;
    mKeysSeen = keys;
    const OIS::MouseState& mouse = mMouseDevice->getMouseState();
    return keysChanged || mouse.X.rel != 0 || mouse.Y.rel != 0 || mouse.buttons != 0;
}

void ShellFrameListener::traceInput()
{
    if (!FrameTrace::enabled())
        return;
    std::array<char, 256> keys;
    mKeyboardDevice->copyKeyStates(keys.data());
    for (int key = 0; key < 256; ++key) {
        if (keys[key] != mTracedKeys[key])
            FrameTrace::key(key, keys[key]);
    }
    mTracedKeys = keys;
    const OIS::MouseState& mouse = mMouseDevice->getMouseState();
    for (int id = OIS::MB_Left; id <= OIS::MB_Middle; ++id) {
        if (mouse.buttonDown(static_cast<OIS::MouseButtonID>(id)) != ((mTracedButtons >> id) & 1))
            FrameTrace::button(id, mouse.buttonDown(static_cast<OIS::MouseButtonID>(id)));
    }
    mTracedButtons = mouse.buttons;
    if (mouse.X.rel != 0 || mouse.Y.rel != 0)
        FrameTrace::motion(mouse.X.rel, mouse.Y.rel);
}

void ShellFrameListener::noteInput(float frameTime, bool padUsed)
{
    mQuietSeconds = inputChanged() || padUsed ? 0 : mQuietSeconds + frameTime;
}

bool ShellFrameListener::inputWaiting()
{
    if (!mInputSystem)
        return false;
    // Events are taken, not polled: the next frame's poll still sees every press that came meanwhile.
    const bool keys = mLatchedKeyboard->pump();
    const bool mouse = mDesktopMouse->pump();
    if (!keys && !mouse)
        return false;
    mQuietSeconds = 0;
    return true;
}

void ShellFrameListener::toggleFullScreenOnF11()
{
    const bool down = mKeyboardDevice->isKeyDown(OIS::KC_F11);
    const bool pressed = down && !mFullScreenKeyDown;
    mFullScreenKeyDown = down;
    if (pressed)
        setFullScreen(!mRenderWindow->isFullScreen());
}

void ShellFrameListener::setFullScreen(bool fullScreen)
{
    if (fullScreen == mRenderWindow->isFullScreen())
        return;
    if (!fullScreen) {
        mRenderWindow->setFullscreen(false, mWindowedWidth, mWindowedHeight);
        return;
    }
    mWindowedWidth = mRenderWindow->getWidth();
    mWindowedHeight = mRenderWindow->getHeight();
    unsigned int width = 0, height = 0;
    fullScreenSize(width, height);
    mRenderWindow->setFullscreen(true, width, height);
}

void ShellFrameListener::fullScreenSize(unsigned int& width, unsigned int& height) const
{
    void* display = nullptr;
    mRenderWindow->getCustomAttribute("XDISPLAY", &display);
    screenSize(display, width, height);
}
