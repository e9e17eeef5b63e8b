// The game's sound effects: the files tools/sound_gen writes and the game loads, one per effect.
#pragma once

namespace Sounds {

enum Effect
{
    SHOT,        // a ball fired; louder and higher with the charge
    BALL_HIT,    // a ball strikes a barrel
    BARREL_THUD, // a barrel strikes the platform or the floor
    CHARGE,      // the rising tone while SPACE is held; loops seamlessly
    BONUS,       // a bonus barrel's extra seconds
    HEAVY_HIT,   // a hit on a heavy metal barrel
    CLEARED,     // level cleared
    TIME_UP,     // the level's time ran out
    TICK,        // each of the last five seconds
    BUTTON,      // a menu button
    EFFECT_COUNT
};

const char* const FILES[EFFECT_COUNT] = {"shot.wav",  "ball_hit.wav",  "barrel_thud.wav", "charge.wav",
                                         "bonus.wav", "heavy_hit.wav", "cleared.wav",     "time_up.wav",
                                         "tick.wav",  "button.wav"};

// What every file is: 16-bit mono at this rate.
const int SAMPLE_RATE = 44100;

} // namespace Sounds
