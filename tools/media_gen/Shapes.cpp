#include "Shapes.h"

#include "MeshBuilder.h"

#include <OgreMath.h>

using Ogre::Vector2;
using Ogre::Vector3;

namespace {
// Point on the unit circle; z is negated so that u grows to the right seen from outside.
Vector3 around(float angle)
{
    return Vector3(std::cos(angle), 0, -std::sin(angle));
}
}

void buildSphere(MeshBuilder& mesh, float radius, int segments, int rings)
{
    const int columns = segments + 1; // the seam column is doubled for the texture
    for (int r = 0; r <= rings; ++r) {
        const float theta = Ogre::Math::PI * r / rings;
        for (int s = 0; s <= segments; ++s) {
            const float phi = Ogre::Math::TWO_PI * (s % segments) / segments;
            Vector3 normal = around(phi) * std::sin(theta);
            normal.y = std::cos(theta);
            // The poles and the quarter points sit exactly on the radius: exact bounds.
            if (r == 0 || r == rings)
                normal = Vector3(0, r == 0 ? 1.f : -1.f, 0);
            mesh.addVertex(normal * radius, normal, Vector2(float(s) / segments, float(r) / rings));
        }
    }
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < segments; ++s) {
            const auto a = static_cast<std::uint16_t>(r * columns + s);
            const auto b = static_cast<std::uint16_t>(a + columns);
            if (r == 0)
                mesh.addTriangle(a, b, static_cast<std::uint16_t>(b + 1));
            else if (r == rings - 1)
                mesh.addTriangle(a, b, static_cast<std::uint16_t>(a + 1));
            else
                mesh.addQuad(a, b, static_cast<std::uint16_t>(b + 1), static_cast<std::uint16_t>(a + 1));
        }
}

void buildBarrel(MeshBuilder& mesh, float radius, float height, int segments)
{
    const float top = height / 2;
    for (int s = 0; s < segments; ++s) {
        const float u0 = float(s) / segments, u1 = float(s + 1) / segments;
        const Vector3 n0 = around(Ogre::Math::TWO_PI * u0);
        const Vector3 n1 = around(Ogre::Math::TWO_PI * ((s + 1) % segments) / segments);
        const Vector3 up(0, top, 0);
        mesh.addQuad(
            mesh.addVertex(n0 * radius + up, n0, Vector2(u0, 0)), mesh.addVertex(n0 * radius - up, n0, Vector2(u0, 1)),
            mesh.addVertex(n1 * radius - up, n1, Vector2(u1, 1)), mesh.addVertex(n1 * radius + up, n1, Vector2(u1, 0)));
    }
    for (const float side : {1.f, -1.f}) {
        const Vector3 normal(0, side, 0);
        const auto centre = mesh.addVertex(normal * top, normal, Vector2(0.5f, 0.5f));
        std::uint16_t first = 0, previous = 0;
        for (int s = 0; s <= segments; ++s) {
            const Vector3 dir = around(Ogre::Math::TWO_PI * (s % segments) / segments);
            const auto current = s == segments ? first
                                               : mesh.addVertex(dir * radius + normal * top, normal,
                                                                Vector2(0.5f + 0.5f * dir.x, 0.5f + 0.5f * dir.z));
            if (s == 0)
                first = current;
            else if (side > 0)
                mesh.addTriangle(centre, previous, current);
            else
                mesh.addTriangle(centre, current, previous);
            previous = current;
        }
    }
}

void buildCube(MeshBuilder& mesh, float side)
{
    struct Face
    {
        Vector3 normal, right, up; // right × up = normal: counter-clockwise from outside
    };
    const Face faces[] = {
        {Vector3::UNIT_X, Vector3::NEGATIVE_UNIT_Z, Vector3::UNIT_Y},
        {Vector3::NEGATIVE_UNIT_X, Vector3::UNIT_Z, Vector3::UNIT_Y},
        {Vector3::UNIT_Y, Vector3::UNIT_X, Vector3::NEGATIVE_UNIT_Z},
        {Vector3::NEGATIVE_UNIT_Y, Vector3::UNIT_X, Vector3::UNIT_Z},
        {Vector3::UNIT_Z, Vector3::UNIT_X, Vector3::UNIT_Y},
        {Vector3::NEGATIVE_UNIT_Z, Vector3::NEGATIVE_UNIT_X, Vector3::UNIT_Y},
    };
    const float h = side / 2;
    for (const Face& f : faces) {
        const Vector3 c = f.normal * h, r = f.right * h, u = f.up * h;
        mesh.addQuad(
            mesh.addVertex(c - r - u, f.normal, Vector2(0, 1)), mesh.addVertex(c + r - u, f.normal, Vector2(1, 1)),
            mesh.addVertex(c + r + u, f.normal, Vector2(1, 0)), mesh.addVertex(c - r + u, f.normal, Vector2(0, 0)));
    }
}
