// Line sets: the collect/built cycle, the vertex layout and buffer, and the four materials.
#include "CollisionsDebugCollisionShape.h"
#include "CollisionsDebugLines.h"
#include "CollisionsShape.h"
#include "HeadlessScene.h"
#include "PhysicsTestSupport.h"

#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreResourceGroupManager.h>
#include <OgreTechnique.h>
#include <gtest/gtest.h>

#include <algorithm>

using namespace Collisions;

namespace {
class DebugLinesTest : public ::testing::Test
{
protected:
    HeadlessScene scene;
    DebugLines lines;
};

const Ogre::Vector3 a1(1, 2, 3), a2(4, 5, 6), b1(-1, -2, -3), b2(7, 8, 9);
}

TEST_F(DebugLinesTest, RebuildWithNothingPendingChangesNothing)
{
    lines.rebuildGeometry();
    EXPECT_FALSE(lines.geometryBuilt());
    EXPECT_TRUE(boundBuffer(lines).get() == nullptr);
    EXPECT_EQ(0u, renderOperationOf(lines).vertexData->vertexCount);
    EXPECT_TRUE(lines.getBoundingBox().isNull());
}

TEST_F(DebugLinesTest, RebuildWritesPointsInTheSixteenByteLayout)
{
    lines.appendLine(a1, a2);
    lines.appendLine(b1.x, b1.y, b1.z, b2.x, b2.y, b2.z);
    lines.rebuildGeometry();

    const Ogre::RenderOperation op = renderOperationOf(lines);
    EXPECT_EQ(Ogre::RenderOperation::OT_LINE_LIST, op.operationType);
    EXPECT_FALSE(op.useIndexes);
    EXPECT_EQ(0u, op.vertexData->vertexStart);
    EXPECT_EQ(4u, op.vertexData->vertexCount);

    const Ogre::VertexDeclaration* decl = op.vertexData->vertexDeclaration;
    ASSERT_EQ(2u, decl->getElementCount());
    EXPECT_EQ(16u, decl->getVertexSize(0));
    const Ogre::VertexElement* position = decl->getElement(0);
    EXPECT_EQ(0u, position->getOffset());
    EXPECT_EQ(Ogre::VET_FLOAT3, position->getType());
    EXPECT_EQ(Ogre::VES_POSITION, position->getSemantic());
    const Ogre::VertexElement* texture = decl->getElement(1);
    EXPECT_EQ(12u, texture->getOffset());
    EXPECT_EQ(Ogre::VET_FLOAT1, texture->getType());
    EXPECT_EQ(Ogre::VES_TEXTURE_COORDINATES, texture->getSemantic());
    EXPECT_EQ(0, texture->getIndex());

    const Ogre::HardwareVertexBufferSharedPtr buffer = boundBuffer(lines);
    EXPECT_EQ(Ogre::HardwareBuffer::HBU_DYNAMIC_WRITE_ONLY_DISCARDABLE, buffer->getUsage());
    EXPECT_FALSE(buffer->hasShadowBuffer());
    const std::vector<float> expected = {1, 2, 3, 0, 4, 5, 6, 0, -1, -2, -3, 0, 7, 8, 9, 0};
    EXPECT_EQ(expected, bufferContents(lines));
    EXPECT_TRUE(lines.getBoundingBox().isInfinite());
}

TEST_F(DebugLinesTest, AppendAfterRebuildStartsANewBatchInAFreshBuffer)
{
    lines.appendLine(a1, a2);
    lines.rebuildGeometry();
    const Ogre::HardwareVertexBufferSharedPtr first = boundBuffer(lines);
    lines.rebuildGeometry(); // already built: the same buffer stays
    EXPECT_EQ(first, boundBuffer(lines));

    lines.appendLine(b1, b2);
    EXPECT_EQ(0u, renderOperationOf(lines).vertexData->vertexCount); // nothing drawn until rebuilt
    lines.rebuildGeometry();
    EXPECT_NE(first, boundBuffer(lines));
    EXPECT_EQ(2u, renderOperationOf(lines).vertexData->vertexCount);
    const std::vector<float> expected = {-1, -2, -3, 0, 7, 8, 9, 0};
    EXPECT_EQ(expected, bufferContents(lines));
}

TEST_F(DebugLinesTest, ResetKeepsPendingPointsAndClearsBuiltOnes)
{
    lines.appendLine(a1, a2);
    lines.resetLines();
    EXPECT_EQ(2u, lines.linePoints().size());

    lines.rebuildGeometry();
    lines.resetLines();
    EXPECT_TRUE(lines.linePoints().empty());
    EXPECT_FALSE(lines.geometryBuilt());
    EXPECT_EQ(0u, renderOperationOf(lines).vertexData->vertexCount);
}

TEST_F(DebugLinesTest, FourMaterialsWithTheirPassSettingsInTheirOwnGroup)
{
    const Ogre::StringVector groups = Ogre::ResourceGroupManager::getSingleton().getResourceGroups();
    EXPECT_NE(groups.end(), std::find(groups.begin(), groups.end(), "Collisions"));
    EXPECT_EQ("CollisionsDebugLines/Enabled", lines.getMaterial()->getName());
    EXPECT_FALSE(lines.getCastShadows());

    const struct
    {
        const char* name;
        Ogre::ColourValue colour;
        bool depthBias;
    } cases[] = {
        {"CollisionsDebugLines/Disabled", Ogre::ColourValue::Red, true},
        {"CollisionsDebugLines/Enabled", Ogre::ColourValue::Green, true},
        {"CollisionsDebugLines/Static", Ogre::ColourValue::Blue, true},
        {"CollisionsDebugLines/RED", Ogre::ColourValue::Red, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().getByName(c.name, "Collisions");
        ASSERT_TRUE(material);
        EXPECT_FALSE(material->getReceiveShadows());
        EXPECT_TRUE(material->getTechnique(0)->getPass(0)->getLightingEnabled());
        const Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
        EXPECT_EQ(c.colour, pass->getSelfIllumination());
        EXPECT_EQ(c.colour, pass->getDiffuse());
        EXPECT_EQ(c.colour, pass->getAmbient());
        EXPECT_EQ(110, pass->getShininess());
        if (c.depthBias) {
            EXPECT_EQ(1, pass->getDepthBiasConstant());
            EXPECT_EQ(0, pass->getDepthBiasSlopeScale());
            EXPECT_TRUE(pass->getDepthCheckEnabled());
        } else {
            EXPECT_EQ(0, pass->getDepthBiasConstant());
            EXPECT_FALSE(pass->getDepthCheckEnabled());
            EXPECT_TRUE(pass->getDepthWriteEnabled());
        }
    }
}

TEST_F(DebugLinesTest, ASecondLineSetReusesTheMaterials)
{
    const Ogre::MaterialPtr enabled = lines.getMaterial();
    enabled->getTechnique(0)->getPass(0)->setShininess(7); // marks this instance
    DebugLines second;
    EXPECT_EQ(enabled, second.getMaterial());
    EXPECT_EQ(7, second.getMaterial()->getTechnique(0)->getPass(0)->getShininess());
}

TEST_F(DebugLinesTest, CollisionShapeWireframes)
{
    SphereCollisionShape sphere(1);
    DebugCollisionShape sphereLines(&sphere, 1);
    EXPECT_TRUE(sphereLines.hasWireframe());
    EXPECT_TRUE(sphereLines.geometryBuilt());
    EXPECT_EQ(108u, renderOperationOf(sphereLines).vertexData->vertexCount);

    StaticPlaneCollisionShape plane(Ogre::Vector3::UNIT_Y, 0);
    DebugCollisionShape planeLines(&plane, 1);
    EXPECT_FALSE(planeLines.hasWireframe());
    EXPECT_TRUE(planeLines.linePoints().empty());
    EXPECT_TRUE(boundBuffer(planeLines).get() == nullptr);
}

TEST_F(DebugLinesTest, LineMaterialModesPickTheirMaterials)
{
    SphereCollisionShape sphere(1);
    const struct
    {
        int mode;
        const char* material;
    } cases[] = {
        {1, "CollisionsDebugLines/Enabled"}, {2, "CollisionsDebugLines/Disabled"},
        {3, "CollisionsDebugLines/Static"},  {0, "CollisionsDebugLines/Enabled"}, // only stored
        {9, "CollisionsDebugLines/Enabled"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        DebugCollisionShape wire(&sphere, c.mode);
        EXPECT_EQ(c.mode, wire.lineMaterialMode());
        EXPECT_EQ(c.material, wire.getMaterial()->getName());
    }

    DebugCollisionShape wire(&sphere, 3);
    wire.setLineMaterialMode(7);
    EXPECT_EQ(7, wire.lineMaterialMode());
    EXPECT_EQ("CollisionsDebugLines/Static", wire.getMaterial()->getName());
}
