// The player's hands: SPACE charges and fires, ESC pauses, F1 shows help, the mouse aims or drives the menu.
#include "GameplayFixture.h"

#include "DynamicsRigidBody.h"
#include "GameEvents.h"
#include "GameSound.h"
#include "SettingsPanel.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreSceneNode.h>

#include <BulletDynamics/Dynamics/btRigidBody.h>

#include <CEGUI/GUIContext.h>
#include <CEGUI/MouseCursor.h>
#include <CEGUI/System.h>
#include <CEGUI/Window.h>
#include <CEGUI/widgets/ProgressBar.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace {
float speedOf(const Ball* ball)
{
    return ball->rigidBody()->bulletBody()->getLinearVelocity().length();
}

bool cursorVisible()
{
    return CEGUI::System::getSingleton().getDefaultGUIContext().getMouseCursor().isVisible();
}

struct TickCase
{
    float frameTime;
    int polls;
    int ticks;
};
}

// How often the charge grows depends on the frame time against the 0.01 s interval: one tick per poll at most.
TEST_F(GameplayTest, ChargeTicksFollowTheFrameTime)
{
    newGame();
    const TickCase cases[] = {{0.02f, 10, 10}, {0.01f, 10, 10}, {0.004f, 10, 4}, {0.5f, 3, 3}};
    for (const TickCase& c : cases) {
        SCOPED_TRACE(c.frameTime);
        game().mCharge = 0;
        game().mChargeTimer = 0;
        harness().keyboard.press(OIS::KC_SPACE);
        // The event time stays 0, as the engine mostly reports it for this event.
        for (int i = 0; i < c.polls; ++i)
            harness().frame(c.frameTime, 0);
        EXPECT_FLOAT_EQ(static_cast<float>(c.ticks), game().mCharge);
        EXPECT_FLOAT_EQ(game().mCharge / 100, game().mChargeBar->getProgress());
        EXPECT_TRUE(game().mKeyStates[OIS::KC_SPACE]);
        EXPECT_TRUE(game().mBalls.empty());
        // Drop the charge without firing, for the next case.
        harness().keyboard.release(OIS::KC_SPACE);
        game().mKeyStates[OIS::KC_SPACE] = false;
    }
}

TEST_F(GameplayTest, FullChargeFiresTheNewestBallAtTwoHundred)
{
    newGame();
    EXPECT_FLOAT_EQ(0.1f, game().mCharge);
    harness().keyboard.press(OIS::KC_SPACE);
    harness().frames(150, 0.02f);
    EXPECT_FLOAT_EQ(100, game().mCharge);
    EXPECT_FLOAT_EQ(1, game().mChargeBar->getProgress());

    harness().keyboard.release(OIS::KC_SPACE);
    harness().frame(0.02f);
    ASSERT_EQ(1u, game().mBalls.size());
    EXPECT_EQ(1, game().mShotsFired);
    EXPECT_EQ(1, game().mNextBallIndex);
    EXPECT_EQ(0, game().mCharge);
    EXPECT_FLOAT_EQ(0.01f, game().mChargeBar->getProgress());
    EXPECT_FALSE(game().mKeyStates[OIS::KC_SPACE]);
    // One physics step after the shot: gravity has barely touched it.
    EXPECT_NEAR(200, speedOf(game().mBalls.front()), 0.5f);

    holdKey(OIS::KC_SPACE, 5, 0.02f);
    ASSERT_EQ(2u, game().mBalls.size());
    EXPECT_EQ(2, game().mShotsFired);
    EXPECT_NEAR(10, speedOf(game().mBalls.front()), 0.5f);
    EXPECT_EQ("Ball1", game().mBalls.front()->entity()->getName());
}

TEST_F(GameplayTest, TapShorterThanOneTickFiresNothing)
{
    newGame();
    // The timer left by the last tick of an earlier shot is still above this press's event time.
    game().mChargeTimer = 0.01f;
    holdKey(OIS::KC_SPACE, 1, 0.004f);
    EXPECT_TRUE(game().mBalls.empty());
    EXPECT_EQ(0, game().mShotsFired);
    EXPECT_FLOAT_EQ(0.1f, game().mCharge);
    EXPECT_FLOAT_EQ(0.006f, game().mChargeTimer);
}

TEST_F(GameplayTest, ChargeHeldWhenTimeRunsOutFiresOnceAndThenSpaceIsDead)
{
    newGame();
    harness().keyboard.press(OIS::KC_SPACE);
    harness().frames(3, FRAME);
    EXPECT_FLOAT_EQ(3.1f, game().mCharge);

    // The next frame's rules end the game; its poll fires the charged shot with SPACE still down.
    game().mLevelTimeLimit = game().mLevelElapsed + FRAME / 2;
    harness().frame(FRAME);
    EXPECT_TRUE(game().mGameOver);
    EXPECT_EQ(1u, game().mBalls.size());
    EXPECT_EQ(1, game().mShotsFired);

    harness().frames(5, FRAME);
    harness().keyboard.release(OIS::KC_SPACE);
    holdKey(OIS::KC_SPACE, 5);
    EXPECT_EQ(1, game().mShotsFired);
    EXPECT_EQ(0, game().mCharge);
}

TEST_F(GameplayTest, SpaceIsIgnoredWhilePausedAndTheShotFiresOnResume)
{
    newGame();
    harness().keyboard.press(OIS::KC_SPACE);
    harness().frames(3, FRAME);
    holdKey(OIS::KC_ESCAPE, 1);
    ASSERT_TRUE(game().mPaused);
    const float charge = game().mCharge;

    harness().frames(10, FRAME);
    harness().keyboard.release(OIS::KC_SPACE);
    harness().frames(3, FRAME);
    EXPECT_EQ(charge, game().mCharge);
    EXPECT_TRUE(game().mKeyStates[OIS::KC_SPACE]);
    EXPECT_TRUE(game().mBalls.empty());

    holdKey(OIS::KC_ESCAPE, 1);
    EXPECT_FALSE(game().mPaused);
    EXPECT_EQ(1u, game().mBalls.size());
    EXPECT_NEAR(2 * charge, speedOf(game().mBalls.front()), 0.5f);
}

TEST_F(GameplayTest, EscAndF1ActOnReleaseOncePerPressAfterTheFirstGame)
{
    // Before the first game both keys are ignored.
    holdKey(OIS::KC_ESCAPE, 3);
    holdKey(OIS::KC_F1, 3);
    EXPECT_TRUE(game().mPaused);
    EXPECT_TRUE(game().mMenuWindow->isVisible());
    EXPECT_FALSE(game().mHelpWindow->isVisible());
    EXPECT_FALSE(game().mTimeWindow->isVisible());
    EXPECT_TRUE(cursorVisible());

    newGame();
    game().mTimeWindow->hide();
    harness().keyboard.press(OIS::KC_ESCAPE);
    harness().frames(4, FRAME);
    EXPECT_FALSE(game().mPaused);
    harness().keyboard.release(OIS::KC_ESCAPE);
    harness().frame(FRAME);
    EXPECT_TRUE(game().mPaused);
    EXPECT_TRUE(game().mMenuWindow->isVisible());
    EXPECT_TRUE(cursorVisible());
    EXPECT_TRUE(game().mTimeWindow->isVisible());

    holdKey(OIS::KC_ESCAPE, 2);
    EXPECT_FALSE(game().mPaused);
    EXPECT_FALSE(game().mMenuWindow->isVisible());
    EXPECT_FALSE(cursorVisible());

    holdKey(OIS::KC_F1, 4);
    EXPECT_TRUE(game().mHelpWindow->isVisible());
    holdKey(OIS::KC_F1, 1);
    EXPECT_FALSE(game().mHelpWindow->isVisible());
}

// However long a key is held, it acts once, on the poll that first sees it up. Holds of an even
// number of polls catch a key that acts on every poll it is down, which an odd hold would hide.
TEST_F(GameplayTest, KeysActOnceOnTheReleasePollHoweverLongTheyAreHeld)
{
    newGame();
    TestGame& playing = game();
    const auto flag = [](bool on) { return std::string(on ? "on" : "off"); };
    const struct
    {
        OIS::KeyCode key;
        bool paused; // pressed in the menu rather than in play
        std::function<std::string()> state;
    } keys[] = {
        {OIS::KC_ESCAPE, false, [&] { return flag(playing.mPaused); }},
        {OIS::KC_F1, false, [&] { return flag(playing.mHelpWindow->isVisible()); }},
        {OIS::KC_F2, true, [&] { return flag(playing.mSettingsPanel->isOpen()); }},
        {OIS::KC_M, false, [&] { return flag(playing.mSound->enabled()); }},
        {OIS::KC_G, false, [&] { return flag(playing.mLandingMarkerOn); }},
        // The menu's keys: the first step shows the mark, each one after moves it.
        {OIS::KC_DOWN, true,
         [&] { return flag(playing.mMenuFocus.shown()) + " " + playing.mMenuFocus.current()->getName().c_str(); }},
    };
    for (const auto& key : keys) {
        SCOPED_TRACE(key.key);
        if (playing.mPaused != key.paused)
            playing.togglePause();
        for (int held : {1, 2, 4, 8}) {
            SCOPED_TRACE(held);
            const std::string before = key.state();
            harness().keyboard.press(key.key);
            for (int poll = 1; poll <= held; ++poll) {
                harness().frame(FRAME);
                ASSERT_EQ(before, key.state()) << "acted while held, on poll " << poll;
            }
            harness().keyboard.release(key.key);
            harness().frame(FRAME);
            const std::string after = key.state();
            EXPECT_NE(before, after) << "no action on the release poll";
            harness().frames(3, FRAME);
            EXPECT_EQ(after, key.state()) << "acted again after the release";
        }
    }
}

TEST_F(GameplayTest, MouseTurnsTheCameraWhilePlayingAndSendsNoClicks)
{
    newGame();
    Ogre::SceneNode* node = harness().camera()->getParentSceneNode();
    const Ogre::Quaternion before = node->getOrientation();
    harness().mouse.move(10, -4);
    harness().mouse.setButton(OIS::MB_Left, true);
    harness().frame(FRAME);
    EXPECT_NEAR(-1.3f, Ogre::Degree(game().mYawStep).valueDegrees(), 1e-4f);
    EXPECT_NEAR(0.52f, Ogre::Degree(game().mPitchStep).valueDegrees(), 1e-4f);
    EXPECT_FALSE(game().mGuiMouseDown);
    EXPECT_FALSE(before.equals(node->getOrientation(), Ogre::Degree(1)));
}

TEST_F(GameplayTest, ClickOnNewStartsAGame)
{
    TestGame& playing = game();
    // Onto the New button in the middle of the 800 x 600 window.
    harness().mouse.moveTo(400, 260);
    harness().frame(FRAME);
    harness().mouse.move(0, 0);
    harness().mouse.setButton(OIS::MB_Left, true);
    harness().frames(3, FRAME);
    EXPECT_TRUE(playing.mGuiMouseDown);
    EXPECT_FALSE(playing.mGameStarted);

    harness().mouse.setButton(OIS::MB_Left, false);
    harness().frame(FRAME);
    EXPECT_FALSE(playing.mGuiMouseDown);
    EXPECT_TRUE(playing.mGameStarted);
    EXPECT_FALSE(playing.mPaused);
    EXPECT_FALSE(playing.mMenuWindow->isVisible());
    EXPECT_EQ(6u, playing.mBarrels.size());
    // The camera stayed put: the mouse belonged to the menu until the click.
    EXPECT_EQ(0, Ogre::Degree(playing.mYawStep).valueDegrees());
}

TEST_F(GameplayTest, LosingTheFocusWhilePlayingPausesAndLetsThePointerGo)
{
    newGame();
    TestGame& playing = game();
    ASSERT_FALSE(playing.mPaused);
    EXPECT_TRUE(playing.pointerGrabbed());
    EXPECT_FALSE(playing.isIdle());

    // The test's hidden window never holds the desktop's focus: any focus event finds it gone.
    playing.windowFocusChange(RenderWindow::instance().window());
    const float elapsed = playing.mLevelElapsed;
    harness().frames(3, FRAME);
    EXPECT_TRUE(playing.mPaused);
    EXPECT_TRUE(playing.mMenuWindow->isVisible());
    EXPECT_TRUE(cursorVisible());
    EXPECT_FALSE(playing.pointerGrabbed());
    EXPECT_EQ(elapsed, playing.mLevelElapsed);
    EXPECT_TRUE(playing.isIdle());

    // Another focus event while paused changes nothing; ESC resumes and grabs again.
    playing.windowFocusChange(RenderWindow::instance().window());
    EXPECT_TRUE(playing.mPaused);
    holdKey(OIS::KC_ESCAPE, 1);
    EXPECT_FALSE(playing.mPaused);
    EXPECT_TRUE(playing.pointerGrabbed());
}

TEST_F(GameplayTest, TheMenuCursorSitsWhereThePointerIs)
{
    TestGame& menu = game();
    const struct
    {
        int x, y;
    } spots[] = {{0, 0}, {123, 45}, {400, 264}, {799, 599}};
    for (const auto& spot : spots) {
        harness().mouse.moveTo(spot.x, spot.y);
        harness().frame(FRAME);
        const CEGUI::Vector2f at = CEGUI::System::getSingleton().getDefaultGUIContext().getMouseCursor().getPosition();
        EXPECT_EQ(static_cast<float>(spot.x), at.d_x) << spot.x << "," << spot.y;
        EXPECT_EQ(static_cast<float>(spot.y), at.d_y) << spot.x << "," << spot.y;
    }
    EXPECT_FALSE(menu.mGameStarted);
}

namespace {
std::size_t linesOf(const LogRecorder& log, const std::string& prefix)
{
    std::size_t count = 0;
    for (const std::string& line : log.lines)
        count += line.rfind(prefix, 0) == 0;
    return count;
}
}

// A tap as `xdotool key` sends it: pressed and released before the game polls once.
TEST_F(GameplayTest, ATapBetweenTwoPollsActsOnceOnItsRelease)
{
    harness().latchKeys();
    newGame();
    TestGame& playing = game();
    const bool soundBefore = playing.mSound->enabled();
    const struct
    {
        OIS::KeyCode key;
        const char* logged; // the line the action writes, or nullptr
        std::function<bool()> done;
    } taps[] = {
        {OIS::KC_SPACE, "Shot ", [&] { return playing.mBalls.size() == 1; }},
        {OIS::KC_F1, GameEvents::HELP_SHOWN, [&] { return playing.mHelpWindow->isVisible(); }},
        {OIS::KC_G, nullptr, [&] { return playing.mLandingMarkerOn; }},
        {OIS::KC_M, nullptr, [&] { return playing.mSound->enabled() != soundBefore; }},
        {OIS::KC_ESCAPE, GameEvents::PAUSED, [&] { return playing.mPaused; }},
    };
    for (const auto& tap : taps) {
        SCOPED_TRACE(tap.key);
        harness().keyEvents.tap(tap.key);
        // The poll after the tap sees the key down, the one after that sees it up and acts.
        harness().frame(FRAME);
        EXPECT_FALSE(tap.done());
        harness().frames(3, FRAME);
        EXPECT_TRUE(tap.done());
        if (tap.logged) {
            EXPECT_EQ(1u, linesOf(log(), tap.logged));
        }
    }
    // The shot left with the charge of the one poll that saw SPACE down: 0.1 at the start, plus one step.
    EXPECT_TRUE(log().has(GameEvents::line(GameEvents::SHOT_FIRED, 1, 2 * 1.1)));
    EXPECT_EQ(1, playing.mShotsFired);
}

TEST_F(GameplayTest, SpaceHeldThroughAFocusChangeNeitherChargesOnNorFires)
{
    harness().latchKeys();
    newGame();
    TestGame& playing = game();
    harness().keyEvents.queue(OIS::KC_SPACE, true);
    harness().frames(5, FRAME);
    ASSERT_GT(playing.mCharge, 1);

    // The focus goes to another window, which gets SPACE's release; then it comes back.
    playing.windowFocusChange(RenderWindow::instance().window());
    ASSERT_TRUE(playing.mPaused);
    harness().frames(3, FRAME);
    playing.windowFocusChange(RenderWindow::instance().window());
    harness().keyEvents.tap(OIS::KC_ESCAPE);
    harness().frames(2, FRAME);
    ASSERT_FALSE(playing.mPaused);

    harness().frames(10, FRAME);
    EXPECT_TRUE(playing.mBalls.empty());
    EXPECT_EQ(0, playing.mShotsFired);
    EXPECT_EQ(0, playing.mCharge);
    EXPECT_FLOAT_EQ(0.01f, playing.mChargeBar->getProgress());

    // The next press charges from nothing.
    harness().keyEvents.tap(OIS::KC_SPACE);
    harness().frames(2, FRAME);
    ASSERT_EQ(1u, playing.mBalls.size());
    EXPECT_NEAR(2.0f, speedOf(playing.mBalls.front()), 0.1f);
}

TEST_F(GameplayTest, TheMenuCursorIsGoneWhileThePointerIsOutsideTheWindow)
{
    harness();
    CEGUI::MouseCursor& cursor = CEGUI::System::getSingleton().getDefaultGUIContext().getMouseCursor();
    const struct
    {
        int x, y;
        bool drawn;
    } spots[] = {{400, 300, true}, {820, 300, false}, {400, -3, false}, {-1, 0, false},
                 {799, 599, true}, {800, 599, false}, {10, 20, true}};
    for (const auto& spot : spots) {
        harness().mouse.moveTo(spot.x, spot.y);
        harness().frame(FRAME);
        EXPECT_EQ(spot.drawn, cursor.getImage() != nullptr) << spot.x << "," << spot.y;
        if (spot.drawn) {
            EXPECT_EQ(cursor.getDefaultImage(), cursor.getImage());
        }
        // Shown or hidden stays as ESC and New leave it.
        EXPECT_TRUE(cursorVisible());
    }
    EXPECT_EQ(10, cursor.getPosition().d_x);
    EXPECT_EQ(20, cursor.getPosition().d_y);
}

TEST_F(GameplayTest, AMenuButtonHeldThroughAFocusChangeIsNoClick)
{
    TestGame& menu = game();
    harness().mouse.moveTo(400, 260);
    harness().frame(FRAME);
    harness().mouse.move(0, 0);
    harness().mouse.setButton(OIS::MB_Left, true);
    harness().frames(2, FRAME);
    ASSERT_TRUE(menu.mGuiMouseDown);

    menu.windowFocusChange(RenderWindow::instance().window());
    // The button no longer looks pushed.
    EXPECT_EQ(nullptr, CEGUI::System::getSingleton().getDefaultGUIContext().getInputCaptureWindow());
    harness().mouse.setButton(OIS::MB_Left, false);
    harness().frames(3, FRAME);
    EXPECT_FALSE(menu.mGameStarted);

    // The next click is a click, once it is too late to make a double click of the two presses (the
    // GUI times that by the clock, a third of a second).
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    harness().mouse.setButton(OIS::MB_Left, true);
    harness().frame(FRAME);
    harness().mouse.setButton(OIS::MB_Left, false);
    harness().frame(FRAME);
    EXPECT_TRUE(menu.mGameStarted);
}
