// The generated meshes: exact bounds, normals and texture coordinates, closed and outward-facing.
#include "RenderWindow.h"

#include <OgreHardwareBufferManager.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreSubMesh.h>

#include <gtest/gtest.h>

#include <map>
#include <tuple>
#include <vector>

namespace {
struct Vertex
{
    Ogre::Vector3 position, normal;
    Ogre::Vector2 uv;
};

struct ExpectedMesh
{
    const char* name;
    Ogre::Vector3 halfSize;
};

// Reads every vertex of one submesh through its shadow buffer.
std::vector<Vertex> readVertices(const Ogre::VertexData& data)
{
    using namespace Ogre;
    const VertexDeclaration* decl = data.vertexDeclaration;
    const VertexElement* pos = decl->findElementBySemantic(VES_POSITION);
    const VertexElement* normal = decl->findElementBySemantic(VES_NORMAL);
    const VertexElement* uv = decl->findElementBySemantic(VES_TEXTURE_COORDINATES, 0);
    if (!pos || !normal || !uv || normal->getType() != VET_FLOAT3 || uv->getType() != VET_FLOAT2)
        return {};
    std::vector<Vertex> vertices(data.vertexCount);
    auto read = [&](const VertexElement* element, float* out, int count) {
        HardwareVertexBufferSharedPtr buffer = data.vertexBufferBinding->getBuffer(element->getSource());
        HardwareBufferLockGuard lock(buffer, HardwareBuffer::HBL_READ_ONLY);
        const unsigned char* base = static_cast<const unsigned char*>(lock.pData);
        for (size_t i = 0; i < data.vertexCount; ++i) {
            float* p;
            element->baseVertexPointerToElement(
                const_cast<unsigned char*>(base + (data.vertexStart + i) * buffer->getVertexSize()), &p);
            std::copy(p, p + count, out + i * sizeof(Vertex) / sizeof(float));
        }
    };
    static_assert(sizeof(Vertex) == 8 * sizeof(float), "Vertex must be packed floats");
    read(pos, vertices[0].position.ptr(), 3);
    read(normal, vertices[0].normal.ptr(), 3);
    read(uv, vertices[0].uv.ptr(), 2);
    return vertices;
}

std::vector<unsigned> readIndices(const Ogre::IndexData& data)
{
    using namespace Ogre;
    std::vector<unsigned> indices;
    HardwareBufferLockGuard lock(data.indexBuffer, HardwareBuffer::HBL_READ_ONLY);
    const bool wide = data.indexBuffer->getType() == HardwareIndexBuffer::IT_32BIT;
    for (size_t i = data.indexStart; i < data.indexStart + data.indexCount; ++i)
        indices.push_back(wide ? static_cast<const uint32*>(lock.pData)[i] : static_cast<const uint16*>(lock.pData)[i]);
    return indices;
}

// Positions rounded to a grid, so that doubled seam vertices count as one point.
std::tuple<long, long, long> key(const Ogre::Vector3& p)
{
    return {std::lround(p.x * 1000), std::lround(p.y * 1000), std::lround(p.z * 1000)};
}

void PrintTo(const ExpectedMesh& mesh, std::ostream* out)
{
    *out << mesh.name;
}

class MeshTest : public testing::TestWithParam<ExpectedMesh>
{
};
}

TEST_P(MeshTest, ExactBoundsClosedSurfaceOutwardNormalsAndTextureCoordinates)
{
    const ExpectedMesh expected = GetParam();
    RenderWindow::instance();
    Ogre::MeshManager& meshes = Ogre::MeshManager::getSingleton();
    meshes.setBoundsPaddingFactor(0); // what the file holds, without the engine's padding
    // Shadow buffers so that the test can read the geometry back.
    Ogre::MeshPtr mesh = meshes.load(expected.name, Ogre::RGN_DEFAULT, Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY,
                                     Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, true, true);

    const Ogre::AxisAlignedBox& bounds = mesh->getBounds();
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_NEAR(bounds.getMinimum()[axis], -expected.halfSize[axis], 1e-3) << "axis " << axis;
        EXPECT_NEAR(bounds.getMaximum()[axis], expected.halfSize[axis], 1e-3) << "axis " << axis;
    }

    ASSERT_EQ(mesh->getNumSubMeshes(), 1u);
    const Ogre::SubMesh* sub = mesh->getSubMesh(0);
    const std::vector<Vertex> vertices =
        readVertices(sub->useSharedVertices ? *mesh->sharedVertexData : *sub->vertexData);
    ASSERT_FALSE(vertices.empty()) << "needs float normals and 2D texture coordinates";
    const std::vector<unsigned> indices = readIndices(*sub->indexData);
    ASSERT_EQ(indices.size() % 3, 0u);

    Ogre::AxisAlignedBox extent;
    for (const Vertex& v : vertices) {
        extent.merge(v.position);
        EXPECT_NEAR(v.normal.length(), 1, 1e-4);
        // All three shapes are convex and centred: normals point away from the centre.
        EXPECT_GT(v.normal.dotProduct(v.position), 0) << "at " << v.position;
        EXPECT_TRUE(v.uv.x >= 0 && v.uv.x <= 1 && v.uv.y >= 0 && v.uv.y <= 1) << v.uv;
    }
    EXPECT_TRUE(extent.getMinimum().positionEquals(bounds.getMinimum(), 1e-3));
    EXPECT_TRUE(extent.getMaximum().positionEquals(bounds.getMaximum(), 1e-3));

    // Closed: every directed edge has its reverse in a neighbouring triangle. Front faces are
    // counter-clockwise, so each face normal agrees with its vertex normals.
    std::map<std::pair<std::tuple<long, long, long>, std::tuple<long, long, long>>, int> edges;
    for (size_t t = 0; t < indices.size(); t += 3) {
        const Vertex& a = vertices[indices[t]];
        const Vertex& b = vertices[indices[t + 1]];
        const Vertex& c = vertices[indices[t + 2]];
        const Ogre::Vector3 face = (b.position - a.position).crossProduct(c.position - a.position);
        EXPECT_GT(face.dotProduct(a.normal + b.normal + c.normal), 0) << "triangle " << t / 3;
        ++edges[{key(a.position), key(b.position)}];
        ++edges[{key(b.position), key(c.position)}];
        ++edges[{key(c.position), key(a.position)}];
    }
    int open = 0;
    for (const auto& edge : edges)
        if (edges.count({edge.first.second, edge.first.first}) == 0 || edge.second != 1)
            ++open;
    EXPECT_EQ(open, 0);

    meshes.remove(mesh);
}

INSTANTIATE_TEST_SUITE_P(GameMeshes, MeshTest,
                         testing::Values(ExpectedMesh{"sphere.mesh", {100, 100, 100}},
                                         ExpectedMesh{"Barrel.mesh", {2.5f, 4, 2.5f}},
                                         ExpectedMesh{"cube.mesh", {50, 50, 50}}),
                         [](const testing::TestParamInfo<ExpectedMesh>& info) {
                             std::string name = info.param.name;
                             return name.substr(0, name.find('.'));
                         });
