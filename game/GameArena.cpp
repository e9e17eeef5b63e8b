// The lasting part of the world: the floor and the wooden platform the levels stand on.
#include "Game.h"

#include "CollisionsDebugDrawer.h"
#include "CollisionsShape.h"
#include "DynamicsRigidBody.h"
#include "DynamicsWorld.h"
#include "MediaNames.h"
#include "PhysicsObject.h"

#include <OgreEntity.h>
#include <OgreMeshManager.h>
#include <OgrePlane.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

namespace {
const float FLOOR_SIZE = 200000;
const int FLOOR_SEGMENTS = 20;
const float FLOOR_TILES = 9000;
// The platform is the cube mesh flattened into a pallet.
const Ogre::Vector3 PLATFORM_SCALE(0.65f, 0.05f, 0.25f);
}

void Game::buildArena()
{
    const Ogre::String& autodetect = Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME;
    Ogre::SceneNode* root = mSceneManager->getRootSceneNode();

    Ogre::SceneNode* debugNode =
        root->createChildSceneNode("debugDrawer", Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    debugNode->attachObject(mPhysicsDebugDrawer);

    // Drawn ten units below the physical floor, so bodies resting on it float above the picture.
    // The plane's d, not the constructor's constant (which is -d): normal . p + 10 = 0.
    Ogre::Plane floorPlane;
    floorPlane.normal = Ogre::Vector3::UNIT_Y;
    floorPlane.d = 10;
    Ogre::MeshManager::getSingleton().createPlane(
        "FloorPlane", Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME, floorPlane, FLOOR_SIZE, FLOOR_SIZE,
        FLOOR_SEGMENTS, FLOOR_SEGMENTS, true, 1, FLOOR_TILES, FLOOR_TILES, Ogre::Vector3::UNIT_Z,
        Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, true, true);
    Ogre::Entity* floor = mSceneManager->createEntity("floor", "FloorPlane", autodetect);
    floor->setMaterialName(Media::FLOOR_MATERIAL, autodetect);
    root->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY)->attachObject(floor);

    Collisions::CollisionShape* floorShape = new Collisions::StaticPlaneCollisionShape(Ogre::Vector3::UNIT_Y, 0);
    Dynamics::RigidBody* floorBody = new Dynamics::RigidBody("BasePlane", mPhysicsWorld, 0, 0);
    floorBody->attachStaticShape(floorShape, 0.1f, 0.8f, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    mArenaShapes.push_back(floorShape);
    mArenaBodies.push_back(floorBody);

    Ogre::Entity* platform = mSceneManager->createEntity("GroundBox", Media::PLATFORM_MESH, autodetect);
    Ogre::Vector3 half = platform->getBoundingBox().getSize() / 2 * SHAPE_SHRINK;
    platform->setMaterialName(Media::PLATFORM_MATERIAL, autodetect);

    Ogre::SceneNode* platformNode = root->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    platformNode->attachObject(platform);
    platformNode->scale(PLATFORM_SCALE);
    half *= PLATFORM_SCALE;

    // Nothing pins the platform: its mass and friction keep it in place.
    Collisions::CollisionShape* platformShape = new Collisions::BoxCollisionShape(half);
    Dynamics::RigidBody* platformBody = new Dynamics::RigidBody("GroundBoxRigid", mPhysicsWorld, 0, 0);
    platformBody->attachDynamicShape(platformNode, platformShape, 0.6f, 10.6f, 300, Ogre::Vector3(0, 2, -10),
                                     HALF_TURN);
    mArenaShapes.push_back(platformShape);
    mArenaBodies.push_back(platformBody);
}
