// Collision and dynamics worlds: construction, registry, debug switches, filtering and stepping.
#include "CollisionsDebugDrawer.h"
#include "CollisionsWorld.h"
#include "PhysicsTestSupport.h"
#include "WorldFixture.h"

#include <BulletCollision/BroadphaseCollision/btAxisSweep3.h>
#include <BulletCollision/CollisionDispatch/btCollisionWorld.h>
#include <BulletCollision/CollisionShapes/btSphereShape.h>
#include <BulletDynamics/Dynamics/btDiscreteDynamicsWorld.h>

#include <algorithm>

using namespace Collisions;
using Dynamics::DynamicsWorld;
using Dynamics::RigidBody;

namespace {
const Ogre::AxisAlignedBox bounds(-100, -100, -100, 100, 100, 100);
const char* const clampLine = "Exceeded the maximum number of handles for btAxisSweep3. Max = USHRT_MAX. Resetting "
                              "maxHandles to USHRT_MAX in Collisions::CollisionsWorld::CollisionsWorld().";

class WorldTest : public WorldFixture
{
};
}

TEST_F(WorldTest, ConstructionVariants)
{
    const struct
    {
        bool dynamics, createWorld, use32Bit;
    } cases[] = {
        {false, true, true}, {false, true, false}, {false, false, true},
        {true, true, true},  {true, true, false},  {true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "dynamics " << c.dynamics << " create " << c.createWorld << " 32-bit "
                                        << c.use32Bit);
        std::unique_ptr<CollisionsWorld> w;
        if (c.dynamics)
            w.reset(new DynamicsWorld(scene.sceneManager(), bounds, Ogre::Vector3(1, -2, 3), c.createWorld, c.use32Bit,
                                      100));
        else
            w.reset(new CollisionsWorld(scene.sceneManager(), bounds, c.createWorld, c.use32Bit, 100));

        EXPECT_EQ(scene.sceneManager(), w->sceneManager());
        EXPECT_FALSE(w->debugShapesShown());
        EXPECT_EQ(c.use32Bit, dynamic_cast<bt32BitAxisSweep3*>(w->broadphase()) != nullptr);
        EXPECT_EQ(!c.use32Bit, dynamic_cast<btAxisSweep3*>(w->broadphase()) != nullptr);
        EXPECT_EQ(c.createWorld, w->bulletWorld() != nullptr);
        if (!w->bulletWorld())
            continue;
        EXPECT_EQ(w->broadphase(), w->bulletWorld()->getBroadphase());
        auto* dynamicsWorld = dynamic_cast<btDiscreteDynamicsWorld*>(w->bulletWorld());
        EXPECT_EQ(c.dynamics, dynamicsWorld != nullptr);
        if (dynamicsWorld) {
            // The given gravity is what accelerates a free body: one step gains gravity times the step.
            btSphereShape shape(1);
            btRigidBody body(1, nullptr, &shape, btVector3(1, 1, 1));
            dynamicsWorld->addRigidBody(&body);
            dynamicsWorld->stepSimulation(1.0f / 60, 1, 1.0f / 60);
            const btVector3 velocity = body.getLinearVelocity();
            EXPECT_NEAR(1.0f / 60, velocity.x(), 1e-6);
            EXPECT_NEAR(-2.0f / 60, velocity.y(), 1e-6);
            EXPECT_NEAR(3.0f / 60, velocity.z(), 1e-6);
            dynamicsWorld->removeRigidBody(&body);
        }
    }
}

TEST_F(WorldTest, SixteenBitBroadphaseClampsTheHandleCountWithALogLine)
{
    const struct
    {
        bool use32Bit;
        unsigned int handles;
        bool clampLogged;
    } cases[] = {{false, 70000, true}, {false, 65535, false}, {false, 100, false}, {true, 70000, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "32-bit " << c.use32Bit << " handles " << c.handles);
        LogRecorder log;
        CollisionsWorld w(scene.sceneManager(), bounds, true, c.use32Bit, c.handles);
        const bool logged = std::find(log.lines.begin(), log.lines.end(), clampLine) != log.lines.end();
        EXPECT_EQ(c.clampLogged, logged);

        // Above what the library's 16-bit sweep takes, the world must still work.
        btCollisionObject object;
        btSphereShape shape(1);
        object.setCollisionShape(&shape);
        w.bulletWorld()->addCollisionObject(&object);
        w.bulletWorld()->performDiscreteCollisionDetection();
        EXPECT_NE(nullptr, object.getBroadphaseHandle());
        w.bulletWorld()->removeCollisionObject(&object);
    }
}

TEST_F(WorldTest, TriangleMeshPairsCollideOnlyInAPlainCollisionWorld)
{
    // The mesh-mesh algorithm is registered on a plain collision world only.
    Ogre::Vector3 vertices[] = {{-1, 0, -1}, {1, 0, -1}, {0, 0, 1}};
    unsigned int indices[] = {0, 1, 2};
    GImpactConcaveShape mesh(vertices, 3, indices, 3);
    const struct
    {
        bool plain;
        bool collides;
    } cases[] = {{true, true}, {false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.plain);
        std::unique_ptr<CollisionsWorld> w;
        if (c.plain)
            w.reset(new CollisionsWorld(scene.sceneManager(), bounds, true, true, 100));
        else
            w.reset(new DynamicsWorld(scene.sceneManager(), bounds, Ogre::Vector3::ZERO, true, true, 100));
        btCollisionObject a, b;
        a.setCollisionShape(mesh.getBulletShape());
        b.setCollisionShape(mesh.getBulletShape());
        b.setWorldTransform(btTransform(btQuaternion(btVector3(0, 0, 1), SIMD_HALF_PI)));
        w->bulletWorld()->addCollisionObject(&a);
        w->bulletWorld()->addCollisionObject(&b);
        w->bulletWorld()->performDiscreteCollisionDetection();
        int contacts = 0;
        btDispatcher* dispatcher = w->bulletWorld()->getDispatcher();
        for (int i = 0; i < dispatcher->getNumManifolds(); ++i)
            contacts += dispatcher->getManifoldByIndexInternal(i)->getNumContacts();
        EXPECT_EQ(c.collides, contacts > 0);
        w->bulletWorld()->removeCollisionObject(&b);
        w->bulletWorld()->removeCollisionObject(&a);
    }
}

TEST_F(WorldTest, DebugShapesSwitchOncePerChangeAndReachLaterBodies)
{
    std::unique_ptr<RigidBody> first(addBall("first", Ogre::Vector3(0, 10, 0)));
    world.showDebugShapes(false); // as the game does: nothing to undo
    EXPECT_EQ(nullptr, first->debugWireShape());

    world.showDebugShapes(true);
    DebugCollisionShape* wire = first->debugWireShape();
    ASSERT_NE(nullptr, wire);
    world.showDebugShapes(true);
    EXPECT_EQ(wire, first->debugWireShape());
    EXPECT_TRUE(scene.sceneManager()->hasSceneNode("firstDebugShape"));

    std::unique_ptr<RigidBody> later(addBall("later", Ogre::Vector3(5, 10, 0)));
    EXPECT_NE(nullptr, later->debugWireShape());

    world.showDebugShapes(false);
    EXPECT_FALSE(world.debugShapesShown());
    EXPECT_EQ(nullptr, first->debugWireShape());
    EXPECT_EQ(nullptr, later->debugWireShape());
    EXPECT_FALSE(scene.sceneManager()->hasSceneNode("firstDebugShape"));
    EXPECT_FALSE(scene.sceneManager()->hasSceneNode("laterDebugShape"));
}

TEST_F(WorldTest, ContactPointsAreDrawnBetweenTouchingBodiesWhileShown)
{
    std::unique_ptr<RigidBody> floor(addFloor());
    std::unique_ptr<RigidBody> ball(addBall("ball", Ogre::Vector3(0, 0.9f, 0)));

    world.showContactPoints(true);
    world.showContactPoints(true);
    ASSERT_TRUE(scene.sceneManager()->hasSceneNode("DebugContactPoints"));
    Ogre::SceneNode* node = scene.sceneManager()->getSceneNode("DebugContactPoints");
    EXPECT_EQ(rootNode(), node->getParent());
    ASSERT_EQ(1u, node->numAttachedObjects());
    auto* lines = dynamic_cast<DebugLines*>(node->getAttachedObject(0));
    ASSERT_NE(nullptr, lines);

    step(2);
    const std::size_t points = renderOperationOf(*lines).vertexData->vertexCount;
    EXPECT_GT(points, 0u);
    EXPECT_EQ(0u, points % 4); // two lines per contact point

    world.showContactPoints(false);
    EXPECT_FALSE(scene.sceneManager()->hasSceneNode("DebugContactPoints"));
    step(1); // stepping without the line set is fine
}

TEST_F(WorldTest, DefaultFilterUnlessGroupOrMaskIsGiven)
{
    const short all = btBroadphaseProxy::AllFilter, fixed = btBroadphaseProxy::StaticFilter;
    const struct
    {
        bool isStatic;
        short group, mask;
        int expectedGroup, expectedMask;
    } cases[] = {
        {false, 0, 0, btBroadphaseProxy::DefaultFilter, all},
        {true, 0, 0, fixed, all ^ fixed},
        {false, 0, 5, 0, 5},
        {false, 3, 0, 3, 0},
        {true, 4, 6, 4, 6},
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(index);
        const Ogre::String name = "filtered" + std::to_string(index++);
        RigidBody body(name, &world, c.group, c.mask);
        if (c.isStatic)
            body.attachStaticShape(&plane, 0, 0, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
        else
            body.attachDynamicShape(rootNode()->createChildSceneNode(), &sphere, 0, 0, 1, Ogre::Vector3::ZERO,
                                    Ogre::Quaternion::IDENTITY);
        const btBroadphaseProxy* proxy = body.bulletBody()->getBroadphaseProxy();
        ASSERT_NE(nullptr, proxy);
        EXPECT_EQ(c.expectedGroup, proxy->m_collisionFilterGroup);
        EXPECT_EQ(c.expectedMask, proxy->m_collisionFilterMask);
        ASSERT_EQ(1u, world.registeredObjects().size());
        EXPECT_EQ(&body, world.registeredObjects().front());
    }
}

TEST_F(WorldTest, RegistryLookUpsAndUnregistering)
{
    std::unique_ptr<RigidBody> a(addBall("a", Ogre::Vector3(0, 5, 0)));
    std::unique_ptr<RigidBody> b(addBall("b", Ogre::Vector3(3, 5, 0)));
    std::unique_ptr<RigidBody> floor(addFloor());
    EXPECT_EQ(b.get(), world.findObjectByNode(b->bodyNode()));
    EXPECT_EQ(nullptr, world.findObjectByNode(rootNode()));

    Object stranger("stranger", &world, true);
    EXPECT_FALSE(world.unregisterObject(&stranger));
    EXPECT_EQ(3u, world.registeredObjects().size());

    EXPECT_TRUE(world.unregisterObject(a.get()));
    EXPECT_FALSE(world.unregisterObject(a.get()));
    EXPECT_EQ((std::deque<Object*>{b.get(), floor.get()}), world.registeredObjects());
}

TEST_F(WorldTest, StepResetsTheDrawerBeforeAndRebuildsItAfter)
{
    DebugDrawer drawer;
    world.attachDebugDrawer(&drawer);
    EXPECT_EQ(&drawer, world.bulletWorld()->getDebugDrawer());
    EXPECT_EQ(&drawer, world.installedDrawer());

    step(1); // nothing appended: nothing built
    EXPECT_TRUE(boundBuffer(drawer).get() == nullptr);

    // Lines handed over between steps are shown after the next one, then dropped.
    drawer.appendLine(Ogre::Vector3::ZERO, Ogre::Vector3::UNIT_X);
    step(1);
    EXPECT_EQ(2u, renderOperationOf(drawer).vertexData->vertexCount);
    step(1);
    EXPECT_EQ(0u, renderOperationOf(drawer).vertexData->vertexCount);
    EXPECT_TRUE(drawer.linePoints().empty());

    world.attachDebugDrawer(nullptr);
    EXPECT_EQ(nullptr, world.bulletWorld()->getDebugDrawer());
}

TEST_F(WorldTest, WorldWithoutPhysicsWorldIgnoresSteps)
{
    DynamicsWorld empty(scene.sceneManager(), bounds, Ogre::Vector3(0, -9.81f, 0), false, true, 100);
    RigidBody ball("unsimulated", &empty, 0, 0);
    Ogre::SceneNode* node = rootNode()->createChildSceneNode("unsimulatedBody");
    ball.attachDynamicShape(node, &sphere, 0, 0, 1, Ogre::Vector3(0, 10, 0), Ogre::Quaternion::IDENTITY);
    DebugDrawer drawer;
    empty.attachDebugDrawer(&drawer);
    drawer.appendLine(Ogre::Vector3::ZERO, Ogre::Vector3::UNIT_X);

    for (int i = 0; i < 10; ++i)
        empty.stepSimulation(1.0f / 60, 1, 1.0f / 60);

    // No fall, and the drawer's lines are neither dropped nor built.
    EXPECT_EQ(Ogre::Vector3(0, 10, 0), node->getPosition());
    EXPECT_EQ(btVector3(0, 0, 0), ball.bulletBody()->getLinearVelocity());
    EXPECT_EQ(2u, drawer.linePoints().size());
    EXPECT_TRUE(boundBuffer(drawer).get() == nullptr);
}
