// The auto-player's aim: a solved shot passes through its target; out-of-range targets are reported.
#include "Ballistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace autoplayer;

namespace {
const Point gameEye{0, 18, 70};

double distance(const Point& a, const Point& b)
{
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

// The closest the ball comes to `target` over a long flight, sampled finely.
double closestApproach(const Point& eye, const Aim& aim, double speed, const Point& target)
{
    double closest = std::numeric_limits<double>::infinity();
    for (double t = 0; t < 30; t += 1e-4)
        closest = std::fmin(closest, distance(ballPosition(eye, aim, speed, t), target));
    return closest;
}
}

TEST(Ballistics, SolvedAimPassesThroughItsTarget)
{
    const struct
    {
        const char* name;
        Point eye, target;
        double speed;
        double yawDegrees; // worked out by hand: 0 looks along -z, 90 along -x
    } cases[] = {
        {"straight ahead at eye height", gameEye, {0, 18, 0}, 200, 0},
        {"left along -x", {0, 0, 0}, {-50, 0, 0}, 100, 90},
        {"right and forward, below the eye", gameEye, {40, 0, 30}, 100, -45},
        {"behind and uphill", gameEye, {0, 30, 130}, 80, 180},
        {"far for a slow ball: a high arc", gameEye, {0, 0, -30}, 40, 0},
        {"just past the muzzle", gameEye, {0, 17, 58}, 50, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Aim aim = solveAim(c.eye, c.target, c.speed);
        ASSERT_TRUE(aim.reachable);
        EXPECT_NEAR(0, std::remainder(aim.yawDegrees - c.yawDegrees, 360), 1e-9);
        EXPECT_LT(aim.pitchDegrees, 45); // the flatter of the two aims that hit
        EXPECT_LT(closestApproach(c.eye, aim, c.speed, c.target), 0.05);
    }
}

TEST(Ballistics, OutOfRangeTargetsAreUnreachable)
{
    const struct
    {
        const char* name;
        Point target;
        double speed;
    } cases[] = {
        {"inside the muzzle distance", {0, 18, 65}, 100},
        {"straight below the eye", {0, 0, 70}, 100},
        {"no speed", {0, 18, 0}, 0},
        {"too far for the speed", {0, 0, -300}, 20},
        {"too high for the speed", {0, 200, 40}, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(solveAim(gameEye, c.target, c.speed).reachable);
    }
}
