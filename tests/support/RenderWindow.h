// Engine fixture with a real, hidden GL window: root, overlays, resources, scene, camera.
#pragma once

#include <OgreImage.h>

#include <string>

namespace Ogre {
class Camera;
class LogManager;
class OverlaySystem;
class RenderWindow;
class Root;
class SceneManager;
class SceneNode;
class Viewport;
}

/// Built from "plugins_d.cfg" and "resources_d.cfg" in the working directory, with the
/// GL render system chosen in code (no dialog, no ogre.cfg). Needs an X display.
class RenderWindow
{
public:
    static const int WIDTH = 800;
    static const int HEIGHT = 600;

    /// The process's one fixture, made on first use: the engine root is a singleton.
    static RenderWindow& instance();

    RenderWindow();
    ~RenderWindow();

    RenderWindow(const RenderWindow&) = delete;
    RenderWindow& operator=(const RenderWindow&) = delete;

    Ogre::Root* root() const { return mRoot; }
    Ogre::RenderWindow* window() const { return mWindow; }
    Ogre::SceneManager* sceneManager() const { return mSceneManager; }
    /// Near clip 5, on cameraNode().
    Ogre::Camera* camera() const { return mCamera; }
    /// At (0, 0, 500) looking at the origin; move it to move the camera.
    Ogre::SceneNode* cameraNode() const { return mCameraNode; }
    /// Full window, black background.
    Ogre::Viewport* viewport() const { return mViewport; }
    Ogre::OverlaySystem* overlaySystem() const { return mOverlaySystem; }

    /// Runs one frame of the render loop (frame listeners included) and draws the window.
    /// Overlay text shows from the second frame on: the first one only lays the glyphs out.
    void renderFrame();
    /// The window's contents as drawn by the last frame, as 8-bit RGB.
    Ogre::Image capture() const;
    /// Renders one frame and writes the window's contents to a PNG file.
    void renderTo(const std::string& path);

private:
    void registerResourceLocations(const std::string& resourcesFile);

    Ogre::LogManager* mLogManager;
    Ogre::Root* mRoot;
    Ogre::OverlaySystem* mOverlaySystem;
    Ogre::RenderWindow* mWindow;
    Ogre::SceneManager* mSceneManager;
    Ogre::Camera* mCamera;
    Ogre::SceneNode* mCameraNode;
    Ogre::Viewport* mViewport;
};
