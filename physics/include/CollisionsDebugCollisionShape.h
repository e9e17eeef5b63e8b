// One shape's wireframe cage, drawn once at construction.
#pragma once

#include "CollisionsDebugLines.h"

namespace Collisions {
class CollisionShape;

class DebugCollisionShape : public DebugLines
{
public:
    // Material modes: 1 enabled (green), 2 disabled (red), 3 static (blue); others are only stored.
    DebugCollisionShape(CollisionShape* shape, int lineMaterialMode);
    ~DebugCollisionShape() override;

    void setLineMaterialMode(int mode);
    int lineMaterialMode() const { return mLineMaterialMode; }
    bool hasWireframe() const { return mHasWireframe; }

private:
    int mLineMaterialMode;
    bool mHasWireframe;
};

// A single segment, e.g. to show a ray.
class RayDebugShape : public DebugLines
{
public:
    RayDebugShape(const Ogre::Vector3& from, const Ogre::Vector3& to);
    ~RayDebugShape() override;
};
}
