// The best score, kept between runs in a one-number text file.
#include "Game.h"

int Game::loadHighScore()
{
    return 0;
}

void Game::saveHighScore() const
{
}
