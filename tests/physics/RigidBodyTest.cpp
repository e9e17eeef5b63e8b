// Rigid bodies: set-up order, motion-state synchronisation, debug wireframes and teardown.
#include "CollisionsDebugCollisionShape.h"
#include "CollisionsObjectState.h"
#include "PhysicsTestSupport.h"
#include "WorldFixture.h"

#include <BulletDynamics/Dynamics/btRigidBody.h>

using namespace Collisions;
using Dynamics::RigidBody;

namespace {
class RigidBodyTest : public WorldFixture
{
};

// Every game body starts half turned about z.
const Ogre::Quaternion halfTurn(0, 0, 0, 1);

void expectSameOrientation(const Ogre::Quaternion& expected, const btQuaternion& actual)
{
    EXPECT_NEAR(expected.x, actual.x(), 1e-5);
    EXPECT_NEAR(expected.y, actual.y(), 1e-5);
    EXPECT_NEAR(expected.z, actual.z(), 1e-5);
    EXPECT_NEAR(expected.w, actual.w(), 1e-5);
}
}

TEST_F(RigidBodyTest, DynamicSetUpPlacesNodeAndBodyWhateverTheNodeHeldBefore)
{
    Ogre::SceneNode* node = rootNode()->createChildSceneNode("ball");
    node->setPosition(50, 60, 70); // overwritten by the set-up
    const Ogre::Vector3 position(1, 20, 3);
    RigidBody body("defaultBallRigid0", &world, 0, 0);
    body.attachDynamicShape(node, &sphere, 0.3f, 0.6f, 2, position, halfTurn);

    EXPECT_EQ(node, body.bodyNode());
    EXPECT_EQ(position, node->getPosition());
    EXPECT_TRUE(halfTurn.equals(node->getOrientation(), Ogre::Degree(0.01f)));

    const btTransform& transform = body.bulletBody()->getWorldTransform();
    EXPECT_EQ(btVector3(1, 20, 3), transform.getOrigin());
    expectSameOrientation(halfTurn, transform.getRotation());
    EXPECT_FLOAT_EQ(0.3f, body.bulletBody()->getRestitution());
    EXPECT_FLOAT_EQ(0.6f, body.bulletBody()->getFriction());
    EXPECT_FLOAT_EQ(0.5f, body.bulletBody()->getInvMass());
    EXPECT_GT(body.bulletBody()->getLocalInertia().x(), 0);

    // The object hangs on its own child node at the origin.
    ASSERT_TRUE(scene.sceneManager()->hasSceneNode("defaultBallRigid0Node"));
    Ogre::SceneNode* attachNode = scene.sceneManager()->getSceneNode("defaultBallRigid0Node");
    EXPECT_EQ(node, attachNode->getParent());
    EXPECT_EQ(attachNode, body.getParentSceneNode());
    EXPECT_EQ(Ogre::Vector3::ZERO, attachNode->getPosition());
    EXPECT_EQ("Collisions::Object", body.getMovableType());
    EXPECT_EQ(&body, world.registeredObjects().back());
}

TEST_F(RigidBodyTest, ZeroMassLeavesInertiaAtZero)
{
    RigidBody body("still", &world, 0, 0);
    body.attachDynamicShape(rootNode()->createChildSceneNode(), &sphere, 0, 0, 0, Ogre::Vector3(0, 5, 0),
                            Ogre::Quaternion::IDENTITY);
    EXPECT_EQ(btVector3(0, 0, 0), body.bulletBody()->getLocalInertia());
    EXPECT_TRUE(body.bulletBody()->isStaticObject());
}

TEST_F(RigidBodyTest, InertiaIsTheShapesForTheBodysMass)
{
    // Solid sphere: 2/5 m r^2 about every axis. Box of sides a, b, c: m (b^2 + c^2) / 12 about x.
    BoxCollisionShape box(Ogre::Vector3(1, 2, 3));
    struct Case
    {
        CollisionShape* shape;
        float mass;
        btVector3 inertia;
    };
    const Case cases[] = {{&sphere, 1, btVector3(0.4f, 0.4f, 0.4f)},
                          {&sphere, 4, btVector3(1.6f, 1.6f, 1.6f)},
                          {&box, 1, btVector3(52, 40, 20) / 12},
                          {&box, 4, btVector3(52, 40, 20) / 3}};
    int index = 0;
    for (const Case& c : cases) {
        RigidBody body("solid" + std::to_string(index++), &world, 0, 0);
        body.attachDynamicShape(rootNode()->createChildSceneNode(), c.shape, 0, 0, c.mass, Ogre::Vector3(0, 5, 0),
                                Ogre::Quaternion::IDENTITY);
        const btVector3 inertia = body.bulletBody()->getLocalInertia();
        for (int axis = 0; axis < 3; ++axis)
            EXPECT_NEAR(c.inertia[axis], inertia[axis], 1e-4f) << "case " << index << ", axis " << axis;
    }
}

TEST_F(RigidBodyTest, StaticSetUpHasNoNodeAndSitsWhereItIsPut)
{
    RigidBody body("GroundBoxRigid", &world, 0, 0);
    Collisions::BoxCollisionShape box(Ogre::Vector3(10, 1, 10));
    body.attachStaticShape(&box, 0.1f, 0.9f, Ogre::Vector3(0, 2, 0), halfTurn);
    EXPECT_EQ(nullptr, body.bodyNode());
    EXPECT_TRUE(body.bulletBody()->isStaticObject());
    EXPECT_EQ(nullptr, body.bulletBody()->getMotionState());
    EXPECT_EQ(btVector3(0, 2, 0), body.bulletBody()->getWorldTransform().getOrigin());
    expectSameOrientation(halfTurn, body.bulletBody()->getWorldTransform().getRotation());

    const int sceneNodes = int(rootNode()->numChildren());
    step(5);
    EXPECT_EQ(btVector3(0, 2, 0), body.bulletBody()->getWorldTransform().getOrigin());
    EXPECT_EQ(sceneNodes, int(rootNode()->numChildren()));
}

TEST_F(RigidBodyTest, StepsMoveTheNodeWithTheSimulatedBody)
{
    std::unique_ptr<RigidBody> ball(addBall("ball", Ogre::Vector3(0, 10, 0)));
    Ogre::SceneNode* node = ball->bodyNode();
    ball->setVelocity(Ogre::Vector3(6, 0, 0));
    EXPECT_EQ(btVector3(6, 0, 0), ball->bulletBody()->getLinearVelocity());

    step(1);
    const btVector3 simulated = ball->bulletBody()->getWorldTransform().getOrigin();
    EXPECT_NEAR(0.1f, simulated.x(), 1e-4);              // 6 units/s for 1/60 s
    EXPECT_NEAR(10 - 9.81f / 3600, simulated.y(), 1e-4); // one step of gravity

    // The library hands motion states the transform one fixed step behind the body
    // (its latency interpolation), so the node shows each step after the next one.
    step(1);
    const Ogre::Vector3 moved = node->getPosition();
    EXPECT_FLOAT_EQ(simulated.x(), moved.x);
    EXPECT_FLOAT_EQ(simulated.y(), moved.y);
    EXPECT_FLOAT_EQ(simulated.z(), moved.z);
    EXPECT_EQ(moved, ball->worldPosition());
}

TEST_F(RigidBodyTest, BallComesToRestOnTheFloor)
{
    std::unique_ptr<RigidBody> floor(addFloor());
    std::unique_ptr<RigidBody> ball(addBall("ball", Ogre::Vector3(0, 3, 0)));
    step(300);
    EXPECT_NEAR(1.0f, ball->bodyNode()->getPosition().y, 0.05f);
}

TEST_F(RigidBodyTest, MotionStateReadsTheDerivedTransformAndWritesTheLocalOne)
{
    std::unique_ptr<RigidBody> ball(addBall("ball", Ogre::Vector3(1, 2, 3)));
    ObjectState state(ball.get());
    btTransform read;
    state.getWorldTransform(read);
    EXPECT_EQ(btVector3(1, 2, 3), read.getOrigin());

    const btQuaternion turn(btVector3(0, 1, 0), SIMD_HALF_PI);
    state.setWorldTransform(btTransform(turn, btVector3(4, 5, 6)));
    EXPECT_EQ(Ogre::Vector3(4, 5, 6), ball->bodyNode()->getPosition());
    const Ogre::Quaternion q = ball->bodyNode()->getOrientation();
    EXPECT_NEAR(turn.w(), q.w, 1e-6);
    EXPECT_NEAR(turn.y(), q.y, 1e-6);
}

TEST_F(RigidBodyTest, DestructionRemovesOnlyItsOwnNodeAndLeavesTheWorldConsistent)
{
    Ogre::SceneNode* node = rootNode()->createChildSceneNode("barrel");
    Ogre::SceneNode* sibling = node->createChildSceneNode("barrelLabel");
    std::unique_ptr<RigidBody> other(addBall("other", Ogre::Vector3(5, 5, 5)));
    auto* body = new RigidBody("defaultBoxRigid3", &world, 0, 0);
    body->attachDynamicShape(node, &sphere, 0, 0, 1, Ogre::Vector3(0, 4, 0), halfTurn);
    world.showDebugShapes(true);
    ASSERT_EQ(3u, node->numChildren());
    const btCollisionObject* bulletObject = body->bulletObject();

    delete body;
    EXPECT_FALSE(scene.sceneManager()->hasSceneNode("defaultBoxRigid3Node"));
    EXPECT_FALSE(scene.sceneManager()->hasSceneNode("defaultBoxRigid3DebugShape"));
    ASSERT_TRUE(scene.sceneManager()->hasSceneNode("barrel"));
    EXPECT_EQ(1u, node->numChildren());
    EXPECT_EQ(sibling, node->getChild(0));
    EXPECT_EQ(Ogre::Vector3(0, 4, 0), node->getPosition());

    EXPECT_EQ((std::deque<Object*>{other.get()}), world.registeredObjects());
    const btCollisionObjectArray& objects = world.bulletWorld()->getCollisionObjectArray();
    EXPECT_EQ(1, objects.size());
    EXPECT_NE(bulletObject, objects[0]);
    // The remaining body simulates on.
    step(1);
    EXPECT_LT(other->bulletBody()->getWorldTransform().getOrigin().y(), 5);
}

TEST_F(RigidBodyTest, BodyWithoutSetUpOrStaticBodyDestroysCleanly)
{
    delete new RigidBody("unset", &world, 0, 0);
    EXPECT_TRUE(world.registeredObjects().empty());

    auto* floor = addFloor();
    delete floor;
    EXPECT_TRUE(world.registeredObjects().empty());
    EXPECT_EQ(0, world.bulletWorld()->getNumCollisionObjects());

    // A plain object has a library object and a motion state but no node to read or move.
    auto* plain = new Object("plain", &world, true);
    EXPECT_NE(nullptr, plain->bulletObject());
    ObjectState state(plain);
    btTransform transform;
    state.getWorldTransform(transform);
    EXPECT_EQ(btVector3(0, 0, 0), transform.getOrigin());
    state.setWorldTransform(btTransform(btQuaternion::getIdentity(), btVector3(1, 2, 3)));
    EXPECT_EQ(Ogre::Vector3::ZERO, plain->worldPosition());
    state.getWorldTransform(transform);
    EXPECT_EQ(btVector3(0, 0, 0), transform.getOrigin());
    delete plain;

    // A velocity given before the set-up has no body to go to and is dropped, not kept for later.
    RigidBody unset("unsetVelocity", &world, 0, 0);
    unset.setVelocity(Ogre::Vector3(1, 0, 0));
    EXPECT_EQ(nullptr, unset.bulletBody());
    unset.attachDynamicShape(rootNode()->createChildSceneNode(), &sphere, 0, 0, 1, Ogre::Vector3(0, 5, 0),
                             Ogre::Quaternion::IDENTITY);
    EXPECT_EQ(btVector3(0, 0, 0), unset.bulletBody()->getLinearVelocity());
}

TEST_F(RigidBodyTest, DebugWireframeHangsUnderTheBodyNodeOnlyWhenItHasLines)
{
    std::unique_ptr<RigidBody> ball(addBall("ball", Ogre::Vector3(0, 5, 0)));
    ball->bodyNode()->setScale(3, 3, 3);
    ball->setDebugShapeVisible(true);
    ASSERT_TRUE(scene.sceneManager()->hasSceneNode("ballDebugShape"));
    Ogre::SceneNode* debugNode = scene.sceneManager()->getSceneNode("ballDebugShape");
    EXPECT_EQ(ball->bodyNode(), debugNode->getParent());
    EXPECT_FALSE(debugNode->getInheritScale());
    EXPECT_EQ(ball->debugWireShape(), debugNode->getAttachedObject(0));
    EXPECT_EQ(108u, renderOperationOf(*ball->debugWireShape()).vertexData->vertexCount);
    ball->setDebugShapeVisible(false);
    EXPECT_FALSE(scene.sceneManager()->hasSceneNode("ballDebugShape"));
    EXPECT_EQ(nullptr, ball->debugWireShape());

    // The plane has no lines: its wireframe object exists without any node.
    std::unique_ptr<RigidBody> floor(addFloor());
    const std::size_t nodes = rootNode()->numChildren();
    floor->setDebugShapeVisible(true);
    ASSERT_NE(nullptr, floor->debugWireShape());
    EXPECT_FALSE(floor->debugWireShape()->hasWireframe());
    EXPECT_FALSE(floor->debugWireShape()->isAttached());
    EXPECT_EQ(nodes, rootNode()->numChildren());
    floor->setDebugShapeVisible(false);
    EXPECT_EQ(nullptr, floor->debugWireShape());

    // A static box has lines but no node to hang them under.
    Collisions::BoxCollisionShape box(Ogre::Vector3(1, 1, 1));
    RigidBody platform("platform", &world, 0, 0);
    platform.attachStaticShape(&box, 0, 0, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    platform.setDebugShapeVisible(true);
    EXPECT_FALSE(platform.debugWireShape()->isAttached());
}

TEST_F(RigidBodyTest, AttachingToAnotherBodysNodeLeavesThatBodyOnItsOwnNode)
{
    std::unique_ptr<RigidBody> ball(addBall("ball", Ogre::Vector3(0, 5, 0)));
    Ogre::SceneNode* attachNode = ball->getParentSceneNode();
    Object marker("marker", &world, true);
    ball->bodyNode()->attachObject(&marker);

    EXPECT_EQ(attachNode, ball->getParentSceneNode());
    EXPECT_TRUE(ball->isAttached());
    EXPECT_EQ(ball->bodyNode(), marker.getParentSceneNode());
}

#ifndef NDEBUG
TEST(ObjectStateDeath, MotionStateWithoutAnObjectIsAProgrammingError)
{
    ObjectState state(nullptr);
    btTransform transform;
    EXPECT_DEATH(state.getWorldTransform(transform), "mObject");
    EXPECT_DEATH(state.setWorldTransform(btTransform::getIdentity()), "mObject");
}
#endif
