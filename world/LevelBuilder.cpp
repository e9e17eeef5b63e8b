#include "LevelBuilder.h"

#include "Barrel.h"

#include <OgreMath.h>

#include <algorithm>

namespace {
const int FIRST_LEVEL = 1;
const int END_LEVEL = 5;
// Barrels in a row stand this far apart in x.
const int SPACING = 6;
}

LevelBuilder::LevelBuilder(Ogre::SceneManager* sceneManager, Dynamics::DynamicsWorld* world,
                           std::list<Barrel*>* barrelList)
    : mSceneManager(sceneManager), mWorld(world), mBarrelList(barrelList), mNextBarrelIndex(0), mSpecialThreshold(99)
{
}

float LevelBuilder::buildLevel(int n)
{
    switch (std::clamp(n, FIRST_LEVEL, END_LEVEL)) {
    case 1:
        return buildLevel1();
    case 2:
        return buildLevel2();
    case 3:
        return buildLevel3();
    case 4:
        return buildLevel4();
    default:
        return 0;
    }
}

float LevelBuilder::buildLevel1()
{
    mSpecialThreshold = 99;
    for (int i = 0; i < 4; ++i)
        addRandomBarrel(Ogre::Vector3(SPACING * i - 7, 10, 0));
    for (int i = 0; i < 2; ++i)
        addRandomBarrel(Ogre::Vector3(SPACING * i - 4, 18, 0));
    return 31;
}

float LevelBuilder::buildLevel2()
{
    mSpecialThreshold = 99;
    buildPyramidRows();
    return 36;
}

float LevelBuilder::buildLevel3()
{
    mSpecialThreshold = 60;
    buildPyramidRows();
    for (int i = 0; i < 2; ++i)
        addRandomBarrel(Ogre::Vector3(SPACING * i + 1, 40, 0));
    return 41;
}

float LevelBuilder::buildLevel4()
{
    mSpecialThreshold = 60;
    for (int i = 0; i < 3; ++i)
        addRandomBarrel(Ogre::Vector3(SPACING * i - 20, 10, -5));
    addWallBarrel(Ogre::Vector3(-10, 10, 0));
    for (int i = 0; i < 3; ++i)
        addRandomBarrel(Ogre::Vector3(20 - SPACING * i, 10, -5));
    addWallBarrel(Ogre::Vector3(10, 10, 0));
    return 41;
}

void LevelBuilder::buildPyramidRows()
{
    for (int i = 0; i < 6; ++i)
        addRandomBarrel(Ogre::Vector3(SPACING * i - 12, 10, 0));
    for (int i = 0; i < 5; ++i)
        addRandomBarrel(Ogre::Vector3(SPACING * i - 9, 18, 0));
    for (int i = 0; i < 4; ++i)
        addRandomBarrel(Ogre::Vector3(SPACING * i - 5, 26, 0));
    for (int i = 0; i < 3; ++i)
        addRandomBarrel(Ogre::Vector3(SPACING * i - 2, 32, 0));
}

void LevelBuilder::addRandomBarrel(const Ogre::Vector3& position)
{
    const float roll = Ogre::Math::RangeRandom(0, 100);
    if (static_cast<float>(mSpecialThreshold) > roll) {
        mBarrelList->push_back(new Barrel(mSceneManager, mWorld, mNextBarrelIndex, position, BARREL_ORDINARY));
        mSpecialThreshold -= 5;
    } else if (Ogre::Math::RangeRandom(0, 100) < 40) {
        mBarrelList->push_back(new WallBarrel(mSceneManager, mWorld, mNextBarrelIndex, position));
    } else {
        mBarrelList->push_back(new BonusBarrel(mSceneManager, mWorld, mNextBarrelIndex, position));
    }
    ++mNextBarrelIndex;
}

void LevelBuilder::addWallBarrel(const Ogre::Vector3& position)
{
    mBarrelList->push_back(new WallBarrel(mSceneManager, mWorld, mNextBarrelIndex, position));
    ++mNextBarrelIndex;
}
