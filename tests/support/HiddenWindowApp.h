// An application of the shell with the configuration dialog replaced by a hidden 800x600 GL window,
// for tests: `Application` is the shell's base or an application built on it.
#pragma once

#include "ShellFacts.h"
#include "shell_application.h"

#include <OgreRenderWindow.h>
#include <OgreRoot.h>

#include <string>

template <class Application>
class HiddenWindowApp : public Application
{
public:
    explicit HiddenWindowApp(const std::string& resourcePrefix = "") { this->mResourcePathPrefix = resourcePrefix; }

    // Runs the start-up sequence; false when the stand-in dialog was "cancelled".
    bool start() { return this->setup(); }

    bool mCancelDialog = false;
    bool mSkipListener = false;
    bool mDialogShown = false;

    Ogre::Root* root() const { return this->mEngineRoot; }
    Ogre::Camera* camera() const { return this->mPlayerCamera; }
    Ogre::SceneManager* sceneManager() const { return this->mSceneManager; }
    Ogre::RenderWindow* window() const { return this->mRenderWindow; }
    ShellFrameListener* listener() const { return this->mInstalledListener; }

protected:
    bool configureWindow() override
    {
        mDialogShown = true;
        if (mCancelDialog)
            return false;
        Ogre::Root* root = this->mEngineRoot;
        root->setRenderSystem(root->getRenderSystemByName("OpenGL Rendering Subsystem"));
        root->initialise(false);
        Ogre::NameValuePairList params;
        params["hidden"] = "true";
        this->mRenderWindow = root->createRenderWindow(kWindowTitle, 800, 600, false, &params);
        return true;
    }

    void installFrameListener() override
    {
        if (!mSkipListener)
            Application::installFrameListener();
    }
};
