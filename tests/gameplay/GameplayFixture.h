// A game in a scratch working directory of its own, with helpers to play it through the scripted devices.
#pragma once

#include "GameHarness.h"
#include "LogRecorder.h"
#include "RenderWindow.h"
#include "ScriptedRolls.h"

#include <CEGUI/EventArgs.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

// The high-score file lives in the working directory, so each test gets a fresh one to play in.
// The engine fixture reads its configuration from the run directory, so it is made before moving.
class GameplayTest : public ::testing::Test
{
protected:
    GameplayTest() : mRunDir(std::filesystem::current_path()), mOwnsWorkDir(true)
    {
        RenderWindow::instance();
        if (const char* shared = std::getenv(SHARED_WORK_DIR)) {
            mWorkDir = shared;
            mOwnsWorkDir = false;
        } else {
            char pattern[] = "/tmp/barrels-gameplay-XXXXXX";
            mWorkDir = mkdtemp(pattern);
        }
        std::filesystem::current_path(mWorkDir);
    }

    ~GameplayTest() override
    {
        mLog.reset();
        mHarness.reset();
        std::filesystem::current_path(mRunDir);
        if (!mOwnsWorkDir)
            return;
        unsetenv(SHARED_WORK_DIR);
        std::error_code ignored;
        std::filesystem::permissions(mWorkDir, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(mWorkDir, ignored);
    }

    // A death test that re-runs this test in a fresh process plays in the same directory,
    // so the parent can look at what the child left there.
    void shareWorkDirWithChildProcesses() { setenv(SHARED_WORK_DIR, mWorkDir.c_str(), 1); }

    // The game is built on first use, so a test can lay out the high-score file before it loads.
    GameHarness& harness()
    {
        if (!mHarness) {
            mHarness.reset(new GameHarness());
            mLog.reset(new LogRecorder());
        }
        return *mHarness;
    }
    TestGame& game() { return harness().game(); }
    const LogRecorder& log() { return *mLog; }

    // The New button's handler, as a click on it runs it.
    void newGame()
    {
        CEGUI::EventArgs args;
        game().onNewGame(args);
    }

    // Key down for the given frames, then up for one frame (the release is seen on that frame's poll).
    void holdKey(OIS::KeyCode key, int frames, float seconds = FRAME)
    {
        harness().keyboard.press(key);
        harness().frames(frames, seconds);
        harness().keyboard.release(key);
        harness().frame(seconds);
    }

    static void writeFile(const std::string& name, const std::string& content)
    {
        std::ofstream(name, std::ios::binary) << content;
    }

    static std::string readFile(const std::string& name)
    {
        std::ifstream file(name, std::ios::binary);
        std::ostringstream content;
        content << file.rdbuf();
        return content.str();
    }

    // Names of everything in the working directory, to catch left-over temporary files.
    std::vector<std::string> workDirEntries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(mWorkDir))
            names.push_back(entry.path().filename().string());
        return names;
    }

    static constexpr float FRAME = 1.0f / 60;
    static constexpr const char* SHARED_WORK_DIR = "BARRELS_GAMEPLAY_WORK_DIR";

    std::filesystem::path mRunDir;
    std::filesystem::path mWorkDir;
    bool mOwnsWorkDir;
    // Every level barrel an ordinary one, unless a test says otherwise.
    ScriptedRolls mRolls{0};

private:
    std::unique_ptr<GameHarness> mHarness;
    std::unique_ptr<LogRecorder> mLog;
};
