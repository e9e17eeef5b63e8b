#include "Ball.h"

#include "CollisionsShape.h"
#include "DynamicsRigidBody.h"
#include "DynamicsWorld.h"
#include "Flight.h"
#include "MediaNames.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>

namespace {
// sphere.mesh is a hundred times too big for the game's world.
const float BALL_SCALE = 0.02f;
}

Ball::Ball(Ogre::Camera* camera, Ogre::SceneManager* sceneManager, Dynamics::DynamicsWorld* world, int index,
           float speed)
{
    const Ogre::String& group = Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME;
    const Ogre::Vector3 direction = camera->getDerivedDirection().normalisedCopy();
    mStartPosition = camera->getDerivedPosition() + direction * static_cast<float>(Flight::LAUNCH_DISTANCE);

    const Ogre::String number = Ogre::StringConverter::toString(index);
    mEntity = sceneManager->createEntity("Ball" + number, Media::BALL_MESH, group);
    mEntity->setCastShadows(true);
    mEntity->setMaterialName(Media::METAL_MATERIAL, group);

    Ogre::SceneNode* node =
        sceneManager->getRootSceneNode()->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    node->attachObject(mEntity);
    node->scale(BALL_SCALE, BALL_SCALE, BALL_SCALE);

    mCollisionShape = new Collisions::SphereCollisionShape(radius());
    mBody = new Dynamics::RigidBody("defaultBallRigid" + number, world, 0, 0);
    mBody->attachDynamicShape(node, mCollisionShape, 0.6f, 0.6f, 1, mStartPosition, HALF_TURN);
    mBody->setVelocity(direction * speed);
    mRemoved = false;
}

float Ball::radius()
{
    const Ogre::MeshPtr mesh = Ogre::MeshManager::getSingleton().load(
        Media::BALL_MESH, Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME);
    return mesh->getBounds().getSize().x / 2 * SHAPE_SHRINK * BALL_SCALE;
}

Ball::~Ball()
{
    releaseParts(mCollisionShape);
}
