#include "Player.h"

#include "MouseLook.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace autoplayer {

// The camera stands at (0, 18, 70) looking at (0, 0, -300); the game turns it by the mouse's sensitivity.
const Point Player::EYE{0, 18, 70};
const double Player::START_PITCH_DEGREES = -std::atan2(18.0, 370.0) * 180 / 3.14159265358979323846;
const double Player::DEGREES_PER_MOUSE_UNIT = MOUSE_SENSITIVITY;

namespace {
const double FULL_CHARGE = 100;
}

Player::Player() : mLevel(0), mNext(0), mPass(0), mShotsThisLevel(0), mMouseX(0), mMouseY(0)
{
}

int Player::levelFromHud(const std::string& infoText)
{
    int level = 0;
    if (std::sscanf(infoText.c_str(), "Level: %d", &level) != 1)
        return 0;
    return level;
}

void Player::startLevel(int level)
{
    mLevel = level;
    mSweep = levelLayout(level);
    // Top rows first: they fall away easily and would otherwise land back on the rows below.
    std::stable_sort(mSweep.begin(), mSweep.end(), [](const Barrel& a, const Barrel& b) { return a.row > b.row; });
    mNext = 0;
    mPass = 0;
    mShotsThisLevel = 0;
}

Point Player::aimPoint(const Barrel& barrel, int pass) const
{
    // Later passes go for whatever is left lower down, where fallen barrels lie.
    Point point = barrel.standing;
    if (pass % 2 == 1)
        point.y -= 2;
    return point;
}

double Player::chargeFor(const Barrel& barrel, int pass)
{
    // The bottom row has the whole platform behind it to cross: it needs the hardest hits.
    if (barrel.row == 1 || pass > 0)
        return FULL_CHARGE;
    return 60;
}

Shot Player::nextShot()
{
    if (mSweep.empty())
        return Shot{};
    if (mNext >= mSweep.size()) {
        mNext = 0;
        ++mPass;
    }
    const Barrel& barrel = mSweep[mNext++];
    ++mShotsThisLevel;

    Shot shot{};
    shot.target = aimPoint(barrel, mPass);
    shot.charge = chargeFor(barrel, mPass);
    shot.chargeTicks = static_cast<int>(std::ceil(shot.charge));
    shot.aim = solveAim(EYE, shot.target, Flight::launchSpeed(shot.charge));

    // Moving the mouse right turns the view right (negative yaw); moving it up looks up.
    const int wantX = static_cast<int>(std::lround(-shot.aim.yawDegrees / DEGREES_PER_MOUSE_UNIT));
    const int wantY =
        static_cast<int>(std::lround((START_PITCH_DEGREES - shot.aim.pitchDegrees) / DEGREES_PER_MOUSE_UNIT));
    shot.mouseX = wantX - mMouseX;
    shot.mouseY = wantY - mMouseY;
    mMouseX = wantX;
    mMouseY = wantY;
    return shot;
}

}
