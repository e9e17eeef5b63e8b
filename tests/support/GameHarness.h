// One Game on the render fixture, with scripted devices and frames driven by hand.
#pragma once

#include "Game.h"
#include "LatchedKeyboard.h"
#include "ScriptedDevices.h"

#include <memory>
#include <string>

namespace Ogre {
class Camera;
class SceneManager;
}

// The Game with its state opened up to tests.
class TestGame : public Game
{
public:
    using Game::Game;

    using Game::mArenaBodies;
    using Game::mArenaShapes;
    using Game::mBalls;
    using Game::mBarrels;
    using Game::mBarrelsPlaced;
    using Game::mCharge;
    using Game::mChargeBar;
    using Game::mChargeInterval;
    using Game::mChargeStep;
    using Game::mChargeTimer;
    using Game::mContactCallback;
    using Game::mGameOver;
    using Game::mGameStarted;
    using Game::mGuiFont;
    using Game::mGuiMouseDown;
    using Game::mGuiRoot;
    using Game::mHelpHintWindow;
    using Game::mHelpWindow;
    using Game::mHighScore;
    using Game::mHighScoreWindow;
    using Game::mInfoWindow;
    using Game::mKeyStates;
    using Game::mLandingMarker;
    using Game::mLandingMarkerOn;
    using Game::mLastLevel;
    using Game::mLevel;
    using Game::mLevelBuilder;
    using Game::mLevelElapsed;
    using Game::mLevelTimeLimit;
    using Game::mMenuFocus;
    using Game::mMenuWindow;
    using Game::mNextBallIndex;
    using Game::mPaused;
    using Game::mPhysicsDebugDrawer;
    using Game::mPhysicsWorld;
    using Game::mRemovedBalls;
    using Game::mRemovedBarrels;
    using Game::mSceneManager;
    using Game::mSettings;
    using Game::mSettingsButton;
    using Game::mSettingsPanel;
    using Game::mShotsFired;
    using Game::mSound;
    using Game::mSoundNotice;
    using Game::mTimeWindow;
    using ShellFrameListener::fullScreenSize;
    using ShellFrameListener::mActiveCamera;
    using ShellFrameListener::mGamepads;
    using ShellFrameListener::mKeyboardDevice;
    using ShellFrameListener::mLatchedKeyboard;
    using ShellFrameListener::mMouseDevice;
    using ShellFrameListener::mMoveUnitsPerSecond;
    using ShellFrameListener::mPitchStep;
    using ShellFrameListener::mRenderWindow;
    using ShellFrameListener::mYawStep;
};

// Builds a fresh scene like the game's own (camera "PlayerCam" on "PlayerCamNode" at (0, 18, 70)
// looking at (0, 0, -300), the same lights), constructs one TestGame in it with the real
// arguments, and swaps scripted devices in for the real ones. The destructor takes everything
// down again (game, level objects, physics world, scene, floor mesh, GUI system), so harnesses
// can follow one another in one process. Only one may exist at a time. Needs an X display.
// Its sound goes to a loopback device, which mixes only when a test renders it, unless told otherwise.
class GameHarness
{
public:
    explicit GameHarness(SoundDevice::Output sound = SoundDevice::Output::Loopback);
    ~GameHarness();

    GameHarness(const GameHarness&) = delete;
    GameHarness& operator=(const GameHarness&) = delete;

    TestGame& game() { return *mGame; }
    Ogre::SceneManager* sceneManager() const { return mSceneManager; }
    Ogre::Camera* camera() const { return mCamera; }

    // One rendered frame's callbacks in the engine's order: frameStarted,
    // frameRenderingQueued (captures the devices, polls, moves the camera), frameEnded.
    // Returns false if any of them asked the loop to stop.
    bool frame(float seconds) { return frame(seconds, seconds); }
    bool frame(float timeSinceLastFrame, float timeSinceLastEvent);
    bool frames(int count, float seconds);

    // Puts the input library's own devices back, for code that must hand them to it (closing the window).
    void restoreRealDevices();
    // From now on the game reads its keys as it does in play, through its latch, fed with the events
    // of `keyEvents` rather than with the states of `keyboard`.
    void latchKeys();

    // Draws the window without running the game's callbacks; writes it out as a PNG.
    void render();
    void screenshot(const std::string& path);

    ScriptedKeyboard keyboard;
    ScriptedKeyboard keyEvents;
    ScriptedMouse mouse;

private:
    void buildScene();
    void destroyScene();

    Ogre::SceneManager* mSceneManager;
    Ogre::Camera* mCamera;
    Ogre::Camera* mFixtureCamera;
    TestGame* mGame;
    OIS::Keyboard* mRealKeyboard;
    OIS::Mouse* mRealMouse;
    LatchedKeyboard* mRealLatch;
    std::unique_ptr<LatchedKeyboard> mLatch;
};
