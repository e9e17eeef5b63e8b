// The game's application with the dialog replaced by a hidden 800x600 GL window, for tests.
#pragma once

#include "Core.h"

#include <string>

namespace Ogre {
class OverlaySystem;
}

class TestCore : public Core
{
public:
    explicit TestCore(const std::string& resourcePrefix = "");

    // Runs the start-up sequence; false when the stand-in dialog was "cancelled".
    bool start() { return setup(); }

    bool mCancelDialog = false;
    bool mSkipListener = false;
    bool mDialogShown = false;

    Ogre::Root* root() const { return mEngineRoot; }
    Ogre::Camera* camera() const { return mPlayerCamera; }
    Ogre::SceneManager* sceneManager() const { return mSceneManager; }
    Ogre::RenderWindow* window() const { return mRenderWindow; }
    ShellFrameListener* listener() const { return mInstalledListener; }

protected:
    bool configureWindow() override;
    void installFrameListener() override;
};
