// The high-score file: what reads as which score, and a save that never loses the previous best.
#include "GameplayFixture.h"

#include <CEGUI/Window.h>

#include <climits>

#include <sys/stat.h>

namespace {
struct ReadCase
{
    const char* content;
    int score;
};
}

TEST_F(GameplayTest, ReadsTheLeadingNumberOfTheFirstLine)
{
    TestGame& g = game();
    const ReadCase cases[] = {
        {"42", 42},
        {"  17 barrels\n99", 17},
        {"\t8\n", 8},
        {"-3", -3},
        {"+5", 5},
        {"007", 7},
        {"letters", 0},
        {"", 0},
        {"\n12", 0},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        // Too big for the score: no score rather than some wrapped value.
        {"2147483648", 0},
        {"-2147483649", 0},
        {"99999999999999999999999", 0},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.content);
        writeFile("high.score", c.content);
        EXPECT_EQ(c.score, g.loadHighScore());
    }

    std::filesystem::remove("high.score");
    EXPECT_EQ(0, g.loadHighScore());
    std::filesystem::create_directory("high.score");
    EXPECT_EQ(0, g.loadHighScore());
}

TEST_F(GameplayTest, MissingFileStartsAtZero)
{
    newGame();
    harness().frame(FRAME);
    EXPECT_EQ(0, game().mHighScore);
    EXPECT_EQ("High Score: 0", game().mHighScoreWindow->getText());
}

TEST_F(GameplayTest, SaveReplacesTheFileWithExactlyTheNumber)
{
    writeFile("high.score", "5");
    TestGame& g = game();
    // A second name for the old file shows whether it was rewritten in place or replaced.
    std::filesystem::create_hard_link("high.score", "old.score");

    // The same number is written again; a higher one replaces it.
    for (int score : {5, 23}) {
        g.mHighScore = score;
        g.saveHighScore();
        EXPECT_EQ(std::to_string(score), readFile("high.score"));
        EXPECT_TRUE(log().has("Best score " + std::to_string(score) + " saved to high.score"));
    }
    // A lower one never does: the file was saved by someone else since this run read it.
    g.mHighScore = -7;
    g.saveHighScore();
    EXPECT_EQ("23", readFile("high.score"));
    EXPECT_TRUE(log().has("Best score -7 not saved to high.score: it holds a higher score"));
    EXPECT_EQ("5", readFile("old.score"));
    // Readable like any file the game makes, and no temporary file left behind.
    struct stat info;
    ASSERT_EQ(0, stat("high.score", &info));
    EXPECT_EQ(0644u & ~0022u, info.st_mode & 0644u);
    for (const std::string& name : workDirEntries())
        EXPECT_EQ(std::string::npos, name.find("high.score.")) << name;
}

TEST_F(GameplayTest, SaveOverADirectoryChangesNothing)
{
    TestGame& g = game();
    std::filesystem::create_directory("high.score");
    writeFile("high.score/keep", "x");
    g.mHighScore = 9;
    g.saveHighScore();
    EXPECT_TRUE(std::filesystem::is_directory("high.score"));
    EXPECT_EQ("x", readFile("high.score/keep"));
    EXPECT_FALSE(log().has("Best score 9 saved to high.score"));
    for (const std::string& name : workDirEntries())
        EXPECT_EQ(std::string::npos, name.find("high.score.")) << name;
}

// Root writes anywhere, so the read-only case runs as an ordinary user in a child process.
TEST_F(GameplayTest, SaveInAReadOnlyDirectoryKeepsTheOldFile)
{
    writeFile("high.score", "41");
    TestGame& g = game();
    g.mHighScore = 99;
    chmod(mWorkDir.c_str(), 0555);
    EXPECT_EXIT(
        {
            if (geteuid() == 0 && setuid(65534) != 0)
                _exit(2);
            g.saveHighScore();
            _exit(readFile("high.score") == "41" ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    chmod(mWorkDir.c_str(), 0755);
    EXPECT_EQ("41", readFile("high.score"));
    for (const std::string& name : workDirEntries())
        EXPECT_EQ(std::string::npos, name.find("high.score.")) << name;
}

// The child is a fresh run of this test: a forked copy would share the parent's X connection,
// and the exit's clean-up would tear the parent's window down.
TEST_F(GameplayTest, QuitSavesTheBestScoreAndEndsTheProcessAtOnce)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    shareWorkDirWithChildProcesses();
    writeFile("high.score", "3");
    newGame();
    game().mHighScore = 23;
    EXPECT_EXIT(
        {
            CEGUI::EventArgs args;
            game().onQuit(args);
            _exit(1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ("23", readFile("high.score"));
}

TEST_F(GameplayTest, ClosingTheWindowSavesTheBestScore)
{
    writeFile("high.score", "3");
    TestGame& g = game();
    g.mHighScore = 12;
    // Another window's closing is none of the game's business.
    g.windowClosed(nullptr);
    EXPECT_EQ("3", readFile("high.score"));

    harness().restoreRealDevices();
    g.windowClosed(RenderWindow::instance().window());
    EXPECT_EQ("12", readFile("high.score"));
}
