// Lays out the barrels of each level on the platform and says how long the level may last.
#pragma once

#include <OgreVector.h>

#include <list>

namespace Ogre {
class SceneManager;
}
namespace Dynamics {
class DynamicsWorld;
}
class Barrel;

class LevelBuilder
{
public:
    LevelBuilder(Ogre::SceneManager* sceneManager, Dynamics::DynamicsWorld* world, std::list<Barrel*>* barrelList);

    // Levels 1-4 hold barrels; 5 is the end of the game (no barrels, no time). Other numbers are clamped.
    float buildLevel(int n);

    int nextBarrelIndex() const { return mNextBarrelIndex; }

private:
    float buildLevel1();
    float buildLevel2();
    float buildLevel3();
    float buildLevel4();
    // Rows of the pyramid shared by levels 2 and 3.
    void buildPyramidRows();
    // An ordinary barrel unless the roll beats the threshold, which drops with each ordinary one.
    void addRandomBarrel(const Ogre::Vector3& position);
    void addWallBarrel(const Ogre::Vector3& position);

    Ogre::SceneManager* mSceneManager;
    Dynamics::DynamicsWorld* mWorld;
    std::list<Barrel*>* mBarrelList;
    int mNextBarrelIndex;
    int mSpecialThreshold;
};
