// The game's side of sound: which event makes which effect, how loud, and how often. Impacts come
// from the physics contacts after each step; the rules' events and the charge tone come from the
// other parts of Game.
#pragma once

#include "SoundDevice.h"
#include "SoundNames.h"

#include <climits>
#include <map>
#include <utility>

class GameSound
{
public:
    // Below this speed (units a second, the change in the bodies' closing speed over one step) a
    // contact is resting or rolling and makes no sound; gravity alone gives about 0.2.
    static constexpr float QUIET_SPEED = 2.0f;
    // One pair of bodies sounds at most once in this many seconds.
    static constexpr float PAIR_INTERVAL = 0.1f;

    explicit GameSound(SoundDevice::Output output);

    SoundDevice& device() { return mDevice; }
    // The sound clock, which the per-pair limit runs on.
    void advance(float seconds);

    void play(Sounds::Effect effect, const Ogre::Vector3& position, float gain = 1, float pitch = 1);
    // At the listener, wherever it looks: the rules' signals and the menu.
    void playHere(Sounds::Effect effect, float gain = 1, float pitch = 1);
    // Two bodies struck each other at `speed`: loudness from the speed, at most once per pair per interval.
    void impact(Sounds::Effect effect, const void* a, const void* b, const Ogre::Vector3& at, float speed);
    // A touch the rules see at every check: it sounds when it starts, not while it lasts. True when
    // it starts.
    bool touch(Sounds::Effect effect, const void* a, const void* b, const Ogre::Vector3& at);
    // `fraction` of a full charge: louder and higher as it grows.
    void shot(const Ogre::Vector3& at, float fraction);
    void charge(float fraction);
    void stopCharge();
    // The level's whole seconds left, at every rules check: ticks through the last five.
    void countdown(int secondsLeft);

    bool enabled() const { return mDevice.enabled(); }

private:
    using Pair = std::pair<const void*, const void*>;
    static Pair pair(const void* a, const void* b) { return a < b ? Pair(a, b) : Pair(b, a); }

    SoundDevice mDevice;
    unsigned int mBuffers[Sounds::EFFECT_COUNT] = {};
    float mClock = 0;
    std::map<Pair, float> mLastImpact;
    std::map<Pair, float> mLastTouch;
    int mLastSecondsLeft = INT_MAX;
};
