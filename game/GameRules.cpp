// The referee: eliminations, scoring, the time limit and level progression.
#include "Game.h"

btScalar Game::MyContactResultCallback::addSingleResult(btManifoldPoint&, const btCollisionObjectWrapper*, int, int,
                                                        const btCollisionObjectWrapper*, int, int)
{
    return 1;
}

void Game::updateRules()
{
}

void Game::checkBarrels()
{
}

void Game::checkBalls()
{
}

void Game::clearRemovedObjects()
{
}

void Game::clearLevel()
{
}
