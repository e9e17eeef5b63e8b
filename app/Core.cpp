#include "Core.h"

#include "Flight.h"
#include "Game.h"
#include "LeakCheck.h"
#include "MediaCheck.h"
#include "WindowIcon.h"
#include "WindowIdentity.h"

#include <CEGUI/Exceptions.h>
#include <OgreAxisAlignedBox.h>
#include <OgreCamera.h>
#include <OgreLight.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>

#include <stdexcept>

Core::Core() = default;
Core::~Core() = default;

bool Core::configureWindow()
{
    // Without a render system the engine's dialog offers nothing to choose and its Accept does nothing.
    if (mEngineRoot->getAvailableRenderers().empty())
        throw std::runtime_error(mResourcePathPrefix +
                                 "plugins_d.cfg: no render system loaded: its PluginFolder and Plugin lines name "
                                 "no engine plug-in that provides one");
    return ShellApplication::configureWindow();
}

void Core::dressWindow()
{
    setWindowIcon(nativeWindow());
    identifyWindow(nativeDisplay(), nativeWindow());
}

void Core::setupCamera()
{
    placeCamera(Ogre::Vector3(0, 18, 70));
}

void Core::installFrameListener()
{
    // The game is the only frame listener; the shell it builds on shows the statistics overlay.
    const Ogre::Vector3 gravity(0, -static_cast<float>(Flight::GRAVITY), 0);
    const Ogre::AxisAlignedBox worldBounds(Ogre::Vector3(-10000, -10000, -10000), Ogre::Vector3(10000, 10000, 10000));
    try {
        mInstalledListener = new Game(mSceneManager, mRenderWindow, mPlayerCamera, gravity, worldBounds,
                                      SoundDevice::Output::Speakers, mConfigPathPrefix + SettingsFile::NAME);
    } catch (const CEGUI::Exception& e) {
        // The GUI library's messages name no file; the one it opened last is the one it failed on.
        throw std::runtime_error(mMediaCheck->lastOpened() + ": " + e.getMessage().c_str());
    }
    mEngineRoot->addFrameListener(mInstalledListener);
}

void Core::buildScene()
{
    mSceneManager->setAmbientLight(Ogre::ColourValue(0.5f, 0.5f, 0.5f, 1));
    Ogre::Light* light = mSceneManager->createLight("MainLight");
    mSceneManager->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(20, 80, 50))->attachObject(light);
}

void Core::installResourceListener()
{
    mMediaCheck.reset(new MediaCheck());
}

void Core::initialiseResources()
{
    // A broken script can make a later one fail (an overlay without its font): the broken script
    // is the one to report.
    std::string report;
    try {
        ShellApplication::initialiseResources();
    } catch (const Ogre::Exception& e) {
        report = e.getDescription();
    }
    const std::vector<std::string> problems = mMediaCheck->problems();
    if (!problems.empty())
        report.clear();
    for (const std::string& line : problems)
        report += line + "\n";
    if (!report.empty())
        throw std::runtime_error(report);
}

void Core::beforeWindowDestroyed()
{
    checkLeaksNow();
}
