// Rigid body set-up: the dynamic one binds the caller's node through a motion state.
#include "DynamicsRigidBody.h"

#include "CollisionsConversions.h"
#include "CollisionsObjectState.h"
#include "CollisionsShape.h"
#include "DynamicsWorld.h"

#include <OgreSceneNode.h>

#include <BulletCollision/CollisionShapes/btCollisionShape.h>
#include <BulletDynamics/Dynamics/btRigidBody.h>

namespace Dynamics {
RigidBody::RigidBody(const Ogre::String& name, DynamicsWorld* world, short collisionGroup, short collisionMask)
    : Collisions::Object(name, world, false), mFilterGroup(collisionGroup), mFilterMask(collisionMask)
{
}

RigidBody::~RigidBody() = default;

void RigidBody::attachDynamicShape(Ogre::SceneNode* node, Collisions::CollisionShape* shape, Ogre::Real restitution,
                                   Ogre::Real friction, Ogre::Real mass, const Ogre::Vector3& position,
                                   const Ogre::Quaternion& orientation)
{
    mMotionState = new Collisions::ObjectState(this);
    mBodyNode = node;
    mAttachNode = node->createChildSceneNode(getName() + "Node", Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    // Attaching resets the body node to the attach node's origin and identity,
    // so the final placement must come after it.
    mAttachNode->attachObject(this);
    node->setPosition(position);
    node->setOrientation(orientation);
    mShape = shape;
    setDebugShapeVisible(mOwnerWorld->debugShapesShown());

    btVector3 inertia(0, 0, 0);
    if (mass > 0)
        shape->getBulletShape()->calculateLocalInertia(mass, inertia);

    // The library reads the start transform from the motion state, i.e. from the node.
    btRigidBody* body = new btRigidBody(mass, mMotionState, shape->getBulletShape(), inertia);
    body->setRestitution(restitution);
    body->setFriction(friction);
    mBulletObject = body;
    ownerDynamicsWorld()->registerRigidBody(this, mFilterGroup, mFilterMask);
}

void RigidBody::attachStaticShape(Collisions::CollisionShape* shape, Ogre::Real restitution, Ogre::Real friction,
                                  const Ogre::Vector3& position, const Ogre::Quaternion& orientation)
{
    mShape = shape;
    btRigidBody* body = new btRigidBody(0, nullptr, shape->getBulletShape(), btVector3(0, 0, 0));
    body->setRestitution(restitution);
    body->setFriction(friction);
    body->setWorldTransform(btTransform(Collisions::toBullet(orientation), Collisions::toBullet(position)));
    mBulletObject = body;
    ownerDynamicsWorld()->registerRigidBody(this, mFilterGroup, mFilterMask);
}

void RigidBody::setVelocity(const Ogre::Vector3& velocity)
{
    if (btRigidBody* body = bulletBody())
        body->setLinearVelocity(Collisions::toBullet(velocity));
}

btRigidBody* RigidBody::bulletBody() const
{
    return static_cast<btRigidBody*>(mBulletObject);
}

DynamicsWorld* RigidBody::ownerDynamicsWorld() const
{
    return static_cast<DynamicsWorld*>(mOwnerWorld);
}
}
