// Collision shape wrappers and their support-point wireframe cage.
#include "CollisionsShape.h"

#include "CollisionsConversions.h"
#include "CollisionsDebugLines.h"

#include <BulletCollision/CollisionShapes/btBoxShape.h>
#include <BulletCollision/CollisionShapes/btConvexShape.h>
#include <BulletCollision/CollisionShapes/btCylinderShape.h>
#include <BulletCollision/CollisionShapes/btSphereShape.h>
#include <BulletCollision/CollisionShapes/btStaticPlaneShape.h>
#include <BulletCollision/CollisionShapes/btTriangleIndexVertexArray.h>
#include <BulletCollision/Gimpact/btGImpactShape.h>
#include <LinearMath/btTransform.h>

#include <cassert>

namespace Collisions {
namespace {
// The three cage passes differ only in which component the innermost loop varies.
struct CageOrder
{
    int outer;
    int middle;
    int inner;
};
const CageOrder cageOrders[3] = {{0, 1, 2}, {0, 2, 1}, {2, 1, 0}};
}

CollisionShape::CollisionShape() : mShape(nullptr)
{
}

CollisionShape::~CollisionShape()
{
    delete mShape;
}

bool CollisionShape::drawWireFrame(DebugLines* lines, const Ogre::Vector3& position,
                                   const Ogre::Quaternion& orientation) const
{
    if (mShape && mShape->isConvex())
        return drawConvexWireFrame(lines, position, orientation);
    return false;
}

bool CollisionShape::drawConvexWireFrame(DebugLines* lines, const Ogre::Vector3& position,
                                         const Ogre::Quaternion& orientation) const
{
    // The assertion's text is what a failing build reports: kept as written.
    // clang-format off
    assert(mShape->isConvex ());
    // clang-format on
    const btConvexShape* convex = static_cast<const btConvexShape*>(mShape);
    const btTransform transform(toBullet(orientation), toBullet(position));

    for (const CageOrder& order : cageOrders) {
        for (int a = -1; a <= 1; ++a) {
            for (int b = -1; b <= 1; ++b) {
                bool firstPoint = true;
                Ogre::Vector3 previous = Ogre::Vector3::ZERO;
                for (int c = -1; c <= 1; ++c) {
                    btVector3 direction;
                    direction[order.outer] = btScalar(a);
                    direction[order.middle] = btScalar(b);
                    direction[order.inner] = btScalar(c);
                    direction *= btScalar(1.0);
                    const Ogre::Vector3 point = toOgre(transform(convex->localGetSupportingVertex(direction)));
                    if (firstPoint)
                        firstPoint = false;
                    else
                        lines->appendLine(previous, point);
                    previous = point;
                }
            }
        }
    }
    return true;
}

SphereCollisionShape::SphereCollisionShape(Ogre::Real radius)
{
    mShape = new btSphereShape(radius);
}

SphereCollisionShape::~SphereCollisionShape() = default;

BoxCollisionShape::BoxCollisionShape(const Ogre::Vector3& halfExtents)
{
    mShape = new btBoxShape(toBullet(halfExtents));
}

BoxCollisionShape::~BoxCollisionShape() = default;

CylinderCollisionShape::CylinderCollisionShape(const Ogre::Vector3& halfExtents, const Ogre::Vector3& axis)
{
    const btVector3 extents = toBullet(halfExtents);
    if (axis == Ogre::Vector3::UNIT_X)
        mShape = new btCylinderShapeX(extents);
    else if (axis == Ogre::Vector3::UNIT_Y)
        mShape = new btCylinderShape(extents);
    else if (axis == Ogre::Vector3::UNIT_Z)
        mShape = new btCylinderShapeZ(extents);
}

CylinderCollisionShape::~CylinderCollisionShape() = default;

StaticPlaneCollisionShape::StaticPlaneCollisionShape(Ogre::Vector3 normal, Ogre::Real constant)
{
    mShape = new btStaticPlaneShape(toBullet(normal), constant);
}

StaticPlaneCollisionShape::~StaticPlaneCollisionShape() = default;

bool StaticPlaneCollisionShape::drawWireFrame(DebugLines*, const Ogre::Vector3&, const Ogre::Quaternion&) const
{
    return false;
}

GImpactConcaveShape::GImpactConcaveShape(Ogre::Vector3* vertices, unsigned int vertexCount, unsigned int* indices,
                                         unsigned int indexCount)
    : mMesh(nullptr)
{
    mVertices.reserve(vertexCount * 3);
    for (unsigned int i = 0; i < vertexCount; ++i) {
        mVertices.push_back(vertices[i].x);
        mVertices.push_back(vertices[i].y);
        mVertices.push_back(vertices[i].z);
    }
    // Whole triangles only; a trailing partial one would read past the index list.
    mIndices.assign(indices, indices + (indexCount - indexCount % 3));
    if (mIndices.empty() || mVertices.empty())
        return;

    mMesh = new btTriangleIndexVertexArray(int(mIndices.size() / 3), mIndices.data(), 3 * int(sizeof(int)),
                                           int(vertexCount), mVertices.data(), 3 * int(sizeof(float)));
    btGImpactMeshShape* mesh = new btGImpactMeshShape(mMesh);
    mesh->updateBound();
    mShape = mesh;
}

GImpactConcaveShape::~GImpactConcaveShape()
{
    // The library shape refers to the vertex array, so it goes first.
    delete mShape;
    mShape = nullptr;
    delete mMesh;
}

bool GImpactConcaveShape::drawWireFrame(DebugLines* lines, const Ogre::Vector3& position,
                                        const Ogre::Quaternion& orientation) const
{
    if (!mShape)
        return false;
    for (std::size_t i = 0; i + 2 < mIndices.size(); i += 3) {
        Ogre::Vector3 corners[3];
        for (int k = 0; k < 3; ++k) {
            const float* v = &mVertices[std::size_t(mIndices[i + k]) * 3];
            corners[k] = position + orientation * Ogre::Vector3(v[0], v[1], v[2]);
        }
        lines->appendLine(corners[0], corners[1]);
        lines->appendLine(corners[1], corners[2]);
        lines->appendLine(corners[2], corners[0]);
    }
    return true;
}
}
