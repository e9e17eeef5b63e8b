// The GUI and the render window: its new sizes, once they settle; frames in which it is hidden; the
// scissor test the GUI renderer leaves on.
#include "Game.h"

#include "SteppedFont.h"

#include <OgreRenderSystem.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>

#include <CEGUI/GUIContext.h>
#include <CEGUI/RendererModules/Ogre/Renderer.h>
#include <CEGUI/System.h>

namespace {
// How long the window's size must stay put before the GUI is told: a window being dragged would
// otherwise have its whole layout, and perhaps a new font step, made at every frame.
const float GUI_RESIZE_SETTLE = 0.25f;

CEGUI::OgreRenderer& guiRenderer()
{
    return *static_cast<CEGUI::OgreRenderer*>(CEGUI::System::getSingleton().getRenderer());
}
}

void Game::windowResized(Ogre::RenderWindow* window)
{
    ShellFrameListener::windowResized(window);
    if (window != mRenderWindow)
        return;
    mGuiResizeWait = GUI_RESIZE_SETTLE;
    // A window that changes size once may take any size: every font step it can need on this screen
    // is made from now on, one a frame, so that none met later raises the memory then. A window
    // never resized costs none.
    mFontsAhead = true;
}

void Game::updateGuiSize(float seconds)
{
    if (mFontsAhead) {
        unsigned int width = 0, height = 0;
        fullScreenSize(width, height);
        // Nothing more to do each frame once all are made, until the window changes size again.
        mFontsAhead = mGuiFont->makeAhead(CEGUI::Sizef(SMALLEST_PLAYED_WIDTH, SMALLEST_PLAYED_HEIGHT),
                                          CEGUI::Sizef(static_cast<float>(width), static_cast<float>(height)));
    }
    if (mGuiResizeWait < 0)
        return;
    mGuiResizeWait -= seconds;
    if (mGuiResizeWait >= 0)
        return;
    const CEGUI::Sizef size(static_cast<float>(mRenderWindow->getWidth()),
                            static_cast<float>(mRenderWindow->getHeight()));
    CEGUI::System& gui = CEGUI::System::getSingleton();
    if (size == gui.getRenderer()->getDisplaySize())
        return;
    gui.notifyDisplaySizeChanged(size);
    gui.getDefaultGUIContext().setDefaultFont(&mGuiFont->fit(size));
}

void Game::holdGuiWhileWindowHidden()
{
    // The GUI draws itself once the engine has drawn the frame's viewports; the engine draws none in a
    // window that is not (yet) shown, and the GUI would then find none to draw into and throw.
    CEGUI::OgreRenderer& gui = guiRenderer();
    mGuiHeld = !mRenderWindow->isActive() && gui.isRenderingEnabled();
    if (mGuiHeld)
        gui.setRenderingEnabled(false);
}

void Game::releaseGui()
{
    if (!mGuiHeld)
        return;
    guiRenderer().setRenderingEnabled(true);
    mGuiHeld = false;
}

void Game::ScissorReset::preViewportUpdate(const Ogre::RenderTargetViewportEvent&)
{
    Ogre::Root::getSingleton().getRenderSystem()->setScissorTest(false);
}
