// The player's keys and mouse: charging and firing shots, pause and help.
#include "Game.h"

#include "DynamicsRigidBody.h"
#include "Flight.h"
#include "GameEvents.h"
#include "GameSound.h"
#include "MouseLook.h"

#include <CEGUI/GUIContext.h>
#include <CEGUI/MouseCursor.h>
#include <CEGUI/System.h>
#include <CEGUI/Window.h>
#include <CEGUI/widgets/ProgressBar.h>

#include <OgreCamera.h>

#include <utility>

namespace {
const float FULL_CHARGE = 100;
const float QUIET_SECONDS_BEFORE_IDLE = 1;
// Right after a shot the bar keeps a sliver, so the player still sees where it is.
const float BAR_AFTER_SHOT = 0.01f;

CEGUI::GUIContext& guiContext()
{
    return CEGUI::System::getSingleton().getDefaultGUIContext();
}
}

bool Game::pollKeyboard(const Ogre::FrameEvent& evt)
{
    // Every action happens on release, when the key is up but was down at the previous poll.
    // The charge clock runs on the frame's time: the engine measures this event's time since
    // frameStarted in whole milliseconds, after the frame was only queued, so it is mostly 0 here.
    const float frameTime = evt.timeSinceLastFrame;

    if (mGameStarted) {
        if (releasedNow(OIS::KC_F1)) {
            const bool show = !mHelpWindow->isVisible();
            mHelpWindow->setVisible(show);
            logEvent(show ? GameEvents::HELP_SHOWN : GameEvents::HELP_HIDDEN);
        }
        if (releasedNow(OIS::KC_ESCAPE))
            togglePause();
    }

    // Sound on or off, in the menu as in play.
    if (releasedNow(OIS::KC_M))
        toggleSound();

    if (mPaused)
        return true;

    if (mKeyboardDevice->isKeyDown(OIS::KC_SPACE) && !mGameOver) {
        if (mChargeTimer - frameTime <= 0) {
            // A late tick is not made up for: at most one tick per poll.
            mKeyStates[OIS::KC_SPACE] = true;
            mCharge = mCharge + mChargeStep > FULL_CHARGE ? FULL_CHARGE : mCharge + mChargeStep;
            mChargeBar->setProgress(mCharge / FULL_CHARGE);
            mChargeTimer = mChargeInterval;
            mSound->charge(mCharge / FULL_CHARGE);
        } else {
            mChargeTimer -= frameTime;
        }
    } else if (mKeyStates[OIS::KC_SPACE]) {
        mKeyStates[OIS::KC_SPACE] = false;
        Ball* ball = new Ball(mActiveCamera, mSceneManager, mPhysicsWorld, mNextBallIndex,
                              static_cast<float>(Flight::launchSpeed(mCharge)));
        ++mNextBallIndex;
        // The rules treat the front of the list as the newest ball.
        mBalls.push_front(ball);
        ++mShotsFired;
        logEvent(GameEvents::line(GameEvents::SHOT_FIRED, mShotsFired, Flight::launchSpeed(mCharge)));
        mSound->shot(ball->rigidBody()->worldPosition(), mCharge / FULL_CHARGE);
        mCharge = 0;
        mChargeBar->setProgress(BAR_AFTER_SHOT);
    }

    if (releasedNow(OIS::KC_G))
        mLandingMarkerOn = !mLandingMarkerOn;
    return true;
}

bool Game::releasedNow(OIS::KeyCode key)
{
    if (mKeyboardDevice->isKeyDown(key)) {
        mKeyStates[key] = true;
        return false;
    }
    return std::exchange(mKeyStates[key], false);
}

bool Game::pollMouse(const Ogre::FrameEvent&)
{
    const OIS::MouseState& state = mMouseDevice->getMouseState();
    if (mPaused) {
        CEGUI::GUIContext& gui = guiContext();
        // The pointer is the desktop's while the menu is up: the GUI cursor sits exactly where it is,
        // and a click lands there, however quickly the pointer moved before it. The desktop's own
        // cursor is hidden over the window, so the GUI's is the one arrow there, and none when the
        // pointer is elsewhere (left without an image, which keeps its shown-or-hidden state as ESC left it).
        CEGUI::MouseCursor& cursor = gui.getMouseCursor();
        const bool inside =
            state.X.abs >= 0 && state.Y.abs >= 0 && state.X.abs < state.width && state.Y.abs < state.height;
        gui.injectMousePosition(static_cast<float>(state.X.abs), static_cast<float>(state.Y.abs));
        if (!inside)
            cursor.setImage(static_cast<const CEGUI::Image*>(nullptr));
        else if (!cursor.getImage())
            cursor.setImage(cursor.getDefaultImage());
        if (state.buttonDown(OIS::MB_Left)) {
            gui.injectMouseButtonDown(CEGUI::LeftButton);
            mGuiMouseDown = true;
        } else if (mGuiMouseDown) {
            gui.injectMouseButtonUp(CEGUI::LeftButton);
            mGuiMouseDown = false;
        }
    } else {
        mYawStep = Ogre::Degree(static_cast<float>(-state.X.rel * MOUSE_SENSITIVITY));
        mPitchStep = Ogre::Degree(static_cast<float>(-state.Y.rel * MOUSE_SENSITIVITY));
    }
    return true;
}

void Game::togglePause()
{
    mTimeWindow->show();
    mPaused = !mPaused;
    logEvent(mPaused ? GameEvents::PAUSED : GameEvents::RESUMED);
    mMenuWindow->setVisible(!mMenuWindow->isVisible());
    CEGUI::MouseCursor& cursor = guiContext().getMouseCursor();
    if (cursor.isVisible())
        cursor.hide();
    else
        cursor.show();
    // Mouse look needs the pointer held in the window; the menu leaves it to the desktop.
    grabPointer(!mPaused);
}

void Game::windowFocusChange(Ogre::RenderWindow* window)
{
    ShellFrameListener::windowFocusChange(window);
    if (window != mRenderWindow)
        return;
    // The base forgot the keys held across the change: nothing acts on their release, and a shot
    // being charged is dropped rather than fired.
    const bool charging = mKeyStates[OIS::KC_SPACE];
    for (auto& key : mKeyStates)
        key.second = false;
    if (charging) {
        mCharge = 0;
        mChargeBar->setProgress(BAR_AFTER_SHOT);
    }
    // A menu button held down stays unpushed: its release, seen or not, is no click.
    if (mGuiMouseDown) {
        if (CEGUI::Window* pushed = guiContext().getInputCaptureWindow())
            pushed->releaseInput();
        mGuiMouseDown = false;
    }
    // Away from the window, play stops as ESC stops it, and the pointer goes back to the desktop.
    if (!mWindowFocused && mGameStarted && !mPaused)
        togglePause();
}

bool Game::isIdle() const
{
    // Nothing moves in the menu: unless the player is at it, a few frames a second show all there is.
    return mPaused && (!mWindowFocused || mQuietSeconds >= QUIET_SECONDS_BEFORE_IDLE);
}
