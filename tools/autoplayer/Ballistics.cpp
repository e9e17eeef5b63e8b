#include "Ballistics.h"

#include <cmath>

namespace autoplayer {

namespace {
const double PI = 3.14159265358979323846;
const double DEGREE = PI / 180;

// Height of the ball above the eye when it has covered `reach` horizontally, fired at `pitch`.
double heightAtReach(double pitch, double reach, double speed)
{
    const double flat = std::cos(pitch);
    const double seconds = (reach - Flight::LAUNCH_DISTANCE * flat) / (speed * flat);
    return Flight::position(Point{0, 0, 0}, Point{flat, std::sin(pitch), 0}, speed, Flight::GRAVITY, seconds).y;
}
}

Aim solveAim(const Point& eye, const Point& target, double speed)
{
    const double dx = target.x - eye.x;
    const double dz = target.z - eye.z;
    const double reach = std::hypot(dx, dz);
    const double rise = target.y - eye.y;

    // The whole flight stays in the vertical plane through the eye and the target.
    Aim aim{std::atan2(-dx, -dz) / DEGREE, 0, false};
    if (reach <= Flight::LAUNCH_DISTANCE || speed <= 0)
        return aim;

    // Gravity only ever pulls the ball below the straight line, so the flat solution lies between
    // the line of sight and 45 degrees, where the height at the target's reach still grows with pitch.
    double low = std::atan2(rise, reach);
    double high = PI / 4;
    if (heightAtReach(high, reach, speed) < rise)
        return aim;
    for (int i = 0; i < 60; ++i) {
        const double middle = (low + high) / 2;
        if (heightAtReach(middle, reach, speed) < rise)
            low = middle;
        else
            high = middle;
    }
    aim.pitchDegrees = (low + high) / 2 / DEGREE;
    aim.reachable = true;
    return aim;
}

Point ballPosition(const Point& eye, const Aim& aim, double speed, double seconds)
{
    const double yaw = aim.yawDegrees * DEGREE;
    const double pitch = aim.pitchDegrees * DEGREE;
    const Point view{-std::sin(yaw) * std::cos(pitch), std::sin(pitch), -std::cos(yaw) * std::cos(pitch)};
    return Flight::position(eye, view, speed, Flight::GRAVITY, seconds);
}

}
