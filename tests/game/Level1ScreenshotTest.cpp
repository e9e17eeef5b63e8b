// A picture of level 1 after it has settled, as the player first sees it.
#include "GameHarness.h"
#include "LevelBuilder.h"
#include "RenderWindow.h"
#include "ScriptedRolls.h"

#include <OgreColourValue.h>
#include <OgreImage.h>

#include <CEGUI/Window.h>

#include <gtest/gtest.h>

#include <filesystem>

TEST(Level1Screenshot, SettledLevelIsDrawnOnThePlatform)
{
    GameHarness harness;
    TestGame& game = harness.game();
    // One bonus and one wall barrel among the ordinary ones, so every barrel material shows.
    ScriptedRolls rolls{0, 0, 99.5f, 50, 99.5f, 10, 0, 0};
    game.mLevelTimeLimit = game.mLevelBuilder->buildLevel(1);
    if (game.mMenuWindow)
        game.mMenuWindow->hide();
    game.mGameStarted = true;
    game.mPaused = false;
    ASSERT_TRUE(harness.frames(120, 1.0f / 60));
    ASSERT_EQ(6u, game.mBarrels.size());

    const std::string path = "level1.png";
    harness.screenshot(path);
    ASSERT_TRUE(std::filesystem::exists(path));

    // Not the black background: the floor fills the lower half, the platform the middle.
    const Ogre::Image image = RenderWindow::instance().capture();
    const Ogre::ColourValue middle = image.getColourAt(RenderWindow::WIDTH / 2, RenderWindow::HEIGHT / 2, 0);
    const Ogre::ColourValue low = image.getColourAt(RenderWindow::WIDTH / 2, RenderWindow::HEIGHT - 20, 0);
    EXPECT_GT(middle.r + middle.g + middle.b, 0.1f);
    EXPECT_GT(low.r + low.g + low.b, 0.1f);
}
