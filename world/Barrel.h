// The targets: ordinary, bonus and wall barrels, told apart by a stored kind.
#pragma once

#include "PhysicsObject.h"

#include <OgreVector.h>

namespace Ogre {
class SceneManager;
}
namespace Collisions {
class CylinderCollisionShape;
}
namespace Dynamics {
class DynamicsWorld;
}

enum BarrelKind
{
    BARREL_ORDINARY = 1,
    BARREL_BONUS = 2,
    BARREL_WALL = 3
};

class Barrel : public PhysicsObject
{
public:
    Barrel(Ogre::SceneManager* sceneManager, Dynamics::DynamicsWorld* world, int index, Ogre::Vector3 position,
           int kind);
    Barrel(const Barrel&) = default;
    Barrel& operator=(const Barrel&) = default;
    ~Barrel() override;

    int kind() const { return mKind; }
    Collisions::CylinderCollisionShape* collisionShape() const { return mCollisionShape; }

private:
    int mKind;
    Collisions::CylinderCollisionShape* mCollisionShape;
};

// Green; a hit by the newest ball adds time.
class BonusBarrel : public Barrel
{
public:
    BonusBarrel(Ogre::SceneManager* sceneManager, Dynamics::DynamicsWorld* world, int index, Ogre::Vector3 position);
    ~BonusBarrel() override;
};

// Shiny metal and three times as heavy; a hit by the newest ball slows the charge.
class WallBarrel : public Barrel
{
public:
    WallBarrel(Ogre::SceneManager* sceneManager, Dynamics::DynamicsWorld* world, int index, Ogre::Vector3 position);
    ~WallBarrel() override;
};
