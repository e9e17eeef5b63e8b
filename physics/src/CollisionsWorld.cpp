// Collision configuration, dispatcher, broadphase and the registry of wrapper objects.
#include "CollisionsWorld.h"

#include "CollisionsConversions.h"
#include "CollisionsDebugDrawer.h"
#include "CollisionsDebugLines.h"
#include "CollisionsObject.h"

#include <OgreLogManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <BulletCollision/BroadphaseCollision/btAxisSweep3.h>
#include <BulletCollision/CollisionDispatch/btCollisionDispatcher.h>
#include <BulletCollision/CollisionDispatch/btCollisionWorld.h>
#include <BulletCollision/Gimpact/btGImpactCollisionAlgorithm.h>

#include <algorithm>
#include <cassert>

namespace Collisions {
namespace {
const unsigned int maxHandles16Bit = 65535;
// The library's 16-bit sweep needs fewer than 32767 handles; 65535 would wrap its counters.
const unsigned int maxHandlesSweep16 = 32766;
const char* const contactPointsNodeName = "DebugContactPoints";

void logLine(const Ogre::String& text)
{
    Ogre::LogManager::getSingleton().logMessage(text, Ogre::LML_NORMAL, false);
}
}

CollisionsWorld::CollisionsWorld(Ogre::SceneManager* sceneManager, const Ogre::AxisAlignedBox& bounds, bool createWorld,
                                 bool use32BitBroadphase, unsigned int maxHandles)
    : mBulletWorld(nullptr), mCollisionDispatcher(nullptr), mSweepBroadphase(nullptr), mWorldBounds(bounds),
      mCollisionConfig(btDefaultCollisionConstructionInfo()), mDebugShapesShown(false), mContactPointsShown(false),
      mDebugContactPoints(nullptr), mSceneManager(sceneManager), mInstalledDrawer(nullptr)
{
    mCollisionDispatcher = new btCollisionDispatcher(&mCollisionConfig);

    const btVector3 worldMin = toBullet(bounds.getMinimum());
    const btVector3 worldMax = toBullet(bounds.getMaximum());
    if (use32BitBroadphase) {
        mSweepBroadphase = new bt32BitAxisSweep3(worldMin, worldMax, maxHandles, nullptr, false);
    } else {
        if (maxHandles > maxHandles16Bit) {
            logLine("Exceeded the maximum number of handles for btAxisSweep3. Max = USHRT_MAX. "
                    "Resetting maxHandles to USHRT_MAX in "
                    "Collisions::CollisionsWorld::CollisionsWorld().");
            maxHandles = maxHandles16Bit;
        }
        if (maxHandles > maxHandlesSweep16) {
            logLine("btAxisSweep3 accepts at most 32766 handles. Using 32766 in "
                    "Collisions::CollisionsWorld::CollisionsWorld().");
            maxHandles = maxHandlesSweep16;
        }
        mSweepBroadphase =
            new btAxisSweep3(worldMin, worldMax, static_cast<unsigned short>(maxHandles), nullptr, false);
    }

    if (createWorld) {
        mBulletWorld = new btCollisionWorld(mCollisionDispatcher, mSweepBroadphase, &mCollisionConfig);
        btGImpactCollisionAlgorithm::registerAlgorithm(mCollisionDispatcher);
    }
}

// The world goes first: destroying it removes the proxies of objects still in it
// through the broadphase and the dispatcher.
CollisionsWorld::~CollisionsWorld()
{
    delete mBulletWorld;
    delete mSweepBroadphase;
    delete mCollisionDispatcher;
}

void CollisionsWorld::attachDebugDrawer(DebugDrawer* drawer)
{
    mInstalledDrawer = drawer;
    if (mBulletWorld)
        mBulletWorld->setDebugDrawer(drawer);
}

void CollisionsWorld::showDebugShapes(bool show)
{
    if (show == mDebugShapesShown)
        return;
    for (Object* object : mRegisteredObjects)
        object->setDebugShapeVisible(show);
    mDebugShapesShown = show;
}

void CollisionsWorld::showContactPoints(bool show)
{
    if (show && !mContactPointsShown) {
        assert(mDebugContactPoints == 0);
        mDebugContactPoints = new DebugLines();
        Ogre::SceneNode* node = mSceneManager->getRootSceneNode()->createChildSceneNode(
            contactPointsNodeName, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
        node->attachObject(mDebugContactPoints);
        mContactPointsShown = true;
    } else if (!show && mContactPointsShown) {
        assert(mDebugContactPoints != 0);
        Ogre::SceneNode* node = mSceneManager->getSceneNode(contactPointsNodeName);
        node->detachObject(mDebugContactPoints);
        static_cast<Ogre::SceneNode*>(node->getParent())->removeAndDestroyChild(contactPointsNodeName);
        delete mDebugContactPoints;
        mDebugContactPoints = nullptr;
        mContactPointsShown = false;
    }
}

bool CollisionsWorld::unregisterObject(Object* object)
{
    const auto found = std::find(mRegisteredObjects.begin(), mRegisteredObjects.end(), object);
    if (found == mRegisteredObjects.end())
        return false;
    mRegisteredObjects.erase(found);
    return true;
}

Object* CollisionsWorld::findObjectByNode(Ogre::SceneNode* node) const
{
    for (Object* object : mRegisteredObjects) {
        if (object->bodyNode() == node)
            return object;
    }
    return nullptr;
}
}
