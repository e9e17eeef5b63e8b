// Where a shot fired now would first land: a ring on the surface and a faint dotted arc up to it.
#pragma once

#include <OgreVector.h>

#include <BulletCollision/CollisionShapes/btSphereShape.h>

#include <memory>
#include <vector>

class btCollisionObject;
namespace Dynamics {
class DynamicsWorld;
class RigidBody;
}
namespace Ogre {
class ManualObject;
class SceneManager;
}

class LandingMarker
{
public:
    // The first physics step at which the ball touches a surface, and where: `point` lies on the
    // surface, `normal` points out of it. `path` holds the ball's centre at each step up to it.
    struct Landing
    {
        bool found = false;
        int step = 0;
        Ogre::Vector3 point = Ogre::Vector3::ZERO;
        Ogre::Vector3 normal = Ogre::Vector3::UNIT_Y;
        std::vector<Ogre::Vector3> path;
    };

    // `surfaces` are the bodies a shot can land on; balls and barrels in the way are ignored.
    LandingMarker(Ogre::SceneManager* sceneManager, Dynamics::DynamicsWorld* world, float gravity,
                  std::vector<Dynamics::RigidBody*> surfaces);
    ~LandingMarker();

    LandingMarker(const LandingMarker&) = delete;
    LandingMarker& operator=(const LandingMarker&) = delete;

    // The flight of a ball fired from `eye` along `view` with `charge`, stepped as the physics steps it.
    Landing predict(const Ogre::Vector3& eye, const Ogre::Vector3& view, float charge);

    // Draws the prediction for this shot, or hides the drawing.
    void show(const Ogre::Vector3& eye, const Ogre::Vector3& view, float charge);
    void hide();
    bool isVisible() const;

private:
    // Deepest contact of the probe ball at `centre` with any surface.
    bool touch(const Ogre::Vector3& centre, Landing& landing);
    void drawRing(const Landing& landing);
    void drawArc(const Landing& landing);

    Ogre::SceneManager* mSceneManager;
    Dynamics::DynamicsWorld* mWorld;
    float mGravity;
    std::vector<Dynamics::RigidBody*> mSurfaces;
    btSphereShape mProbeShape;
    std::unique_ptr<btCollisionObject> mProbe;
    Ogre::ManualObject* mRing;
    Ogre::ManualObject* mArc;
};
