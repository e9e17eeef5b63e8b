// A shape's wireframe cage and a single-segment ray, both drawn once.
#include "CollisionsDebugCollisionShape.h"

#include "CollisionsShape.h"

#include <OgreMaterialManager.h>

namespace Collisions {
DebugCollisionShape::DebugCollisionShape(CollisionShape* shape, int lineMaterialMode)
    : mLineMaterialMode(0), mHasWireframe(false)
{
    setLineMaterialMode(lineMaterialMode);
    mHasWireframe = shape->drawWireFrame(this, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    if (mHasWireframe)
        rebuildGeometry();
}

DebugCollisionShape::~DebugCollisionShape() = default;

void DebugCollisionShape::setLineMaterialMode(int mode)
{
    if (mode == mLineMaterialMode)
        return;
    mLineMaterialMode = mode;

    const char* material = nullptr;
    switch (mode) {
    case 1:
        material = "CollisionsDebugLines/Enabled";
        break;
    case 2:
        material = "CollisionsDebugLines/Disabled";
        break;
    case 3:
        material = "CollisionsDebugLines/Static";
        break;
    default:
        return;
    }
    setMaterial(Ogre::MaterialManager::getSingleton().getByName(material, "Collisions"));
}

RayDebugShape::RayDebugShape(const Ogre::Vector3& from, const Ogre::Vector3& to)
{
    appendLine(from, to);
    rebuildGeometry();
}

RayDebugShape::~RayDebugShape() = default;
}
