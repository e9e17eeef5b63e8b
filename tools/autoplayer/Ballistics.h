// Aiming a shot: the view direction that makes a ball launched along it pass through a point.
#pragma once

namespace autoplayer {

struct Point
{
    double x, y, z;
};

// Angles of the view: yaw about the world's up axis (positive turns left, towards -x),
// pitch about the camera's own x axis (positive looks up). Both in degrees.
struct Aim
{
    double yawDegrees;
    double pitchDegrees;
    bool reachable;
};

// The ball leaves MUZZLE_DISTANCE in front of the eye along the view at `speed`, then falls under
// GRAVITY. Returns the flatter of the two aims that hit `target`, or reachable = false.
Aim solveAim(const Point& eye, const Point& target, double speed);

// Where a ball fired along `aim` from `eye` at `speed` is `seconds` after the shot.
Point ballPosition(const Point& eye, const Aim& aim, double speed, double seconds);

const double GRAVITY = 9.81;
const double MUZZLE_DISTANCE = 10;
// The physics takes fixed steps of this length; its stepwise integration drops a little more than a parabola.
const double PHYSICS_STEP = 1.0 / 60;

}
