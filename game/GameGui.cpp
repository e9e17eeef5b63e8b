// Menus and heads-up display.
#include "Game.h"

#include "GameEvents.h"
#include "GameSound.h"
#include "GuiLog.h"
#include "LevelBuilder.h"
#include "MenuLayout.h"
#include "SettingsPanel.h"
#include "SteppedFont.h"

#include <OgreException.h>
#include <OgreRenderWindow.h>

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
void setFontNativeResolution(const CEGUI::Window* window, const CEGUI::Sizef& resolution)
{
    const CEGUI::Font* font = window->getFont();
    CEGUI::FontManager::getSingleton().get(font->getName()).setNativeResolution(resolution);
}

// The heads-up texts' font, and the native resolution the design gives it.
const char* const HUD_FONT = "fkp-16";
const CEGUI::Sizef HUD_FONT_RESOLUTION(420, 200);
// A heads-up window's font keeps the native resolution it has.
const CEGUI::Sizef KEEP_RESOLUTION(0, 0);

// A heads-up window: a box of text the player reads but cannot edit, hidden until a game starts.
// A multi-line box wraps its words.
struct HudWindow
{
    const char* name;
    const char* type;
    CEGUI::Window* Game::*member;
    GuiBox box;
    const char* text;
    const char* tooltip;         // none when null
    const char* font;            // the default font when null
    CEGUI::Sizef fontResolution; // the native resolution given to its font, unless zero
};

CEGUI::Window* makeHudWindow(const HudWindow& row, CEGUI::Window* parent)
{
    CEGUI::Window* window = CEGUI::WindowManager::getSingleton().createWindow(row.type, row.name);
    parent->addChild(window);
    place(window, row.box);
    CEGUI::MultiLineEditbox* lines = dynamic_cast<CEGUI::MultiLineEditbox*>(window);
    if (lines)
        lines->setWordWrapping(true);
    window->setText(row.text);
    if (row.tooltip)
        window->setTooltipText(row.tooltip);
    if (row.font)
        window->setFont(row.font);
    if (row.fontResolution.d_width > 0)
        setFontNativeResolution(window, row.fontResolution);
    window->activate();
    if (lines)
        lines->setReadOnly(true);
    else
        static_cast<CEGUI::Editbox*>(window)->setReadOnly(true);
    window->hide();
    return window;
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

    // The heads-up windows, in the order they are made.
    // clang-format off
    static const HudWindow HUD[] = {
        {"infos window", "TaharezLook/Editbox", &Game::mInfoWindow, {0.85f, 0, 0.15f, 0.05f},
         "Level:     Score:", nullptr, HUD_FONT, HUD_FONT_RESOLUTION},
        {"help window", "TaharezLook/MultiLineEditbox", &Game::mHelpWindow, {0, 0.2f, 0.25f, 0.25f},
         HELP_TEXT, nullptr, HUD_FONT, HUD_FONT_RESOLUTION},
        {"f1", "TaharezLook/Editbox", &Game::mHelpHintWindow, {0, 0, 0.15f, 0.05f},
         "Press F1 for instructions.", nullptr, HUD_FONT, HUD_FONT_RESOLUTION},
        {"time_counter", "TaharezLook/Editbox", &Game::mTimeWindow, {0.45f, 0, 0.15f, 0.2f},
         "0", "Time Left", nullptr, CEGUI::Sizef(150, 100)},
        {"high score", "TaharezLook/Editbox", &Game::mHighScoreWindow, {0.85f, 0.1f, 0.15f, 0.05f},
         "High Score: ", nullptr, HUD_FONT, KEEP_RESOLUTION},
    };
    // clang-format on
    for (const HudWindow& row : HUD)
        this->*row.member = makeHudWindow(row, mGuiRoot);

    // With its native resolution set (by the time counter), the default font is scaled from here on
    // in steps, each made when a window size first needs it. (Making them all at start stalls the
    // first frame for seconds in a sanitizer build.)
    mGuiFont = std::make_unique<SteppedFont>(gui.getDefaultFont()->getName());
    gui.setDefaultFont(&mGuiFont->fit(CEGUI::System::getSingleton().getRenderer()->getDisplaySize()));

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
