// Line-list renderable: segments are collected as point pairs and written to a fresh buffer on rebuild.
#pragma once

#include <OgreSimpleRenderable.h>
#include <OgreVector.h>

#include <vector>

namespace Collisions {
class DebugLines : public Ogre::SimpleRenderable
{
public:
    DebugLines();
    ~DebugLines() override;

    void appendLine(const Ogre::Vector3& from, const Ogre::Vector3& to);
    void appendLine(Ogre::Real x1, Ogre::Real y1, Ogre::Real z1, Ogre::Real x2, Ogre::Real y2, Ogre::Real z2);
    void resetLines();
    void rebuildGeometry();

    Ogre::Real getBoundingRadius() const override;
    Ogre::Real getSquaredViewDepth(const Ogre::Camera* camera) const override;

    const std::vector<Ogre::Vector3>& linePoints() const { return mLinePoints; }
    bool geometryBuilt() const { return mGeometryBuilt; }

private:
    static void createMaterials();

    std::vector<Ogre::Vector3> mLinePoints;
    bool mGeometryBuilt;
};
}
