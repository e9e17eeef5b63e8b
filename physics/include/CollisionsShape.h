// Collision shape wrappers: each owns one physics-library shape and can draw its wireframe.
#pragma once

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <vector>

class btCollisionShape;
class btTriangleIndexVertexArray;

namespace Collisions {
class DebugLines;

class CollisionShape
{
public:
    CollisionShape();
    virtual ~CollisionShape();

    // A copy would share the library shape and delete it twice.
    CollisionShape(const CollisionShape&) = delete;
    CollisionShape& operator=(const CollisionShape&) = delete;

    virtual bool drawWireFrame(DebugLines* lines, const Ogre::Vector3& position,
                               const Ogre::Quaternion& orientation) const;
    bool drawConvexWireFrame(DebugLines* lines, const Ogre::Vector3& position,
                             const Ogre::Quaternion& orientation) const;

    btCollisionShape* getBulletShape() const { return mShape; }

protected:
    btCollisionShape* mShape;
};

class SphereCollisionShape : public CollisionShape
{
public:
    explicit SphereCollisionShape(Ogre::Real radius);
    ~SphereCollisionShape() override;
};

class BoxCollisionShape : public CollisionShape
{
public:
    explicit BoxCollisionShape(const Ogre::Vector3& halfExtents);
    ~BoxCollisionShape() override;
};

// Only the three unit axes make a shape; any other axis leaves getBulletShape() null.
class CylinderCollisionShape : public CollisionShape
{
public:
    CylinderCollisionShape(const Ogre::Vector3& halfExtents, const Ogre::Vector3& axis);
    ~CylinderCollisionShape() override;
};

class StaticPlaneCollisionShape : public CollisionShape
{
public:
    StaticPlaneCollisionShape(Ogre::Vector3 normal, Ogre::Real constant);
    ~StaticPlaneCollisionShape() override;

    // An infinite plane has no cage to draw.
    bool drawWireFrame(DebugLines* lines, const Ogre::Vector3& position,
                       const Ogre::Quaternion& orientation) const override;
};

// Concave triangle mesh; the wrapper keeps its own copy of the vertices and indices.
class GImpactConcaveShape : public CollisionShape
{
public:
    GImpactConcaveShape(Ogre::Vector3* vertices, unsigned int vertexCount, unsigned int* indices,
                        unsigned int indexCount);
    ~GImpactConcaveShape() override;

    bool drawWireFrame(DebugLines* lines, const Ogre::Vector3& position,
                       const Ogre::Quaternion& orientation) const override;

private:
    std::vector<float> mVertices;
    std::vector<int> mIndices;
    btTriangleIndexVertexArray* mMesh;
};
}
