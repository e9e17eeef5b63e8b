// Discrete dynamics world with gravity, stepped with the debug drawer cycle around it.
#include "DynamicsWorld.h"

#include "CollisionsConversions.h"
#include "CollisionsDebugDrawer.h"
#include "DynamicsRigidBody.h"

#include <BulletCollision/CollisionDispatch/btCollisionDispatcher.h>
#include <BulletDynamics/ConstraintSolver/btSequentialImpulseConstraintSolver.h>
#include <BulletDynamics/Dynamics/btDiscreteDynamicsWorld.h>
#include <BulletDynamics/Dynamics/btRigidBody.h>

namespace Dynamics {
DynamicsWorld::DynamicsWorld(Ogre::SceneManager* sceneManager, const Ogre::AxisAlignedBox& bounds,
                             const Ogre::Vector3& gravity, bool createWorld, bool use32BitBroadphase,
                             unsigned int maxHandles)
    : Collisions::CollisionsWorld(sceneManager, bounds, false, use32BitBroadphase, maxHandles),
      mConstraintSolver(new btSequentialImpulseConstraintSolver)
{
    if (createWorld) {
        btDiscreteDynamicsWorld* world =
            new btDiscreteDynamicsWorld(mCollisionDispatcher, mSweepBroadphase, mConstraintSolver, &mCollisionConfig);
        world->setGravity(Collisions::toBullet(gravity));
        mBulletWorld = world;
    }
}

DynamicsWorld::~DynamicsWorld()
{
    delete mConstraintSolver;
}

void DynamicsWorld::registerRigidBody(RigidBody* body, short group, short mask)
{
    mRegisteredObjects.push_back(body);
    btDiscreteDynamicsWorld* world = static_cast<btDiscreteDynamicsWorld*>(mBulletWorld);
    if (!world)
        return;
    if (group == 0 && mask == 0)
        world->addRigidBody(body->bulletBody());
    else
        world->addRigidBody(body->bulletBody(), group, mask);
}

void DynamicsWorld::stepSimulation(Ogre::Real elapsed, int maxSubSteps, Ogre::Real fixedTimeStep)
{
    if (!mBulletWorld)
        return;
    if (mInstalledDrawer)
        mInstalledDrawer->resetLines();
    if (mDebugContactPoints)
        mDebugContactPoints->resetLines();

    static_cast<btDiscreteDynamicsWorld*>(mBulletWorld)->stepSimulation(elapsed, maxSubSteps, fixedTimeStep);

    if (mDebugContactPoints) {
        btDispatcher* dispatcher = mBulletWorld->getDispatcher();
        const int manifolds = dispatcher->getNumManifolds();
        for (int i = 0; i < manifolds; ++i) {
            btPersistentManifold* manifold = dispatcher->getManifoldByIndexInternal(i);
            manifold->refreshContactPoints(manifold->getBody0()->getWorldTransform(),
                                           manifold->getBody1()->getWorldTransform());
            for (int p = 0; p < manifold->getNumContacts() && mContactPointsShown; ++p) {
                const btManifoldPoint& point = manifold->getContactPoint(p);
                const Ogre::Vector3 onA = Collisions::toOgre(point.getPositionWorldOnA());
                const Ogre::Vector3 onB = Collisions::toOgre(point.getPositionWorldOnB());
                mDebugContactPoints->appendLine(onA, onB);
                mDebugContactPoints->appendLine(onB, onB + Collisions::toOgre(point.m_normalWorldOnB) * 100);
            }
        }
        mDebugContactPoints->rebuildGeometry();
    }

    if (mInstalledDrawer)
        mInstalledDrawer->rebuildGeometry();
}
}
