// The settings as the player meets them: read at start, changed in the panel, applied at once, kept.
#include "GameplayFixture.h"

#include "GameSound.h"
#include "MenuLayout.h"
#include "SettingsPanel.h"

#include <CEGUI/Window.h>
#include <CEGUI/widgets/ToggleButton.h>

class SettingsTest : public GameplayTest
{
protected:
    // A click where the pointer finds the window, as the menu's mouse path takes it.
    void click(CEGUI::Window* window)
    {
        const CEGUI::Rectf area = window->getUnclippedOuterRect().get();
        const CEGUI::Vector2f centre = area.getPosition() + CEGUI::Vector2f(area.getWidth(), area.getHeight()) * 0.5f;
        harness().mouse.moveTo(static_cast<int>(centre.d_x), static_cast<int>(centre.d_y));
        harness().frame(FRAME);
        harness().mouse.setButton(OIS::MB_Left, true);
        harness().frame(FRAME);
        harness().mouse.setButton(OIS::MB_Left, false);
        harness().frame(FRAME);
    }
};

// What the file says is what the game plays with; a bad line costs only its own setting, with one
// log line naming the file and the line.
TEST_F(SettingsTest, TheFileIsReadAtStart)
{
    writeFile(SettingsFile::NAME, "# mine\ninvert_look = on\nvolume = 250\nlanding_marker = yes\nfavourite = 7\n");
    const LogRecorder startUp;
    harness();
    EXPECT_TRUE(game().mSettings.invertLook);
    EXPECT_EQ(100, game().mSettings.volume);
    EXPECT_FLOAT_EQ(1.0f, game().mSound->device().volume());
    int problems = 0;
    for (const std::string& line : startUp.lines)
        problems += line.rfind("Settings: settings.cfg:3: volume = 250", 0) == 0;
    EXPECT_EQ(1, problems);
    newGame();
    EXPECT_TRUE(game().mLandingMarkerOn) << "the marker is on at the start of a game";

    // Looking down with the mouse looks up.
    harness().mouse.move(0, 10);
    harness().frame(FRAME);
    EXPECT_GT(game().mPitchStep.valueDegrees(), 0);
    // Nothing changed, nothing written.
    EXPECT_EQ("# mine\ninvert_look = on\nvolume = 250\nlanding_marker = yes\nfavourite = 7\n",
              readFile(SettingsFile::NAME));
}

// The settings key pauses and opens the panel; the keys move its focus and change a slider; the
// look turns by the new amount at once, and leaving the panel writes the file, keeping the player's
// own lines.
TEST_F(SettingsTest, KeysChangeASettingThatActsAtOnceAndIsKept)
{
    writeFile(SettingsFile::NAME, "favourite = 7\n");
    newGame();
    holdKey(OIS::KC_F2, 1);
    EXPECT_TRUE(game().mPaused);
    ASSERT_TRUE(game().mSettingsPanel->isOpen());
    EXPECT_FALSE(game().mMenuWindow->isVisible());
    holdKey(OIS::KC_DOWN, 1); // shows the focus, on the mouse's row
    holdKey(OIS::KC_RIGHT, 1);
    holdKey(OIS::KC_RIGHT, 1);
    EXPECT_DOUBLE_EQ(0.15, game().mSettings.mouseSensitivity);
    EXPECT_EQ("favourite = 7\n", readFile(SettingsFile::NAME)) << "written when the player leaves the panel";

    holdKey(OIS::KC_ESCAPE, 1);
    EXPECT_FALSE(game().mSettingsPanel->isOpen());
    EXPECT_TRUE(game().mMenuWindow->isVisible());
    EXPECT_TRUE(game().mPaused);
    const SettingsFile::Reading saved = SettingsFile::read(SettingsFile::NAME, "");
    EXPECT_DOUBLE_EQ(0.15, saved.settings.mouseSensitivity);
    EXPECT_TRUE(saved.problems.empty());
    ASSERT_FALSE(saved.lines.empty());
    EXPECT_EQ("favourite = 7", saved.lines.front());

    holdKey(OIS::KC_ESCAPE, 1);
    ASSERT_FALSE(game().mPaused);
    harness().mouse.move(10, 0);
    harness().frame(FRAME);
    EXPECT_NEAR(-1.5, game().mYawStep.valueDegrees(), 1e-4);
}

// The mouse uses the panel's own widgets: the Settings button below the menu, a box ticked, Back.
TEST_F(SettingsTest, TheMouseOpensThePanelAndTicksABox)
{
    harness();
    EXPECT_TRUE(game().mSettingsButton->isVisible());
    click(game().mSettingsButton);
    ASSERT_TRUE(game().mSettingsPanel->isOpen());
    EXPECT_FALSE(game().mSettingsButton->isVisible());

    auto* box = static_cast<CEGUI::ToggleButton*>(game().mSettingsPanel->control(STATISTICS_ROW));
    ASSERT_TRUE(box->isSelected());
    click(box);
    EXPECT_FALSE(box->isSelected());
    EXPECT_FALSE(game().mSettings.statistics);

    click(game().mSettingsPanel->control(BACK_ROW));
    EXPECT_FALSE(game().mSettingsPanel->isOpen());
    EXPECT_TRUE(game().mSettingsButton->isVisible());
    EXPECT_FALSE(SettingsFile::read(SettingsFile::NAME, "").settings.statistics);
}
