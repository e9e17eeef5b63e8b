// The shell's start-up sequence with the saved ogre.cfg in place of the engine's dialog, and the
// time of each step noted, for the benchmark programs.
#pragma once

#include "GameEvents.h"
#include "Measure.h"
#include "ShellFacts.h"
#include "shell_application.h"

#include <OgreLog.h>
#include <OgreLogManager.h>
#include <OgreRoot.h>

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

// The moments the shell's start-up sequence passes, and the game's own start-up line from the log.
struct StartSteps : public Ogre::LogListener
{
    std::int64_t root = 0, resourcesListed = 0, window = 0, resources = 0, scene = 0, listener = 0;
    int world = -1, arena = -1, gui = -1;

    void messageLogged(const Ogre::String& message, Ogre::LogMessageLevel, bool, const Ogre::String&, bool&) override
    {
        int w, a, g;
        if (std::sscanf(message.c_str(), GameEvents::START_UP_STEPS, &w, &a, &g) == 3)
            world = w, arena = a, gui = g;
    }
};

// An application of the shell that opens its window from the saved ogre.cfg and notes the time of
// each start-up step.
template <class Base>
class TimedStart : public Base
{
public:
    TimedStart(const std::string& runDir, const std::string& logDir) { this->setFileLocations(runDir, runDir, logDir); }

    bool start() { return this->setup(); }

    StartSteps steps;
    Ogre::Root* root() const { return this->mEngineRoot; }
    Ogre::SceneManager* scene() const { return this->mSceneManager; }
    Ogre::Camera* camera() const { return this->mPlayerCamera; }
    Ogre::RenderWindow* window() const { return this->mRenderWindow; }
    ShellFrameListener* listener() const { return this->mInstalledListener; }

protected:
    void registerResourceLocations() override
    {
        steps.root = Measure::nowNs();
        Ogre::LogManager::getSingleton().getDefaultLog()->addListener(&steps);
        Base::registerResourceLocations();
        steps.resourcesListed = Measure::nowNs();
    }

    bool configureWindow() override
    {
        Ogre::Root* root = this->mEngineRoot;
        if (!root->restoreConfig())
            throw std::runtime_error("no usable ogre.cfg in " + this->mConfigPathPrefix);
        this->mRenderWindow = root->initialise(true, kWindowTitle);
        steps.window = Measure::nowNs();
        return true;
    }

    void initialiseResources() override
    {
        Base::initialiseResources();
        steps.resources = Measure::nowNs();
    }

    void installFrameListener() override
    {
        steps.scene = Measure::nowNs();
        Base::installFrameListener();
        steps.listener = Measure::nowNs();
    }
};
