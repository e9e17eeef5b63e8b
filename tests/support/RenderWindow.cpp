#include "RenderWindow.h"

#include <OgreCamera.h>
#include <OgreConfigFile.h>
#include <OgreException.h>
#include <OgreLogManager.h>
#include <OgreOverlaySystem.h>
#include <OgreRenderSystem.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreViewport.h>

RenderWindow& RenderWindow::instance()
{
    // Left to process exit, as the game leaves its engine: unloading the GL driver from among
    // the other libraries' exit-time destructors can crash a test process.
    static RenderWindow* fixture = new RenderWindow();
    return *fixture;
}

RenderWindow::RenderWindow()
{
    // Our own log first, so the engine does not echo everything to the test output.
    mLogManager = new Ogre::LogManager();
    mLogManager->createLog("RenderWindow.log", true, false, false);
    mRoot = new Ogre::Root("plugins_d.cfg", "", "");

    Ogre::RenderSystem* gl = mRoot->getRenderSystemByName("OpenGL Rendering Subsystem");
    if (!gl)
        OGRE_EXCEPT(Ogre::Exception::ERR_ITEM_NOT_FOUND, "plugins_d.cfg lacks RenderSystem_GL", "RenderWindow");
    mRoot->setRenderSystem(gl);
    mRoot->initialise(false);
    Ogre::NameValuePairList options;
    options["hidden"] = "true";
    options["vsync"] = "false";
    mWindow = mRoot->createRenderWindow("Test Window", WIDTH, HEIGHT, false, &options);

    // The overlay system must exist before the scripts are parsed.
    mOverlaySystem = new Ogre::OverlaySystem();
    registerResourceLocations("resources_d.cfg");
    Ogre::ResourceGroupManager::getSingleton().initialiseAllResourceGroups();

    mSceneManager = mRoot->createSceneManager();
    mSceneManager->addRenderQueueListener(mOverlaySystem);
    mCamera = mSceneManager->createCamera("TestCamera");
    mCamera->setNearClipDistance(5);
    // A node's default orientation looks down -z, at the origin from here.
    mCameraNode = mSceneManager->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(0, 0, 500));
    mCameraNode->attachObject(mCamera);
    mViewport = mWindow->addViewport(mCamera);
    mViewport->setBackgroundColour(Ogre::ColourValue::Black);
    mCamera->setAspectRatio(Ogre::Real(WIDTH) / HEIGHT);
}

RenderWindow::~RenderWindow()
{
    mSceneManager->removeRenderQueueListener(mOverlaySystem);
    mRoot->destroySceneManager(mSceneManager);
    delete mOverlaySystem;
    delete mRoot;
    delete mLogManager;
}

void RenderWindow::registerResourceLocations(const std::string& resourcesFile)
{
    Ogre::ConfigFile config;
    config.load(resourcesFile);
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    for (const auto& section : config.getSettingsBySection())
        for (const auto& setting : section.second)
            groups.addResourceLocation(setting.second, setting.first, section.first);
}

void RenderWindow::renderFrame()
{
    mRoot->renderOneFrame();
    // The render loop skips windows that are not visible: draw the hidden one ourselves.
    if (!mWindow->isActive())
        mWindow->update();
}

Ogre::Image RenderWindow::capture() const
{
    Ogre::Image image(Ogre::PF_BYTE_RGB, mWindow->getWidth(), mWindow->getHeight());
    mWindow->copyContentsToMemory(Ogre::Box(0, 0, mWindow->getWidth(), mWindow->getHeight()), image.getPixelBox());
    return image;
}

void RenderWindow::renderTo(const std::string& path)
{
    renderFrame();
    mWindow->writeContentsToFile(path);
}
