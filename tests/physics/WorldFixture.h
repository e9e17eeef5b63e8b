// A dynamics world under gravity in a window-free scene, with helpers to add bodies.
#pragma once

#include "CollisionsShape.h"
#include "DynamicsRigidBody.h"
#include "DynamicsWorld.h"
#include "HeadlessScene.h"

#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <BulletCollision/CollisionDispatch/btCollisionWorld.h>
#include <BulletDynamics/Dynamics/btRigidBody.h>
#include <gtest/gtest.h>

#include <memory>

class WorldFixture : public ::testing::Test
{
protected:
    WorldFixture()
        : world(scene.sceneManager(), Ogre::AxisAlignedBox(-1000, -1000, -1000, 1000, 1000, 1000),
                Ogre::Vector3(0, -9.81f, 0), true, true, 1024)
    {
    }

    Ogre::SceneNode* rootNode() { return scene.sceneManager()->getRootSceneNode(); }

    // A falling sphere whose node is a direct child of the root node.
    Dynamics::RigidBody* addBall(const Ogre::String& name, const Ogre::Vector3& position)
    {
        Ogre::SceneNode* node = rootNode()->createChildSceneNode(name + "Body");
        auto* body = new Dynamics::RigidBody(name, &world, 0, 0);
        body->attachDynamicShape(node, &sphere, 0.5f, 0.5f, 1, position, Ogre::Quaternion::IDENTITY);
        return body;
    }

    Dynamics::RigidBody* addFloor()
    {
        auto* body = new Dynamics::RigidBody("BasePlane", &world, 0, 0);
        body->attachStaticShape(&plane, 0.1f, 0.8f, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
        return body;
    }

    void step(int frames)
    {
        for (int i = 0; i < frames; ++i)
            world.stepSimulation(1.0f / 60, 1, 1.0f / 60);
    }

    HeadlessScene scene;
    Collisions::SphereCollisionShape sphere{1};
    Collisions::StaticPlaneCollisionShape plane{Ogre::Vector3::UNIT_Y, 0};
    Dynamics::DynamicsWorld world;
};
