// Owns the physics library's collision set-up and ties it to a scene manager.
#pragma once

#include <OgreAxisAlignedBox.h>

#include <BulletCollision/CollisionDispatch/btDefaultCollisionConfiguration.h>

#include <deque>

class btBroadphaseInterface;
class btCollisionDispatcher;
class btCollisionWorld;

namespace Ogre {
class SceneManager;
class SceneNode;
}

namespace Collisions {
class DebugDrawer;
class DebugLines;
class Object;

class CollisionsWorld
{
public:
    CollisionsWorld(Ogre::SceneManager* sceneManager, const Ogre::AxisAlignedBox& bounds, bool createWorld,
                    bool use32BitBroadphase, unsigned int maxHandles);
    virtual ~CollisionsWorld();

    CollisionsWorld(const CollisionsWorld&) = delete;
    CollisionsWorld& operator=(const CollisionsWorld&) = delete;

    void attachDebugDrawer(DebugDrawer* drawer);
    void showDebugShapes(bool show);
    void showContactPoints(bool show);

    bool unregisterObject(Object* object);
    Object* findObjectByNode(Ogre::SceneNode* node) const;

    btCollisionWorld* bulletWorld() const { return mBulletWorld; }
    bool debugShapesShown() const { return mDebugShapesShown; }
    bool contactPointsShown() const { return mContactPointsShown; }
    Ogre::SceneManager* sceneManager() const { return mSceneManager; }
    DebugDrawer* installedDrawer() const { return mInstalledDrawer; }
    btBroadphaseInterface* broadphase() const { return mSweepBroadphase; }
    const std::deque<Object*>& registeredObjects() const { return mRegisteredObjects; }

protected:
    btCollisionWorld* mBulletWorld;
    btCollisionDispatcher* mCollisionDispatcher;
    btBroadphaseInterface* mSweepBroadphase;
    Ogre::AxisAlignedBox mWorldBounds;
    btDefaultCollisionConfiguration mCollisionConfig;
    std::deque<Object*> mRegisteredObjects;
    bool mDebugShapesShown;
    bool mContactPointsShown;
    DebugLines* mDebugContactPoints;
    Ogre::SceneManager* mSceneManager;
    DebugDrawer* mInstalledDrawer;
};
}
