#include "TestCore.h"

#include <OgreRenderWindow.h>
#include <OgreRoot.h>

TestCore::TestCore(const std::string& resourcePrefix)
{
    mResourcePathPrefix = resourcePrefix;
}

bool TestCore::configureWindow()
{
    mDialogShown = true;
    if (mCancelDialog)
        return false;
    mEngineRoot->setRenderSystem(mEngineRoot->getRenderSystemByName("OpenGL Rendering Subsystem"));
    mEngineRoot->initialise(false);
    Ogre::NameValuePairList params;
    params["hidden"] = "true";
    mRenderWindow = mEngineRoot->createRenderWindow("OGRE Render Window", 800, 600, false, &params);
    return true;
}

void TestCore::installFrameListener()
{
    if (!mSkipListener)
        Core::installFrameListener();
}
