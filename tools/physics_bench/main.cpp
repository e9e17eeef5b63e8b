// Times one stepSimulation of the game's dynamics world against the same bodies in a bare
// physics-library world, and measures what the game's 32-bit broadphase costs in resident memory.
#include "CollisionsDebugDrawer.h"
#include "CollisionsShape.h"
#include "DynamicsRigidBody.h"
#include "DynamicsWorld.h"

#include <OgreDefaultHardwareBufferManager.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <btBulletDynamicsCommon.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {
// The game's world and body values (arena, barrels and balls).
const btVector3 worldMin(-10000, -10000, -10000), worldMax(10000, 10000, 10000);
const unsigned int maxHandles = 1500000;
const Ogre::Vector3 gravity(0, -9.81f, 0);
const Ogre::Quaternion halfTurn(0, 0, 0, 1);
const Ogre::Vector3 platformHalf(30.875f, 2.375f, 11.875f);
const Ogre::Vector3 platformPosition(0, 2, -10);
const Ogre::Vector3 barrelHalf(2.375f, 3.8f, 2.375f);
const float ballRadius = 0.95f;
const int frames = 600;
const float frameTime = 1.0f / 60;

long residentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        long value = 0;
        if (key == "VmRSS:" && status >> value)
            return value;
        status.ignore(256, '\n');
    }
    return -1;
}

struct BodyPlan
{
    enum Kind
    {
        Plane,
        Platform,
        Barrel,
        Ball
    } kind;
    Ogre::Vector3 position;
    Ogre::Vector3 velocity;
};

// A floor, the platform, 20 barrels in four rows on it and 30 balls thrown at them.
std::vector<BodyPlan> layout()
{
    std::vector<BodyPlan> bodies;
    bodies.push_back({BodyPlan::Plane, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO});
    bodies.push_back({BodyPlan::Platform, platformPosition, Ogre::Vector3::ZERO});
    const float barrelY = platformPosition.y + platformHalf.y + barrelHalf.y + 0.05f;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 5; ++column)
            bodies.push_back({BodyPlan::Barrel, Ogre::Vector3(-20.0f + 10 * column, barrelY, -17.5f + 5 * row),
                              Ogre::Vector3::ZERO});
    for (int i = 0; i < 30; ++i)
        bodies.push_back({BodyPlan::Ball, Ogre::Vector3(-25.0f + 2 * (i % 25), 12.0f + 2 * (i / 25), 30.0f + i),
                          Ogre::Vector3(0, 4, -60)});
    return bodies;
}

struct Shapes
{
    Collisions::StaticPlaneCollisionShape plane{Ogre::Vector3::UNIT_Y, 0};
    Collisions::BoxCollisionShape platform{platformHalf};
    Collisions::CylinderCollisionShape barrel{barrelHalf, Ogre::Vector3::UNIT_Y};
    Collisions::SphereCollisionShape ball{ballRadius};
};

struct Material
{
    Collisions::CollisionShape* shape;
    float restitution, friction, mass;
};

Material materialOf(const Shapes& shapes, BodyPlan::Kind kind)
{
    auto* s = const_cast<Shapes*>(&shapes);
    switch (kind) {
    case BodyPlan::Plane:
        return {&s->plane, 0.1f, 0.8f, 0};
    case BodyPlan::Platform:
        return {&s->platform, 0.6f, 10.6f, 300};
    case BodyPlan::Barrel:
        return {&s->barrel, 0.6f, 1.6f, 3};
    case BodyPlan::Ball:
        break;
    }
    return {&s->ball, 0.6f, 0.6f, 1};
}

// The same bodies with nothing but a transform behind each motion state.
struct TrivialMotionState : btMotionState
{
    explicit TrivialMotionState(const btTransform& start) : transform(start) {}
    void getWorldTransform(btTransform& out) const override { out = transform; }
    void setWorldTransform(const btTransform& in) override { transform = in; }
    btTransform transform;
};

struct BareWorld
{
    btDefaultCollisionConfiguration config;
    btCollisionDispatcher dispatcher{&config};
    bt32BitAxisSweep3 broadphase{worldMin, worldMax, maxHandles, nullptr, false};
    btSequentialImpulseConstraintSolver solver;
    btDiscreteDynamicsWorld world{&dispatcher, &broadphase, &solver, &config};
    std::vector<std::unique_ptr<TrivialMotionState>> states;
    std::vector<std::unique_ptr<btRigidBody>> bodies;

    BareWorld(const Shapes& shapes, const std::vector<BodyPlan>& plans)
    {
        world.setGravity(btVector3(gravity.x, gravity.y, gravity.z));
        for (const BodyPlan& plan : plans) {
            const Material m = materialOf(shapes, plan.kind);
            btVector3 inertia(0, 0, 0);
            if (m.mass > 0)
                m.shape->getBulletShape()->calculateLocalInertia(m.mass, inertia);
            const btQuaternion rotation = plan.kind == BodyPlan::Plane
                                              ? btQuaternion::getIdentity()
                                              : btQuaternion(halfTurn.x, halfTurn.y, halfTurn.z, halfTurn.w);
            const btTransform start(rotation, btVector3(plan.position.x, plan.position.y, plan.position.z));
            TrivialMotionState* state = plan.kind == BodyPlan::Plane ? nullptr : new TrivialMotionState(start);
            auto* body = new btRigidBody(m.mass, state, m.shape->getBulletShape(), inertia);
            body->setRestitution(m.restitution);
            body->setFriction(m.friction);
            if (!state)
                body->setWorldTransform(start);
            body->setLinearVelocity(btVector3(plan.velocity.x, plan.velocity.y, plan.velocity.z));
            world.addRigidBody(body);
            states.emplace_back(state);
            bodies.emplace_back(body);
        }
    }

    ~BareWorld()
    {
        for (auto& body : bodies)
            world.removeRigidBody(body.get());
    }
};

struct GameWorld
{
    Dynamics::DynamicsWorld world;
    Collisions::DebugDrawer drawer;
    std::vector<std::unique_ptr<Dynamics::RigidBody>> bodies;

    GameWorld(Ogre::SceneManager* scene, const Shapes& shapes, const std::vector<BodyPlan>& plans)
        : world(scene, Ogre::AxisAlignedBox(-10000, -10000, -10000, 10000, 10000, 10000), gravity, true, true,
                maxHandles)
    {
        drawer.enableWireframe(true);
        world.attachDebugDrawer(&drawer);
        world.showDebugShapes(false);
        int index = 0;
        for (const BodyPlan& plan : plans) {
            const Material m = materialOf(shapes, plan.kind);
            auto* body = new Dynamics::RigidBody("benchRigid" + std::to_string(index++), &world, 0, 0);
            if (plan.kind == BodyPlan::Plane)
                body->attachStaticShape(m.shape, m.restitution, m.friction, plan.position, Ogre::Quaternion::IDENTITY);
            else
                body->attachDynamicShape(scene->getRootSceneNode()->createChildSceneNode(), m.shape, m.restitution,
                                         m.friction, m.mass, plan.position, halfTurn);
            if (plan.kind != BodyPlan::Plane)
                body->setVelocity(plan.velocity);
            bodies.emplace_back(body);
        }
    }

    ~GameWorld()
    {
        bodies.clear(); // bodies leave before their world
    }
};
}

int main()
{
    auto* logs = new Ogre::LogManager();
    logs->createLog("physics_bench.log", true, false, true);
    auto* root = new Ogre::Root("", "", "");
    auto* buffers = new Ogre::DefaultHardwareBufferManager();
    Ogre::MaterialManager::getSingleton().initialise();
    Ogre::SceneManager* scene = root->createSceneManager();

    {
        const long before = residentKiB();
        auto* broadphase = new bt32BitAxisSweep3(worldMin, worldMax, maxHandles, nullptr, false);
        const long after = residentKiB();
        delete broadphase;
        std::printf("32-bit broadphase, %u handles: %.1f MiB resident\n", maxHandles, (after - before) / 1024.0);
    }

    {
        const Shapes shapes;
        const std::vector<BodyPlan> plans = layout();
        GameWorld game(scene, shapes, plans);
        BareWorld bare(shapes, plans);

        // Alternate the two worlds frame by frame so both see the same machine state.
        using Clock = std::chrono::steady_clock;
        Clock::duration gameTime{}, bareTime{};
        for (int frame = 0; frame < frames; ++frame) {
            const Clock::time_point t0 = Clock::now();
            game.world.stepSimulation(frameTime, 1, frameTime);
            const Clock::time_point t1 = Clock::now();
            bare.world.stepSimulation(frameTime, 1, frameTime);
            const Clock::time_point t2 = Clock::now();
            gameTime += t1 - t0;
            bareTime += t2 - t1;
        }

        const double gameMicros = std::chrono::duration<double, std::micro>(gameTime).count() / frames;
        const double bareMicros = std::chrono::duration<double, std::micro>(bareTime).count() / frames;
        std::printf("bodies: 1 plane, 1 platform box, 20 cylinders, 30 spheres; %d steps of 1/60 s\n", frames);
        std::printf("DynamicsWorld::stepSimulation: %.1f us per step\n", gameMicros);
        std::printf("bare btDiscreteDynamicsWorld:  %.1f us per step\n", bareMicros);
        std::printf("ratio binding/bare: %.3f\n", gameMicros / bareMicros);
        const btVector3 gameBall = game.bodies.back()->bulletBody()->getWorldTransform().getOrigin();
        const btVector3 bareBall = bare.bodies.back()->getWorldTransform().getOrigin();
        std::printf("last ball after the run: binding (%.2f, %.2f, %.2f), bare (%.2f, %.2f, %.2f)\n", gameBall.x(),
                    gameBall.y(), gameBall.z(), bareBall.x(), bareBall.y(), bareBall.z());
    }

    root->destroySceneManager(scene);
    delete root;
    delete buffers;
    delete logs;
    return 0;
}
