// The latency benchmark's reading of the game's frame trace: which frame counts as the first to show
// an injected event, a file read while the game is still writing it, and the percentiles it prints.
#include "FrameTraceLog.h"
#include "LineFollower.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

bool spaceDown(const TraceInput& input)
{
    return input.kind == TraceInput::KEY && input.code == 57 && input.down;
}

bool leftDown(const TraceInput& input)
{
    return input.kind == TraceInput::BUTTON && input.code == 0 && input.down;
}

bool anyMotion(const TraceInput& input)
{
    return input.kind == TraceInput::MOTION;
}

struct LatencyCase
{
    const char* name;
    const char* trace; // lines in the order the game writes them
    bool (*matches)(const TraceInput&);
    long long sent;
    std::optional<long long> latency;
};

TEST(LatencyTrace, FirstFrameDrawnAfterThePollThatSawTheEvent)
{
    const LatencyCase cases[] = {
        // The engine draws, then polls: the frame around the poll was drawn before it and cannot show it.
        {"draw before poll", "input 105 key 57 down\nframe 100 110\nframe 120 130\n", spaceDown, 90, 40},
        {"poll before draw", "input 105 key 57 down\nframe 106 115\n", spaceDown, 90, 25},
        {"an earlier sample's press", "input 50 key 57 down\nframe 60 70\ninput 105 key 57 down\nframe 110 120\n",
         spaceDown, 90, 30},
        {"another key and a release", "input 95 key 1 down\ninput 96 key 57 up\ninput 105 key 57 down\nframe 120 130\n",
         spaceDown, 90, 40},
        {"a button", "input 95 key 57 down\ninput 105 button 0 down\nframe 100 110\nframe 120 130\n", leftDown, 90, 40},
        {"a motion", "input 105 motion -4 3\nframe 120 130\n", anyMotion, 90, 40},
        {"no frame yet after the poll", "frame 100 110\ninput 105 key 57 down\n", spaceDown, 90, std::nullopt},
        {"not seen yet", "input 80 key 57 down\nframe 100 110\n", spaceDown, 90, std::nullopt},
        {"lines of something else", "frame x y\ninput 105 wheel 3\nframe 120 130\n", anyMotion, 90, std::nullopt},
    };
    for (const LatencyCase& c : cases) {
        FrameTraceLog log("/nonexistent");
        std::istringstream lines(c.trace);
        for (std::string line; std::getline(lines, line);)
            log.read(line);
        EXPECT_EQ(c.latency, log.latency(c.sent, c.matches)) << c.name;
    }
}

TEST(LatencyTrace, MotionKeepsItsSteps)
{
    FrameTraceLog log("/nonexistent");
    log.read("input 105 motion -4 3");
    const std::optional<TraceInput> motion = log.inputAfter(0, anyMotion);
    ASSERT_TRUE(motion);
    EXPECT_EQ(-4, motion->dx);
    EXPECT_EQ(3, motion->dy);
}

TEST(LineFollower, HandsOutCompleteLinesOnceAsTheFileGrows)
{
    char path[] = "/tmp/line-follower-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    std::remove(path);

    LineFollower follower(path);
    EXPECT_TRUE(follower.newLines().empty()); // not written yet
    std::ofstream file(path);
    file << "frame 1 2\nframe 3" << std::flush;
    EXPECT_EQ(std::vector<std::string>{"frame 1 2"}, follower.newLines());
    EXPECT_TRUE(follower.newLines().empty()); // the half line waits
    file << " 4\nframe 5 6\n" << std::flush;
    EXPECT_EQ((std::vector<std::string>{"frame 3 4", "frame 5 6"}), follower.newLines());
    std::remove(path);
}

TEST(Percentile, NearestRank)
{
    const struct
    {
        std::vector<double> values;
        double p, expected;
    } cases[] = {
        {{}, 0.5, 0},
        {{7}, 0.99, 7},
        {{50, 10, 40, 20, 30}, 0.5, 30},
        {{50, 10, 40, 20, 30}, 0.95, 50}, // few samples: the highest, not a blend
        {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}, 0.95, 19},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, percentile(c.values, c.p)) << c.values.size() << " values, p " << c.p;
}

} // namespace
