// The arena the game builds: floor drawn below the physical plane, the platform, the debug node.
#include "CollisionsDebugDrawer.h"
#include "CollisionsShape.h"
#include "DynamicsRigidBody.h"
#include "DynamicsWorld.h"
#include "GameHarness.h"
#include "PhysicsObject.h"

#include <OgreEntity.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSubEntity.h>

#include <BulletCollision/CollisionShapes/btBoxShape.h>
#include <BulletCollision/CollisionShapes/btStaticPlaneShape.h>
#include <BulletDynamics/Dynamics/btRigidBody.h>

#include <gtest/gtest.h>

namespace {
class ArenaTest : public ::testing::Test
{
protected:
    GameHarness harness;
};
}

TEST_F(ArenaTest, FloorPlaneFirstThenPlatform)
{
    TestGame& game = harness.game();
    ASSERT_EQ(2u, game.mArenaBodies.size());
    ASSERT_EQ(2u, game.mArenaShapes.size());
    EXPECT_EQ("BasePlane", game.mArenaBodies.front()->getName());
    EXPECT_EQ("GroundBoxRigid", game.mArenaBodies.back()->getName());
    EXPECT_NE(nullptr, dynamic_cast<Collisions::StaticPlaneCollisionShape*>(game.mArenaShapes.front()));
    EXPECT_NE(nullptr, dynamic_cast<Collisions::BoxCollisionShape*>(game.mArenaShapes.back()));
    EXPECT_EQ(game.mArenaShapes.front(), game.mArenaBodies.front()->shape());
    EXPECT_EQ(game.mArenaShapes.back(), game.mArenaBodies.back()->shape());
}

TEST_F(ArenaTest, PhysicalFloorIsTheStaticPlaneYZero)
{
    Dynamics::RigidBody* floor = harness.game().mArenaBodies.front();
    btRigidBody* body = floor->bulletBody();
    EXPECT_TRUE(body->isStaticObject());
    EXPECT_FLOAT_EQ(0.1f, body->getRestitution());
    EXPECT_FLOAT_EQ(0.8f, body->getFriction());
    auto* plane = static_cast<btStaticPlaneShape*>(floor->shape()->getBulletShape());
    EXPECT_EQ(btVector3(0, 1, 0), plane->getPlaneNormal());
    EXPECT_EQ(0, plane->getPlaneConstant());
}

TEST_F(ArenaTest, DrawnFloorLiesTenUnitsBelow)
{
    Ogre::SceneManager* scene = harness.sceneManager();
    ASSERT_TRUE(scene->hasEntity("floor"));
    Ogre::Entity* floor = scene->getEntity("floor");
    EXPECT_EQ("FloorPlane", floor->getMesh()->getName());
    EXPECT_EQ("Examples/Rockwall", floor->getSubEntity(0)->getMaterialName());
    const Ogre::AxisAlignedBox bounds = floor->getMesh()->getBounds();
    EXPECT_FLOAT_EQ(-10, bounds.getMinimum().y);
    EXPECT_FLOAT_EQ(-10, bounds.getMaximum().y);
    EXPECT_FLOAT_EQ(200000, bounds.getSize().x);
    EXPECT_FLOAT_EQ(200000, bounds.getSize().z);
    EXPECT_EQ(Ogre::Vector3::ZERO, floor->getParentSceneNode()->getPosition());
}

TEST_F(ArenaTest, PlatformIsTheFlattenedCubeWithAFivePercentSmallerBox)
{
    TestGame& game = harness.game();
    Ogre::Entity* platform = harness.sceneManager()->getEntity("GroundBox");
    EXPECT_EQ("cube.mesh", platform->getMesh()->getName());
    EXPECT_EQ("WoodPallet", platform->getSubEntity(0)->getMaterialName());
    Ogre::SceneNode* node = platform->getParentSceneNode();
    EXPECT_EQ(Ogre::Vector3(0.65f, 0.05f, 0.25f), node->getScale());
    EXPECT_EQ(Ogre::Vector3(0, 2, -10), node->getPosition());
    EXPECT_TRUE(node->getOrientation().equals(HALF_TURN, Ogre::Degree(0.01f)));

    // cube.mesh has side 100: 100 x (0.30875, 0.02375, 0.11875) with unpadded bounds.
    Dynamics::RigidBody* body = game.mArenaBodies.back();
    auto* box = static_cast<btBoxShape*>(body->shape()->getBulletShape());
    const btVector3 half = box->getHalfExtentsWithMargin();
    EXPECT_NEAR(30.875f, half.x(), 1e-4f);
    EXPECT_NEAR(2.375f, half.y(), 1e-4f);
    EXPECT_NEAR(11.875f, half.z(), 1e-4f);
    EXPECT_EQ(node, body->bodyNode());
    EXPECT_FLOAT_EQ(1.0f / 300, body->bulletBody()->getInvMass());
    EXPECT_FLOAT_EQ(0.6f, body->bulletBody()->getRestitution());
    EXPECT_FLOAT_EQ(10.6f, body->bulletBody()->getFriction());
}

TEST_F(ArenaTest, DebugDrawerHangsOnItsNodeAndShapesStayHidden)
{
    TestGame& game = harness.game();
    ASSERT_TRUE(harness.sceneManager()->hasSceneNode("debugDrawer"));
    Ogre::SceneNode* node = harness.sceneManager()->getSceneNode("debugDrawer");
    EXPECT_EQ(harness.sceneManager()->getRootSceneNode(), node->getParent());
    ASSERT_EQ(1u, node->numAttachedObjects());
    EXPECT_EQ(game.mPhysicsDebugDrawer, node->getAttachedObject(0));
    EXPECT_TRUE(game.mPhysicsDebugDrawer->isWireframeEnabled());
    EXPECT_EQ(game.mPhysicsDebugDrawer, game.mPhysicsWorld->installedDrawer());
    EXPECT_FALSE(game.mPhysicsWorld->debugShapesShown());
}
