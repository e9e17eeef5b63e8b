// The referee: bodies placed against the floor plane or each other, then one rules call at a time.
#include "GameplayFixture.h"

#include "BodyPlacement.h"
#include "DynamicsRigidBody.h"
#include "LevelBuilder.h"

#include <OgreEntity.h>
#include <OgreSceneManager.h>

#include <BulletCollision/CollisionShapes/btCollisionShape.h>
#include <BulletCollision/NarrowPhaseCollision/btManifoldPoint.h>
#include <BulletDynamics/Dynamics/btRigidBody.h>

#include <CEGUI/Window.h>

#include <sys/stat.h>

namespace {
// Far from the platform and the level's own barrels.
const Ogre::Vector3 AWAY(60, 0, 0);
const float OVERLAP = 0.05f;


enum class BarrelAt
{
    Floor, // sunk a little into the floor plane
    Air    // well above it
};

enum class BallAt
{
    None,
    NewestAgainstBarrel,
    OlderAgainstBarrel, // a newer ball is elsewhere
    Floor
};

struct RuleCase
{
    const char* name;
    int kind;
    BarrelAt barrelAt;
    BallAt ballAt;
    float chargeStepBefore;
    bool barrelRemoved;
    float secondsAdded;
    float chargeStepAfter;
    bool ballRemoved;
};

std::ostream& operator<<(std::ostream& out, const RuleCase& c)
{
    return out << c.name;
}
}

class RulesTest : public GameplayTest
{
protected:
    // A barrel of the given kind; sunk into the floor by OVERLAP, or hanging in the air.
    Barrel* placeBarrel(int kind, BarrelAt where, const Ogre::Vector3& at = AWAY)
    {
        TestGame& g = game();
        const int index = 1000 + static_cast<int>(g.mBarrels.size());
        Barrel* barrel = nullptr;
        if (kind == BARREL_BONUS)
            barrel = new BonusBarrel(g.mSceneManager, g.mPhysicsWorld, index, at);
        else if (kind == BARREL_WALL)
            barrel = new WallBarrel(g.mSceneManager, g.mPhysicsWorld, index, at);
        else
            barrel = new Barrel(g.mSceneManager, g.mPhysicsWorld, index, at, kind);
        const float height = halfExtent(barrel).y;
        moveBody(barrel, at + Ogre::Vector3(0, where == BarrelAt::Floor ? height - OVERLAP : height + 20, 0));
        g.mBarrels.push_back(barrel);
        return barrel;
    }

    // A ball fired like the player's (but at rest), put at a chosen place; it becomes the newest.
    Ball* placeBall(const Ogre::Vector3& at)
    {
        TestGame& g = game();
        Ball* ball = new Ball(harness().camera(), g.mSceneManager, g.mPhysicsWorld, g.mNextBallIndex++, 0);
        moveBody(ball, at);
        g.mBalls.push_front(ball);
        return ball;
    }

    // Just overlapping the barrel's side.
    Ball* placeBallAgainst(const Barrel* barrel)
    {
        const btVector3 centre = barrel->rigidBody()->bulletObject()->getWorldTransform().getOrigin();
        Ball* ball = placeBall(Ogre::Vector3(centre.x(), centre.y(), centre.z()));
        const float reach = halfExtent(barrel).x + halfExtent(ball).x - OVERLAP;
        moveBody(ball, Ogre::Vector3(centre.x() + reach, centre.y(), centre.z()));
        return ball;
    }

    Ball* placeBallOnFloor(const Ogre::Vector3& at)
    {
        Ball* ball = placeBall(at);
        moveBody(ball, at + Ogre::Vector3(0, halfExtent(ball).y - OVERLAP, 0));
        return ball;
    }

    bool inScene(const std::string& entity) { return game().mSceneManager->hasEntity(entity); }
};

class RuleCaseTest : public RulesTest, public ::testing::WithParamInterface<RuleCase>
{
};

TEST_P(RuleCaseTest, OneRulesCall)
{
    const RuleCase& c = GetParam();
    newGame();
    TestGame& g = game();
    g.mChargeStep = c.chargeStepBefore;
    Barrel* barrel = placeBarrel(c.kind, c.barrelAt);
    const std::string barrelName = barrel->entity()->getName();
    Ball* ball = nullptr;
    switch (c.ballAt) {
    case BallAt::None:
        break;
    case BallAt::NewestAgainstBarrel:
        ball = placeBallAgainst(barrel);
        break;
    case BallAt::OlderAgainstBarrel:
        ball = placeBallAgainst(barrel);
        placeBall(AWAY + Ogre::Vector3(0, 50, 40));
        break;
    case BallAt::Floor:
        ball = placeBallOnFloor(AWAY + Ogre::Vector3(0, 0, 30));
        break;
    }
    const std::string ballName = ball ? ball->entity()->getName() : "";
    const size_t barrels = g.mBarrels.size();
    const size_t balls = g.mBalls.size();
    const float limit = g.mLevelTimeLimit;

    g.updateRules();

    EXPECT_EQ(barrels - (c.barrelRemoved ? 1 : 0), g.mBarrels.size());
    EXPECT_EQ(!c.barrelRemoved, inScene(barrelName));
    EXPECT_FLOAT_EQ(limit + c.secondsAdded, g.mLevelTimeLimit);
    EXPECT_FLOAT_EQ(c.chargeStepAfter, g.mChargeStep);
    EXPECT_EQ(balls - (c.ballRemoved ? 1 : 0), g.mBalls.size());
    if (ball) {
        EXPECT_EQ(!c.ballRemoved, inScene(ballName));
    }
    EXPECT_TRUE(g.mRemovedBarrels.empty());
    EXPECT_TRUE(g.mRemovedBalls.empty());
    EXPECT_FALSE(g.mContactCallback.mHit);
    EXPECT_EQ(6, g.mBarrelsPlaced);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RuleCaseTest,
    ::testing::Values(
        RuleCase{"OrdinaryOnFloorIsRemoved", BARREL_ORDINARY, BarrelAt::Floor, BallAt::None, 1, true, 0, 1, false},
        RuleCase{"BarrelAboveFloorStays", BARREL_ORDINARY, BarrelAt::Air, BallAt::None, 1, false, 0, 1, false},
        RuleCase{"OrdinaryHitByBallChangesNothing", BARREL_ORDINARY, BarrelAt::Air, BallAt::NewestAgainstBarrel, 1,
                 false, 0, 1, false},
        RuleCase{"BonusHitByNewestBallAddsTwoSeconds", BARREL_BONUS, BarrelAt::Air, BallAt::NewestAgainstBarrel, 1,
                 false, 2, 1, false},
        RuleCase{"BonusHitByOlderBallChangesNothing", BARREL_BONUS, BarrelAt::Air, BallAt::OlderAgainstBarrel, 1, false,
                 0, 1, false},
        RuleCase{"BonusOnFloorIsRemovedToo", BARREL_BONUS, BarrelAt::Floor, BallAt::None, 1, true, 0, 1, false},
        RuleCase{"WallHitByNewestBallHalvesTheStep", BARREL_WALL, BarrelAt::Air, BallAt::NewestAgainstBarrel, 1, false,
                 0, 0.5f, false},
        RuleCase{"WallHitKeepsTheStepAtItsFloor", BARREL_WALL, BarrelAt::Air, BallAt::NewestAgainstBarrel, 0.5f, false,
                 0, 0.5f, false},
        RuleCase{"WallHitByOlderBallChangesNothing", BARREL_WALL, BarrelAt::Air, BallAt::OlderAgainstBarrel, 1, false,
                 0, 1, false},
        RuleCase{"BallOnFloorIsRemoved", BARREL_ORDINARY, BarrelAt::Air, BallAt::Floor, 1, false, 0, 1, true}),
    [](const ::testing::TestParamInfo<RuleCase>& info) { return std::string(info.param.name); });

TEST(ContactCallback, CountsTouchingAndPenetratingPointsOnly)
{
    const struct
    {
        float distance;
        bool hit;
    } cases[] = {{-0.3f, true}, {0, true}, {0.001f, false}, {0.5f, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.distance);
        Game::MyContactResultCallback callback;
        btManifoldPoint point(btVector3(0, 0, 0), btVector3(0, 0, 0), btVector3(0, 1, 0), c.distance);
        EXPECT_EQ(1, callback.addSingleResult(point, nullptr, 0, 0, nullptr, 0, 0));
        EXPECT_EQ(c.hit, callback.mHit);
    }
}

TEST_F(RulesTest, ScoreIsBarrelsPlacedMinusShots)
{
    newGame();
    TestGame& g = game();
    ASSERT_EQ(6u, g.mBarrels.size());
    EXPECT_EQ(6, g.mBarrelsPlaced);
    harness().frame(FRAME);
    EXPECT_EQ("Level: 1   Score: 6", g.mInfoWindow->getText());
    EXPECT_EQ("High Score: 0", g.mHighScoreWindow->getText());
    EXPECT_EQ("30", g.mTimeWindow->getText());

    // Eight shots with nothing pushed off.
    for (int shot = 0; shot < 8; ++shot)
        holdKey(OIS::KC_SPACE, 1);
    EXPECT_EQ(8, g.mShotsFired);
    EXPECT_EQ(6u, g.mBarrels.size());
    EXPECT_EQ("Level: 1   Score: -2", g.mInfoWindow->getText());
}

TEST_F(RulesTest, TimeLeftIsTruncatedTowardZero)
{
    newGame();
    TestGame& g = game();
    const struct
    {
        float elapsed;
        const char* text;
        bool over;
    } cases[] = {{0.1f, "30", false}, {30.5f, "0", false}, {31.0f, "0", true}, {31.9f, "0", true}, {33.5f, "-2", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.elapsed);
        g.mGameOver = false;
        g.mLevelElapsed = c.elapsed;
        g.updateRules();
        EXPECT_EQ(c.text, g.mTimeWindow->getText());
        EXPECT_EQ(c.over, g.mGameOver);
    }
}

TEST_F(RulesTest, TimeUpCallRemovesNoBarrelAndRaisesNothing)
{
    newGame();
    TestGame& g = game();
    Barrel* barrel = placeBarrel(BARREL_ORDINARY, BarrelAt::Floor);
    placeBallOnFloor(AWAY + Ogre::Vector3(0, 0, 30));
    Ball* flying = placeBall(AWAY + Ogre::Vector3(0, 50, -30));
    g.mHighScore = -5;
    g.mLevelElapsed = g.mLevelTimeLimit;

    g.updateRules();
    EXPECT_TRUE(g.mGameOver);
    EXPECT_EQ(7u, g.mBarrels.size());
    EXPECT_FALSE(barrel->isRemoved());
    EXPECT_EQ(1, g.mLevel);
    EXPECT_EQ(-5, g.mHighScore);
    EXPECT_EQ("High Score: -5", g.mHighScoreWindow->getText());
    // The balls are still checked in that call.
    ASSERT_EQ(1u, g.mBalls.size());
    EXPECT_TRUE(log().has("Time up on level 1 with score 6"));

    // Game over: the texts freeze while the world goes on.
    const CEGUI::String info = g.mInfoWindow->getText();
    g.mShotsFired = 40;
    harness().frames(3, FRAME);
    EXPECT_EQ(info, g.mInfoWindow->getText());
    EXPECT_LT(flying->rigidBody()->bulletBody()->getWorldTransform().getOrigin().y(), 50);
}

TEST_F(RulesTest, ClearingTheLastBarrelRaisesTheBestScoreAndBuildsTheNextLevel)
{
    newGame();
    TestGame& g = game();
    g.clearLevel();
    g.clearRemovedObjects();
    placeBarrel(BARREL_ORDINARY, BarrelAt::Floor);
    g.mShotsFired = 1;
    g.mHighScore = 3;
    g.mLevelElapsed = 10;

    // The call that pushes the last barrel off only removes it.
    g.updateRules();
    EXPECT_TRUE(g.mBarrels.empty());
    EXPECT_EQ(1, g.mLevel);
    EXPECT_EQ(3, g.mHighScore);

    g.updateRules();
    EXPECT_EQ(5, g.mHighScore);
    EXPECT_EQ("High Score: 5", g.mHighScoreWindow->getText());
    EXPECT_EQ("Level: 1   Score: 5", g.mInfoWindow->getText());
    EXPECT_EQ(2, g.mLevel);
    EXPECT_FALSE(g.mBarrels.empty());
    EXPECT_EQ(6 + static_cast<int>(g.mBarrels.size()), g.mBarrelsPlaced);
    EXPECT_EQ(36, g.mLevelTimeLimit);
    EXPECT_EQ(0, g.mLevelElapsed);
    EXPECT_FALSE(g.mGameOver);
    EXPECT_TRUE(log().has("Level 1 cleared with score 5"));
    EXPECT_TRUE(log().has("Best score raised to 5"));
    EXPECT_TRUE(
        log().has("Level 2 built with " + std::to_string(g.mBarrels.size()) + " barrels and a time limit of 36 s"));

    // A score that does not beat the best leaves it.
    g.clearLevel();
    g.clearRemovedObjects();
    g.mShotsFired = 100;
    g.updateRules();
    EXPECT_EQ(5, g.mHighScore);
    EXPECT_EQ(3, g.mLevel);
}

// Equal to the best is no new best: nothing is raised, logged or written.
TEST_F(RulesTest, ClearingALevelWithTheBestScoreLeavesTheBestAndItsFile)
{
    writeFile("high.score", "5");
    newGame();
    TestGame& g = game();
    ASSERT_EQ(5, g.mHighScore);
    struct stat before;
    ASSERT_EQ(0, stat("high.score", &before));
    g.clearLevel();
    g.clearRemovedObjects();
    g.mShotsFired = 1;

    g.updateRules();
    EXPECT_EQ(2, g.mLevel);
    EXPECT_TRUE(log().has("Level 1 cleared with score 5"));
    EXPECT_EQ(5, g.mHighScore);
    for (const std::string& line : log().lines)
        EXPECT_NE(0u, line.rfind("Best score", 0)) << line;
    struct stat after;
    ASSERT_EQ(0, stat("high.score", &after));
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_EQ(before.st_mtim.tv_sec, after.st_mtim.tv_sec);
    EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
    EXPECT_EQ("5", readFile("high.score"));
}

TEST_F(RulesTest, NewestBallRestingOnABonusBarrelAddsTwoSecondsEveryCall)
{
    newGame();
    TestGame& g = game();
    placeBallAgainst(placeBarrel(BARREL_BONUS, BarrelAt::Air));
    for (int call = 0; call < 3; ++call)
        g.updateRules();
    EXPECT_FLOAT_EQ(31 + 6, g.mLevelTimeLimit);
}

TEST_F(RulesTest, ClearingLevelFourEndsTheGameOnTheNextCall)
{
    newGame();
    TestGame& g = game();
    g.mLevel = 4;
    g.clearLevel();
    g.clearRemovedObjects();
    const int placed = g.mBarrelsPlaced;

    g.updateRules();
    EXPECT_EQ(5, g.mLevel);
    EXPECT_TRUE(g.mBarrels.empty());
    EXPECT_EQ(0, g.mLevelTimeLimit);
    EXPECT_EQ(placed, g.mBarrelsPlaced);
    EXPECT_FALSE(g.mGameOver);

    g.updateRules();
    EXPECT_TRUE(g.mGameOver);
    EXPECT_EQ(5, g.mLevel);
    EXPECT_EQ("Level: 5   Score: 6", g.mInfoWindow->getText());
}
