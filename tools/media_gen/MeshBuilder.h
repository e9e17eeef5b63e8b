// Collects triangles of one mesh and writes them as an engine .mesh file.
#pragma once

#include <OgreString.h>
#include <OgreVector.h>

#include <cstdint>
#include <vector>

class MeshBuilder
{
public:
    /// Appends a vertex and returns its index.
    std::uint16_t addVertex(const Ogre::Vector3& position, const Ogre::Vector3& normal, const Ogre::Vector2& uv);
    /// Counter-clockwise seen from the front, as the engine culls.
    void addTriangle(std::uint16_t a, std::uint16_t b, std::uint16_t c);
    void addQuad(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d);

    /// Writes one submesh with position, normal and one 2D texture coordinate set;
    /// the bounds written are the exact extent of the vertices (no padding).
    void write(const Ogre::String& meshName, const Ogre::String& path) const;

private:
    struct Vertex
    {
        float position[3];
        float normal[3];
        float uv[2];
    };
    std::vector<Vertex> mVertices;
    std::vector<std::uint16_t> mIndices;
};
