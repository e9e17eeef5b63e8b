// The auto-player clears all four levels of the real Game, driven frame by frame with fixed frame times.
#include "GameHarness.h"
#include "Player.h"
#include "RenderWindow.h"
#include "Screen.h"
#include "ScriptedRolls.h"

#include <OgreRenderWindow.h>

#include <CEGUI/GUIContext.h>
#include <CEGUI/MouseCursor.h>
#include <CEGUI/System.h>
#include <CEGUI/widgets/ProgressBar.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include <unistd.h>

namespace {

const float FRAME = 1.0f / 60;
// New barrels drop onto the platform and onto one another before they stand still.
const int SETTLE_FRAMES = 45;

// Plays the game through the scripted devices, seeing only what the screen shows: the heads-up
// texts, the charge bar, the menu's buttons and the GUI cursor.
class AutoplayTest : public ::testing::Test
{
protected:
    AutoplayTest() : mRunDir(std::filesystem::current_path())
    {
        // The engine reads its configuration from the run directory; the game then writes its
        // high-score file into a scratch directory of its own.
        RenderWindow::instance();
        char pattern[] = "/tmp/barrels-autoplay-XXXXXX";
        mWorkDir = mkdtemp(pattern);
        std::filesystem::current_path(mWorkDir);
        mHarness.reset(new GameHarness());
    }

    ~AutoplayTest() override
    {
        mHarness.reset();
        std::filesystem::current_path(mRunDir);
        std::error_code ignored;
        std::filesystem::remove_all(mWorkDir, ignored);
    }

    TestGame& game() { return mHarness->game(); }

    // Moves the GUI cursor onto the New button and holds the left button for one frame.
    void clickNew()
    {
        CEGUI::GUIContext& gui = CEGUI::System::getSingleton().getDefaultGUIContext();
        const CEGUI::Rectf button = gui.getRootWindow()->getChild("Background/NewGame")->getUnclippedOuterRect().get();
        mHarness->mouse.moveTo(static_cast<int>(button.getPosition().d_x + button.getWidth() / 2),
                               static_cast<int>(button.getPosition().d_y + button.getHeight() / 2));
        mHarness->frame(FRAME);
        mHarness->mouse.move(0, 0);
        mHarness->mouse.setButton(OIS::MB_Left, true);
        mHarness->frame(FRAME);
        mHarness->mouse.setButton(OIS::MB_Left, false);
        mHarness->frame(FRAME);
    }

    int hudLevel() { return autoplayer::Player::levelFromHud(game().mInfoWindow->getText().c_str()); }

    // One shot: the mouse motion in one frame, then SPACE held until the bar shows the wanted
    // charge (or, failing that, long enough for any charge step), then released.
    void shoot(const autoplayer::Shot& shot)
    {
        mHarness->mouse.move(shot.mouseX, shot.mouseY);
        mHarness->frame(FRAME);
        mHarness->mouse.move(0, 0);
        mHarness->keyboard.press(OIS::KC_SPACE);
        for (int held = 0; held < 4 * shot.chargeTicks && !game().mGameOver; ++held) {
            mHarness->frame(FRAME);
            if (game().mChargeBar->getProgress() * 100 >= shot.charge - 0.01)
                break;
        }
        mHarness->keyboard.release(OIS::KC_SPACE);
        mHarness->frame(FRAME);
    }

    std::filesystem::path mRunDir;
    std::filesystem::path mWorkDir;
    std::unique_ptr<GameHarness> mHarness;
};

TEST_F(AutoplayTest, ClicksFindTheMenuButtonsWhereTheGameDrawsThem)
{
    const Ogre::RenderWindow* window = RenderWindow::instance().window();
    ASSERT_EQ(autoplayer::WINDOW_WIDTH, static_cast<int>(window->getWidth()));
    ASSERT_EQ(autoplayer::WINDOW_HEIGHT, static_cast<int>(window->getHeight()));
    const CEGUI::Window* root = CEGUI::System::getSingleton().getDefaultGUIContext().getRootWindow();
    const struct
    {
        GuiBox box;
        const char* button;
    } cases[] = {{NEW_BUTTON_BOX, "NewGame"}, {QUIT_BUTTON_BOX, "QuitGame"}};
    for (const auto& c : cases) {
        const autoplayer::Spot spot = autoplayer::menuButtonCentre(c.box);
        const CEGUI::Window* hit =
            root->getTargetChildAtPosition(CEGUI::Vector2f(static_cast<float>(spot.x), static_cast<float>(spot.y)));
        ASSERT_NE(nullptr, hit) << c.button;
        EXPECT_EQ(c.button, hit->getName()) << spot.x << "," << spot.y;
    }
}

TEST_F(AutoplayTest, ClearsAllFourLevelsWithinTheirTimeLimits)
{
    // Every roll 50: ordinary barrels until the level's threshold falls to 50, then bonus barrels
    // (a second roll of 50 is above the 40 that makes a wall barrel); level 4's two fixed wall barrels stay.
    ScriptedRolls rolls{50};
    clickNew();
    ASSERT_FALSE(game().mPaused) << "the click on New did not start a game";

    autoplayer::Player player;
    std::map<int, int> shotsPerLevel;
    int level = 0;
    const int frameLimit = 60 * 200;
    int frame = 0;
    while (frame < frameLimit && !game().mGameOver) {
        const int shown = hudLevel();
        if (shown != level) {
            level = shown;
            if (level > autoplayer::LAST_LEVEL)
                break;
            player.startLevel(level);
            mHarness->frames(SETTLE_FRAMES, FRAME);
            frame += SETTLE_FRAMES;
            continue;
        }
        const autoplayer::Shot shot = player.nextShot();
        const int before = game().mShotsFired;
        shoot(shot);
        shotsPerLevel[level] += game().mShotsFired - before;
        frame += 2 + static_cast<int>(shot.charge);
    }

    std::ofstream results(AUTOPLAY_SHOTS_FILE);
    for (const auto& entry : shotsPerLevel) {
        std::printf("level %d: %d shots\n", entry.first, entry.second);
        results << "level " << entry.first << " shots " << entry.second << "\n";
    }
    EXPECT_EQ(autoplayer::LAST_LEVEL + 1, hudLevel()) << "the game ended on level " << hudLevel();
}

}
