// Line-list renderable and the debug-line materials it draws with.
#include "CollisionsDebugLines.h"

#include <OgreCamera.h>
#include <OgreHardwareBufferManager.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreResourceGroupManager.h>
#include <OgreTechnique.h>

#include <algorithm>

namespace Collisions {
namespace {
const char* const groupName = "Collisions";

Ogre::Pass* firstPass(const Ogre::MaterialPtr& material)
{
    Ogre::Technique* technique = material->getTechnique(0);
    technique->setLightingEnabled(true);
    material->setReceiveShadows(false);
    return technique->getPass(0);
}

void colourPass(Ogre::Pass* pass, const Ogre::ColourValue& colour)
{
    pass->setSelfIllumination(colour.r, colour.g, colour.b);
    pass->setDiffuse(colour.r, colour.g, colour.b, 1);
    pass->setAmbient(colour.r, colour.g, colour.b);
    pass->setShininess(110);
}

void applyLineSettings(const Ogre::MaterialPtr& material, const Ogre::ColourValue& colour)
{
    Ogre::Pass* pass = firstPass(material);
    colourPass(pass, colour);
    pass->setDepthBias(1, 0);
}
}

DebugLines::DebugLines() : mGeometryBuilt(false)
{
    mRenderOp.vertexData = new Ogre::VertexData();
    mRenderOp.vertexData->vertexStart = 0;
    mRenderOp.vertexData->vertexCount = 0;
    mRenderOp.operationType = Ogre::RenderOperation::OT_LINE_LIST;
    mRenderOp.useIndexes = false;
    mRenderOp.indexData = nullptr;

    createMaterials();

    setCastShadows(false);
    setMaterial(Ogre::MaterialManager::getSingleton().getByName("CollisionsDebugLines/Enabled", groupName));
}

DebugLines::~DebugLines()
{
    resetLines();
    delete mRenderOp.vertexData;
    mRenderOp.vertexData = nullptr;
}

// Once per engine instance: a process-wide flag alone would leave a second Root
// (as in a test binary) without the materials, so their presence is the flag.
void DebugLines::createMaterials()
{
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    const Ogre::StringVector existing = groups.getResourceGroups();
    if (std::find(existing.begin(), existing.end(), groupName) == existing.end())
        groups.createResourceGroup(groupName, true);

    Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
    if (materials.resourceExists("CollisionsDebugLines/Enabled", groupName))
        return;

    const Ogre::MaterialPtr disabled = materials.create("CollisionsDebugLines/Disabled", groupName);
    const Ogre::MaterialPtr enabled = materials.create("CollisionsDebugLines/Enabled", groupName);
    const Ogre::MaterialPtr fixed = materials.create("CollisionsDebugLines/Static", groupName);
    const Ogre::MaterialPtr red = materials.create("CollisionsDebugLines/RED", groupName);

    applyLineSettings(disabled, Ogre::ColourValue::Red);

    Ogre::Pass* redPass = firstPass(red);
    colourPass(redPass, Ogre::ColourValue::Red);
    redPass->setDepthCheckEnabled(false);
    redPass->setDepthWriteEnabled(true);

    applyLineSettings(enabled, Ogre::ColourValue::Green);
    applyLineSettings(fixed, Ogre::ColourValue::Blue);
}

void DebugLines::appendLine(const Ogre::Vector3& from, const Ogre::Vector3& to)
{
    resetLines();
    mLinePoints.push_back(from);
    mLinePoints.push_back(to);
}

void DebugLines::appendLine(Ogre::Real x1, Ogre::Real y1, Ogre::Real z1, Ogre::Real x2, Ogre::Real y2, Ogre::Real z2)
{
    appendLine(Ogre::Vector3(x1, y1, z1), Ogre::Vector3(x2, y2, z2));
}

void DebugLines::resetLines()
{
    if (!mGeometryBuilt)
        return;
    mGeometryBuilt = false;
    mLinePoints.clear();
    mRenderOp.vertexData->vertexCount = 0;
}

void DebugLines::rebuildGeometry()
{
    if (mGeometryBuilt || mLinePoints.empty())
        return;
    mGeometryBuilt = true;
    mRenderOp.vertexData->vertexCount = mLinePoints.size();

    Ogre::VertexDeclaration* declaration = mRenderOp.vertexData->vertexDeclaration;
    Ogre::VertexBufferBinding* binding = mRenderOp.vertexData->vertexBufferBinding;
    if (declaration->getElementCount() == 0) {
        declaration->addElement(0, 0, Ogre::VET_FLOAT3, Ogre::VES_POSITION);
        declaration->addElement(0, 12, Ogre::VET_FLOAT1, Ogre::VES_TEXTURE_COORDINATES, 0);
    } else {
        binding->unsetAllBindings();
    }

    // A fresh buffer each time: the point count changes from one rebuild to the next.
    const Ogre::HardwareVertexBufferSharedPtr buffer = Ogre::HardwareBufferManager::getSingleton().createVertexBuffer(
        declaration->getVertexSize(0), mLinePoints.size(), Ogre::HardwareBuffer::HBU_DYNAMIC_WRITE_ONLY_DISCARDABLE,
        false);
    binding->setBinding(0, buffer);

    float* out = static_cast<float*>(buffer->lock(Ogre::HardwareBuffer::HBL_DISCARD));
    for (const Ogre::Vector3& point : mLinePoints) {
        *out++ = point.x;
        *out++ = point.y;
        *out++ = point.z;
        *out++ = 0.0f;
    }
    buffer->unlock();

    mBox.setInfinite();
}

Ogre::Real DebugLines::getBoundingRadius() const
{
    return Ogre::Math::Sqrt(std::max(mBox.getMinimum().squaredLength(), mBox.getMaximum().squaredLength()));
}

Ogre::Real DebugLines::getSquaredViewDepth(const Ogre::Camera* camera) const
{
    const Ogre::Vector3 centre = mBox.getMinimum() + (mBox.getMaximum() - mBox.getMinimum()) * 0.5f;
    return (camera->getDerivedPosition() - centre).squaredLength();
}
}
