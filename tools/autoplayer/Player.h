// The auto-player's brain: picks the next barrel, aims at it with the mouse and decides the charge.
#pragma once

#include "Ballistics.h"
#include "Levels.h"

#include <string>
#include <vector>

namespace autoplayer {

// One shot as the hands make it: move the mouse, then hold SPACE.
struct Shot
{
    int mouseX; // relative mouse motion, in the game's mouse units
    int mouseY;
    double charge;   // wanted charge, 0 to 100; the ball leaves at Flight::launchSpeed of it
    int chargeTicks; // charge ticks at the starting charge step (1 per tick)
    Point target;
    Aim aim;
};

class Player
{
public:
    Player();

    // What the player knows of the camera when a game starts.
    static const Point EYE;
    static const double START_PITCH_DEGREES;
    static const double DEGREES_PER_MOUSE_UNIT;

    // The level the heads-up display shows ("Level: 2   Score: 7" gives 2), or 0 if it shows none.
    static int levelFromHud(const std::string& infoText);

    // A level has begun (or a new game): sweep it from the top row down.
    void startLevel(int level);
    int level() const { return mLevel; }

    // Whether the level holds barrels to shoot at (past the last level it holds none).
    bool hasTargets() const { return !mSweep.empty(); }
    // The next shot of the sweep; the player's idea of the aim moves by the shot's mouse motion.
    // Without targets it keeps the aim and asks for no charge.
    Shot nextShot();
    // Shots planned since the level began.
    int shotsThisLevel() const { return mShotsThisLevel; }

    // The view the mouse has turned to so far, in whole mouse units from the start.
    int mouseXTotal() const { return mMouseX; }
    int mouseYTotal() const { return mMouseY; }

private:
    Point aimPoint(const Barrel& barrel, int pass) const;
    static double chargeFor(const Barrel& barrel, int pass);

    int mLevel;
    std::vector<Barrel> mSweep;
    std::size_t mNext;
    int mPass;
    int mShotsThisLevel;
    int mMouseX;
    int mMouseY;
};

}
