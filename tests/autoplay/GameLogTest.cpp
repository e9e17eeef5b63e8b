// The auto-player's reading of the game's log: lines written with the game's own texts, as the
// engine's log manager stamps them, and lines that are not the game's.
#include "GameEvents.h"
#include "GameLog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

using autoplayer::GameLog;
using namespace GameEvents;

namespace {

// As the engine's log manager writes a message: a time stamp, then the text.
std::string stamped(const std::string& text)
{
    return "12:34:56: " + text;
}

struct Facts
{
    bool started;
    int level, barrels, cleared;
    bool timeUp;
    int best, last;
    bool saved;
};

Facts factsOf(const GameLog& log)
{
    return {log.gameStarted(), log.level(),     log.barrelsInLevel(), log.levelsCleared(),
            log.timeUp(),      log.bestScore(), log.lastScore(),      log.bestScoreSaved()};
}

void expectFacts(const Facts& want, const GameLog& log)
{
    const Facts got = factsOf(log);
    EXPECT_EQ(want.started, got.started);
    EXPECT_EQ(want.level, got.level);
    EXPECT_EQ(want.barrels, got.barrels);
    EXPECT_EQ(want.cleared, got.cleared);
    EXPECT_EQ(want.timeUp, got.timeUp);
    EXPECT_EQ(want.best, got.best);
    EXPECT_EQ(want.last, got.last);
    EXPECT_EQ(want.saved, got.saved);
}

} // namespace

TEST(GameLog, ReadsEachEventTheGameWrites)
{
    const struct
    {
        const char* name;
        std::string line;
        Facts after;
    } cases[] = {
        {"nothing yet", "", {false, 0, 0, 0, false, -1, 0, false}},
        {"new game", stamped(NEW_GAME), {true, 0, 0, 0, false, -1, 0, false}},
        {"level built", stamped(line(LEVEL_BUILT, 3, 12, 45)), {false, 3, 12, 0, false, -1, 0, false}},
        {"level cleared", stamped(line(LEVEL_CLEARED, 2, -7)), {false, 0, 0, 1, false, -1, -7, false}},
        {"time up", stamped(line(TIME_UP, 4, 19)), {false, 0, 0, 0, true, -1, 19, false}},
        {"best raised", stamped(line(BEST_SCORE_RAISED, 23)), {false, 0, 0, 0, false, 23, 0, false}},
        {"best saved", stamped(line(BEST_SCORE_SAVED, 42, "high.score")), {false, 0, 0, 0, false, 42, 0, true}},
        {"saved to a path with spaces",
         stamped(line(BEST_SCORE_SAVED, 5, "/home/a b/high.score")),
         {false, 0, 0, 0, false, 5, 0, true}},
        {"unstamped text", line(LEVEL_BUILT, 1, 6, 31), {false, 1, 6, 0, false, -1, 0, false}},
        {"engine line", stamped("Mesh: Loading sphere.mesh."), {false, 0, 0, 0, false, -1, 0, false}},
        {"GUI line", stamped("CEGUI: Level 9 is not an event"), {false, 0, 0, 0, false, -1, 0, false}},
        {"cut short", stamped("Level 2 built with"), {false, 0, 0, 0, false, -1, 0, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GameLog log("/nonexistent/Ogre.log");
        log.read(c.line);
        expectFacts(c.after, log);
    }
}

TEST(GameLog, ANewGameForgetsTheLastOnesEnding)
{
    GameLog log("/nonexistent/Ogre.log");
    for (const std::string& text : {line(LEVEL_CLEARED, 1, 5), line(TIME_UP, 2, 4), std::string(NEW_GAME)})
        log.read(stamped(text));
    EXPECT_TRUE(log.gameStarted());
    EXPECT_FALSE(log.timeUp());
    EXPECT_EQ(0, log.levelsCleared());
}

TEST(GameLog, FollowsTheFileAsItGrowsAndWaitsForWholeLines)
{
    char path[] = "/tmp/barrels-gamelog-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    GameLog log(path);
    std::ofstream file(path);

    EXPECT_FALSE(log.update());
    const std::string built = stamped(line(LEVEL_BUILT, 2, 9, 40));
    file << stamped(NEW_GAME) << "\n" << built.substr(0, 20) << std::flush;
    EXPECT_TRUE(log.update());
    EXPECT_TRUE(log.gameStarted());
    EXPECT_EQ(0, log.level()); // the half-written line waits

    file << built.substr(20) << "\n" << std::flush;
    EXPECT_TRUE(log.update());
    EXPECT_EQ(2, log.level());
    EXPECT_EQ(9, log.barrelsInLevel());
    std::remove(path);
}
