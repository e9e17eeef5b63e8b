// A game controller plays as the keyboard and mouse do: SDL's virtual pads, through the real game.
#include "GameplayFixture.h"

#include "DynamicsRigidBody.h"
#include "GameEvents.h"
#include "GameSound.h"
#include "MenuLayout.h"
#include "SettingsPanel.h"
#include "VirtualPad.h"

#include <OgreCamera.h>
#include <OgreSceneNode.h>

#include <BulletDynamics/Dynamics/btRigidBody.h>

#include <CEGUI/Window.h>

#include <functional>

class PadTest : public GameplayTest
{
protected:
    // Plugged in once the game runs, and seen by it at the next frame.
    VirtualPad& pad()
    {
        if (!mPad) {
            harness();
            mPad = std::make_unique<VirtualPad>();
            harness().frame(FRAME);
        }
        return *mPad;
    }

    // Down and up again between two frames, as the quickest press a pad can make.
    void tap(SDL_GameControllerButton button)
    {
        pad().press(button);
        VirtualPad::update();
        pad().release(button);
        VirtualPad::update();
        harness().frames(2, FRAME);
    }

    void holdButton(SDL_GameControllerButton button, int frames)
    {
        pad().press(button);
        harness().frames(frames, FRAME);
        pad().release(button);
        harness().frame(FRAME);
    }

    void holdTrigger(int frames)
    {
        pad().move(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 1);
        harness().frames(frames, FRAME);
        pad().move(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0);
        harness().frame(FRAME);
    }

    float lastBallSpeed() { return game().mBalls.front()->rigidBody()->bulletBody()->getLinearVelocity().length(); }

    Ogre::SceneNode* cameraNode() { return game().mActiveCamera->getParentSceneNode(); }

    std::unique_ptr<VirtualPad> mPad;
};

namespace {
struct Twin
{
    const char* name;
    OIS::KeyCode key;
    SDL_GameControllerButton button;
    std::function<bool(TestGame&)> state;
};
}

// Start, Back, Y and X do what ESC, F1, G and M do: once, on release, however short or long the press.
TEST_F(PadTest, ButtonsActAsTheirTwinKeys)
{
    const Twin twins[] = {
        {"Start = ESC", OIS::KC_ESCAPE, SDL_CONTROLLER_BUTTON_START, [](TestGame& g) { return g.mPaused; }},
        {"Back = F1", OIS::KC_F1, SDL_CONTROLLER_BUTTON_BACK, [](TestGame& g) { return g.mHelpWindow->isVisible(); }},
        {"Y = G", OIS::KC_G, SDL_CONTROLLER_BUTTON_Y, [](TestGame& g) { return g.mLandingMarkerOn; }},
        {"X = M", OIS::KC_M, SDL_CONTROLLER_BUTTON_X, [](TestGame& g) { return g.mSound->enabled(); }},
    };
    pad();
    newGame();
    for (const Twin& twin : twins) {
        SCOPED_TRACE(twin.name);
        const bool before = twin.state(game());
        holdKey(twin.key, 1);
        ASSERT_NE(before, twin.state(game())) << "the key acts";
        tap(twin.button);
        EXPECT_EQ(before, twin.state(game())) << "a tap acts";
        for (int frames : {1, 2, 4}) {
            SCOPED_TRACE(frames);
            pad().press(twin.button);
            harness().frames(frames, FRAME);
            EXPECT_EQ(before, twin.state(game())) << "nothing while held";
            pad().release(twin.button);
            harness().frame(FRAME);
            EXPECT_NE(before, twin.state(game())) << "once on release";
            holdKey(twin.key, 1);
        }
    }
}

// A, or the right trigger, held for as many frames as SPACE gives the same charge and the same ball.
TEST_F(PadTest, AOrTheTriggerChargesAsSpaceDoes)
{
    pad();
    newGame();
    const int frames = 40;
    // A new game starts with a sliver of charge; every later shot starts from none.
    holdKey(OIS::KC_SPACE, 1);
    holdKey(OIS::KC_SPACE, frames);
    const float bySpace = lastBallSpeed();
    holdButton(SDL_CONTROLLER_BUTTON_A, frames);
    EXPECT_EQ(3, game().mShotsFired);
    EXPECT_FLOAT_EQ(bySpace, lastBallSpeed());
    holdTrigger(frames);
    EXPECT_EQ(4, game().mShotsFired);
    EXPECT_FLOAT_EQ(bySpace, lastBallSpeed());

    // A trigger pressed only half-way is no shot.
    pad().move(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0.4f);
    harness().frames(20, FRAME);
    pad().move(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0);
    harness().frame(FRAME);
    EXPECT_EQ(4, game().mShotsFired);
}

// Full tilt turns the view at the look speed: as far as the mouse turns it for the same degrees,
// and the other way up with the look inverted.
TEST_F(PadTest, StickLookMatchesTheMouse)
{
    pad();
    newGame();
    Settings settings = game().mSettings;
    // A degree a frame either way: 10 counts of 0.1 degrees, or a second's 60 degrees in 1/60 s.
    settings.mouseSensitivity = 0.1;
    settings.padLookSpeed = 60;
    const Ogre::Quaternion start = cameraNode()->getOrientation();
    for (bool invert : {false, true}) {
        SCOPED_TRACE(invert);
        settings.invertLook = invert;
        game().changeSettings(settings);

        cameraNode()->setOrientation(start);
        for (int i = 0; i < 20; ++i) {
            harness().mouse.move(10, -10);
            harness().frame(FRAME);
        }
        harness().mouse.move(0, 0);
        const Ogre::Quaternion byMouse = cameraNode()->getOrientation();

        cameraNode()->setOrientation(start);
        pad().move(SDL_CONTROLLER_AXIS_RIGHTX, 1);
        pad().move(SDL_CONTROLLER_AXIS_RIGHTY, -1);
        harness().frames(20, FRAME);
        pad().move(SDL_CONTROLLER_AXIS_RIGHTX, 0);
        pad().move(SDL_CONTROLLER_AXIS_RIGHTY, 0);
        harness().frame(FRAME);
        const Ogre::Quaternion byPad = cameraNode()->getOrientation();

        EXPECT_TRUE(byPad.equals(byMouse, Ogre::Degree(0.05f))) << byPad << " " << byMouse;
        EXPECT_FALSE(byPad.equals(start, Ogre::Degree(10))) << "it turned";
        // Up unless inverted: the view's direction rises.
        const float rise = (byPad * Ogre::Vector3::NEGATIVE_UNIT_Z).y - (start * Ogre::Vector3::NEGATIVE_UNIT_Z).y;
        EXPECT_EQ(invert, rise < 0) << rise;
    }

    // A stick barely off the centre does nothing.
    cameraNode()->setOrientation(start);
    pad().move(SDL_CONTROLLER_AXIS_LEFTX, 0.1f);
    harness().frames(20, FRAME);
    EXPECT_TRUE(cameraNode()->getOrientation().equals(start, Ogre::Degree(0.001f)));
}

// The D-pad and the left stick move a visible focus over the menu's buttons and the panel's
// controls, A presses, B goes back; the menu then starts a game.
TEST_F(PadTest, MenusAreUsableWithThePad)
{
    pad();
    CEGUI::Window* newButton = game().mMenuWindow->getChild("NewGame");
    const CEGUI::String normal = newButton->getProperty("NormalTextColour");
    tap(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    EXPECT_NE(normal, newButton->getProperty("NormalTextColour")) << "the first step shows the focus on New";
    tap(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    EXPECT_EQ(normal, newButton->getProperty("NormalTextColour"));
    // The stick steps once each time it leaves the centre.
    pad().move(SDL_CONTROLLER_AXIS_LEFTY, 1);
    harness().frames(5, FRAME);
    pad().move(SDL_CONTROLLER_AXIS_LEFTY, 0);
    harness().frame(FRAME);
    EXPECT_EQ(game().mSettingsButton, game().mMenuFocus.current());

    tap(SDL_CONTROLLER_BUTTON_A);
    ASSERT_TRUE(game().mSettingsPanel->isOpen());
    EXPECT_FALSE(game().mMenuWindow->isVisible());
    // Rumble off: down to its row (the first step shows the focus on the first row), then A.
    const int steps = RUMBLE_ROW - MOUSE_SENSITIVITY_ROW;
    for (int i = 0; i <= steps; ++i)
        tap(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    tap(SDL_CONTROLLER_BUTTON_A);
    EXPECT_FALSE(game().mSettings.rumble);
    // Volume down a step from the panel's focus, with the D-pad's left.
    tap(SDL_CONTROLLER_BUTTON_DPAD_UP);
    tap(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    EXPECT_EQ(95, game().mSettings.volume);

    tap(SDL_CONTROLLER_BUTTON_B);
    EXPECT_FALSE(game().mSettingsPanel->isOpen());
    EXPECT_TRUE(game().mMenuWindow->isVisible());
    EXPECT_FALSE(game().mGameStarted) << "B in the first menu goes nowhere";

    tap(SDL_CONTROLLER_BUTTON_DPAD_UP);
    tap(SDL_CONTROLLER_BUTTON_DPAD_UP);
    EXPECT_EQ(newButton, game().mMenuFocus.current());
    tap(SDL_CONTROLLER_BUTTON_A);
    EXPECT_TRUE(game().mGameStarted);
    EXPECT_FALSE(game().mPaused);

    // In a paused game, B resumes as ESC does.
    tap(SDL_CONTROLLER_BUTTON_START);
    ASSERT_TRUE(game().mPaused);
    tap(SDL_CONTROLLER_BUTTON_B);
    EXPECT_FALSE(game().mPaused);
}

// Pulled out in play, the pad pauses the game as a lost focus does, and a shot it was charging is not fired.
TEST_F(PadTest, APadRemovedInPlayPauses)
{
    pad();
    newGame();
    pad().press(SDL_CONTROLLER_BUTTON_A);
    harness().frames(10, FRAME);
    mPad->unplug();
    harness().frames(2, FRAME);
    EXPECT_TRUE(game().mPaused);
    EXPECT_TRUE(game().mMenuWindow->isVisible());
    EXPECT_TRUE(log().has(GameEvents::PAUSED));
    holdKey(OIS::KC_ESCAPE, 1);
    harness().frames(2, FRAME);
    EXPECT_FALSE(game().mPaused);
    EXPECT_EQ(0, game().mShotsFired) << "not when play goes on either";
}

// Each shot pulses the pad, harder with more charge; not with rumble off, and no harm on a pad without it.
TEST_F(PadTest, ShotsRumble)
{
    pad();
    newGame();
    holdButton(SDL_CONTROLLER_BUTTON_A, 5);
    ASSERT_EQ(1, mPad->rumbles);
    const int weak = mPad->highRumble;
    holdButton(SDL_CONTROLLER_BUTTON_A, 120);
    ASSERT_EQ(2, mPad->rumbles);
    EXPECT_GT(mPad->highRumble, weak);
    EXPECT_EQ(0xFFFF, mPad->highRumble) << "a full charge";

    Settings settings = game().mSettings;
    settings.rumble = false;
    game().changeSettings(settings);
    holdButton(SDL_CONTROLLER_BUTTON_A, 5);
    EXPECT_EQ(3, game().mShotsFired);
    EXPECT_EQ(2, mPad->rumbles);

    // The old pad pulled out pauses the game; the new one resumes it.
    mPad->unplug();
    harness().frame(FRAME);
    ASSERT_TRUE(game().mPaused);
    mPad.reset(new VirtualPad("No motors", VirtualPad::WITHOUT_RUMBLE));
    harness().frame(FRAME);
    tap(SDL_CONTROLLER_BUTTON_START);
    ASSERT_FALSE(game().mPaused);
    settings.rumble = true;
    game().changeSettings(settings);
    holdButton(SDL_CONTROLLER_BUTTON_A, 5);
    EXPECT_EQ(4, game().mShotsFired);
    EXPECT_EQ(0, mPad->rumbles);
}
