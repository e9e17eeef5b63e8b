// Game objects on the render fixture's scene with a physics world of their own; cleaned per test.
#pragma once

#include "DynamicsWorld.h"

#include <gtest/gtest.h>

#include <vector>

namespace Ogre {
class Camera;
class SceneManager;
}
class PhysicsObject;

class WorldScene : public ::testing::Test
{
protected:
    WorldScene();
    ~WorldScene() override;

    Ogre::SceneManager* sceneManager() const;
    Ogre::Camera* camera() const;
    // Objects the test made with new: deleted (so released) after the test.
    template <typename T>
    T* keep(T* object)
    {
        mKept.push_back(object);
        return object;
    }
    // Bodies in the physics library's world.
    int bodiesInWorld() const;
    void step(int steps);

    Dynamics::DynamicsWorld* world() { return mWorld; }

private:
    Dynamics::DynamicsWorld* mWorld;
    std::vector<PhysicsObject*> mKept;
};

