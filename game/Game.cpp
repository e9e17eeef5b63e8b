#include "Game.h"

#include "CollisionsDebugDrawer.h"
#include "CollisionsShape.h"
#include "DynamicsRigidBody.h"
#include "DynamicsWorld.h"
#include "Flight.h"
#include "GameEvents.h"
#include "GameSound.h"
#include "LandingMarker.h"
#include "LevelBuilder.h"
#include "SettingsPanel.h"
#include "SteppedFont.h"

#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreMeshManager.h>
#include <OgreRenderSystem.h>
#include <OgreRenderSystemCapabilities.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>

#include <CEGUI/GUIContext.h>
#include <CEGUI/System.h>
#include <CEGUI/Window.h>

#include <chrono>
#include <utility>

namespace {
// One fixed physics step of 1/60 s, at most one per call, two calls per rendered frame.
const float FIXED_STEP = static_cast<float>(Flight::STEP_SECONDS);
const int MAX_SUB_STEPS = 1;

int millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
}

// Kept until the process ends, like the engine root and the GUI: Quit ends the game with exit()
// from inside a frame. The sanitizer build's leak suppressions name each kept type through this.
template <class Kept, class... Args>
Kept* keepUntilExit(Args&&... args)
{
    return new Kept(std::forward<Args>(args)...);
}

// The GUI clock: the library keeps a system-wide and a per-context one.
void pulseGui(float seconds)
{
    CEGUI::System& gui = CEGUI::System::getSingleton();
    gui.injectTimePulse(seconds);
    gui.getDefaultGUIContext().injectTimePulse(seconds);
}
}

Game::Game(Ogre::SceneManager* sceneManager, Ogre::RenderWindow* window, Ogre::Camera* camera,
           const Ogre::Vector3& gravity, const Ogre::AxisAlignedBox& worldBounds, SoundDevice::Output soundOutput,
           const std::string& settingsFile)
    : ShellFrameListener(window, camera, false, false, false), OIS::MouseListener(), OIS::KeyListener(),
      mSceneManager(sceneManager), mKeyStates(), mPhysicsWorld(nullptr), mPhysicsDebugDrawer(nullptr),
      mNextBallIndex(0), mLevel(1), mLastLevel(5), mShotsFired(0), mBarrelsPlaced(0), mHighScore(0),
      mGameStarted(false), mGameOver(false), mPaused(true), mGuiMouseDown(false), mCharge(0), mLevelElapsed(0),
      mLevelTimeLimit(0), mChargeStep(0), mChargeTimer(0), mChargeInterval(0.01f), mLevelBuilder(nullptr),
      mGuiRoot(nullptr), mChargeBar(nullptr), mTimeWindow(nullptr), mHighScoreWindow(nullptr), mInfoWindow(nullptr),
      mHelpWindow(nullptr), mHelpHintWindow(nullptr), mMenuWindow(nullptr), mContactCallback()
{
    setRenderQuality();
    // Collision sizes come from mesh bounds, which the engine pads by 1 % unless told otherwise.
    // Meshes load on first use, so this must come before the arena and any ball or barrel.
    Ogre::MeshManager::getSingleton().setBoundsPaddingFactor(0);

    mMoveUnitsPerSecond = 50;

    auto stepStart = std::chrono::steady_clock::now();
    mPhysicsWorld =
        keepUntilExit<Dynamics::DynamicsWorld>(mSceneManager, worldBounds, gravity, true, true, BROADPHASE_HANDLES);
    mPhysicsDebugDrawer = new Collisions::DebugDrawer();
    mPhysicsDebugDrawer->enableWireframe(true);
    mPhysicsWorld->attachDebugDrawer(mPhysicsDebugDrawer);
    mPhysicsWorld->showDebugShapes(false);
    const int worldMs = millisecondsSince(stepStart);

    stepStart = std::chrono::steady_clock::now();
    buildArena();
    const int arenaMs = millisecondsSince(stepStart);
    buildAimAids(gravity);
    mLevelBuilder = keepUntilExit<LevelBuilder>(mSceneManager, mPhysicsWorld, &mBarrels);

    resetKeyStates();
    mGameStarted = false;
    mGuiMouseDown = false;
    mChargeTimer = 0;
    mChargeInterval = 0.01f;
    mHighScore = loadHighScore();
    stepStart = std::chrono::steady_clock::now();
    init_GUI();
    // The GUI draws the one arrow over the window; while playing the pointer is grabbed and hidden anyway.
    setDesktopCursorHidden(true);
    startSound(soundOutput);
    loadSettings(settingsFile);
    logEvent(GameEvents::line(GameEvents::START_UP_STEPS, worldMs, arenaMs, millisecondsSince(stepStart)));
}

Game::~Game()
{
    mRenderWindow->removeListener(&mScissorReset);
    stopSound();
    // The level in play goes with the game; the world it stands in stays (keepUntilExit).
    for (Ball* ball : mBalls)
        delete ball;
    for (Barrel* barrel : mBarrels)
        delete barrel;
    mBalls.clear();
    mBarrels.clear();
    for (Dynamics::RigidBody* body : mArenaBodies)
        delete body;
    for (Collisions::CollisionShape* shape : mArenaShapes)
        delete shape;
    mArenaBodies.clear();
    mArenaShapes.clear();
}

unsigned int Game::textureAnisotropyFor(const std::string& deviceName)
{
    // Mesa's software rasterisers, all a machine without a GPU has, spend seconds and at times a
    // minute on a frame with anisotropic sampling of the huge floor.
    for (const char* rasteriser : {"llvmpipe", "softpipe", "swrast"}) {
        if (deviceName.find(rasteriser) != std::string::npos)
            return 1;
    }
    return 16;
}

void Game::setRenderQuality()
{
    const Ogre::String device = Ogre::Root::getSingleton().getRenderSystem()->getCapabilities()->getDeviceName();
    const unsigned int anisotropy = textureAnisotropyFor(device);
    Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
    materials.setDefaultTextureFiltering(Ogre::TFO_ANISOTROPIC);
    materials.setDefaultAnisotropy(anisotropy);
    if (anisotropy == 1)
        logEvent("Software renderer: anisotropic filtering off");
}

void Game::logEvent(const std::string& line)
{
    Ogre::LogManager::getSingleton().logMessage(line);
}

bool Game::frameStarted(const Ogre::FrameEvent& evt)
{
    const bool result = Ogre::FrameListener::frameStarted(evt);
    pulseGui(evt.timeSinceLastFrame);
    updateGuiSize(evt.timeSinceLastFrame);
    holdGuiWhileWindowHidden();
    updateSound(evt.timeSinceLastFrame);
    if (!mPaused) {
        if (!mGameOver) {
            mLevelElapsed += evt.timeSinceLastFrame;
            updateRules();
        }
        mPhysicsWorld->stepSimulation(evt.timeSinceLastFrame, MAX_SUB_STEPS, FIXED_STEP);
    }
    updateAimAids();
    // The settings button belongs with the menu, though outside its box.
    mSettingsButton->setVisible(mMenuWindow->isVisible());
    return result;
}

bool Game::frameEnded(const Ogre::FrameEvent& evt)
{
    releaseGui();
    const bool result = ShellFrameListener::frameEnded(evt);
    pulseGui(evt.timeSinceLastEvent);
    if (!mPaused) {
        if (!mGameOver)
            updateRules();
        mPhysicsWorld->stepSimulation(evt.timeSinceLastFrame, MAX_SUB_STEPS, FIXED_STEP);
    }
    return result;
}

void Game::resetKeyStates()
{
    mKeyStates[OIS::KC_SPACE] = false;
    mKeyStates[OIS::KC_ESCAPE] = false;
    mKeyStates[OIS::KC_F1] = false;
}

bool Game::mouseMoved(const OIS::MouseEvent&)
{
    return true;
}

bool Game::mousePressed(const OIS::MouseEvent&, OIS::MouseButtonID)
{
    return true;
}

bool Game::mouseReleased(const OIS::MouseEvent&, OIS::MouseButtonID)
{
    return true;
}

bool Game::keyPressed(const OIS::KeyEvent&)
{
    return true;
}

bool Game::keyReleased(const OIS::KeyEvent&)
{
    return true;
}
