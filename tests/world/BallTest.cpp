// Balls: names, launch from the camera, sizes from the mesh, and copies that share their parts.
#include "Ball.h"
#include "CollisionsShape.h"
#include "DynamicsRigidBody.h"
#include "WorldScene.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreMesh.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSubEntity.h>

#include <BulletCollision/CollisionShapes/btSphereShape.h>
#include <BulletDynamics/Dynamics/btRigidBody.h>

#include <list>
#include <new>

namespace {
class BallTest : public WorldScene
{
};

Ogre::Vector3 velocityOf(const PhysicsObject& object)
{
    const btVector3 v = object.rigidBody()->bulletBody()->getLinearVelocity();
    return Ogre::Vector3(v.x(), v.y(), v.z());
}
}

TEST_F(BallTest, LeavesTenUnitsInFrontOfTheCameraAlongTheView)
{
    const Ogre::Vector3 direction = camera()->getDerivedDirection().normalisedCopy();
    const Ogre::Vector3 start = camera()->getDerivedPosition() + direction * 10;
    Ball* ball = keep(new Ball(camera(), sceneManager(), world(), 0, 120));

    ASSERT_TRUE(sceneManager()->hasEntity("Ball0"));
    EXPECT_EQ(ball->entity(), sceneManager()->getEntity("Ball0"));
    EXPECT_EQ("defaultBallRigid0", ball->rigidBody()->getName());
    EXPECT_EQ("sphere.mesh", ball->entity()->getMesh()->getName());
    EXPECT_EQ("Examples/BumpyMetal", ball->entity()->getSubEntity(0)->getMaterialName());
    EXPECT_TRUE(ball->entity()->getCastShadows());
    EXPECT_FALSE(ball->isRemoved());

    Ogre::SceneNode* node = ball->entity()->getParentSceneNode();
    EXPECT_TRUE(node->getPosition().positionEquals(start, 1e-4f));
    EXPECT_TRUE(node->getOrientation().equals(HALF_TURN, Ogre::Degree(0.01f)));
    EXPECT_EQ(Ogre::Vector3(0.02f), node->getScale());
    EXPECT_TRUE(velocityOf(*ball).positionEquals(direction * 120, 1e-3f));
    EXPECT_EQ(btVector3(0, 0, 0), ball->rigidBody()->bulletBody()->getAngularVelocity());

    btRigidBody* body = ball->rigidBody()->bulletBody();
    EXPECT_FLOAT_EQ(1, body->getInvMass());
    EXPECT_FLOAT_EQ(0.6f, body->getRestitution());
    EXPECT_FLOAT_EQ(0.6f, body->getFriction());
    // sphere.mesh has radius 100: 200 x 0.0095, with no padding on the mesh bounds.
    auto* sphere = static_cast<btSphereShape*>(ball->collisionShape()->getBulletShape());
    EXPECT_FLOAT_EQ(1.9f, sphere->getRadius());
}

TEST_F(BallTest, WithoutSpeedItFallsFromWhereItStarts)
{
    Ball* ball = keep(new Ball(camera(), sceneManager(), world(), 3, 0));
    Ogre::SceneNode* node = ball->entity()->getParentSceneNode();
    const Ogre::Vector3 start = node->getPosition();
    EXPECT_EQ(Ogre::Vector3::ZERO, velocityOf(*ball));

    step(30);
    EXPECT_NEAR(-9.81f * 0.5f, velocityOf(*ball).y, 1e-3f);
    EXPECT_LT(node->getPosition().y, start.y - 1);
    EXPECT_FLOAT_EQ(start.x, node->getPosition().x);
    EXPECT_FLOAT_EQ(start.z, node->getPosition().z);
}

TEST_F(BallTest, IndicesMakeTheNames)
{
    keep(new Ball(camera(), sceneManager(), world(), 17, 1));
    EXPECT_TRUE(sceneManager()->hasEntity("Ball17"));
    EXPECT_TRUE(sceneManager()->hasSceneNode("defaultBallRigid17Node"));
}

TEST_F(BallTest, MarkRemovedHidesButKeepsTheBodyInTheWorld)
{
    Ball* ball = keep(new Ball(camera(), sceneManager(), world(), 0, 10));
    const int bodies = bodiesInWorld();
    for (int i = 0; i < 2; ++i) {
        ball->markRemoved();
        EXPECT_TRUE(ball->isRemoved());
        EXPECT_FALSE(ball->entity()->isVisible());
        EXPECT_TRUE(ball->entity()->isAttached());
        EXPECT_EQ(bodies, bodiesInWorld());
    }
}

// Copies share the parts: destroying one copy releases them once (the ball itself is never destroyed).
TEST_F(BallTest, DestroyingOneCopyReleasesTheSharedPartsOnce)
{
    const int bodiesBefore = bodiesInWorld();
    alignas(Ball) unsigned char storage[sizeof(Ball)];
    Ball* ball = new (storage) Ball(camera(), sceneManager(), world(), 0, 10);
    const std::size_t nodesWithBall = sceneManager()->getRootSceneNode()->numChildren();
    EXPECT_EQ(bodiesBefore + 1, bodiesInWorld());

    ball->markRemoved();
    std::list<Ball> removed;
    removed.push_back(*ball);
    EXPECT_EQ(ball->entity(), removed.front().entity());
    EXPECT_EQ(ball->rigidBody(), removed.front().rigidBody());
    EXPECT_EQ(ball->collisionShape(), removed.front().collisionShape());
    EXPECT_TRUE(removed.front().isRemoved());

    removed.clear();
    EXPECT_FALSE(sceneManager()->hasEntity("Ball0"));
    EXPECT_FALSE(sceneManager()->hasSceneNode("defaultBallRigid0Node"));
    EXPECT_EQ(nodesWithBall - 1, sceneManager()->getRootSceneNode()->numChildren());
    EXPECT_EQ(bodiesBefore, bodiesInWorld());
    EXPECT_TRUE(world()->registeredObjects().empty());
}
