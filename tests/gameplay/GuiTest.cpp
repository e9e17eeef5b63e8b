// The menu and heads-up windows as the player meets them: after start-up, after New, in the pause menu.
#include "GameplayFixture.h"
#include "SteppedFont.h"

#include <OgreException.h>
#include <OgreRenderWindow.h>
#include <OgreSceneManager.h>

#include <CEGUI/Font.h>
#include <CEGUI/FontManager.h>
#include <CEGUI/GUIContext.h>
#include <CEGUI/MouseCursor.h>
#include <CEGUI/PropertyHelper.h>
#include <CEGUI/System.h>
#include <CEGUI/widgets/Editbox.h>
#include <CEGUI/widgets/MultiLineEditbox.h>
#include <CEGUI/widgets/ProgressBar.h>
#include <CEGUI/widgets/Tooltip.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

namespace {
CEGUI::GUIContext& gui()
{
    return CEGUI::System::getSingleton().getDefaultGUIContext();
}

struct ExpectedWindow
{
    const char* path; // below "_MasterRoot"
    const char* type;
    float x, y, width, height;
    const char* text;
    const char* font; // "" when the window uses the default font
    bool readOnly;
};

const char* const HELP =
    "The goal is to push all the barrels out of the center platform. Use the keyboard SPACE key to charge (key "
    "down) and release (key up) your shot. Several special barrels will appear during the game. The Green barrel "
    "grants you extra time upon being hit while the shiny metal barrel will slow your charge and weighs 3 times the "
    "normal weight.";

const ExpectedWindow WINDOWS[] = {
    {"Background", "TaharezLook/StaticImage", 0.35f, 0.35f, 0.3f, 0.3f, "", "", false},
    {"Background/NewGame", "TaharezLook/Button", 0.1f, 0.1f, 0.8f, 0.4f, "New", "", false},
    {"Background/QuitGame", "TaharezLook/Button", 0.1f, 0.55f, 0.8f, 0.4f, "Quit", "", false},
    {"shootstr", "TaharezLook/ProgressBar", 0.15f, 0.88f, 0.75f, 0.05f, "", "", false},
    {"infos window", "TaharezLook/Editbox", 0.85f, 0, 0.15f, 0.05f, "Level:     Score:", "fkp-16", true},
    {"help window", "TaharezLook/MultiLineEditbox", 0, 0.2f, 0.25f, 0.25f, HELP, "fkp-16", true},
    {"f1", "TaharezLook/Editbox", 0, 0, 0.15f, 0.05f, "Press F1 for instructions.", "fkp-16", true},
    {"time_counter", "TaharezLook/Editbox", 0.45f, 0, 0.15f, 0.2f, "0", "", true},
    {"high score", "TaharezLook/Editbox", 0.85f, 0.1f, 0.15f, 0.05f, "High Score: ", "fkp-16", true},
};

void expectFraction(float fraction, const CEGUI::UDim& dim)
{
    EXPECT_FLOAT_EQ(fraction, dim.d_scale);
    EXPECT_EQ(0, dim.d_offset);
}

bool readOnly(const CEGUI::Window* window)
{
    if (const CEGUI::Editbox* box = dynamic_cast<const CEGUI::Editbox*>(window))
        return box->isReadOnly();
    if (const CEGUI::MultiLineEditbox* box = dynamic_cast<const CEGUI::MultiLineEditbox*>(window))
        return box->isReadOnly();
    return false;
}

CEGUI::Sizef nativeResolution(const char* font)
{
    return CEGUI::FontManager::getSingleton().get(font).getNativeResolution();
}

// The font a window draws with names the design's font, or the stepped stand-in for it ("<font>@<step>").
std::string designFont(const CEGUI::Font* font)
{
    const std::string name = font->getName().c_str();
    return name.substr(0, name.find('@'));
}

// How far a stepped font's size may be from the scaled size: half a step either way.
const float HALF_STEP = std::exp2(0.5f / SteppedFont::STEPS_PER_OCTAVE) - 1 + 0.001f;

float pointSize(const CEGUI::Font& font)
{
    return CEGUI::PropertyHelper<float>::fromString(font.getProperty("PointSize"));
}
}

TEST_F(GameplayTest, StartUpShowsOnlyTheMenuWithItsWindowsLaidOut)
{
    TestGame& g = game();
    CEGUI::Window* root = gui().getRootWindow();
    ASSERT_EQ(g.mGuiRoot, root);
    EXPECT_EQ("_MasterRoot", root->getName());
    EXPECT_EQ("DefaultWindow", root->getType());
    expectFraction(1, root->getWidth());
    expectFraction(1, root->getHeight());
    EXPECT_TRUE(g.mPaused);

    for (const ExpectedWindow& expected : WINDOWS) {
        SCOPED_TRACE(expected.path);
        ASSERT_TRUE(root->isChild(expected.path));
        const CEGUI::Window* window = root->getChild(expected.path);
        EXPECT_EQ(expected.type, window->getType());
        expectFraction(expected.x, window->getXPosition());
        expectFraction(expected.y, window->getYPosition());
        expectFraction(expected.width, window->getWidth());
        expectFraction(expected.height, window->getHeight());
        std::string text = window->getText().c_str();
        // The multi-line box keeps its text ending in a line break of its own.
        if (dynamic_cast<const CEGUI::MultiLineEditbox*>(window) && !text.empty() && text.back() == '\n')
            text.pop_back();
        EXPECT_EQ(expected.text, text);
        EXPECT_EQ(expected.font[0] ? expected.font : "DejaVuSans-10", designFont(window->getFont()));
        EXPECT_EQ(expected.readOnly, readOnly(window));
        // Only the menu and its buttons are up.
        const bool menu = std::string(expected.path).rfind("Background", 0) == 0;
        EXPECT_EQ(menu, window->isVisible());
    }

    EXPECT_EQ(g.mMenuWindow, root->getChild("Background"));
    EXPECT_EQ(g.mChargeBar, root->getChild("shootstr"));
    EXPECT_EQ(g.mInfoWindow, root->getChild("infos window"));
    EXPECT_EQ(g.mHelpWindow, root->getChild("help window"));
    EXPECT_EQ(g.mHelpHintWindow, root->getChild("f1"));
    EXPECT_EQ(g.mTimeWindow, root->getChild("time_counter"));
    EXPECT_EQ(g.mHighScoreWindow, root->getChild("high score"));

    EXPECT_EQ("Time Left", g.mTimeWindow->getTooltipText());
    ASSERT_NE(nullptr, gui().getDefaultTooltipObject());
    EXPECT_EQ("TaharezLook/Tooltip", gui().getDefaultTooltipObject()->getType());
    EXPECT_TRUE(static_cast<CEGUI::MultiLineEditbox*>(g.mHelpWindow)->isWordWrapped());
    EXPECT_FALSE(g.mChargeBar->isDisabled());
    EXPECT_EQ("DejaVuSans-10", designFont(gui().getDefaultFont()));
    EXPECT_EQ(CEGUI::Sizef(150, 100), nativeResolution("DejaVuSans-10"));
    // Scaled with the window's height: 10 points at 100 pixels high, give or take half a step.
    const float designed = 10.0f * g.mRenderWindow->getHeight() / 100;
    EXPECT_NEAR(designed, pointSize(*gui().getDefaultFont()), designed * HALF_STEP);
    EXPECT_EQ(CEGUI::Sizef(420, 200), nativeResolution("fkp-16"));
    EXPECT_TRUE(gui().getMouseCursor().isVisible());
    EXPECT_EQ("TaharezLook/MouseArrow", gui().getMouseCursor().getDefaultImage()->getName());
}

TEST_F(GameplayTest, NewHidesTheMenuAndShowsTheHeadsUpDisplay)
{
    writeFile("high.score", "-3");
    TestGame& g = game();
    EXPECT_EQ(-3, g.mHighScore);
    g.mHelpWindow->show();
    newGame();
    EXPECT_TRUE(g.mGameStarted);
    EXPECT_FALSE(g.mPaused);
    EXPECT_FALSE(g.mMenuWindow->isVisible());
    EXPECT_FALSE(gui().getMouseCursor().isVisible());
    for (CEGUI::Window* window : {g.mTimeWindow, g.mInfoWindow, static_cast<CEGUI::Window*>(g.mChargeBar),
                                  g.mHighScoreWindow, g.mHelpHintWindow})
        EXPECT_TRUE(window->isVisible()) << window->getName();
    // The help window keeps what F1 made of it.
    EXPECT_TRUE(g.mHelpWindow->isVisible());
    EXPECT_EQ(1, g.mLevel);
    EXPECT_EQ(31, g.mLevelTimeLimit);
    EXPECT_FLOAT_EQ(0.1f, g.mCharge);
    EXPECT_EQ(1.0f, g.mChargeStep);
    EXPECT_TRUE(log().has("New game started"));
    EXPECT_TRUE(log().has("Level 1 built with 6 barrels and a time limit of 31 s"));

    harness().frame(FRAME);
    EXPECT_EQ("Level: 1   Score: 6", g.mInfoWindow->getText());
    EXPECT_EQ("High Score: -3", g.mHighScoreWindow->getText());
}

TEST_F(GameplayTest, NewFromThePauseMenuRestartsLevelOneAndKeepsTheBestScore)
{
    newGame();
    TestGame& g = game();
    holdKey(OIS::KC_SPACE, 2);
    holdKey(OIS::KC_SPACE, 2);
    ASSERT_EQ(2u, g.mBalls.size());
    g.mHighScore = 10;
    g.mLevel = 2;
    g.mChargeStep = 0.5f;
    g.mLevelElapsed = 12;
    holdKey(OIS::KC_ESCAPE, 1);
    ASSERT_TRUE(g.mPaused);

    newGame();
    EXPECT_FALSE(g.mPaused);
    EXPECT_EQ(1, g.mLevel);
    EXPECT_EQ(6u, g.mBarrels.size());
    EXPECT_TRUE(g.mBalls.empty());
    EXPECT_EQ(6, g.mBarrelsPlaced);
    EXPECT_EQ(0, g.mShotsFired);
    EXPECT_EQ(0, g.mLevelElapsed);
    EXPECT_EQ(1.0f, g.mChargeStep);
    EXPECT_EQ(10, g.mHighScore);
    // Ball numbering goes on; the old objects are gone from the scene, the new barrels have new names.
    EXPECT_EQ(2, g.mNextBallIndex);
    EXPECT_FALSE(g.mSceneManager->hasEntity("Ball0"));
    EXPECT_FALSE(g.mSceneManager->hasEntity("Box0"));
    EXPECT_TRUE(g.mSceneManager->hasEntity("Box6"));
    EXPECT_TRUE(g.mRemovedBalls.empty());
    EXPECT_TRUE(g.mRemovedBarrels.empty());
}

// Each size step's font is made once and then reused; a window taken through every size makes a
// bounded number of them, each within half a step of the library's own scaling (to the bounds).
TEST_F(GameplayTest, TheDefaultFontIsMadeOncePerSizeStep)
{
    SteppedFont& font = *game().mGuiFont;
    std::set<const CEGUI::Font*> made;
    for (float height = 10; height <= 20000; height *= 1.05f) {
        const CEGUI::Sizef display(1.5f * height, height);
        CEGUI::Font& fitted = font.fit(display);
        EXPECT_EQ(&fitted, &font.fit(display)) << "the same size again at height " << height;
        made.insert(&fitted);
        const float designed = std::clamp(10 * height / 100, 10 * SteppedFont::stepScale(SteppedFont::MIN_STEP),
                                          10 * SteppedFont::stepScale(SteppedFont::MAX_STEP));
        EXPECT_NEAR(designed, pointSize(fitted), designed * HALF_STEP) << "at height " << height;
    }
    EXPECT_EQ(static_cast<size_t>(SteppedFont::STEPS), made.size());
}

// Once the window has changed size, the game makes every font step a window played on this screen
// can need, one a frame, so that no size met later, however late, makes one (and raises the memory
// then).
TEST_F(GameplayTest, AfterAResizeEveryFontStepThisScreenCanNeedIsMadeAhead)
{
    auto fontCount = [] {
        size_t count = 0;
        for (auto it = CEGUI::FontManager::getSingleton().getIterator(); !it.isAtEnd(); ++it)
            ++count;
        return count;
    };
    game().windowResized(game().mRenderWindow);
    harness().frames(SteppedFont::STEPS, FRAME);
    unsigned int width = 0, height = 0;
    game().fullScreenSize(width, height);
    ASSERT_GT(height, 0u);
    const size_t made = fontCount();
    for (unsigned int h = Game::SMALLEST_PLAYED_HEIGHT; h <= height; ++h)
        game().mGuiFont->fit(CEGUI::Sizef(static_cast<float>(width), static_cast<float>(h)));
    EXPECT_EQ(made, fontCount());
}

// A GUI that cannot start (here: one is running already) is reported through the engine's exception,
// with the number, the source "init_GUI()", and the file and line.
TEST_F(GameplayTest, AGuiThatCannotStartIsAnEngineErrorNamingInitGui)
{
    try {
        game().init_GUI();
        FAIL() << "a second GUI started";
    } catch (const Ogre::Exception& e) {
        const std::string text = e.getFullDescription();
        EXPECT_NE(std::string::npos, text.find("1337")) << text;
        EXPECT_NE(std::string::npos, text.find(" in init_GUI() at ")) << text;
        EXPECT_NE(std::string::npos, text.find("GameGui.cpp (line ")) << text;
        EXPECT_EQ("init_GUI()", e.getSource());
    }
}
