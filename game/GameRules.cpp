// The referee: eliminations, scoring, the time limit and level progression.
#include "Game.h"

#include "DynamicsRigidBody.h"
#include "DynamicsWorld.h"
#include "LevelBuilder.h"

#include <OgreLogManager.h>

#include <CEGUI/Window.h>

#include <string>

namespace {
const float BONUS_SECONDS = 2.0f;
const float WALL_CHARGE_PENALTY = 0.5f;
const float SLOWEST_CHARGE_STEP = 0.5f;

void logEvent(const std::string& message)
{
    Ogre::LogManager::getSingleton().logMessage(message);
}
}

btScalar Game::MyContactResultCallback::addSingleResult(btManifoldPoint& point, const btCollisionObjectWrapper*, int,
                                                        int, const btCollisionObjectWrapper*, int, int)
{
    // Near misses come with a positive distance; only touching or penetrating counts.
    if (point.getDistance() <= 0)
        mHit = true;
    return 1;
}

void Game::updateRules()
{
    const int score = mBarrelsPlaced - mShotsFired;
    const int timeLeft = static_cast<int>(mLevelTimeLimit - mLevelElapsed);
    mTimeWindow->setText(std::to_string(timeLeft));
    mInfoWindow->setText("Level: " + std::to_string(mLevel) + "   Score: " + std::to_string(score));

    // The barrel list is empty only in the first call after a level was cleared.
    if (score > mHighScore && mBarrels.empty()) {
        mHighScore = score;
        logEvent("Best score raised to " + std::to_string(mHighScore));
    }
    mHighScoreWindow->setText("High Score: " + std::to_string(mHighScore));

    if (mLevelTimeLimit <= mLevelElapsed) {
        mGameOver = true;
        logEvent("Time up on level " + std::to_string(mLevel) + " with score " + std::to_string(score));
    } else if (mBarrels.empty()) {
        logEvent("Level " + std::to_string(mLevel) + " cleared with score " + std::to_string(score));
        if (mLevel < mLastLevel)
            ++mLevel;
        mLevelTimeLimit = mLevelBuilder->buildLevel(mLevel);
        mBarrelsPlaced += static_cast<int>(mBarrels.size());
        mLevelElapsed = 0;
        logLevelBuilt();
    } else {
        checkBarrels();
    }
    checkBalls();
    clearRemovedObjects();
}

bool Game::touches(Dynamics::RigidBody* a, Dynamics::RigidBody* b)
{
    mPhysicsWorld->bulletWorld()->contactPairTest(a->bulletObject(), b->bulletObject(), mContactCallback);
    return mContactCallback.mHit;
}

void Game::checkBarrels()
{
    Dynamics::RigidBody* floor = mArenaBodies.front();
    for (Barrel* barrel : mBarrels) {
        // Only the newest ball counts, so a ball left lying against a barrel stops mattering once another flies.
        if (barrel->kind() != BARREL_ORDINARY && !mBalls.empty() &&
            touches(mBalls.front()->rigidBody(), barrel->rigidBody())) {
            if (barrel->kind() == BARREL_BONUS)
                mLevelTimeLimit += BONUS_SECONDS;
            else if (barrel->kind() == BARREL_WALL)
                mChargeStep = mChargeStep - WALL_CHARGE_PENALTY < SLOWEST_CHARGE_STEP
                                  ? SLOWEST_CHARGE_STEP
                                  : mChargeStep - WALL_CHARGE_PENALTY;
            mContactCallback.mHit = false;
        }
        if (touches(floor, barrel->rigidBody())) {
            mRemovedBarrels.push_back(*barrel);
            barrel->markRemoved();
            mContactCallback.mHit = false;
        }
    }
    mBarrels.remove_if([](const Barrel* barrel) { return barrel->isRemoved(); });
}

void Game::checkBalls()
{
    Dynamics::RigidBody* floor = mArenaBodies.front();
    for (Ball* ball : mBalls) {
        if (touches(floor, ball->rigidBody())) {
            mRemovedBalls.push_back(*ball);
            ball->markRemoved();
            mContactCallback.mHit = false;
        }
    }
    mBalls.remove_if([](const Ball* ball) { return ball->isRemoved(); });
}

void Game::clearRemovedObjects()
{
    // Destroying a copy releases the body, shape and entity it shares with the object taken out of play.
    if (!mRemovedBarrels.empty())
        mRemovedBarrels.clear();
    if (!mRemovedBalls.empty())
        mRemovedBalls.clear();
}

void Game::clearLevel()
{
    for (Barrel* barrel : mBarrels) {
        mRemovedBarrels.push_back(*barrel);
        barrel->markRemoved();
    }
    mBarrels.remove_if([](const Barrel* barrel) { return barrel->isRemoved(); });
    for (Ball* ball : mBalls) {
        mRemovedBalls.push_back(*ball);
        ball->markRemoved();
    }
    mBalls.remove_if([](const Ball* ball) { return ball->isRemoved(); });
}

void Game::logLevelBuilt() const
{
    logEvent("Level " + std::to_string(mLevel) + " built with " + std::to_string(mBarrels.size()) +
             " barrels and a time limit of " + std::to_string(static_cast<int>(mLevelTimeLimit)) + " s");
}
