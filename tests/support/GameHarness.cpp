#include "GameHarness.h"

#include "CollisionsDebugDrawer.h"
#include "DynamicsWorld.h"
#include "Flight.h"
#include "LevelBuilder.h"
#include "RenderWindow.h"

#include <OgreCamera.h>
#include <OgreLight.h>
#include <OgreMeshManager.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreViewport.h>
#include <Overlay/OgreOverlaySystem.h>

#include <CEGUI/RendererModules/Ogre/Renderer.h>

GameHarness::GameHarness(SoundDevice::Output sound)
    : mSceneManager(nullptr), mCamera(nullptr), mFixtureCamera(nullptr), mGame(nullptr), mRealKeyboard(nullptr),
      mRealMouse(nullptr), mRealLatch(nullptr)
{
    buildScene();
    RenderWindow& fixture = RenderWindow::instance();
    const Ogre::Vector3 gravity(0, -static_cast<float>(Flight::GRAVITY), 0);
    const Ogre::AxisAlignedBox bounds(Ogre::Vector3(-10000, -10000, -10000), Ogre::Vector3(10000, 10000, 10000));
    mGame = new TestGame(mSceneManager, fixture.window(), mCamera, gravity, bounds, sound);

    mRealKeyboard = mGame->mKeyboardDevice;
    mRealMouse = mGame->mMouseDevice;
    mRealLatch = mGame->mLatchedKeyboard;
    mGame->mKeyboardDevice = &keyboard;
    mGame->mMouseDevice = &mouse;
    // The pointer is over the window while it lies within the window's size, as the game knows it.
    const OIS::MouseState& pointer = mouse.getMouseState();
    pointer.width = fixture.window()->getWidth();
    pointer.height = fixture.window()->getHeight();
}

GameHarness::~GameHarness()
{
    // The input library can only destroy the devices it made.
    restoreRealDevices();

    // What the game leaves to process exit: its builder, world and drawer.
    LevelBuilder* builder = mGame->mLevelBuilder;
    Dynamics::DynamicsWorld* world = mGame->mPhysicsWorld;
    Collisions::DebugDrawer* drawer = mGame->mPhysicsDebugDrawer;

    delete mGame;
    delete builder;
    delete world;
    if (drawer->getParentSceneNode())
        drawer->getParentSceneNode()->detachObject(drawer);
    delete drawer;

    CEGUI::OgreRenderer::destroySystem();
    destroyScene();
}

void GameHarness::restoreRealDevices()
{
    mGame->mKeyboardDevice = mRealKeyboard;
    mGame->mMouseDevice = mRealMouse;
    mGame->mLatchedKeyboard = mRealLatch;
    mLatch.reset();
}

void GameHarness::latchKeys()
{
    mLatch = std::make_unique<LatchedKeyboard>(&keyEvents);
    mGame->mKeyboardDevice = mLatch.get();
    mGame->mLatchedKeyboard = mLatch.get();
}

void GameHarness::buildScene()
{
    RenderWindow& fixture = RenderWindow::instance();
    mSceneManager = fixture.root()->createSceneManager();
    mSceneManager->addRenderQueueListener(fixture.overlaySystem());

    mCamera = mSceneManager->createCamera("PlayerCam");
    Ogre::SceneNode* node =
        mSceneManager->getRootSceneNode()->createChildSceneNode("PlayerCamNode", Ogre::Vector3(0, 18, 70));
    node->setFixedYawAxis(true);
    node->attachObject(mCamera);
    node->lookAt(Ogre::Vector3(0, 0, -300), Ogre::Node::TS_WORLD);
    mCamera->setNearClipDistance(5);
    mCamera->setAspectRatio(Ogre::Real(RenderWindow::WIDTH) / RenderWindow::HEIGHT);
    mFixtureCamera = fixture.viewport()->getCamera();
    fixture.viewport()->setCamera(mCamera);

    mSceneManager->setAmbientLight(Ogre::ColourValue(0.5f, 0.5f, 0.5f, 1));
    Ogre::Light* light = mSceneManager->createLight("MainLight");
    mSceneManager->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(20, 80, 50))->attachObject(light);
}

void GameHarness::destroyScene()
{
    RenderWindow& fixture = RenderWindow::instance();
    fixture.viewport()->setCamera(mFixtureCamera);
    mSceneManager->removeRenderQueueListener(fixture.overlaySystem());
    fixture.root()->destroySceneManager(mSceneManager);
    // The next game makes the floor mesh again under the same name.
    Ogre::MeshManager::getSingleton().remove("FloorPlane", Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
}

bool GameHarness::frame(float timeSinceLastFrame, float timeSinceLastEvent)
{
    Ogre::FrameEvent event;
    event.timeSinceLastFrame = timeSinceLastFrame;
    event.timeSinceLastEvent = timeSinceLastEvent;
    bool keepGoing = mGame->frameStarted(event);
    keepGoing = mGame->frameRenderingQueued(event) && keepGoing;
    keepGoing = mGame->frameEnded(event) && keepGoing;
    return keepGoing;
}

bool GameHarness::frames(int count, float seconds)
{
    bool keepGoing = true;
    for (int i = 0; i < count; ++i)
        keepGoing = frame(seconds) && keepGoing;
    return keepGoing;
}

void GameHarness::render()
{
    RenderWindow::instance().renderFrame();
}

void GameHarness::screenshot(const std::string& path)
{
    RenderWindow::instance().renderTo(path);
}
