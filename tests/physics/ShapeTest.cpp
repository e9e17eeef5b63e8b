// Collision shapes: the support-point cage, the exact cylinder axis test and the plane.
#include "CollisionsDebugLines.h"
#include "CollisionsShape.h"
#include "HeadlessScene.h"

#include <OgreStringConverter.h>

#include <BulletCollision/CollisionShapes/btConvexShape.h>
#include <BulletCollision/CollisionShapes/btCylinderShape.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace Collisions;

namespace {
class ShapeTest : public ::testing::Test
{
protected:
    HeadlessScene scene;
};

Ogre::Vector3 support(const CollisionShape& shape, int x, int y, int z)
{
    const btVector3 v =
        static_cast<const btConvexShape*>(shape.getBulletShape())->localGetSupportingVertex(btVector3(x, y, z));
    return Ogre::Vector3(v.x(), v.y(), v.z());
}

// The cage as polylines of three support points: outer, middle, inner component per pass.
std::vector<Ogre::Vector3> expectedCage(const CollisionShape& shape)
{
    const int orders[3][3] = {{0, 1, 2}, {0, 2, 1}, {2, 1, 0}};
    std::vector<Ogre::Vector3> points;
    for (const auto& order : orders)
        for (int a = -1; a <= 1; ++a)
            for (int b = -1; b <= 1; ++b) {
                Ogre::Vector3 polyline[3];
                for (int c = -1; c <= 1; ++c) {
                    int d[3];
                    d[order[0]] = a;
                    d[order[1]] = b;
                    d[order[2]] = c;
                    polyline[c + 1] = support(shape, d[0], d[1], d[2]);
                }
                points.insert(points.end(), {polyline[0], polyline[1], polyline[1], polyline[2]});
            }
    return points;
}

struct ShapeCase
{
    const char* name;
    std::function<CollisionShape*()> make;
};

const ShapeCase convexShapes[] = {
    {"sphere", [] { return new SphereCollisionShape(2); }},
    {"box", [] { return new BoxCollisionShape(Ogre::Vector3(1, 2, 3)); }},
    {"cylinderX", [] { return new CylinderCollisionShape(Ogre::Vector3(1, 2, 3), Ogre::Vector3::UNIT_X); }},
    {"cylinderY", [] { return new CylinderCollisionShape(Ogre::Vector3(1, 2, 3), Ogre::Vector3::UNIT_Y); }},
    {"cylinderZ", [] { return new CylinderCollisionShape(Ogre::Vector3(1, 2, 3), Ogre::Vector3::UNIT_Z); }},
};
}

TEST_F(ShapeTest, ConvexShapesDrawTheFiftyFourSegmentCageOfSupportPoints)
{
    for (const ShapeCase& c : convexShapes) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<CollisionShape> shape(c.make());
        DebugLines lines;
        EXPECT_TRUE(shape->drawWireFrame(&lines, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY));
        ASSERT_EQ(108u, lines.linePoints().size());
        const std::vector<Ogre::Vector3> expected = expectedCage(*shape);
        ASSERT_EQ(expected.size(), lines.linePoints().size());
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_TRUE(expected[i].positionEquals(lines.linePoints()[i], 1e-5f)) << "point " << i;
    }
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
    EXPECT_DEATH(plane.drawConvexWireFrame(&lines, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY),
                 "mShape->isConvex \\(\\)");
}
#endif
