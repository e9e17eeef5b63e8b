// The player's keys and mouse: charging and firing shots, pause and help.
#include "Game.h"

#include "DynamicsRigidBody.h"
#include "Flight.h"
#include "GameEvents.h"
#include "GameSound.h"
#include "SettingsPanel.h"

#include <CEGUI/GUIContext.h>
#include <CEGUI/MouseCursor.h>
#include <CEGUI/System.h>
#include <CEGUI/Window.h>
#include <CEGUI/widgets/ProgressBar.h>

#include <OgreCamera.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
const float FULL_CHARGE = 100;
const float QUIET_SECONDS_BEFORE_IDLE = 1;
// Right after a shot the bar keeps a sliver, so the player still sees where it is.
const float BAR_AFTER_SHOT = 0.01f;
// A pad's pulse on a shot: this strength for the least charge, full for a full one.
const float SHOT_RUMBLE = 0.3f;
const int SHOT_RUMBLE_MS = 120;
// Opens and closes the settings panel, in the menu as in play.
const OIS::KeyCode SETTINGS_KEY = OIS::KC_F2;

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

    // A pad pulled out in play stops the game as a lost focus does.
    if (mGamepads->activeRemoved()) {
        dropHeldInput();
        if (mGameStarted && !mPaused)
            togglePause();
    }

    // A pad's buttons act as their twin keys; each is looked at on every poll, so that neither of a
    // pair sees a release the other made.
    const bool escape = releasedNow(OIS::KC_ESCAPE) | padReleasedNow(Gamepads::START);
    const bool help = releasedNow(OIS::KC_F1) | padReleasedNow(Gamepads::BACK);
    const bool settings = releasedNow(SETTINGS_KEY);
    const bool back = padReleasedNow(Gamepads::B);

    if (mSettingsPanel->isOpen()) {
        if (escape || settings || back)
            closeSettings();
        else
            navigate(mSettingsPanel->focus());
    } else {
        if (mGameStarted) {
            if (help) {
                const bool show = !mHelpWindow->isVisible();
                mHelpWindow->setVisible(show);
                logEvent(show ? GameEvents::HELP_SHOWN : GameEvents::HELP_HIDDEN);
            }
            if (escape || (back && mPaused))
                togglePause();
        }
        if (settings)
            openSettings();
        else if (mPaused)
            navigate(mMenuFocus);
    }

    // Sound on or off, in the menu as in play.
    if (releasedNow(OIS::KC_M) | padReleasedNow(Gamepads::X))
        toggleSound();

    if (mPaused)
        return true;

    const bool charging = mKeyboardDevice->isKeyDown(OIS::KC_SPACE) || mGamepads->down(Gamepads::A) ||
                          mGamepads->down(Gamepads::RIGHT_TRIGGER);
    if (charging && !mGameOver) {
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
        if (mSettings.rumble)
            mGamepads->rumble(SHOT_RUMBLE + (1 - SHOT_RUMBLE) * mCharge / FULL_CHARGE, SHOT_RUMBLE_MS);
        mCharge = 0;
        mChargeBar->setProgress(BAR_AFTER_SHOT);
    }

    if (releasedNow(OIS::KC_G) | padReleasedNow(Gamepads::Y))
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

bool Game::padReleasedNow(Gamepads::Button button)
{
    if (mGamepads->down(button)) {
        mPadStates[button] = true;
        return false;
    }
    return std::exchange(mPadStates[button], false);
}

namespace {
// Sticks: no look within the dead zone (a pad at rest is seldom quite centred), then the square of
// the travel beyond it, for fine aim near the centre and full speed at full tilt.
const float STICK_DEAD_ZONE = 0.15f;

float stickLook(float travel)
{
    const float beyond = (std::abs(travel) - STICK_DEAD_ZONE) / (1 - STICK_DEAD_ZONE);
    if (beyond <= 0)
        return 0;
    return std::copysign(std::min(beyond, 1.0f) * std::min(beyond, 1.0f), travel);
}

// Both sticks look; together they turn no faster than one at full tilt.
float sticksLook(float left, float right)
{
    return std::max(-1.0f, std::min(1.0f, stickLook(left) + stickLook(right)));
}
}

Ogre::Degree Game::padYaw(float seconds) const
{
    const float look = sticksLook(mGamepads->axis(Gamepads::LEFT_X), mGamepads->axis(Gamepads::RIGHT_X));
    return Ogre::Degree(-look * static_cast<float>(mSettings.padLookSpeed) * seconds);
}

Ogre::Degree Game::padPitch(float seconds) const
{
    const float look = sticksLook(mGamepads->axis(Gamepads::LEFT_Y), mGamepads->axis(Gamepads::RIGHT_Y));
    return Ogre::Degree(-look * static_cast<float>(mSettings.padLookSpeed) * seconds);
}

bool Game::pollMouse(const Ogre::FrameEvent& evt)
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
        const double degreesPerCount = mSettings.mouseSensitivity;
        const float invert = mSettings.invertLook ? -1.0f : 1.0f;
        mYawStep = Ogre::Degree(static_cast<float>(-state.X.rel * degreesPerCount)) + padYaw(evt.timeSinceLastFrame);
        mPitchStep =
            (Ogre::Degree(static_cast<float>(-state.Y.rel * degreesPerCount)) + padPitch(evt.timeSinceLastFrame)) *
            invert;
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

void Game::dropHeldInput()
{
    // A shot being charged is dropped rather than fired.
    const bool charging = mKeyStates[OIS::KC_SPACE];
    for (auto& key : mKeyStates)
        key.second = false;
    mPadStates.fill(false);
    if (charging) {
        mCharge = 0;
        mChargeBar->setProgress(BAR_AFTER_SHOT);
    }
}

void Game::windowFocusChange(Ogre::RenderWindow* window)
{
    ShellFrameListener::windowFocusChange(window);
    if (window != mRenderWindow)
        return;
    // The base forgot the keys held across the change: nothing acts on their release.
    dropHeldInput();
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
