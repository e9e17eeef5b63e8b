#include "shell_application.h"

#include "DesktopWindow.h"
#include "FramePacer.h"
#include "FrameTrace.h"
#include "QuitSignals.h"
#include "ShellFrameListener.h"
#include "WindowClose.h"
#include "ShellFacts.h"

#include <Bites/OgreBitesConfigDialog.h>
#include <Bites/OgreWindowEventUtilities.h>
#include <OgreCamera.h>
#include <OgreConfigFile.h>
#include <OgreLogManager.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneNode.h>
#include <OgreSceneManager.h>
#include <OgreSceneManagerEnumerator.h>
#include <OgreTextureManager.h>
#include <OgreViewport.h>
#include <Overlay/OgreOverlaySystem.h>

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

ShellApplication::ShellApplication()
    : mEngineRoot(nullptr), mPlayerCamera(nullptr), mSceneManager(nullptr), mInstalledListener(nullptr),
      mRenderWindow(nullptr), mResourcePathPrefix(), mConfigPathPrefix(mResourcePathPrefix), mOverlaySystem(nullptr),
      mLogPathPrefix()
{
}

ShellApplication::~ShellApplication()
{
    delete mInstalledListener;
}

void ShellApplication::run()
{
    if (!setup())
        return;
    // The media are read: the user's LC_CTYPE, which the input library asked for, comes back. The
    // display picks its character set when it translates the first key and keeps it, so a key event
    // carries "ä" and "€" rather than bytes of another set. LC_NUMERIC stays "C".
    std::setlocale(LC_CTYPE, "");

    // The engine's render loop does not pump the window system's messages, so this loop does.
    mEngineRoot->getRenderSystem()->_initRenderTargets();
    mEngineRoot->clearEventTimes();
    // A desktop asks a program to end with a signal (logout, kill, Ctrl+C): end as the close button does.
    catchQuitSignals();
    FramePacer pacer(displayRefreshRate(nativeDisplay()));
    while (!mEngineRoot->endRenderingQueued()) {
        // Before the engine's pump, which takes the window's messages too and drops the pings.
        if (quitSignalled() || takeCloseRequest(nativeDisplay(), nativeWindow()))
            closeWindow();
        OgreBites::WindowEventUtilities::messagePump();
        // Read while the frame is still to be drawn, not halfway through it: what the player did
        // during the wait for the frame is in this frame's picture rather than the next one's.
        if (mInstalledListener)
            mInstalledListener->readInputAhead();
        if (!renderFrame())
            break;
        const bool idle = mInstalledListener && mInstalledListener->isIdle();
        pacer.wait(idle, [this] { return mInstalledListener->inputWaiting(); });
    }

    teardownScene();
}

bool ShellApplication::renderFrame()
{
    Ogre::Root& root = *mEngineRoot;
    if (!root._fireFrameStarted())
        return false;
    const long long drawn = FrameTrace::now();
    root.getRenderSystem()->_updateAllRenderTargets(false);
    // The GUI library draws itself here, over what was just drawn.
    const bool keepGoing = root._fireFrameRenderingQueued();
    root.getRenderSystem()->_swapAllRenderTargetBuffers();
    FrameTrace::frame(drawn, FrameTrace::now());
    for (const auto& sceneManager : root.getSceneManagers())
        sceneManager.second->_handleLodEvents();
    return keepGoing && root._fireFrameEnded();
}

void ShellApplication::setFileLocations(const std::string& resources, const std::string& config, const std::string& log)
{
    mResourcePathPrefix = resources;
    mConfigPathPrefix = config;
    mLogPathPrefix = log;
}

void ShellApplication::releaseForErrorReport()
{
    if (mInstalledListener)
        mInstalledListener->releaseDevices();
    if (mRenderWindow && !mRenderWindow->isClosed())
        hideWindow(nativeDisplay(), nativeWindow());
}

void* ShellApplication::nativeDisplay() const
{
    void* display = nullptr;
    mRenderWindow->getCustomAttribute("XDISPLAY", &display);
    return display;
}

unsigned long ShellApplication::nativeWindow() const
{
    unsigned long window = 0;
    mRenderWindow->getCustomAttribute("WINDOW", &window);
    return window;
}

void ShellApplication::closeWindow()
{
    // The engine's pump does not recognise the close request here, so the listener hears of it from us.
    if (mInstalledListener)
        mInstalledListener->windowClosed(mRenderWindow);
    beforeWindowDestroyed();
    mRenderWindow->destroy();
}

bool ShellApplication::setup()
{
    // The log file keeps the engine's account; the terminal gets only the game's own error report.
    // Made before the engine root, whose own log would echo to the terminal from its first line on;
    // like the root, it lives until the process ends.
    const std::string logFile = (mLogPathPrefix.empty() ? mResourcePathPrefix : mLogPathPrefix) + "Ogre.log";
    if (!Ogre::LogManager::getSingletonPtr())
        OGRE_NEW Ogre::LogManager();
    if (!Ogre::LogManager::getSingleton().getDefaultLog())
        Ogre::LogManager::getSingleton().createLog(logFile, true, false);
    const std::string pluginList = mResourcePathPrefix + "plugins_d.cfg";
    try {
        mEngineRoot = OGRE_NEW Ogre::Root(pluginList, mConfigPathPrefix + "ogre.cfg", logFile);
    } catch (const Ogre::Exception& e) {
        // A plug-in that cannot be loaded: the engine's text names the library, not the list it came from.
        throw std::runtime_error(pluginList + ": " + e.getDescription());
    }
    mOverlaySystem = OGRE_NEW Ogre::OverlaySystem();

    registerResourceLocations();
    if (!configureWindow())
        return false;
    // The window-event pump only serves windows it has been told about.
    OgreBites::WindowEventUtilities::_addRenderWindow(mRenderWindow);
    acceptWindowManagerMessages(nativeDisplay(), nativeWindow());
    pickSceneManager();
    setupCamera();
    setupViewport();
    Ogre::TextureManager::getSingleton().setDefaultNumMipmaps(5);
    installResourceListener();
    initialiseResources();
    buildScene();
    installFrameListener();
    return true;
}

bool ShellApplication::configureWindow()
{
    // A missing or unreadable ogre.cfg chooses no render system, and the dialog would offer nothing to
    // accept: it starts from the first render system's own defaults instead.
    if (!mEngineRoot->getRenderSystem() && !mEngineRoot->restoreConfig() &&
        !mEngineRoot->getAvailableRenderers().empty())
        mEngineRoot->setRenderSystem(mEngineRoot->getAvailableRenderers().front());
    if (!mEngineRoot->showConfigDialog(OgreBites::getNativeConfigDialog()))
        return false;
    checkVideoMode();
    // Made hidden and shown once dressed: many window managers read a window's class only when it
    // first shows.
    mEngineRoot->initialise(false);
    Ogre::RenderWindowDescription window = mEngineRoot->getRenderSystem()->getRenderWindowDescription();
    window.miscParams["hidden"] = "true";
    mRenderWindow = mEngineRoot->createRenderWindow(kWindowTitle, window.width, window.height, window.useFullScreen,
                                                    &window.miscParams);
    dressWindow();
    mRenderWindow->setHidden(false);
    return true;
}

void ShellApplication::dressWindow()
{
}

void ShellApplication::checkVideoMode() const
{
    // The engine hands the size on as it stands: the X server refuses a window of no size, and the
    // window system's library then ends the process with its own message.
    const Ogre::ConfigOptionMap& options = mEngineRoot->getRenderSystem()->getConfigOptions();
    const auto mode = options.find("Video Mode");
    if (mode == options.end())
        return;
    unsigned width = 0, height = 0;
    if (std::sscanf(mode->second.currentValue.c_str(), "%u x %u", &width, &height) != 2 || width == 0 || height == 0)
        throw std::runtime_error(mConfigPathPrefix + "ogre.cfg: the video mode \"" + mode->second.currentValue +
                                 "\" is not a size a window can have; choose one in the settings dialog");
}

void ShellApplication::pickSceneManager()
{
    mSceneManager =
        mEngineRoot->createSceneManager(Ogre::DefaultSceneManagerFactory::FACTORY_TYPE_NAME, "ShellSMInstance");
    mSceneManager->addRenderQueueListener(mOverlaySystem);
}

void ShellApplication::setupCamera()
{
    placeCamera(Ogre::Vector3(0, 0, 500));
}

void ShellApplication::placeCamera(const Ogre::Vector3& position)
{
    // The camera turns and moves through its scene node, which yaws about the world's up axis.
    mPlayerCamera = mSceneManager->createCamera("PlayerCam");
    Ogre::SceneNode* node = mSceneManager->getRootSceneNode()->createChildSceneNode("PlayerCamNode", position);
    node->setFixedYawAxis(true);
    node->attachObject(mPlayerCamera);
    node->lookAt(Ogre::Vector3(0, 0, -300), Ogre::Node::TS_WORLD);
    mPlayerCamera->setNearClipDistance(5);
}

void ShellApplication::installFrameListener()
{
    mInstalledListener = new ShellFrameListener(mRenderWindow, mPlayerCamera, false, false, false);
    mInstalledListener->setStatisticsVisible(true);
    mEngineRoot->addFrameListener(mInstalledListener);
}

void ShellApplication::teardownScene()
{
}

void ShellApplication::beforeWindowDestroyed()
{
}

void ShellApplication::setupViewport()
{
    Ogre::Viewport* viewport = mRenderWindow->addViewport(mPlayerCamera, 0, 0, 0, 1, 1);
    viewport->setBackgroundColour(Ogre::ColourValue(0, 0, 0, 1));
    mPlayerCamera->setAspectRatio(Ogre::Real(viewport->getActualWidth()) / Ogre::Real(viewport->getActualHeight()));
}

void ShellApplication::registerResourceLocations()
{
    Ogre::ConfigFile config;
    config.load(mResourcePathPrefix + "resources_d.cfg", "\t:=", true);

    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    int locations = 0;
    for (const auto& section : config.getSettingsBySection()) {
        // A relative location lies beside the resource list (an installed game's own media).
        for (const auto& setting : section.second) {
            const bool relative = !setting.second.empty() && setting.second[0] != '/';
            const std::string location = relative ? mResourcePathPrefix + setting.second : setting.second;
            // The engine takes a folder that is not there as an empty one, and the media go missing.
            if (setting.first == "FileSystem" && !std::filesystem::is_directory(location))
                throw std::runtime_error(mResourcePathPrefix + "resources_d.cfg: [" + section.first +
                                         "] names the folder " + location + ", which does not exist");
            groups.addResourceLocation(location, setting.first, section.first, false);
            ++locations;
        }
    }
    if (locations == 0)
        throw std::runtime_error(mResourcePathPrefix +
                                 "resources_d.cfg: names no resource folder (no lines such as FileSystem=<folder>)");
}

void ShellApplication::installResourceListener()
{
}

void ShellApplication::initialiseResources()
{
    Ogre::ResourceGroupManager::getSingleton().initialiseAllResourceGroups();
}
