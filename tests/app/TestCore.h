// The game's application with the dialog replaced by a hidden 800x600 GL window, for tests.
#pragma once

#include "Core.h"
#include "HiddenWindowApp.h"

#include <cstdlib>
#include <filesystem>

using TestCore = HiddenWindowApp<Core>;

// A scratch working directory holding the engine's files from the run directory, entered while the
// object lives: what a test's game writes there (its log, the best score) is the test's own.
class ScratchRunDir
{
public:
    ScratchRunDir() : mRunDir(std::filesystem::current_path())
    {
        char pattern[] = "/tmp/barrels-app-XXXXXX";
        mPath = mkdtemp(pattern);
        for (const char* file : {"plugins_d.cfg", "resources_d.cfg"})
            std::filesystem::copy_file(mRunDir / file, mPath / file);
        std::filesystem::current_path(mPath);
    }
    ~ScratchRunDir()
    {
        std::filesystem::current_path(mRunDir);
        std::filesystem::remove_all(mPath);
    }
    ScratchRunDir(const ScratchRunDir&) = delete;
    ScratchRunDir& operator=(const ScratchRunDir&) = delete;

private:
    std::filesystem::path mRunDir;
    std::filesystem::path mPath;
};
