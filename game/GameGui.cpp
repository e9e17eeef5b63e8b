// Menus and heads-up display.
#include "Game.h"

#include "GameEvents.h"
#include "GameSound.h"
#include "LevelBuilder.h"
#include "MenuLayout.h"
#include "SettingsPanel.h"
#include "SteppedFont.h"

#include <OgreException.h>
#include <OgreLogManager.h>
#include <OgreRenderSystem.h>
#include <OgreRenderTargetListener.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>

#include <CEGUI/Logger.h>
#include <CEGUI/Exceptions.h>
#include <CEGUI/Font.h>
#include <CEGUI/FontManager.h>
#include <CEGUI/GUIContext.h>
#include <CEGUI/ImageManager.h>
#include <CEGUI/MouseCursor.h>
#include <CEGUI/RendererModules/Ogre/Renderer.h>
#include <CEGUI/Scheme.h>
#include <CEGUI/SchemeManager.h>
#include <CEGUI/System.h>
#include <CEGUI/WindowManager.h>
#include <CEGUI/falagard/WidgetLookManager.h>
#include <CEGUI/widgets/Editbox.h>
#include <CEGUI/widgets/MultiLineEditbox.h>
#include <CEGUI/widgets/ProgressBar.h>
#include <CEGUI/widgets/PushButton.h>

#include <cstdlib>
#include <string>

namespace {
// The GUI library's messages go to the engine's log, beside everything else the game reports,
// instead of a log file of the library's own in the working directory.
class EngineLogger : public CEGUI::Logger
{
public:
    void logEvent(const CEGUI::String& message, CEGUI::LoggingLevel level) override
    {
        if (level > getLoggingLevel())
            return;
        Ogre::LogManager::getSingleton().logMessage("CEGUI: " + std::string(message.c_str()), engineLevel(level));
    }
    void setLogFilename(const CEGUI::String&, bool) override {}

private:
    static Ogre::LogMessageLevel engineLevel(CEGUI::LoggingLevel level)
    {
        switch (level) {
        case CEGUI::Errors:
            return Ogre::LML_CRITICAL;
        case CEGUI::Warnings:
            return Ogre::LML_WARNING;
        default:
            return Ogre::LML_NORMAL;
        }
    }
};

const char* const HELP_TEXT =
    "The goal is to push all the barrels out of the center platform. Use the keyboard SPACE key to charge (key "
    "down) and release (key up) your shot. Several special barrels will appear during the game. The Green barrel "
    "grants you extra time upon being hit while the shiny metal barrel will slow your charge and weighs 3 times the "
    "normal weight.";

CEGUI::UDim fraction(float value)
{
    return CEGUI::UDim(value, 0);
}

void place(CEGUI::Window* window, const GuiBox& box)
{
    window->setXPosition(fraction(box.x));
    window->setYPosition(fraction(box.y));
    window->setWidth(fraction(box.width));
    window->setHeight(fraction(box.height));
}

// The resolution belongs to the font, so it changes every window drawn with it.
void setFontNativeResolution(const CEGUI::Window* window, float width, float height)
{
    const CEGUI::Font* font = window->getFont();
    CEGUI::FontManager::getSingleton().get(font->getName()).setNativeResolution(CEGUI::Sizef(width, height));
}

// The heads-up texts in "fkp-16", with the 420 x 200 native resolution the design gives that font.
void setUpFixedFontText(CEGUI::Window* window, const char* text)
{
    window->setText(text);
    window->setFont("fkp-16");
    setFontNativeResolution(window, 420, 200);
    window->activate();
}

const int GUI_START_ERROR = 1337;

// The default font, scaled with the window; its base size, fixed, serves the settings.
const char* const GUI_FONT = "DejaVuSans-10";

CEGUI::GUIContext& guiContext()
{
    return CEGUI::System::getSingleton().getDefaultGUIContext();
}
}

void Game::init_GUI()
{
    // The library makes a logger of its own unless one exists; it lives as long as the GUI.
    if (!CEGUI::Logger::getSingletonPtr())
        new EngineLogger();
    // Its exceptions reach the player through the error report, not as an echo on standard error.
    CEGUI::Exception::setStdErrEnabled(false);

    try {
        CEGUI::OgreRenderer::bootstrapSystem(*mRenderWindow);
    } catch (const CEGUI::Exception& e) {
        // Any of the library's exceptions: it reports a failed start with several kinds. The engine's
        // exceptions keep no number, only a kind's name (by pointer): the number goes into a lasting
        // one, so that the full description has it beside the source, file and line.
        static const std::string kind = "GUI start-up error " + std::to_string(GUI_START_ERROR);
        throw Ogre::Exception(GUI_START_ERROR, e.getMessage().c_str(), "init_GUI()", kind.c_str(), __FILE__, __LINE__);
    }
    mRenderWindow->removeListener(&mScissorReset);
    mRenderWindow->addListener(&mScissorReset);

    mPaused = true;

    // The GUI media live in engine resource groups named after the library's own kinds.
    CEGUI::Scheme::setDefaultResourceGroup("schemes");
    CEGUI::ImageManager::setImagesetDefaultResourceGroup("imagesets");
    CEGUI::Font::setDefaultResourceGroup("fonts");
    CEGUI::WidgetLookManager::setDefaultResourceGroup("looknfeels");
    CEGUI::WindowManager::setDefaultResourceGroup("layouts");

    CEGUI::SchemeManager::getSingleton().createFromFile("TaharezLook.scheme");
    CEGUI::GUIContext& gui = guiContext();
    gui.setDefaultFont(GUI_FONT);
    gui.getMouseCursor().setDefaultImage("TaharezLook/MouseArrow");
    gui.setDefaultTooltipType("TaharezLook/Tooltip");

    CEGUI::WindowManager& windows = CEGUI::WindowManager::getSingleton();
    mGuiRoot = windows.createWindow("DefaultWindow", "_MasterRoot");
    mGuiRoot->setSize(CEGUI::USize(fraction(1), fraction(1)));
    gui.setRootWindow(mGuiRoot);

    CEGUI::Window* sheet = gui.getRootWindow();
    mMenuWindow = windows.createWindow("TaharezLook/StaticImage", "Background");
    sheet->addChild(mMenuWindow);
    place(mMenuWindow, MENU_BOX);

    CEGUI::Window* newGame = windows.createWindow("TaharezLook/Button", "NewGame");
    mMenuWindow->addChild(newGame);
    place(newGame, NEW_BUTTON_BOX);
    newGame->setText("New");
    newGame->subscribeEvent(CEGUI::PushButton::EventClicked, CEGUI::Event::Subscriber(&Game::onNewGame, this));

    CEGUI::Window* quitGame = windows.createWindow("TaharezLook/Button", "QuitGame");
    mMenuWindow->addChild(quitGame);
    place(quitGame, QUIT_BUTTON_BOX);
    quitGame->setText("Quit");
    quitGame->subscribeEvent(CEGUI::PushButton::EventClicked, CEGUI::Event::Subscriber(&Game::onQuit, this));

    CEGUI::FontManager& fonts = CEGUI::FontManager::getSingleton();
    fonts.createFromFile("DejaVuSans-10.font");
    fonts.createFromFile("fkp-16.font");

    mChargeBar = static_cast<CEGUI::ProgressBar*>(windows.createWindow("TaharezLook/ProgressBar", "shootstr"));
    mChargeBar->setSize(CEGUI::USize(fraction(0.75f), fraction(0.05f)));
    mChargeBar->setPosition(CEGUI::UVector2(fraction(0.15f), fraction(0.88f)));
    mChargeBar->setEnabled(true);
    mChargeBar->hide();
    gui.getRootWindow()->addChild(mChargeBar);

    CEGUI::Editbox* infos = static_cast<CEGUI::Editbox*>(windows.createWindow("TaharezLook/Editbox", "infos window"));
    mInfoWindow = infos;
    mGuiRoot->addChild(infos);
    place(infos, {0.85f, 0, 0.15f, 0.05f});
    setUpFixedFontText(infos, "Level:     Score:");
    infos->setReadOnly(true);
    infos->hide();

    CEGUI::MultiLineEditbox* help =
        static_cast<CEGUI::MultiLineEditbox*>(windows.createWindow("TaharezLook/MultiLineEditbox", "help window"));
    mHelpWindow = help;
    mGuiRoot->addChild(help);
    place(help, {0, 0.2f, 0.25f, 0.25f});
    help->setWordWrapping(true);
    setUpFixedFontText(help, HELP_TEXT);
    help->setReadOnly(true);
    help->hide();

    CEGUI::Editbox* hint = static_cast<CEGUI::Editbox*>(windows.createWindow("TaharezLook/Editbox", "f1"));
    mHelpHintWindow = hint;
    mGuiRoot->addChild(hint);
    place(hint, {0, 0, 0.15f, 0.05f});
    setUpFixedFontText(hint, "Press F1 for instructions.");
    hint->setReadOnly(true);
    hint->hide();

    CEGUI::Editbox* time = static_cast<CEGUI::Editbox*>(windows.createWindow("TaharezLook/Editbox", "time_counter"));
    mTimeWindow = time;
    mGuiRoot->addChild(time);
    time->setText("0");
    time->setTooltipText("Time Left");
    time->setReadOnly(true);
    place(time, {0.45f, 0, 0.15f, 0.2f});
    time->activate();
    setFontNativeResolution(time, 150, 100);
    time->hide();

    // With its native resolution set, the default font is scaled from here on in steps, each made
    // when a window size first needs it. (Making them all at start stalls the first frame for
    // seconds in a sanitizer build.)
    mGuiFont = std::make_unique<SteppedFont>(gui.getDefaultFont()->getName());
    gui.setDefaultFont(&mGuiFont->fit(CEGUI::System::getSingleton().getRenderer()->getDisplaySize()));

    CEGUI::Editbox* best = static_cast<CEGUI::Editbox*>(windows.createWindow("TaharezLook/Editbox", "high score"));
    mHighScoreWindow = best;
    mGuiRoot->addChild(best);
    best->setText("High Score: ");
    best->setReadOnly(true);
    place(best, {0.85f, 0.1f, 0.15f, 0.05f});
    best->setFont("fkp-16");
    best->activate();
    best->hide();

    mSettingsButton = windows.createWindow("TaharezLook/Button", "Settings");
    mGuiRoot->addChild(mSettingsButton);
    place(mSettingsButton, SETTINGS_BUTTON_BOX);
    mSettingsButton->setFont(GUI_FONT);
    mSettingsButton->setText("Settings");
    mSettingsButton->subscribeEvent(CEGUI::PushButton::EventClicked, CEGUI::Event::Subscriber(&Game::onSettings, this));
    mSettingsPanel = std::make_unique<SettingsPanel>(
        mGuiRoot, GUI_FONT, [this](const Settings& settings) { changeSettings(settings); },
        [this] { closeSettings(); });
    for (CEGUI::Window* button : {newGame, quitGame, mSettingsButton})
        mMenuFocus.add(button);
}

bool Game::onNewGame(const CEGUI::EventArgs&)
{
    mSound->playHere(Sounds::BUTTON);
    mPaused = false;
    mMenuWindow->setVisible(false);
    mBarrelsPlaced = 0;
    mTimeWindow->show();
    mInfoWindow->show();
    mChargeBar->show();
    mHighScoreWindow->show();
    mHelpHintWindow->show();
    guiContext().getMouseCursor().hide();
    grabPointer(true);
    startGame();
    return true;
}

bool Game::onQuit(const CEGUI::EventArgs&)
{
    mSound->playHere(Sounds::BUTTON);
    saveHighScore();
    saveSettings();
    std::exit(0);
}

void Game::startGame()
{
    mGameStarted = true;
    clearLevel();
    clearRemovedObjects();
    mGameOver = false;
    mChargeStep = 1.0f;
    mCharge = 0.1f;
    mShotsFired = 0;
    mLevelElapsed = 0;
    mLandingMarkerOn = mSettings.landingMarker;
    resetKeyStates();

    logEvent(GameEvents::NEW_GAME);
    mLevel = 1;
    mLevelTimeLimit = mLevelBuilder->buildLevel(mLevel);
    mBarrelsPlaced += static_cast<int>(mBarrels.size());
    logLevelBuilt();
}

namespace {
// How long the window's size must stay put before the GUI is told: a window being dragged would
// otherwise have its whole layout, and perhaps a new font step, made at every frame.
const float GUI_RESIZE_SETTLE = 0.25f;
}

void Game::windowResized(Ogre::RenderWindow* window)
{
    ShellFrameListener::windowResized(window);
    if (window == mRenderWindow)
        mGuiResizeWait = GUI_RESIZE_SETTLE;
}

void Game::updateGuiSize(float seconds)
{
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
    guiContext().setDefaultFont(&mGuiFont->fit(size));
}

void Game::holdGuiWhileWindowHidden()
{
    // The GUI draws itself once the engine has drawn the frame's viewports; the engine draws none in a
    // window that is not (yet) shown, and the GUI would then find none to draw into and throw.
    CEGUI::OgreRenderer* gui = static_cast<CEGUI::OgreRenderer*>(CEGUI::System::getSingleton().getRenderer());
    mGuiHeld = !mRenderWindow->isActive() && gui->isRenderingEnabled();
    if (mGuiHeld)
        gui->setRenderingEnabled(false);
}

void Game::releaseGui()
{
    if (!mGuiHeld)
        return;
    static_cast<CEGUI::OgreRenderer*>(CEGUI::System::getSingleton().getRenderer())->setRenderingEnabled(true);
    mGuiHeld = false;
}

void Game::ScissorReset::preViewportUpdate(const Ogre::RenderTargetViewportEvent&)
{
    Ogre::Root::getSingleton().getRenderSystem()->setScissorTest(false);
}
