// The game itself: its state, the frame loop that runs the rules and the physics, the GUI and the arena.
#pragma once

#include "Ball.h"
#include "Barrel.h"
#include "FocusList.h"
#include "Gamepads.h"
#include "Settings.h"
#include "ShellFrameListener.h"
#include "SoundDevice.h"

#include <OgreAxisAlignedBox.h>
#include <OgreRenderTargetListener.h>
#include <OgreVector.h>
#include <OIS.h>

#include <BulletCollision/CollisionDispatch/btCollisionWorld.h>

#include <array>
#include <chrono>
#include <deque>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace CEGUI {
class EventArgs;
class ProgressBar;
class Window;
}
namespace Collisions {
class CollisionShape;
class DebugDrawer;
}
namespace Dynamics {
class DynamicsWorld;
class RigidBody;
}
namespace Ogre {
class Overlay;
class SceneManager;
}
class GameSound;
class LandingMarker;
class SteppedFont;
class LevelBuilder;
class SettingsPanel;
class btDynamicsWorld;

class Game : public ShellFrameListener, public OIS::MouseListener, public OIS::KeyListener
{
public:
    // Records whether a contact-pair test found the two bodies touching or penetrating.
    struct MyContactResultCallback : public btCollisionWorld::ContactResultCallback
    {
        MyContactResultCallback() : mHit(false) {}

        btScalar addSingleResult(btManifoldPoint& point, const btCollisionObjectWrapper* object0, int partId0,
                                 int index0, const btCollisionObjectWrapper* object1, int partId1, int index1) override;

        bool mHit;
    };

    // Fixed size of the physics world's broadphase.
    static constexpr unsigned int BROADPHASE_HANDLES = 1500000;
    // The smallest window the GUI's font steps are made ahead for: nobody plays in a smaller one, and
    // the few steps below, cheap at their size, are made if a window is ever dragged through them.
    static constexpr unsigned int SMALLEST_PLAYED_WIDTH = 320;
    static constexpr unsigned int SMALLEST_PLAYED_HEIGHT = 240;

    Game(Ogre::SceneManager* sceneManager, Ogre::RenderWindow* window, Ogre::Camera* camera,
         const Ogre::Vector3& gravity, const Ogre::AxisAlignedBox& worldBounds,
         SoundDevice::Output soundOutput = SoundDevice::Output::Speakers,
         const std::string& settingsFile = SettingsFile::NAME);
    ~Game() override;

    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Frame loop (Game.cpp).
    bool frameStarted(const Ogre::FrameEvent& evt) override;
    bool frameEnded(const Ogre::FrameEvent& evt) override;
    void resetKeyStates();

    // The devices are read by polling; these are never called and only answer true.
    bool mouseMoved(const OIS::MouseEvent& evt) override;
    bool mousePressed(const OIS::MouseEvent& evt, OIS::MouseButtonID id) override;
    bool mouseReleased(const OIS::MouseEvent& evt, OIS::MouseButtonID id) override;
    bool keyPressed(const OIS::KeyEvent& evt) override;
    bool keyReleased(const OIS::KeyEvent& evt) override;

    // Player's keys and mouse (GameInput.cpp).
    bool pollKeyboard(const Ogre::FrameEvent& evt) override;
    bool pollMouse(const Ogre::FrameEvent& evt) override;
    // ESC's pause and resume: menu, GUI cursor, clock, and the pointer grab that mouse look needs.
    void togglePause();
    // Losing the focus while playing pauses the game.
    void windowFocusChange(Ogre::RenderWindow* window) override;
    // Paused, and out of sight or left alone: a few frames a second will do.
    bool isIdle() const override;

    // Rules (GameRules.cpp).
    void updateRules();
    void checkBarrels();
    void checkBalls();
    void clearRemovedObjects();
    void clearLevel();

    // Menus and heads-up display (GameGui.cpp).
    void init_GUI();
    // The GUI lays itself out for the window's new size once it has stopped changing (updateGuiSize, GameGuiSize.cpp).
    void windowResized(Ogre::RenderWindow* window) override;
    bool onNewGame(const CEGUI::EventArgs& args);
    bool onQuit(const CEGUI::EventArgs& args);
    void startGame();

    // When the program was loaded: a save's temporary file older than this was left by a game that
    // has ended, a newer one may be another copy's save under way.
    static const std::chrono::system_clock::time_point PROGRAM_LOADED;

    // High-score file (GameHighScore.cpp).
    int loadHighScore();
    void saveHighScore() const;
    // Closing the window is the usual way to quit, so it keeps the best score too.
    void windowClosed(Ogre::RenderWindow* window) override;

    // Floor and platform (GameArena.cpp).
    void buildArena();

    // Sound effects (GameSound.cpp).
    void startSound(SoundDevice::Output output);
    void stopSound();
    static void physicsTicked(btDynamicsWorld* world, btScalar step);
    // Impacts from the contacts the physics step just solved.
    void listenToContacts();
    // Listener on the camera, the charge tone, the on/off notice.
    void updateSound(float seconds);
    // M: sound on or off, shown briefly on screen and kept for the next game.
    void toggleSound();
    // Crosshair while playing, landing marker while a shot charges (GameAim.cpp).
    void buildAimAids(const Ogre::Vector3& gravity);
    void updateAimAids();

    // Settings (GameSettings.cpp): read at start, changed through the panel or by M, applied at once,
    // and written when the player has changed something and leaves the panel or the game.
    void loadSettings(const std::string& file);
    void changeSettings(const Settings& settings);
    // Puts into effect what differs from `before`, or everything without it.
    void applySettings(const Settings& settings, const Settings* before);
    void saveSettings();
    // The panel opens over the menu, pausing a game in play first; closing it shows the menu again.
    void openSettings();
    void closeSettings();
    bool onSettings(const CEGUI::EventArgs& args);
    // Moves the focus of the menu or the panel with the arrows, Enter, the D-pad, the left stick and A.
    void navigate(FocusList& focus);

    // Texture anisotropy for a renderer: the most the game asks for, but none where rendering is in software.
    static unsigned int textureAnisotropyFor(const std::string& deviceName);

protected:
    Ogre::SceneManager* mSceneManager;
    std::map<OIS::KeyCode, bool> mKeyStates;
    Dynamics::DynamicsWorld* mPhysicsWorld;
    Collisions::DebugDrawer* mPhysicsDebugDrawer;
    int mNextBallIndex;
    int mLevel;
    int mLastLevel;
    int mShotsFired;
    int mBarrelsPlaced;
    int mHighScore;
    bool mGameStarted;
    bool mGameOver;
    bool mPaused;
    bool mGuiMouseDown;
    float mCharge;
    float mLevelElapsed;
    float mLevelTimeLimit;
    float mChargeStep;
    float mChargeTimer;
    float mChargeInterval;
    std::list<Ball*> mBalls;
    // Taken out of play and hidden; destroyed, with their bodies, shapes and entities, when cleared.
    std::list<std::unique_ptr<Ball>> mRemovedBalls;
    std::list<Barrel*> mBarrels;
    std::list<std::unique_ptr<Barrel>> mRemovedBarrels;
    LevelBuilder* mLevelBuilder;
    CEGUI::Window* mGuiRoot;
    CEGUI::ProgressBar* mChargeBar;
    CEGUI::Window* mTimeWindow;
    CEGUI::Window* mHighScoreWindow;
    CEGUI::Window* mInfoWindow;
    CEGUI::Window* mHelpWindow;
    CEGUI::Window* mHelpHintWindow;
    CEGUI::Window* mMenuWindow;
    std::deque<Dynamics::RigidBody*> mArenaBodies;
    std::deque<Collisions::CollisionShape*> mArenaShapes;
    MyContactResultCallback mContactCallback;
    std::unique_ptr<GameSound> mSound;
    CEGUI::Window* mSoundNotice = nullptr;
    float mSoundNoticeSeconds = 0;
    std::unique_ptr<LandingMarker> mLandingMarker;
    // The GUI's default font, scaled with the window in steps.
    std::unique_ptr<SteppedFont> mGuiFont;
    Ogre::Overlay* mCrosshair = nullptr;
    // G turns the landing marker on and off.
    bool mLandingMarkerOn = false;
    Settings mSettings = Settings::defaults();
    // The file's lines as read or last written, for a rewrite to keep the player's own.
    std::vector<std::string> mSettingsLines;
    std::string mSettingsFile;
    bool mSettingsUnsaved = false;
    std::unique_ptr<SettingsPanel> mSettingsPanel;
    CEGUI::Window* mSettingsButton = nullptr;
    // The menu's buttons for the keyboard and pads: New, Quit, Settings.
    FocusList mMenuFocus;

private:
    // The GUI renderer leaves the scissor test on after drawing, which freezes the 3D view on its
    // first frame; switching it off before every viewport update keeps the scene drawing.
    struct ScissorReset : public Ogre::RenderTargetListener
    {
        void preViewportUpdate(const Ogre::RenderTargetViewportEvent& evt) override;
    };

    // True at the poll that finds `key` up after one that found it down: every key acts on release.
    bool releasedNow(OIS::KeyCode key);
    // The same for the active pad's buttons, which act as their twin keys do.
    bool padReleasedNow(Gamepads::Button button);
    // Anything held is dropped, a shot being charged is not fired: the focus went, or the pad.
    void dropHeldInput();
    // The sticks' look, in degrees this frame, for the mouse's turn to add to.
    Ogre::Degree padYaw(float seconds) const;
    Ogre::Degree padPitch(float seconds) const;
    std::array<bool, Gamepads::BUTTON_COUNT> mPadStates{};
    // The left stick moves a menu's focus once each time it leaves the centre.
    bool mStickCentred = true;
    // Contact test of two bodies through mContactCallback, which it leaves with mHit cleared.
    bool touches(Dynamics::RigidBody* a, Dynamics::RigidBody* b);
    void setRenderQuality();
    void logLevelBuilt() const;
    static void logEvent(const std::string& line);
    void updateGuiSize(float seconds);
    // Between frameStarted and frameEnded: no GUI drawing in a frame that draws no viewport.
    void holdGuiWhileWindowHidden();
    void releaseGui();
    enum class SoundRole
    {
        None,
        Ball,
        Barrel,
        Ground
    };
    SoundRole soundRole(const btCollisionObject* object) const;

    ScissorReset mScissorReset;
    // Seconds until the GUI learns the window's new size; negative when it knows it.
    float mGuiResizeWait = -1;
    // Once the window has changed size, the GUI's font steps are made ahead, one a frame.
    bool mFontsAhead = false;
    bool mGuiHeld = false;
};
