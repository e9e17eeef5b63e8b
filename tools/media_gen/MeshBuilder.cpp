#include "MeshBuilder.h"

#include <OgreHardwareBufferManager.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgreMeshSerializer.h>
#include <OgreResourceGroupManager.h>
#include <OgreSubMesh.h>

#include <limits>
#include <stdexcept>

std::uint16_t MeshBuilder::addVertex(const Ogre::Vector3& position, const Ogre::Vector3& normal,
                                     const Ogre::Vector2& uv)
{
    if (mVertices.size() >= std::numeric_limits<std::uint16_t>::max())
        throw std::runtime_error("mesh too large for 16-bit indices");
    const Ogre::Vector3 n = normal.normalisedCopy();
    mVertices.push_back({{position.x, position.y, position.z}, {n.x, n.y, n.z}, {uv.x, uv.y}});
    return static_cast<std::uint16_t>(mVertices.size() - 1);
}

void MeshBuilder::addTriangle(std::uint16_t a, std::uint16_t b, std::uint16_t c)
{
    mIndices.insert(mIndices.end(), {a, b, c});
}

void MeshBuilder::addQuad(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d)
{
    addTriangle(a, b, c);
    addTriangle(a, c, d);
}

void MeshBuilder::write(const Ogre::String& meshName, const Ogre::String& path) const
{
    using namespace Ogre;
    MeshPtr mesh =
        MeshManager::getSingleton().createManual(meshName, ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
    SubMesh* sub = mesh->createSubMesh();
    // The game sets its own material; the engine's default keeps the loader quiet.
    sub->setMaterialName("BaseWhite");
    sub->useSharedVertices = false;
    sub->vertexData = new VertexData();
    sub->vertexData->vertexCount = mVertices.size();

    VertexDeclaration* decl = sub->vertexData->vertexDeclaration;
    size_t offset = 0;
    offset += decl->addElement(0, offset, VET_FLOAT3, VES_POSITION).getSize();
    offset += decl->addElement(0, offset, VET_FLOAT3, VES_NORMAL).getSize();
    offset += decl->addElement(0, offset, VET_FLOAT2, VES_TEXTURE_COORDINATES, 0).getSize();
    static_assert(sizeof(Vertex) == 8 * sizeof(float), "vertex layout must be packed");

    HardwareBufferManager& buffers = HardwareBufferManager::getSingleton();
    HardwareVertexBufferSharedPtr vbuf =
        buffers.createVertexBuffer(offset, mVertices.size(), HardwareBuffer::HBU_STATIC_WRITE_ONLY);
    vbuf->writeData(0, vbuf->getSizeInBytes(), mVertices.data(), true);
    sub->vertexData->vertexBufferBinding->setBinding(0, vbuf);

    HardwareIndexBufferSharedPtr ibuf = buffers.createIndexBuffer(HardwareIndexBuffer::IT_16BIT, mIndices.size(),
                                                                  HardwareBuffer::HBU_STATIC_WRITE_ONLY);
    ibuf->writeData(0, ibuf->getSizeInBytes(), mIndices.data(), true);
    sub->indexData->indexBuffer = ibuf;
    sub->indexData->indexCount = mIndices.size();
    sub->indexData->indexStart = 0;

    AxisAlignedBox box;
    Real radius = 0;
    for (const Vertex& v : mVertices) {
        const Vector3 p(v.position[0], v.position[1], v.position[2]);
        box.merge(p);
        radius = std::max(radius, p.length());
    }
    // The game sizes collision shapes from these bounds, so they stay exact.
    mesh->_setBounds(box, false);
    mesh->_setBoundingSphereRadius(radius);
    mesh->load();

    MeshSerializer().exportMesh(mesh.get(), path);
    MeshManager::getSingleton().remove(mesh);
}
