// Where a desktop program finds itself and keeps each user's files (the XDG base directories).
#pragma once

#include <string>

enum class UserFolder
{
    Config, // $XDG_CONFIG_HOME, by default ~/.config
    State,  // $XDG_STATE_HOME, by default ~/.local/state
    Data    // $XDG_DATA_HOME, by default ~/.local/share
};

// "<base>/<program>/", created (with its parents) when missing. Throws std::runtime_error naming the
// folder and the reason when it cannot be created.
std::string userFolder(UserFolder kind, const std::string& program);

// The folder of the running executable, with a trailing slash; empty if it cannot be read.
std::string executableFolder();
