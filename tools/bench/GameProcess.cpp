#include "GameProcess.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {
const std::chrono::seconds QUIT_TIME_OUT{15};

void copyEngineFiles(const std::filesystem::path& from, const std::filesystem::path& to)
{
    for (const char* name : {"plugins_d.cfg", "ogre.cfg", "resources_d.cfg"}) {
        std::error_code error;
        std::filesystem::copy_file(from / name, to / name, error);
        if (error)
            throw std::runtime_error("cannot copy " + (from / name).string() + ": " + error.message());
    }
}
}

GameProcess::GameProcess(const std::string& program, const std::string& runDir)
{
    char pattern[] = "/tmp/barrels-latency.XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("cannot make a folder under /tmp");
    mWorkDir = pattern;
    try {
        copyEngineFiles(runDir, mWorkDir);
    } catch (...) {
        std::filesystem::remove_all(mWorkDir);
        throw;
    }

    // Everything the child needs is made before the fork.
    const std::string trace = "BARRELS_FRAME_TRACE=" + tracePath();
    std::vector<char*> environment;
    for (char** variable = environ; *variable; ++variable)
        environment.push_back(*variable);
    environment.push_back(const_cast<char*>(trace.c_str()));
    environment.push_back(nullptr);
    const std::string out = mWorkDir + "/stdout.txt", err = mWorkDir + "/stderr.txt";
    char* const args[] = {const_cast<char*>(program.c_str()), nullptr};

    mPid = fork();
    if (mPid == 0) {
        // A benchmark killed on a time-out takes its game with it.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (chdir(mWorkDir.c_str()) != 0 || outFd < 0 || errFd < 0)
            _exit(126);
        dup2(outFd, STDOUT_FILENO);
        dup2(errFd, STDERR_FILENO);
        execve(program.c_str(), args, environment.data());
        _exit(127);
    }
    if (mPid < 0) {
        std::filesystem::remove_all(mWorkDir);
        throw std::runtime_error("fork failed");
    }
}

GameProcess::~GameProcess()
{
    stop();
    std::error_code ignored;
    std::filesystem::remove_all(mWorkDir, ignored);
}

bool GameProcess::running(std::string& how)
{
    if (mPid <= 0) {
        how = "ended";
        return false;
    }
    int status = 0;
    if (waitpid(mPid, &status, WNOHANG) == 0)
        return true;
    mPid = -1;
    if (WIFEXITED(status))
        how = WEXITSTATUS(status) == 127 ? "could not be started" : "exited with " + std::to_string(WEXITSTATUS(status));
    else
        how = "was killed by signal " + std::to_string(WTERMSIG(status));
    return false;
}

std::string GameProcess::errorTail() const
{
    std::ifstream file(mWorkDir + "/stderr.txt");
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const std::size_t keep = 2000;
    return text.size() > keep ? text.substr(text.size() - keep) : text;
}

bool GameProcess::stop()
{
    if (mPid <= 0)
        return true;
    kill(mPid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + QUIT_TIME_OUT;
    int status = 0;
    while (waitpid(mPid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(mPid, SIGKILL);
            waitpid(mPid, &status, 0);
            mPid = -1;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    mPid = -1;
    return true;
}
