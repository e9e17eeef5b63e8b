#include "PhysicsObject.h"

#include "CollisionsShape.h"
#include "DynamicsRigidBody.h"

#include <OgreEntity.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

PhysicsObject::PhysicsObject() : mStartPosition(Ogre::Vector3::ZERO), mEntity(nullptr), mBody(nullptr), mRemoved(false)
{
}

PhysicsObject::~PhysicsObject() = default;

void PhysicsObject::markRemoved()
{
    mRemoved = true;
    mEntity->setVisible(false);
}

void PhysicsObject::releaseParts(Collisions::CollisionShape* shape)
{
    delete mBody;
    delete shape;
    if (!mEntity)
        return;
    // The node was made for this entity alone; without it the scene would keep one empty node per shot.
    Ogre::SceneManager* sceneManager = mEntity->_getManager();
    Ogre::SceneNode* node = mEntity->getParentSceneNode();
    sceneManager->destroyEntity(mEntity);
    if (node)
        sceneManager->destroySceneNode(node);
}
