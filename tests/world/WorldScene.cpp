#include "WorldScene.h"

#include "PhysicsObject.h"
#include "RenderWindow.h"

#include <OgreMeshManager.h>
#include <OgreSceneNode.h>

#include <BulletCollision/CollisionDispatch/btCollisionWorld.h>

WorldScene::WorldScene()
{
    RenderWindow::instance();
    // As the game does: sizes come from the mesh bounds, unpadded.
    Ogre::MeshManager::getSingleton().setBoundsPaddingFactor(0);
    const Ogre::AxisAlignedBox bounds(Ogre::Vector3(-10000, -10000, -10000), Ogre::Vector3(10000, 10000, 10000));
    mWorld = new Dynamics::DynamicsWorld(sceneManager(), bounds, Ogre::Vector3(0, -9.81f, 0), true, true, 1000);
    RenderWindow::instance().cameraNode()->setPosition(0, 18, 70);
    RenderWindow::instance().cameraNode()->lookAt(Ogre::Vector3(0, 0, -300), Ogre::Node::TS_WORLD);
}

WorldScene::~WorldScene()
{
    for (PhysicsObject* object : mKept)
        delete object;
    delete mWorld;
}

Ogre::SceneManager* WorldScene::sceneManager() const
{
    return RenderWindow::instance().sceneManager();
}

Ogre::Camera* WorldScene::camera() const
{
    return RenderWindow::instance().camera();
}

int WorldScene::bodiesInWorld() const
{
    return mWorld->bulletWorld()->getNumCollisionObjects();
}

void WorldScene::step(int steps)
{
    for (int i = 0; i < steps; ++i)
        mWorld->stepSimulation(1.0f / 60, 1, 1.0f / 60);
}
