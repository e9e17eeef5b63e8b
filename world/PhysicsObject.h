// Base of the balls and barrels: one entity on a scene node, bound to one rigid body.
#pragma once

#include <OgreQuaternion.h>
#include <OgreVector.h>

namespace Ogre {
class Entity;
}
namespace Collisions {
class CollisionShape;
}
namespace Dynamics {
class RigidBody;
}

// Every game body starts half turned about z (w = 0, z = 1): the balls, the barrels and the platform.
const Ogre::Quaternion HALF_TURN(0, 0, 0, 1);

// Collision shapes are this much smaller than the meshes drawn, so bodies that touch look like they touch.
const float SHAPE_SHRINK = 0.95f;

// Copies share the entity, body and shape, which destroying any one of them releases: only one
// copy may be destroyed.
class PhysicsObject
{
public:
    PhysicsObject();
    PhysicsObject(const PhysicsObject&) = default;
    PhysicsObject& operator=(const PhysicsObject&) = default;
    virtual ~PhysicsObject();

    Ogre::Entity* entity() const { return mEntity; }
    Dynamics::RigidBody* rigidBody() const { return mBody; }
    bool isRemoved() const { return mRemoved; }
    // Out of play: hidden, but the body stays in the world until the object is destroyed.
    void markRemoved();

protected:
    // Body before shape: the physics library's body points at the shape until it leaves the world.
    void releaseParts(Collisions::CollisionShape* shape);

    Ogre::Vector3 mStartPosition;
    Ogre::Entity* mEntity;
    Dynamics::RigidBody* mBody;
    bool mRemoved;
};
