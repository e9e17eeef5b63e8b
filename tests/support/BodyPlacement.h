// Reading and setting where a game body is, straight in the physics world: the body's scene node
// follows only at the next step.
#pragma once

#include "CollisionsConversions.h"
#include "DynamicsRigidBody.h"
#include "PhysicsObject.h"

#include <BulletCollision/CollisionDispatch/btCollisionObject.h>
#include <BulletCollision/CollisionShapes/btCollisionShape.h>

inline Ogre::Vector3 bodyPosition(const PhysicsObject* object)
{
    return Collisions::toOgre(object->rigidBody()->bulletObject()->getWorldTransform().getOrigin());
}

inline void moveBody(PhysicsObject* object, const Ogre::Vector3& to)
{
    btTransform transform = object->rigidBody()->bulletObject()->getWorldTransform();
    transform.setOrigin(Collisions::toBullet(to));
    object->rigidBody()->bulletObject()->setWorldTransform(transform);
}

// Half the extent of the body's collision shape along each axis.
inline Ogre::Vector3 halfExtent(const PhysicsObject* object)
{
    btVector3 low, high;
    object->rigidBody()->bulletObject()->getCollisionShape()->getAabb(btTransform::getIdentity(), low, high);
    return Collisions::toOgre(high - low) / 2;
}
