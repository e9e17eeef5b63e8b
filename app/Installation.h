// Where the game's files are when it runs installed: its read-only share folder, found relative to
// the executable wherever the installation prefix is, and the user's own folders for the engine
// settings, the log and the best score.
#pragma once

#include <string>

struct Installation
{
    std::string share;  // plug-in and resource lists, preset ogre.cfg, media
    std::string config; // ogre.cfg
    std::string state;  // Ogre.log
    std::string data;   // high.score
};

// True when the executable runs from an installed tree (the share folder is where the install put
// it); the user's folders are then created and a first run gets the preset engine settings. False
// in the build tree, where every file stays in the working directory. Throws std::runtime_error
// when a user folder cannot be made.
bool findInstallation(Installation& installation);
