#include "Core.h"

#include "ShellFrameListener.h"
#include "WindowIcon.h"

#include <OgreCamera.h>
#include <OgreLight.h>
#include <OgreRenderWindow.h>
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
    // The plain listener flies the camera until the game takes over.
    ShellApplication::installFrameListener();
}

void Core::buildScene()
{
    mSceneManager->setAmbientLight(Ogre::ColourValue(0.5f, 0.5f, 0.5f, 1));
    Ogre::Light* light = mSceneManager->createLight("MainLight");
    mSceneManager->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(20, 80, 50))->attachObject(light);
}
