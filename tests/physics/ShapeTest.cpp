// Collision shapes: the support-point cage, the exact cylinder axis test and the plane.
#include "CollisionsDebugLines.h"
#include "CollisionsShape.h"
#include "HeadlessScene.h"

#include <OgreStringConverter.h>

#include <BulletCollision/CollisionShapes/btCollisionMargin.h>
#include <BulletCollision/CollisionShapes/btCylinderShape.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <set>
#include <tuple>
#include <utility>

using namespace Collisions;

namespace {
class ShapeTest : public ::testing::Test
{
protected:
    HeadlessScene scene;
};

// How far a point lies outside a shape's sharp outline: 0 on it, negative inside.
using Outline = std::function<float(const Ogre::Vector3&)>;

Outline cylinderOutline(int axis, float radius, float halfLength)
{
    return [=](const Ogre::Vector3& p) {
        Ogre::Vector3 across = p;
        across[axis] = 0;
        return std::max(across.length() - radius, std::abs(p[axis]) - halfLength);
    };
}

struct ConvexCase
{
    const char* name;
    std::function<CollisionShape*()> make;
    Outline outline;
    Ogre::Vector3 reach; // how far the shape extends from its centre along each axis
    float rounding;      // how far inside the outline the collision margin lets a support point sit
};

// The collision margin rounds a cylinder's rims. The all-zero direction takes the rim point of the
// margin-shrunk cylinder and moves it by the margin along (-1, -1, -1): up to another margin further in.
const float cylinderRounding = 2 * CONVEX_DISTANCE_MARGIN;

// The library's cylinders take their radius from the first half extent across the axis.
const ConvexCase convexShapes[] = {
    {"sphere", [] { return new SphereCollisionShape(2); }, [](const Ogre::Vector3& p) { return p.length() - 2; },
     Ogre::Vector3(2, 2, 2), 0},
    {"box", [] { return new BoxCollisionShape(Ogre::Vector3(1, 2, 3)); },
     [](const Ogre::Vector3& p) {
         return std::max({std::abs(p.x) - 1, std::abs(p.y) - 2, std::abs(p.z) - 3});
     },
     Ogre::Vector3(1, 2, 3), 0},
    {"cylinderX", [] { return new CylinderCollisionShape(Ogre::Vector3(1, 2, 3), Ogre::Vector3::UNIT_X); },
     cylinderOutline(0, 2, 1), Ogre::Vector3(1, 2, 2), cylinderRounding},
    {"cylinderY", [] { return new CylinderCollisionShape(Ogre::Vector3(1, 2, 3), Ogre::Vector3::UNIT_Y); },
     cylinderOutline(1, 1, 2), Ogre::Vector3(1, 2, 1), cylinderRounding},
    {"cylinderZ", [] { return new CylinderCollisionShape(Ogre::Vector3(1, 2, 3), Ogre::Vector3::UNIT_Z); },
     cylinderOutline(2, 1, 3), Ogre::Vector3(1, 1, 3), cylinderRounding},
};
}

TEST_F(ShapeTest, ConvexCagesAreFiftyFourSegmentsOnTheSurfaceSpanningTheShape)
{
    for (const ConvexCase& c : convexShapes) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<CollisionShape> shape(c.make());
        DebugLines lines;
        EXPECT_TRUE(shape->drawWireFrame(&lines, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY));
        const std::vector<Ogre::Vector3>& p = lines.linePoints();
        ASSERT_EQ(108u, p.size());

        // Each pair of segments is one polyline through three support points.
        for (std::size_t i = 0; i < p.size(); i += 4)
            EXPECT_EQ(p[i + 1], p[i + 2]) << "segment pair " << i / 4;

        Ogre::AxisAlignedBox spanned;
        for (std::size_t i = 0; i < p.size(); ++i) {
            const float outside = c.outline(p[i]);
            EXPECT_LE(outside, 1e-5f) << "point " << i << " " << p[i];
            EXPECT_GE(outside, -c.rounding - 1e-5f) << "point " << i << " " << p[i];
            spanned.merge(p[i]);
        }
        EXPECT_TRUE(spanned.getMaximum().positionEquals(c.reach, 1e-5f)) << spanned.getMaximum();
        EXPECT_TRUE(spanned.getMinimum().positionEquals(-c.reach, 1e-5f)) << spanned.getMinimum();
    }
}

TEST_F(ShapeTest, BoxCageTracesEveryEdgeOfTheBox)
{
    BoxCollisionShape box(Ogre::Vector3(1, 2, 3));
    DebugLines lines;
    box.drawWireFrame(&lines, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    const std::vector<Ogre::Vector3>& p = lines.linePoints();
    const Ogre::Vector3 halfExtents(1, 2, 3);

    // A segment whose directions pick the same corner collapses; any other runs along one whole edge.
    using Corner = std::tuple<float, float, float>;
    std::set<std::pair<Corner, Corner>> edges;
    for (std::size_t i = 0; i < p.size(); i += 2) {
        SCOPED_TRACE(testing::Message() << "segment " << i / 2 << " " << p[i] << " " << p[i + 1]);
        int differing = 0;
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_FLOAT_EQ(halfExtents[axis], std::abs(p[i][axis]));
            EXPECT_FLOAT_EQ(halfExtents[axis], std::abs(p[i + 1][axis]));
            differing += p[i][axis] != p[i + 1][axis];
        }
        EXPECT_LE(differing, 1);
        const Corner from(p[i].x, p[i].y, p[i].z), to(p[i + 1].x, p[i + 1].y, p[i + 1].z);
        if (differing == 1)
            edges.insert(std::minmax(from, to));
    }
    EXPECT_EQ(12u, edges.size());
}

TEST_F(ShapeTest, CagePassesVaryZThenYThenX)
{
    // Box corners are exactly the half extents; a zero component picks the positive side.
    BoxCollisionShape box(Ogre::Vector3(1, 2, 3));
    DebugLines lines;
    box.drawWireFrame(&lines, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    const std::vector<Ogre::Vector3>& p = lines.linePoints();
    const Ogre::Vector3 start(-1, -2, -3);
    EXPECT_TRUE(p[0].positionEquals(start, 1e-5f));
    EXPECT_TRUE(p[1].positionEquals(Ogre::Vector3(-1, -2, 3), 1e-5f)); // pass 1 moves z
    EXPECT_TRUE(p[36].positionEquals(start, 1e-5f));
    EXPECT_TRUE(p[37].positionEquals(Ogre::Vector3(-1, 2, -3), 1e-5f)); // pass 2 moves y
    EXPECT_TRUE(p[72].positionEquals(start, 1e-5f));
    EXPECT_TRUE(p[73].positionEquals(Ogre::Vector3(1, -2, -3), 1e-5f)); // pass 3 moves x
}

TEST_F(ShapeTest, CageFollowsPositionAndOrientation)
{
    BoxCollisionShape box(Ogre::Vector3(1, 2, 3));
    DebugLines atOrigin, moved, turned;
    box.drawWireFrame(&atOrigin, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    box.drawWireFrame(&moved, Ogre::Vector3(10, 0, 0), Ogre::Quaternion::IDENTITY);
    const Ogre::Quaternion quarterTurn(Ogre::Degree(90), Ogre::Vector3::UNIT_Y);
    box.drawWireFrame(&turned, Ogre::Vector3(0, 5, 0), quarterTurn);

    for (std::size_t i = 0; i < atOrigin.linePoints().size(); ++i) {
        const Ogre::Vector3& p = atOrigin.linePoints()[i];
        EXPECT_EQ(p + Ogre::Vector3(10, 0, 0), moved.linePoints()[i]) << "point " << i;
        EXPECT_TRUE((quarterTurn * p + Ogre::Vector3(0, 5, 0)).positionEquals(turned.linePoints()[i], 1e-4f))
            << "point " << i;
    }
}

TEST_F(ShapeTest, PlaneAndShapelessWrappersDrawNothing)
{
    StaticPlaneCollisionShape plane(Ogre::Vector3(0, 1, 0), 0);
    CylinderCollisionShape noShape(Ogre::Vector3(1, 1, 1), Ogre::Vector3(0, 0.999f, 0));
    DebugLines lines;
    EXPECT_NE(nullptr, plane.getBulletShape());
    EXPECT_FALSE(plane.drawWireFrame(&lines, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY));
    EXPECT_FALSE(noShape.drawWireFrame(&lines, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY));
    EXPECT_TRUE(lines.linePoints().empty());
}

TEST(CylinderAxis, OnlyTheExactUnitAxesMakeAShape)
{
    const struct
    {
        Ogre::Vector3 axis;
        int upAxis; // -1: no shape
    } cases[] = {
        {Ogre::Vector3::UNIT_X, 0},        {Ogre::Vector3::UNIT_Y, 1},           {Ogre::Vector3::UNIT_Z, 2},
        {Ogre::Vector3(0, 0.999f, 0), -1}, {Ogre::Vector3::NEGATIVE_UNIT_Y, -1}, {Ogre::Vector3(0, 1, 1e-6f), -1},
        {Ogre::Vector3::ZERO, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Ogre::StringConverter::toString(c.axis));
        CylinderCollisionShape cylinder(Ogre::Vector3(1, 2, 3), c.axis);
        const btCylinderShape* shape = static_cast<const btCylinderShape*>(cylinder.getBulletShape());
        if (c.upAxis < 0) {
            EXPECT_EQ(nullptr, shape);
            continue;
        }
        ASSERT_NE(nullptr, shape);
        EXPECT_EQ(CYLINDER_SHAPE_PROXYTYPE, shape->getShapeType());
        EXPECT_EQ(c.upAxis, shape->getUpAxis());
        // The half extents reach the library unchanged, whatever the axis.
        const btVector3 extents = shape->getHalfExtentsWithMargin();
        EXPECT_FLOAT_EQ(1, extents.x());
        EXPECT_FLOAT_EQ(2, extents.y());
        EXPECT_FLOAT_EQ(3, extents.z());
    }
}

TEST_F(ShapeTest, TriangleMeshDrawsItsTriangleEdges)
{
    Ogre::Vector3 vertices[] = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {1, 0, 1}};
    unsigned int indices[] = {0, 1, 2, 1, 3, 2};
    GImpactConcaveShape mesh(vertices, 4, indices, 6);
    ASSERT_NE(nullptr, mesh.getBulletShape());
    EXPECT_FALSE(mesh.getBulletShape()->isConvex());

    DebugLines lines;
    EXPECT_TRUE(mesh.drawWireFrame(&lines, Ogre::Vector3(0, 2, 0), Ogre::Quaternion::IDENTITY));
    ASSERT_EQ(12u, lines.linePoints().size());
    EXPECT_EQ(Ogre::Vector3(0, 2, 0), lines.linePoints()[0]);
    EXPECT_EQ(Ogre::Vector3(1, 2, 0), lines.linePoints()[1]);
}

#ifndef NDEBUG
TEST_F(ShapeTest, ConvexCageOfANonConvexShapeIsAProgrammingError)
{
    StaticPlaneCollisionShape plane(Ogre::Vector3(0, 1, 0), 0);
    DebugLines lines;
    EXPECT_DEATH(plane.drawConvexWireFrame(&lines, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY), "isConvex");
}
#endif
