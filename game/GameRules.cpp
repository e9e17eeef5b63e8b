// The referee: eliminations, scoring, the time limit and level progression.
#include "Game.h"

#include "DynamicsRigidBody.h"
#include "DynamicsWorld.h"
#include "GameEvents.h"
#include "GameSound.h"
#include "LevelBuilder.h"

#include <CEGUI/Window.h>

#include <memory>
#include <string>
#include <utility>

namespace {
const float BONUS_SECONDS = 2.0f;
// A pad's pulse when the newest ball first strikes a heavy barrel.
const float HEAVY_HIT_RUMBLE = 0.8f;
const int HEAVY_HIT_RUMBLE_MS = 200;
const float WALL_CHARGE_PENALTY = 0.5f;
const float SLOWEST_CHARGE_STEP = 0.5f;

// Out of play: hidden at once, and owned by the removed list, which destroys it when cleared.
template <class Object>
void takeOutOfPlay(Object* object, std::list<std::unique_ptr<Object>>& removed)
{
    object->markRemoved();
    removed.emplace_back(object);
}

// Setting a text, even the one it shows, makes the GUI lay the window out and draw it again; the
// rules run twice a frame and their texts change about once a second.
void showText(CEGUI::Window* window, const std::string& text)
{
    if (window->getText() != text)
        window->setText(text);
}

template <class Object>
void dropRemoved(std::list<Object*>& inPlay)
{
    inPlay.remove_if([](const Object* object) { return object->isRemoved(); });
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
    showText(mTimeWindow, std::to_string(timeLeft));
    showText(mInfoWindow, "Level: " + std::to_string(mLevel) + "   Score: " + std::to_string(score));

    // The barrel list is empty only in the first call after a level was cleared.
    if (score > mHighScore && mBarrels.empty()) {
        mHighScore = score;
        logEvent(GameEvents::line(GameEvents::BEST_SCORE_RAISED, mHighScore));
    }
    showText(mHighScoreWindow, "High Score: " + std::to_string(mHighScore));

    mSound->countdown(timeLeft);
    if (mLevelTimeLimit <= mLevelElapsed) {
        mGameOver = true;
        mSound->playHere(Sounds::TIME_UP);
        logEvent(GameEvents::line(GameEvents::TIME_UP, mLevel, score));
    } else if (mBarrels.empty()) {
        logEvent(GameEvents::line(GameEvents::LEVEL_CLEARED, mLevel, score));
        mSound->playHere(Sounds::CLEARED);
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
    mContactCallback.mHit = false;
    mPhysicsWorld->bulletWorld()->contactPairTest(a->bulletObject(), b->bulletObject(), mContactCallback);
    return std::exchange(mContactCallback.mHit, false);
}

void Game::checkBarrels()
{
    Dynamics::RigidBody* floor = mArenaBodies.front();
    for (Barrel* barrel : mBarrels) {
        // Only the newest ball counts, so a ball left lying against a barrel stops mattering once another flies.
        if (barrel->kind() != BARREL_ORDINARY && !mBalls.empty() &&
            touches(mBalls.front()->rigidBody(), barrel->rigidBody())) {
            const bool struck = mSound->touch(barrel->kind() == BARREL_BONUS ? Sounds::BONUS : Sounds::HEAVY_HIT,
                                              mBalls.front(), barrel, barrel->rigidBody()->worldPosition());
            if (struck && barrel->kind() == BARREL_WALL && mSettings.rumble)
                mGamepads->rumble(HEAVY_HIT_RUMBLE, HEAVY_HIT_RUMBLE_MS);
            if (barrel->kind() == BARREL_BONUS)
                mLevelTimeLimit += BONUS_SECONDS;
            else if (barrel->kind() == BARREL_WALL)
                mChargeStep = mChargeStep - WALL_CHARGE_PENALTY < SLOWEST_CHARGE_STEP
                                  ? SLOWEST_CHARGE_STEP
                                  : mChargeStep - WALL_CHARGE_PENALTY;
        }
        if (touches(floor, barrel->rigidBody()))
            takeOutOfPlay(barrel, mRemovedBarrels);
    }
    dropRemoved(mBarrels);
}

void Game::checkBalls()
{
    Dynamics::RigidBody* floor = mArenaBodies.front();
    for (Ball* ball : mBalls) {
        if (touches(floor, ball->rigidBody()))
            takeOutOfPlay(ball, mRemovedBalls);
    }
    dropRemoved(mBalls);
}

void Game::clearRemovedObjects()
{
    // Destroying an object taken out of play releases its body, shape and entity.
    if (!mRemovedBarrels.empty())
        mRemovedBarrels.clear();
    if (!mRemovedBalls.empty())
        mRemovedBalls.clear();
}

void Game::clearLevel()
{
    for (Barrel* barrel : mBarrels)
        takeOutOfPlay(barrel, mRemovedBarrels);
    dropRemoved(mBarrels);
    for (Ball* ball : mBalls)
        takeOutOfPlay(ball, mRemovedBalls);
    dropRemoved(mBalls);
}

void Game::logLevelBuilt() const
{
    logEvent(GameEvents::line(GameEvents::LEVEL_BUILT, mLevel, static_cast<int>(mBarrels.size()),
                              static_cast<int>(mLevelTimeLimit)));
}
