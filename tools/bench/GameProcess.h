// The real game started as a player would, in a fresh working directory of its own with the engine's
// files of a run folder, writing its frame trace there. Ended with SIGTERM, its folder removed.
#pragma once

#include <string>

#include <sys/types.h>

class GameProcess
{
public:
    // Throws std::runtime_error when the folder cannot be made or the program not started.
    GameProcess(const std::string& program, const std::string& runDir);
    ~GameProcess();

    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    const std::string& workDir() const { return mWorkDir; }
    std::string logPath() const { return mWorkDir + "/Ogre.log"; }
    std::string tracePath() const { return mWorkDir + "/frames.trace"; }

    // False once the game has ended; `how` then says how.
    bool running(std::string& how);
    // The end of what the game wrote to its standard error, for a failure's message.
    std::string errorTail() const;
    // SIGTERM, the game's clean quit, then SIGKILL after a while; true if it ended by itself.
    bool stop();

private:
    std::string mWorkDir;
    pid_t mPid = -1;
};
