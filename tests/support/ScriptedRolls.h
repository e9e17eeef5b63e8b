// Dice that tests choose: replaces the engine's random source while it lives.
#pragma once

#include <OgreMath.h>

#include <cstddef>
#include <initializer_list>
#include <vector>

class ScriptedRolls : public Ogre::Math::RandomValueProvider
{
public:
    // Rolls in percent (what RangeRandom(0, 100) then returns), repeated in a cycle.
    ScriptedRolls(std::initializer_list<float> percents) : mPercents(percents)
    {
        Ogre::Math::SetRandomValueProvider(this);
    }
    ~ScriptedRolls() override { Ogre::Math::SetRandomValueProvider(nullptr); }

    ScriptedRolls(const ScriptedRolls&) = delete;
    ScriptedRolls& operator=(const ScriptedRolls&) = delete;

    Ogre::Real getRandomUnit() override
    {
        const float percent = mPercents[mNext % mPercents.size()];
        ++mNext;
        return percent / 100;
    }

    std::size_t rollsTaken() const { return mNext; }

private:
    std::vector<float> mPercents;
    std::size_t mNext = 0;
};
