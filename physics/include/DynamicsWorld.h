// A collision world with a solver and gravity; the game steps it twice a frame, as the frame starts and as it ends.
#pragma once

#include "CollisionsWorld.h"

#include <OgreVector.h>

#include <deque>

class btSequentialImpulseConstraintSolver;

namespace Dynamics {
class Constraint;
class RaycastVehicle;
class RigidBody;

class DynamicsWorld : public Collisions::CollisionsWorld
{
public:
    DynamicsWorld(Ogre::SceneManager* sceneManager, const Ogre::AxisAlignedBox& bounds, const Ogre::Vector3& gravity,
                  bool createWorld, bool use32BitBroadphase, unsigned int maxHandles);
    ~DynamicsWorld() override;

    void registerRigidBody(RigidBody* body, short group, short mask);
    void stepSimulation(Ogre::Real elapsed, int maxSubSteps, Ogre::Real fixedTimeStep);

protected:
    btSequentialImpulseConstraintSolver* mConstraintSolver;
    std::deque<Constraint*> mRegisteredConstraints;
    std::deque<RaycastVehicle*> mRegisteredVehicles;
};
}
