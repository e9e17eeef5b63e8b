// Level layouts: barrel counts, positions, time limits, rolls for special barrels, running names.
#include "Barrel.h"
#include "LevelBuilder.h"
#include "ScriptedRolls.h"
#include "WorldScene.h"

#include <OgreEntity.h>
#include <OgreSceneNode.h>

#include <string>
#include <vector>

namespace {
class LevelBuilderTest : public WorldScene
{
protected:
    LevelBuilderTest() : builder(sceneManager(), world(), &barrels) {}
    ~LevelBuilderTest() override { clearBarrels(); }

    // One letter per barrel in creation order: o ordinary, b bonus, w wall.
    std::string kinds() const
    {
        std::string seen;
        for (const Barrel* barrel : barrels)
            seen += "?obw"[barrel->kind()];
        return seen;
    }

    std::vector<Ogre::Vector3> positions() const
    {
        std::vector<Ogre::Vector3> seen;
        for (const Barrel* barrel : barrels)
            seen.push_back(barrel->entity()->getParentSceneNode()->getPosition());
        return seen;
    }

    void clearBarrels()
    {
        for (Barrel* barrel : barrels)
            delete barrel;
        barrels.clear();
    }

    std::list<Barrel*> barrels;
    LevelBuilder builder;
};
}

TEST_F(LevelBuilderTest, LevelsHoldTheirBarrelCountsAndTimeLimitsWhateverTheRolls)
{
    struct Level
    {
        int number;
        std::size_t barrels;
        float limit;
    };
    const Level levels[] = {{1, 6, 31}, {2, 18, 36}, {3, 20, 41}, {4, 8, 41}, {5, 0, 0}};
    for (float roll : {0.0f, 50.0f, 100.0f}) {
        ScriptedRolls rolls{roll};
        for (const Level& level : levels) {
            EXPECT_EQ(level.limit, builder.buildLevel(level.number)) << level.number;
            EXPECT_EQ(level.barrels, barrels.size()) << level.number << " rolling " << roll;
            clearBarrels();
        }
    }
}

TEST_F(LevelBuilderTest, OutOfRangeNumbersAreClamped)
{
    ScriptedRolls rolls{0};
    for (int n : {0, -3}) {
        EXPECT_EQ(31, builder.buildLevel(n)) << n;
        EXPECT_EQ(6u, barrels.size()) << n;
        clearBarrels();
    }
    EXPECT_EQ(0, builder.buildLevel(9));
    EXPECT_TRUE(barrels.empty());
}

TEST_F(LevelBuilderTest, LevelOneStandsInTwoRowsAtItsOwnOffsets)
{
    ScriptedRolls rolls{0};
    builder.buildLevel(1);
    const std::vector<Ogre::Vector3> expected = {{-7, 10, 0}, {-1, 10, 0}, {5, 10, 0},
                                                 {11, 10, 0}, {-4, 18, 0}, {2, 18, 0}};
    EXPECT_EQ(expected, positions());
}

TEST_F(LevelBuilderTest, LevelThreeTopsThePyramidOfLevelTwo)
{
    ScriptedRolls rolls{0};
    builder.buildLevel(3);
    const std::vector<Ogre::Vector3> all = positions();
    const std::vector<Ogre::Vector3> firstOfEachRow = {all[0], all[6], all[11], all[15], all[18], all[19]};
    const std::vector<Ogre::Vector3> expected = {{-12, 10, 0}, {-9, 18, 0}, {-5, 26, 0},
                                                 {-2, 32, 0},  {1, 40, 0},  {7, 40, 0}};
    EXPECT_EQ(expected, firstOfEachRow);
    EXPECT_EQ(Ogre::Vector3(18, 10, 0), all[5]);
    EXPECT_EQ(Ogre::Vector3(10, 32, 0), all[17]);
}

TEST_F(LevelBuilderTest, LevelFourHasWallBarrelsFourthAndEighthWhateverTheRolls)
{
    for (float roll : {0.0f, 100.0f}) {
        ScriptedRolls rolls{roll};
        builder.buildLevel(4);
        const std::vector<Ogre::Vector3> at = positions();
        ASSERT_EQ(8u, at.size());
        const std::string kind = kinds();
        EXPECT_EQ('w', kind[3]) << roll;
        EXPECT_EQ('w', kind[7]) << roll;
        EXPECT_EQ(Ogre::Vector3(-10, 10, 0), at[3]);
        EXPECT_EQ(Ogre::Vector3(10, 10, 0), at[7]);
        EXPECT_EQ(Ogre::Vector3(-20, 10, -5), at[0]);
        EXPECT_EQ(Ogre::Vector3(-8, 10, -5), at[2]);
        EXPECT_EQ(Ogre::Vector3(20, 10, -5), at[4]);
        EXPECT_EQ(Ogre::Vector3(8, 10, -5), at[6]);
        clearBarrels();
    }
}

TEST_F(LevelBuilderTest, RollsDecideTheKinds)
{
    struct Case
    {
        float roll;
        int level;
        const char* kinds;
    };
    // Low rolls stay under the threshold; in level 3 twelve ordinary barrels bring it from 60 to 0,
    // and from then on even a roll of 0 is special, and a second roll of 0 makes it a wall.
    // A roll of 100 is always special and always a bonus. At 95 the first barrel of level 1 is
    // ordinary (99 > 95) and lowers the threshold to 94, below the roll, for the rest.
    const Case cases[] = {
        {0, 1, "oooooo"},   {0, 2, "oooooooooooooooooo"},     {0, 3, "oooooooooooowwwwwwww"}, {0, 4, "ooowooow"},
        {100, 1, "bbbbbb"}, {100, 3, "bbbbbbbbbbbbbbbbbbbb"}, {100, 4, "bbbwbbbw"},           {95, 1, "obbbbb"},
    };
    for (const Case& c : cases) {
        ScriptedRolls rolls{c.roll};
        builder.buildLevel(c.level);
        EXPECT_EQ(c.kinds, kinds()) << "level " << c.level << " rolling " << c.roll;
        clearBarrels();
    }
}

TEST_F(LevelBuilderTest, SecondRollAboveFortyMakesABonusBarrel)
{
    // Each special barrel takes two rolls: 99 (not under the threshold), then the wall-or-bonus roll.
    ScriptedRolls rolls{99, 39.9f, 99, 40, 0, 0, 0, 0};
    builder.buildLevel(1);
    EXPECT_EQ("wboooo", kinds());
}

TEST_F(LevelBuilderTest, IndicesRunOnAcrossLevels)
{
    ScriptedRolls rolls{0};
    builder.buildLevel(1);
    builder.buildLevel(2);
    EXPECT_EQ(24, builder.nextBarrelIndex());
    auto it = barrels.begin();
    std::advance(it, 6);
    EXPECT_EQ("Box6", (*it)->entity()->getName());
    EXPECT_EQ("Box0", barrels.front()->entity()->getName());
}
