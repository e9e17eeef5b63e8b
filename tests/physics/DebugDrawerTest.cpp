// Debug drawer: mode bits, line and box drawing, warnings into the engine log.
#include "CollisionsDebugDrawer.h"
#include "HeadlessScene.h"
#include "PhysicsTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <tuple>

using namespace Collisions;

namespace {
class DebugDrawerTest : public ::testing::Test
{
protected:
    HeadlessScene scene;
    DebugDrawer drawer;
};

const btVector3 white(1, 1, 1);
}

TEST_F(DebugDrawerTest, EachModeBitHasItsOwnSetterAndQuery)
{
    using Setter = void (DebugDrawer::*)(bool);
    using Query = bool (DebugDrawer::*)() const;
    const struct
    {
        int bit;
        Setter set;
        Query query;
    } bits[] = {
        {1, &DebugDrawer::enableWireframe, &DebugDrawer::isWireframeEnabled},
        {2, &DebugDrawer::enableAabb, &DebugDrawer::isAabbEnabled},
        {4, &DebugDrawer::enableFeaturesText, &DebugDrawer::isFeaturesTextEnabled},
        {8, &DebugDrawer::enableContactPoints, &DebugDrawer::isContactPointsEnabled},
        {16, &DebugDrawer::enableNoDeactivation, &DebugDrawer::isNoDeactivationEnabled},
        {32, &DebugDrawer::enableNoHelpText, &DebugDrawer::isNoHelpTextEnabled},
        {64, &DebugDrawer::enableText, &DebugDrawer::isTextEnabled},
        {128, &DebugDrawer::enableProfileTimings, &DebugDrawer::isProfileTimingsEnabled},
        {256, &DebugDrawer::enableSatComparison, &DebugDrawer::isSatComparisonEnabled},
        {512, &DebugDrawer::enableDisableLCP, &DebugDrawer::isDisableLCPEnabled},
        {1024, &DebugDrawer::enableCCD, &DebugDrawer::isCCDEnabled},
    };
    EXPECT_EQ(0, drawer.getDebugMode());
    for (const auto& b : bits) {
        SCOPED_TRACE(b.bit);
        drawer.setDebugMode(0x7ff);
        (drawer.*b.set)(false);
        EXPECT_EQ(0x7ff & ~b.bit, drawer.getDebugMode());
        EXPECT_FALSE((drawer.*b.query)());
        drawer.setDebugMode(0);
        (drawer.*b.set)(true);
        EXPECT_EQ(b.bit, drawer.getDebugMode());
        EXPECT_TRUE((drawer.*b.query)());
    }
}

TEST_F(DebugDrawerTest, LinesAreKeptOnlyWhileAModeIsSet)
{
    drawer.drawLine(btVector3(0, 0, 0), btVector3(1, 2, 3), white);
    EXPECT_TRUE(drawer.linePoints().empty());
    drawer.setDebugMode(-1); // a negative word counts as off as well
    drawer.drawLine(btVector3(0, 0, 0), btVector3(1, 2, 3), white);
    EXPECT_TRUE(drawer.linePoints().empty());

    drawer.setDebugMode(0);
    drawer.enableWireframe(true);
    drawer.drawLine(btVector3(0, 0, 0), btVector3(1, 2, 3), white);
    ASSERT_EQ(2u, drawer.linePoints().size());
    EXPECT_EQ(Ogre::Vector3(1, 2, 3), drawer.linePoints()[1]);
}

TEST_F(DebugDrawerTest, AabbDrawsTheTwelveBoxEdgesOnlyWithItsBit)
{
    const btVector3 from(-1, 0, 2), to(3, 4, 8);
    drawer.enableWireframe(true);
    drawer.drawAabb(from, to, white);
    EXPECT_TRUE(drawer.linePoints().empty());

    drawer.enableAabb(true);
    drawer.drawAabb(from, to, white);
    const std::vector<Ogre::Vector3>& p = drawer.linePoints();
    ASSERT_EQ(24u, p.size());

    std::set<std::tuple<float, float, float>> corners;
    std::set<std::pair<std::tuple<float, float, float>, std::tuple<float, float, float>>> edges;
    for (std::size_t i = 0; i < p.size(); i += 2) {
        for (const Ogre::Vector3& v : {p[i], p[i + 1]}) {
            EXPECT_TRUE(v.x == -1 || v.x == 3) << v;
            EXPECT_TRUE(v.y == 0 || v.y == 4) << v;
            EXPECT_TRUE(v.z == 2 || v.z == 8) << v;
            corners.insert({v.x, v.y, v.z});
        }
        // Every edge runs along exactly one axis.
        const Ogre::Vector3 d = p[i + 1] - p[i];
        EXPECT_EQ(1, (d.x != 0) + (d.y != 0) + (d.z != 0)) << d;
        const auto start = std::make_tuple(p[i].x, p[i].y, p[i].z);
        const auto end = std::make_tuple(p[i + 1].x, p[i + 1].y, p[i + 1].z);
        edges.insert({std::min(start, end), std::max(start, end)});
    }
    EXPECT_EQ(8u, corners.size());
    EXPECT_EQ(12u, edges.size());
    EXPECT_EQ(Ogre::Vector3(3, 4, 8), p[0]); // the walk starts at the all-positive corner
}

TEST_F(DebugDrawerTest, WarningsGoToTheEngineLogAndTheRestDrawsNothing)
{
    LogRecorder log;
    drawer.setDebugMode(0x7ff);
    drawer.reportErrorWarning("something is off");
    drawer.drawContactPoint(btVector3(0, 0, 0), btVector3(0, 1, 0), 0, 1, white);
    drawer.draw3dText(btVector3(0, 0, 0), "text");
    ASSERT_EQ(1u, log.lines.size());
    EXPECT_EQ("something is off", log.lines[0]);
    EXPECT_EQ(Ogre::LML_NORMAL, log.levels[0]);
    EXPECT_TRUE(drawer.linePoints().empty());
}
