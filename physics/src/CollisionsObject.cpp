// Scene-side half of a simulated body: node placement, debug wireframe and teardown.
#include "CollisionsObject.h"

#include "CollisionsDebugCollisionShape.h"
#include "CollisionsObjectState.h"
#include "CollisionsWorld.h"

#include <OgreSceneNode.h>

#include <BulletCollision/CollisionDispatch/btCollisionObject.h>
#include <BulletCollision/CollisionDispatch/btCollisionWorld.h>

#include <cassert>

namespace Collisions {
Object::Object(const Ogre::String& name, CollisionsWorld* world, bool createObject)
    : Ogre::MovableObject(name), mBodyNode(nullptr), mAttachNode(nullptr), mDebugNode(nullptr), mMotionState(nullptr),
      mOwnerWorld(world), mBulletObject(nullptr), mLocalBounds(Ogre::Vector3::ZERO, Ogre::Vector3::ZERO),
      mShape(nullptr), mDebugWireShape(nullptr)
{
    if (createObject) {
        mBulletObject = new btCollisionObject();
        mMotionState = new ObjectState(this);
    }
}

Object::~Object()
{
    if (mBodyNode) {
        setDebugShapeVisible(false);
        if (mAttachNode) {
            if (getParentSceneNode() == mAttachNode)
                mAttachNode->detachObject(this);
            mBodyNode->removeAndDestroyChild(mAttachNode->getName());
            mAttachNode = nullptr;
        }
    }

    // An object that never got a set-up, or a world built without a physics world,
    // has nothing to take out.
    btCollisionWorld* world = mOwnerWorld ? mOwnerWorld->bulletWorld() : nullptr;
    if (mBulletObject && world)
        world->removeCollisionObject(mBulletObject);
    if (mOwnerWorld)
        mOwnerWorld->unregisterObject(this);

    delete mBulletObject;
    delete mMotionState;
    delete mDebugWireShape;
}

void Object::setDebugShapeVisible(bool show)
{
    if (show) {
        if (mDebugWireShape || !mShape)
            return;
        mDebugWireShape = new DebugCollisionShape(mShape, 1);
        // Without a body node (a static body) the wireframe has nowhere to hang and stays unattached.
        if (mDebugWireShape->hasWireframe() && mBodyNode) {
            assert(mDebugNode == 0);
            mDebugNode = mBodyNode->createChildSceneNode(getName() + "DebugShape", Ogre::Vector3::ZERO,
                                                         Ogre::Quaternion::IDENTITY);
            mDebugNode->setInheritScale(false);
            mDebugNode->attachObject(mDebugWireShape);
        }
        return;
    }

    if (!mDebugWireShape)
        return;
    if (mDebugNode) {
        mDebugNode->detachObject(mDebugWireShape->getName());
        mBodyNode->removeAndDestroyChild(mDebugNode->getName());
        mDebugNode = nullptr;
    }
    assert(mDebugNode == 0);
    delete mDebugWireShape;
    mDebugWireShape = nullptr;
}

// Without a body node (static or plain objects) the object stands at the origin unturned.
Ogre::Vector3 Object::worldPosition() const
{
    return mBodyNode ? mBodyNode->_getDerivedPosition() : Ogre::Vector3::ZERO;
}

Ogre::Quaternion Object::worldOrientation() const
{
    return mBodyNode ? mBodyNode->_getDerivedOrientation() : Ogre::Quaternion::IDENTITY;
}

const Ogre::String& Object::getMovableType() const
{
    static const Ogre::String movableType = "Collisions::Object";
    return movableType;
}

void Object::_notifyAttached(Ogre::Node* parent, bool isTagPoint)
{
    Ogre::MovableObject::_notifyAttached(parent, isTagPoint);
    if (!parent)
        return;

    if (!isTagPoint && mOwnerWorld) {
        // Only an object really hanging on that node can be taken off it; detaching
        // anything else would leave it half-attached elsewhere.
        Ogre::SceneNode* node = static_cast<Ogre::SceneNode*>(parent);
        Object* other = mOwnerWorld->findObjectByNode(node);
        if (other && other != this && other->getParentSceneNode() == node)
            node->detachObject(other);
    }

    if (mBodyNode) {
        mBodyNode->setPosition(parent->getPosition());
        mBodyNode->setOrientation(parent->getOrientation());
    }
}

void Object::_notifyCurrentCamera(Ogre::Camera*)
{
}

const Ogre::AxisAlignedBox& Object::getBoundingBox() const
{
    return mLocalBounds;
}

Ogre::Real Object::getBoundingRadius() const
{
    return 0;
}

void Object::_updateRenderQueue(Ogre::RenderQueue*)
{
}

void Object::visitRenderables(Ogre::Renderable::Visitor*, bool)
{
}

void Object::moveBodyNode(const btVector3& position)
{
    if (mBodyNode)
        mBodyNode->setPosition(position.x(), position.y(), position.z());
}

void Object::turnBodyNode(const btQuaternion& orientation)
{
    if (mBodyNode)
        mBodyNode->setOrientation(orientation.w(), orientation.x(), orientation.y(), orientation.z());
}

void Object::placeBodyNode(const btTransform& transform)
{
    placeBodyNode(transform.getOrigin(), transform.getRotation());
}

void Object::placeBodyNode(const btVector3& position, const btQuaternion& orientation)
{
    moveBodyNode(position);
    turnBodyNode(orientation);
}
}
