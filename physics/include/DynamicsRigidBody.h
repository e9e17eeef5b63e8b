// A simulated rigid body: dynamic ones move the caller's scene node, static ones have no node.
#pragma once

#include "CollisionsObject.h"

class btRigidBody;

namespace Dynamics {
class DynamicsWorld;

class RigidBody : public Collisions::Object
{
public:
    RigidBody(const Ogre::String& name, DynamicsWorld* world, short collisionGroup, short collisionMask);
    ~RigidBody() override;

    void attachDynamicShape(Ogre::SceneNode* node, Collisions::CollisionShape* shape, Ogre::Real restitution,
                            Ogre::Real friction, Ogre::Real mass, const Ogre::Vector3& position,
                            const Ogre::Quaternion& orientation);
    void attachStaticShape(Collisions::CollisionShape* shape, Ogre::Real restitution, Ogre::Real friction,
                           const Ogre::Vector3& position, const Ogre::Quaternion& orientation);

    void setVelocity(const Ogre::Vector3& velocity);

    btRigidBody* bulletBody() const;
    DynamicsWorld* ownerDynamicsWorld() const;

private:
    short mFilterGroup;
    short mFilterMask;
};
}
