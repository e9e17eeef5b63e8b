// The frame loop's pace: the display's rate, a few frames a second when idle, and input that cuts
// an idle wait short.
#include "FramePacer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using std::chrono::duration_cast;
using std::chrono::microseconds;
using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

TEST(FramePacer, PeriodFollowsTheDisplayRateOrSixtyWhenUnknown)
{
    const struct
    {
        int rate;
        long playingMicros;
    } cases[] = {{0, 16666}, {-1, 16666}, {60, 16666}, {75, 13333}, {144, 6944}};
    for (const auto& c : cases) {
        const FramePacer pacer(c.rate);
        EXPECT_EQ(c.playingMicros, duration_cast<microseconds>(pacer.period(false)).count()) << c.rate;
        EXPECT_EQ(200000, duration_cast<microseconds>(pacer.period(true)).count()) << c.rate;
    }
}

TEST(FramePacer, FramesComeNoFasterThanThePeriodAndLatenessIsNotMadeUp)
{
    FramePacer pacer(100);
    const auto never = [] { return false; };
    const Clock::time_point start = Clock::now();
    for (int frame = 0; frame < 10; ++frame)
        pacer.wait(false, never);
    EXPECT_GE(Clock::now() - start, milliseconds(100));

    // A frame that took a quarter of a second is followed by frames at the normal period, not a burst.
    pacer.wait(false, never);
    std::this_thread::sleep_for(milliseconds(250));
    const Clock::time_point late = Clock::now();
    pacer.wait(false, never);
    pacer.wait(false, never);
    EXPECT_GE(Clock::now() - late, milliseconds(10));
}

TEST(FramePacer, InputCutsAnIdleWaitShort)
{
    FramePacer pacer(60);
    // The wait ends at the first true answer: a full idle period would ask about twenty times.
    int asked = 0;
    pacer.wait(true, [&asked] { return ++asked == 3; });
    EXPECT_EQ(3, asked);

    // With nothing to wake it, an idle wait lasts the idle period.
    const Clock::time_point idleStart = Clock::now();
    pacer.wait(true, [] { return false; });
    EXPECT_GE(Clock::now() - idleStart, milliseconds(190));
}
