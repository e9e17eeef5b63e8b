// A scene object that owns one physics-library object and moves the caller's node with it.
#pragma once

#include <OgreAxisAlignedBox.h>
#include <OgreMovableObject.h>
#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <LinearMath/btQuaternion.h>
#include <LinearMath/btTransform.h>
#include <LinearMath/btVector3.h>

class btCollisionObject;

namespace Collisions {
class CollisionShape;
class CollisionsWorld;
class DebugCollisionShape;
class ObjectState;

class Object : public Ogre::MovableObject
{
public:
    Object(const Ogre::String& name, CollisionsWorld* world, bool createObject);
    ~Object() override;

    void setDebugShapeVisible(bool show);

    btCollisionObject* bulletObject() const { return mBulletObject; }
    Ogre::SceneNode* bodyNode() const { return mBodyNode; }
    Ogre::Vector3 worldPosition() const;
    Ogre::Quaternion worldOrientation() const;
    CollisionShape* shape() const { return mShape; }
    DebugCollisionShape* debugWireShape() const { return mDebugWireShape; }

    const Ogre::String& getMovableType() const override;
    void _notifyAttached(Ogre::Node* parent, bool isTagPoint = false) override;
    void _notifyCurrentCamera(Ogre::Camera* camera) override;
    const Ogre::AxisAlignedBox& getBoundingBox() const override;
    Ogre::Real getBoundingRadius() const override;
    void _updateRenderQueue(Ogre::RenderQueue* queue) override;
    void visitRenderables(Ogre::Renderable::Visitor* visitor, bool debugRenderables = false) override;

    virtual void moveBodyNode(const btVector3& position);
    virtual void turnBodyNode(const btQuaternion& orientation);
    virtual void placeBodyNode(const btTransform& transform);
    virtual void placeBodyNode(const btVector3& position, const btQuaternion& orientation);

protected:
    Ogre::SceneNode* mBodyNode;
    Ogre::SceneNode* mAttachNode;
    Ogre::SceneNode* mDebugNode;
    ObjectState* mMotionState;
    CollisionsWorld* mOwnerWorld;
    btCollisionObject* mBulletObject;
    Ogre::AxisAlignedBox mLocalBounds;
    CollisionShape* mShape;
    DebugCollisionShape* mDebugWireShape;
};
}
