// Window-free engine fixture: a Root with no plug-ins, software buffers and one scene manager.
#pragma once

namespace Ogre {
class DefaultHardwareBufferManager;
class LogManager;
class Root;
class SceneManager;
}

class HeadlessScene
{
public:
    HeadlessScene();
    ~HeadlessScene();

    HeadlessScene(const HeadlessScene&) = delete;
    HeadlessScene& operator=(const HeadlessScene&) = delete;

    Ogre::Root* root() const { return mRoot; }
    Ogre::SceneManager* sceneManager() const { return mSceneManager; }

private:
    Ogre::LogManager* mLogManager;
    Ogre::Root* mRoot;
    Ogre::DefaultHardwareBufferManager* mBuffers;
    Ogre::SceneManager* mSceneManager;
};
