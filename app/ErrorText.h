// The text the player is shown for an exception that ends the game.
#pragma once

#include <string>

namespace Ogre {
class Exception;
}

// The engine's full description: kind, description, source, and file and line where the engine
// gives them. The engine builds none for an exception made without a file and line; then it is
// put together here from what the exception holds.
std::string fullDescription(const Ogre::Exception& e);
