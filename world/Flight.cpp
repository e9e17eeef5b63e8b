#include "Flight.h"

namespace Flight {

double launchSpeed(double charge)
{
    return SPEED_PER_CHARGE * charge;
}

Point position(const Point& eye, const Point& view, double speed, double gravity, double seconds)
{
    const double along = LAUNCH_DISTANCE + speed * seconds;
    const double drop = gravity * seconds * (seconds + STEP_SECONDS) / 2;
    return Point{eye.x + view.x * along, eye.y + view.y * along - drop, eye.z + view.z * along};
}

}
