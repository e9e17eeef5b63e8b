// Window-free engine fixture: scene-graph, material and buffer code runs without an X server.
#include "HeadlessScene.h"

#include <OgreDefaultHardwareBufferManager.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>

HeadlessScene::HeadlessScene()
    : mLogManager(new Ogre::LogManager()), mRoot(nullptr), mBuffers(nullptr), mSceneManager(nullptr)
{
    // Our own log manager keeps the log in memory (listeners still see every line).
    mLogManager->createLog("headless.log", true, false, true);
    mRoot = new Ogre::Root("", "", "");
    mBuffers = new Ogre::DefaultHardwareBufferManager();
    Ogre::MaterialManager::getSingleton().initialise();
    mSceneManager = mRoot->createSceneManager();
}

HeadlessScene::~HeadlessScene()
{
    mRoot->destroySceneManager(mSceneManager);
    // Meshes and materials go with the Root and still notify the buffer manager.
    delete mRoot;
    delete mBuffers;
    delete mLogManager;
}
