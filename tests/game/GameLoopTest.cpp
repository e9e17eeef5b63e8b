// The game as it starts, and its frame loop: pause, two physics steps, one clock tick.
#include "DynamicsRigidBody.h"
#include "GameHarness.h"
#include "LevelBuilder.h"
#include "ScriptedRolls.h"
#include "SteppedFont.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreMaterialManager.h>
#include <OgreRenderSystem.h>
#include <OgreRenderSystemCapabilities.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreSceneNode.h>

#include <CEGUI/GUIContext.h>
#include <CEGUI/MouseCursor.h>
#include <CEGUI/Renderer.h>
#include <CEGUI/RendererModules/Ogre/Renderer.h>
#include <CEGUI/System.h>
#include <CEGUI/widgets/ProgressBar.h>

#include <BulletDynamics/Dynamics/btRigidBody.h>

#include <gtest/gtest.h>

namespace {
const float FRAME = 1.0f / 60;

class GameLoopTest : public ::testing::Test
{
protected:
    // A ball dropped in the air in front of the camera, clear of the platform.
    Ball* dropBall()
    {
        TestGame& game = harness.game();
        Ball* ball = new Ball(harness.camera(), game.mSceneManager, game.mPhysicsWorld, game.mNextBallIndex++, 0);
        game.mBalls.push_front(ball);
        return ball;
    }

    // Level 1 laid out as a new game does, and play resumed.
    void playLevelOne()
    {
        TestGame& game = harness.game();
        game.mLevelTimeLimit = game.mLevelBuilder->buildLevel(1);
        game.mBarrelsPlaced = static_cast<int>(game.mBarrels.size());
        game.mGameStarted = true;
        game.mGameOver = false;
        game.mLevelElapsed = 0;
        game.mPaused = false;
    }

    static float fallSpeed(const Ball* ball) { return -ball->rigidBody()->bulletBody()->getLinearVelocity().y(); }

    GameHarness harness;
    ScriptedRolls rolls{0};
};
}

TEST_F(GameLoopTest, StartsInItsMenuWithNothingInPlay)
{
    TestGame& game = harness.game();
    EXPECT_TRUE(game.mMenuWindow->isVisible());
    EXPECT_TRUE(CEGUI::System::getSingleton().getDefaultGUIContext().getMouseCursor().isVisible());
    const CEGUI::Window* hud[] = {game.mTimeWindow, game.mInfoWindow,      game.mHelpHintWindow,
                                  game.mHelpWindow, game.mHighScoreWindow, game.mChargeBar};
    for (const CEGUI::Window* window : hud)
        EXPECT_FALSE(window->isVisible()) << window->getName();

    // In the menu, SPACE fires nothing, the mouse turns no view, the clock stands and the platform stays put.
    Ogre::SceneNode* platform = game.mArenaBodies.back()->bodyNode();
    const Ogre::Vector3 platformAt = platform->getPosition();
    const Ogre::Quaternion view = harness.camera()->getDerivedOrientation();
    harness.keyboard.press(OIS::KC_SPACE);
    harness.mouse.move(40, -25);
    ASSERT_TRUE(harness.frames(30, FRAME));
    harness.keyboard.release(OIS::KC_SPACE);
    harness.mouse.move(0, 0);
    ASSERT_TRUE(harness.frames(2, FRAME));

    EXPECT_TRUE(game.mMenuWindow->isVisible());
    EXPECT_TRUE(game.mBalls.empty());
    EXPECT_TRUE(game.mBarrels.empty());
    EXPECT_EQ(0, game.mShotsFired);
    EXPECT_EQ(0, game.mLevelElapsed);
    EXPECT_EQ(platformAt, platform->getPosition());
    EXPECT_TRUE(view.equals(harness.camera()->getDerivedOrientation(), Ogre::Degree(0.1f)));
}

TEST(RenderQuality, AnisotropicFilteringExceptInSoftware)
{
    const struct
    {
        const char* device;
        unsigned int anisotropy;
    } cases[] = {{"llvmpipe (LLVM 15.0.6, 256 bits)", 1},
                 {"softpipe", 1},
                 {"Software Rasterizer (swrast)", 1},
                 {"NVIDIA GeForce GTX 1060/PCIe/SSE2", 16},
                 {"AMD Radeon RX 580 (polaris10, LLVM 15.0.6, DRM 3.49)", 16},
                 {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", 16}};
    for (const auto& c : cases)
        EXPECT_EQ(c.anisotropy, Game::textureAnisotropyFor(c.device)) << c.device;
}

TEST_F(GameLoopTest, RendersWithTheQualityItsRendererAffords)
{
    const Ogre::String device = Ogre::Root::getSingleton().getRenderSystem()->getCapabilities()->getDeviceName();
    Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
    EXPECT_EQ(Ogre::FO_ANISOTROPIC, materials.getDefaultTextureFiltering(Ogre::FT_MIN));
    EXPECT_EQ(Game::textureAnisotropyFor(device), materials.getDefaultAnisotropy());
}

TEST_F(GameLoopTest, ResetKeyStatesClearsTheThreeKeysAndRestoresMissingOnes)
{
    TestGame& game = harness.game();
    game.mKeyStates[OIS::KC_SPACE] = true;
    game.mKeyStates.erase(OIS::KC_F1);
    game.resetKeyStates();
    const std::map<OIS::KeyCode, bool> keys = {{OIS::KC_ESCAPE, false}, {OIS::KC_F1, false}, {OIS::KC_SPACE, false}};
    EXPECT_EQ(keys, game.mKeyStates);
}

TEST_F(GameLoopTest, NothingMovesWhilePaused)
{
    TestGame& game = harness.game();
    playLevelOne();
    game.mPaused = true;
    Ball* ball = dropBall();
    const Ogre::Vector3 ballAt = ball->entity()->getParentSceneNode()->getPosition();
    Ogre::SceneNode* platform = game.mArenaBodies.back()->bodyNode();
    const Ogre::Vector3 platformAt = platform->getPosition();

    for (float seconds : {FRAME, 0.5f, 2.0f})
        EXPECT_TRUE(harness.frame(seconds));
    EXPECT_EQ(0, game.mLevelElapsed);
    EXPECT_EQ(0, fallSpeed(ball));
    EXPECT_EQ(ballAt, ball->entity()->getParentSceneNode()->getPosition());
    EXPECT_EQ(platformAt, platform->getPosition());
}

TEST_F(GameLoopTest, OneFrameStepsTheWorldTwiceAndTheClockOnce)
{
    TestGame& game = harness.game();
    playLevelOne();
    Ball* ball = dropBall();

    EXPECT_TRUE(harness.frame(FRAME));
    EXPECT_FLOAT_EQ(FRAME, game.mLevelElapsed);
    EXPECT_NEAR(2 * 9.81f * FRAME, fallSpeed(ball), 1e-4f);

    // A long frame still takes one fixed step per call.
    EXPECT_TRUE(harness.frame(0.25f));
    EXPECT_FLOAT_EQ(FRAME + 0.25f, game.mLevelElapsed);
    EXPECT_NEAR(4 * 9.81f * FRAME, fallSpeed(ball), 1e-4f);
}

TEST_F(GameLoopTest, ClockCountsFrameTimeNotEventTime)
{
    TestGame& game = harness.game();
    playLevelOne();
    EXPECT_TRUE(harness.frame(0.02f, 0.5f));
    EXPECT_FLOAT_EQ(0.02f, game.mLevelElapsed);
}

TEST_F(GameLoopTest, AfterTheGameIsOverPhysicsRunsButTheClockStops)
{
    TestGame& game = harness.game();
    playLevelOne();
    game.mGameOver = true;
    game.mLevelElapsed = 3;
    Ball* ball = dropBall();

    EXPECT_TRUE(harness.frame(FRAME));
    EXPECT_EQ(3, game.mLevelElapsed);
    EXPECT_NEAR(2 * 9.81f * FRAME, fallSpeed(ball), 1e-4f);
}

TEST_F(GameLoopTest, LevelOneSettlesUprightOnThePlatform)
{
    TestGame& game = harness.game();
    playLevelOne();
    ASSERT_TRUE(harness.frames(180, FRAME));

    // Platform: half height 100 / 2 x 0.95 x 0.05 = 2.375, resting on the plane y = 0.
    const Ogre::Vector3 platformAt = game.mArenaBodies.back()->bodyNode()->getPosition();
    EXPECT_NEAR(2.375f, platformAt.y, 0.05f);
    EXPECT_NEAR(-10, platformAt.z, 0.1f);
    EXPECT_NEAR(0, platformAt.x, 0.1f);

    // Barrels: half height 3.8 on top of the platform (4.75), the second row on the first.
    ASSERT_EQ(6u, game.mBarrels.size());
    int index = 0;
    for (const Barrel* barrel : game.mBarrels) {
        const Ogre::SceneNode* node = barrel->entity()->getParentSceneNode();
        const float expectedY = index < 4 ? 4.75f + 3.8f : 4.75f + 3 * 3.8f;
        EXPECT_NEAR(expectedY, node->getPosition().y, 0.1f) << barrel->entity()->getName();
        const Ogre::Vector3 axis = node->getOrientation() * Ogre::Vector3::UNIT_Y;
        EXPECT_GT(std::abs(axis.y), 0.999f) << barrel->entity()->getName();
        EXPECT_LT(barrel->rigidBody()->bulletBody()->getLinearVelocity().length(), 0.05f);
        ++index;
    }
}

// The GUI learns a new window size once the size has stayed put for a moment, and its default font
// follows the height.
TEST_F(GameLoopTest, GuiFollowsTheWindowSizeOnceItSettles)
{
    TestGame& game = harness.game();
    Ogre::RenderWindow* window = game.mRenderWindow;
    const CEGUI::Renderer* gui = CEGUI::System::getSingleton().getRenderer();
    const CEGUI::Sizef before = gui->getDisplaySize();
    const CEGUI::GUIContext& context = CEGUI::System::getSingleton().getDefaultGUIContext();
    const CEGUI::Font* fontBefore = context.getDefaultFont();

    for (unsigned int height : {400u, 420u, 440u}) {
        window->resize(640, height);
        game.windowResized(window);
        EXPECT_TRUE(harness.frame(0.1f));
        EXPECT_EQ(before, gui->getDisplaySize()) << "still being dragged at height " << height;
    }
    EXPECT_EQ(fontBefore, context.getDefaultFont());
    harness.frames(3, 0.1f);
    EXPECT_EQ(CEGUI::Sizef(640, 440), gui->getDisplaySize());
    EXPECT_NE(fontBefore, context.getDefaultFont()) << "a size step smaller";
    EXPECT_EQ(&game.mGuiFont->fit(CEGUI::Sizef(640, 440)), context.getDefaultFont());
}

// The engine draws nothing into a window that is not shown (still being mapped, or covered by
// another); the GUI must not try to draw in such a frame, or it finds no viewport.
TEST_F(GameLoopTest, AFrameOfAWindowNotShownDrawsNoGuiAndGoesOn)
{
    TestGame& game = harness.game();
    // What the window-event pump records while the window is unmapped or covered.
    game.mRenderWindow->setVisible(false);
    ASSERT_FALSE(game.mRenderWindow->isActive());
    CEGUI::OgreRenderer* gui = static_cast<CEGUI::OgreRenderer*>(CEGUI::System::getSingleton().getRenderer());
    Ogre::Root& root = Ogre::Root::getSingleton();
    root.addFrameListener(&game);
    EXPECT_NO_THROW(root.renderOneFrame(FRAME));
    root.removeFrameListener(&game);
    game.mRenderWindow->setVisible(true);
    EXPECT_TRUE(gui->isRenderingEnabled()) << "the GUI draws again once the window is shown";
}
