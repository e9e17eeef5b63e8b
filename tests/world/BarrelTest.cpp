// Barrels: the three kinds, their sizes from the mesh, and copies that keep the kind.
#include "Barrel.h"
#include "CollisionsShape.h"
#include "DynamicsRigidBody.h"
#include "WorldScene.h"

#include <OgreEntity.h>
#include <OgreMesh.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSubEntity.h>

#include <BulletCollision/CollisionShapes/btCylinderShape.h>
#include <BulletDynamics/Dynamics/btRigidBody.h>

#include <list>
#include <new>

namespace {
class BarrelTest : public WorldScene
{
};

Ogre::String materialOf(const Barrel& barrel)
{
    return barrel.entity()->getSubEntity(0)->getMaterialName();
}

float massOf(const Barrel& barrel)
{
    return 1 / barrel.rigidBody()->bulletBody()->getInvMass();
}
}

TEST_F(BarrelTest, KindChoosesMaterialAndMass)
{
    struct Case
    {
        int kind;
        const char* material;
        float mass;
    };
    // 7 is never used by the levels: it looks and weighs like an ordinary barrel but keeps its value.
    const Case cases[] = {{BARREL_ORDINARY, "RustyBarrel", 3},
                          {BARREL_BONUS, "Examples/GrassFloor", 3},
                          {BARREL_WALL, "Examples/BumpyMetal", 9},
                          {7, "RustyBarrel", 3}};
    int index = 0;
    for (const Case& c : cases) {
        Barrel* barrel = keep(new Barrel(sceneManager(), world(), index++, Ogre::Vector3(0, 10, 0), c.kind));
        EXPECT_EQ(c.kind, barrel->kind());
        EXPECT_EQ(c.material, materialOf(*barrel)) << c.kind;
        EXPECT_FLOAT_EQ(c.mass, massOf(*barrel)) << c.kind;
    }
    BonusBarrel* bonus = keep(new BonusBarrel(sceneManager(), world(), index++, Ogre::Vector3(0, 10, 0)));
    WallBarrel* wall = keep(new WallBarrel(sceneManager(), world(), index++, Ogre::Vector3(0, 10, 0)));
    EXPECT_EQ(BARREL_BONUS, bonus->kind());
    EXPECT_EQ("Examples/GrassFloor", materialOf(*bonus));
    EXPECT_EQ(BARREL_WALL, wall->kind());
    EXPECT_FLOAT_EQ(9, massOf(*wall));
}

TEST_F(BarrelTest, AHeavyBarrelMovesAndTurnsLessUnderTheSameBlow)
{
    // The same off-centre blow, in mid-air: a body three times heavier goes a third as fast and,
    // its inertia growing with its mass, turns a third as fast.
    Barrel* ordinary = keep(new Barrel(sceneManager(), world(), 0, Ogre::Vector3(-20, 30, 0), BARREL_ORDINARY));
    Barrel* heavy = keep(new Barrel(sceneManager(), world(), 1, Ogre::Vector3(20, 30, 0), BARREL_WALL));
    for (Barrel* barrel : {ordinary, heavy})
        barrel->rigidBody()->bulletBody()->applyImpulse(btVector3(0, 0, 12), btVector3(0, 3, 0));
    step(1);

    const btRigidBody* light = ordinary->rigidBody()->bulletBody();
    const btRigidBody* heavier = heavy->rigidBody()->bulletBody();
    ASSERT_GT(heavier->getLinearVelocity().z(), 0);
    ASSERT_GT(heavier->getAngularVelocity().length(), 0);
    EXPECT_NEAR(3, light->getLinearVelocity().z() / heavier->getLinearVelocity().z(), 1e-3);
    EXPECT_NEAR(3, light->getAngularVelocity().length() / heavier->getAngularVelocity().length(), 1e-3);
}

TEST_F(BarrelTest, StandsWhereToldAsAnUprightCylinderAtRest)
{
    const Ogre::Vector3 position(-7, 10, 0);
    Barrel* barrel = keep(new Barrel(sceneManager(), world(), 4, position, BARREL_ORDINARY));

    EXPECT_TRUE(sceneManager()->hasEntity("Box4"));
    EXPECT_EQ("defaultBoxRigid4", barrel->rigidBody()->getName());
    EXPECT_EQ("Barrel.mesh", barrel->entity()->getMesh()->getName());
    EXPECT_TRUE(barrel->entity()->getCastShadows());

    Ogre::SceneNode* node = barrel->entity()->getParentSceneNode();
    EXPECT_EQ(position, node->getPosition());
    EXPECT_TRUE(node->getOrientation().equals(HALF_TURN, Ogre::Degree(0.01f)));
    EXPECT_EQ(Ogre::Vector3::UNIT_SCALE, node->getScale());

    btRigidBody* body = barrel->rigidBody()->bulletBody();
    EXPECT_FLOAT_EQ(0.6f, body->getRestitution());
    EXPECT_FLOAT_EQ(1.6f, body->getFriction());
    EXPECT_EQ(btVector3(0, 0, 0), body->getLinearVelocity());
    // Barrel.mesh: radius 2.5, height 8, so half extents (2.5, 4, 2.5) x 0.95 with unpadded bounds.
    auto* cylinder = dynamic_cast<btCylinderShape*>(barrel->collisionShape()->getBulletShape());
    ASSERT_NE(nullptr, cylinder);
    EXPECT_EQ(1, cylinder->getUpAxis());
    const btVector3 half = cylinder->getHalfExtentsWithMargin();
    EXPECT_NEAR(2.375f, half.x(), 1e-5f);
    EXPECT_NEAR(3.8f, half.y(), 1e-5f);
    EXPECT_NEAR(2.375f, half.z(), 1e-5f);
}

TEST_F(BarrelTest, WallBarrelCopiedAsPlainBarrelKeepsItsKindAndIsReleasedOnce)
{
    const int bodiesBefore = bodiesInWorld();
    alignas(WallBarrel) unsigned char storage[sizeof(WallBarrel)];
    Barrel* wall = new (storage) WallBarrel(sceneManager(), world(), 2, Ogre::Vector3(10, 10, 0));

    std::list<Barrel> removed;
    removed.push_back(*wall);
    wall->markRemoved();
    EXPECT_EQ(BARREL_WALL, removed.front().kind());
    EXPECT_EQ(wall->rigidBody(), removed.front().rigidBody());
    EXPECT_FALSE(wall->entity()->isVisible());

    removed.clear();
    EXPECT_FALSE(sceneManager()->hasEntity("Box2"));
    EXPECT_EQ(bodiesBefore, bodiesInWorld());
    EXPECT_TRUE(world()->registeredObjects().empty());
}
