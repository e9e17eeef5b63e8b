// Application base: the fixed start-up sequence of overridable steps and the render loop.
#pragma once

#include <string>

namespace Ogre {
class Camera;
class OverlaySystem;
class RenderWindow;
class Root;
class SceneManager;
}

class ShellFrameListener;

#include <OgreVector.h>

class ShellApplication
{
public:
    ShellApplication();
    virtual ~ShellApplication();

    virtual void run();

    // Folders (with a trailing slash) of the plug-in and resource lists, of ogre.cfg and of Ogre.log;
    // empty, as they start, for the working directory.
    void setFileLocations(const std::string& resources, const std::string& config, const std::string& log);

    // Before an error is reported: the input devices go back to the desktop and the window hides, so
    // that a person can read and dismiss the report.
    void releaseForErrorReport();

protected:
    virtual bool setup();
    virtual bool configureWindow();
    // Gives the window, made but not yet shown, what the desktop reads when it first shows a window.
    virtual void dressWindow();
    virtual void pickSceneManager();
    virtual void setupCamera();
    virtual void installFrameListener();
    virtual void buildScene() = 0;
    virtual void teardownScene();
    // The last moment the window, and everything drawn into it, is whole when it closes.
    virtual void beforeWindowDestroyed();
    virtual void setupViewport();
    virtual void registerResourceLocations();
    virtual void installResourceListener();
    virtual void initialiseResources();

    // Creates "PlayerCam" on its own node at the position, looking at (0, 0, -300).
    void placeCamera(const Ogre::Vector3& position);

    // The render window's X display connection and window id, and what its close button does.
    void* nativeDisplay() const;
    unsigned long nativeWindow() const;
    void closeWindow();
    // One frame as the engine's own loop makes it: frame started, every render target drawn, rendering
    // queued, the drawing shown, frame ended.
    bool renderFrame();
    // Throws when the chosen video mode is no window size at all.
    void checkVideoMode() const;

    Ogre::Root* mEngineRoot;
    Ogre::Camera* mPlayerCamera;
    Ogre::SceneManager* mSceneManager;
    ShellFrameListener* mInstalledListener;
    Ogre::RenderWindow* mRenderWindow;
    std::string mResourcePathPrefix;
    std::string mConfigPathPrefix;
    // Overlays are a separate engine component; the scene manager draws them through this.
    Ogre::OverlaySystem* mOverlaySystem;
    // Where Ogre.log goes when not beside the plug-in list (an installed game's state folder).
    std::string mLogPathPrefix;
};
