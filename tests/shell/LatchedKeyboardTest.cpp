// The keyboard as polls see it, made from the input library's key events: no tap lost, none doubled.
#include "LatchedKeyboard.h"
#include "ScriptedDevices.h"

#include <gtest/gtest.h>

namespace {

struct LatchCase
{
    const char* what;
    // Events and polls in order: p press, r release (both waiting for the next capture), t the waiting
    // events taken between frames, f focus changed, | a poll.
    const char* script;
    // What each poll saw of the key: D down, . up.
    const char* seen;
};

std::string play(const char* script)
{
    ScriptedKeyboard events;
    LatchedKeyboard keyboard(&events);
    std::string seen;
    for (const char* step = script; *step; ++step) {
        switch (*step) {
        case 'p':
            events.queue(OIS::KC_SPACE, true);
            break;
        case 'r':
            events.queue(OIS::KC_SPACE, false);
            break;
        case 't':
            keyboard.pump();
            break;
        case 'f':
            keyboard.forget();
            break;
        case '|': {
            keyboard.capture();
            char states[256];
            keyboard.copyKeyStates(states);
            EXPECT_EQ(keyboard.isKeyDown(OIS::KC_SPACE), states[OIS::KC_SPACE] != 0);
            seen += keyboard.isKeyDown(OIS::KC_SPACE) ? 'D' : '.';
            break;
        }
        }
    }
    return seen;
}

} // namespace

TEST(LatchedKeyboard, EveryPressIsSeenByOnePollAtLeastAndCountsOnce)
{
    const LatchCase cases[] = {
        {"tap between two polls", "pr|||", "D.."},
        {"held over three polls", "p|||r||", "DDD.."},
        {"auto-repeat while held", "p|p|pp|r|", "DDD."},
        {"two taps between two polls", "prpr||", "D."},
        {"tap taken while the frame loop waited", "prt||", "D."},
        {"press taken while waiting, released after the poll", "pt|r|", "D."},
        {"release of a key never seen down", "r||", ".."},
        {"held through a focus change, released elsewhere, pressed again", "p|f|r|p|", "D..D"},
        {"press no poll saw yet when the focus changed", "prf||", "D."},
        {"press taken while waiting, then the focus changed", "ptf|r|", "D."},
    };
    for (const LatchCase& c : cases)
        EXPECT_EQ(c.seen, play(c.script)) << c.what << ": " << c.script;
}

TEST(LatchedKeyboard, PumpSaysWhetherAnyEventCame)
{
    ScriptedKeyboard events;
    LatchedKeyboard keyboard(&events);
    EXPECT_FALSE(keyboard.pump());
    events.tap(OIS::KC_M);
    EXPECT_TRUE(keyboard.pump());
    EXPECT_FALSE(keyboard.pump());
    // Other keys are left alone.
    keyboard.capture();
    EXPECT_TRUE(keyboard.isKeyDown(OIS::KC_M));
    EXPECT_FALSE(keyboard.isKeyDown(OIS::KC_SPACE));
}
