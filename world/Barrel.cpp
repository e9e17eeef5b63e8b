#include "Barrel.h"

#include "CollisionsShape.h"
#include "DynamicsRigidBody.h"
#include "DynamicsWorld.h"
#include "MediaNames.h"

#include <OgreEntity.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>

namespace {
const char* materialFor(int kind)
{
    switch (kind) {
    case BARREL_WALL:
        return Media::METAL_MATERIAL;
    case BARREL_BONUS:
        return Media::GRASS_MATERIAL;
    default:
        return Media::RUST_MATERIAL;
    }
}
}

Barrel::Barrel(Ogre::SceneManager* sceneManager, Dynamics::DynamicsWorld* world, int index, Ogre::Vector3 position,
               int kind)
    : mKind(kind)
{
    const Ogre::String& group = Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME;
    const Ogre::String number = Ogre::StringConverter::toString(index);
    mEntity = sceneManager->createEntity("Box" + number, Media::BARREL_MESH, group);
    mEntity->setCastShadows(true);
    const Ogre::Vector3 half = mEntity->getBoundingBox().getSize() / 2 * SHAPE_SHRINK;
    mEntity->setMaterialName(materialFor(mKind), group);

    Ogre::SceneNode* node =
        sceneManager->getRootSceneNode()->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    node->attachObject(mEntity);

    mCollisionShape = new Collisions::CylinderCollisionShape(half, Ogre::Vector3::UNIT_Y);
    mBody = new Dynamics::RigidBody("defaultBoxRigid" + number, world, 0, 0);
    const float mass = mKind == BARREL_WALL ? 9 : 3;
    // The half turn stands the mesh on its head; the cylinder's axis stays on y.
    mBody->attachDynamicShape(node, mCollisionShape, 0.6f, 1.6f, mass, position, HALF_TURN);
    mRemoved = false;
}

Barrel::~Barrel()
{
    releaseParts(mCollisionShape);
}

BonusBarrel::BonusBarrel(Ogre::SceneManager* sceneManager, Dynamics::DynamicsWorld* world, int index,
                         Ogre::Vector3 position)
    : Barrel(sceneManager, world, index, position, BARREL_BONUS)
{
}

BonusBarrel::~BonusBarrel() = default;

WallBarrel::WallBarrel(Ogre::SceneManager* sceneManager, Dynamics::DynamicsWorld* world, int index,
                       Ogre::Vector3 position)
    : Barrel(sceneManager, world, index, position, BARREL_WALL)
{
}

WallBarrel::~WallBarrel() = default;
