// Aiming a shot: the view direction that makes a ball launched along it pass through a point.
#pragma once

#include "Flight.h"

namespace autoplayer {

using Flight::Point;

// Angles of the view: yaw about the world's up axis (positive turns left, towards -x),
// pitch about the camera's own x axis (positive looks up). Both in degrees.
struct Aim
{
    double yawDegrees;
    double pitchDegrees;
    bool reachable;
};

// The ball flies as the game's shot does (Flight.h). Returns the flatter of the two aims that hit `target`, or
// reachable = false.
Aim solveAim(const Point& eye, const Point& target, double speed);

// Where a ball fired along `aim` from `eye` at `speed` is `seconds` after the shot.
Point ballPosition(const Point& eye, const Aim& aim, double speed, double seconds);

}
