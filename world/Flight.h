// A shot's flight as the physics steps it. No engine types, so the auto-player uses it too.
#pragma once

namespace Flight {

struct Point
{
    double x, y, z;
};

// The ball appears this far in front of the eye, along the view.
constexpr double LAUNCH_DISTANCE = 10;
// The ball's speed for each unit of charge.
constexpr double SPEED_PER_CHARGE = 2;
// The physics world's fixed step, in seconds.
constexpr double STEP_SECONDS = 1.0 / 60;
// The game's gravity, pulling along -y.
constexpr double GRAVITY = 9.81;

double launchSpeed(double charge);

// Where the ball is `seconds` after the shot, fired from `eye` along the unit vector `view` at
// `speed` under `gravity`. Exact at whole physics steps: each step updates the velocity before
// the position, so the ball drops g·t²/2 + g·dt·t/2 rather than g·t²/2.
Point position(const Point& eye, const Point& view, double speed, double gravity, double seconds);

}
