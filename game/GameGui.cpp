// Menus and heads-up display.
#include "Game.h"

#include <OgreException.h>
#include <OgreRenderSystem.h>
#include <OgreRenderTargetListener.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>

#include <CEGUI/DefaultLogger.h>
#include <CEGUI/Exceptions.h>
#include <CEGUI/RendererModules/Ogre/Renderer.h>

#include <cstdlib>

namespace {
// The GUI renderer leaves the scissor test on after drawing, which freezes the 3D view on its
// first frame; switching it off before every viewport update keeps the scene drawing.
class ScissorReset : public Ogre::RenderTargetListener
{
public:
    void preViewportUpdate(const Ogre::RenderTargetViewportEvent&) override
    {
        Ogre::Root::getSingleton().getRenderSystem()->setScissorTest(false);
    }
};

ScissorReset sScissorReset;
}

void Game::init_GUI()
{
    // Without a logger of ours the library opens its own "CEGUI.log" and echoes exceptions to stderr.
    if (!CEGUI::Logger::getSingletonPtr()) {
        CEGUI::Logger* logger = new CEGUI::DefaultLogger();
        logger->setLogFilename("CEGUI.log");
    }
    CEGUI::Exception::setStdErrEnabled(false);

    try {
        CEGUI::OgreRenderer::bootstrapSystem(*mRenderWindow);
    } catch (CEGUI::GenericException& e) {
        throw Ogre::Exception(1337, e.getMessage().c_str(), "init_GUI()");
    }
    mRenderWindow->removeListener(&sScissorReset);
    mRenderWindow->addListener(&sScissorReset);

    mPaused = true;
}

bool Game::onNewGame(const CEGUI::EventArgs&)
{
    return true;
}

bool Game::onQuit(const CEGUI::EventArgs&)
{
    saveHighScore();
    std::exit(0);
}

void Game::startGame()
{
}
