// The projectile: fired from just in front of the camera along the view.
#pragma once

#include "PhysicsObject.h"

namespace Ogre {
class Camera;
class SceneManager;
}
namespace Collisions {
class SphereCollisionShape;
}
namespace Dynamics {
class DynamicsWorld;
}

class Ball : public PhysicsObject
{
public:
    Ball(Ogre::Camera* camera, Ogre::SceneManager* sceneManager, Dynamics::DynamicsWorld* world, int index,
         float speed);
    Ball(const Ball&) = default;
    Ball& operator=(const Ball&) = default;
    ~Ball() override;

    Collisions::SphereCollisionShape* collisionShape() const { return mCollisionShape; }
    // Radius of every ball's collision sphere.
    static float radius();

private:
    Collisions::SphereCollisionShape* mCollisionShape;
};
