#include "Core.h"

#include "Game.h"
#include "WindowIcon.h"

#include <OgreAxisAlignedBox.h>
#include <OgreCamera.h>
#include <OgreLight.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>

Core::~Core() = default;

bool Core::configureWindow()
{
    if (!ShellApplication::configureWindow())
        return false;

    setWindowIcon(nativeWindow());
    return true;
}

void Core::setupCamera()
{
    placeCamera(Ogre::Vector3(0, 18, 70));
}

void Core::installFrameListener()
{
    // The game is the only frame listener; its own constructor shows the statistics overlay.
    const Ogre::Vector3 gravity(0, -9.81f, 0);
    const Ogre::AxisAlignedBox worldBounds(Ogre::Vector3(-10000, -10000, -10000), Ogre::Vector3(10000, 10000, 10000));
    mInstalledListener = new Game(mSceneManager, mRenderWindow, mPlayerCamera, gravity, worldBounds);
    mEngineRoot->addFrameListener(mInstalledListener);
}

void Core::buildScene()
{
    mSceneManager->setAmbientLight(Ogre::ColourValue(0.5f, 0.5f, 0.5f, 1));
    Ogre::Light* light = mSceneManager->createLight("MainLight");
    mSceneManager->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(20, 80, 50))->attachObject(light);
}
