// A desktop's request to end (SIGTERM, SIGINT, SIGHUP) arriving while the game runs: the frame loop
// ends as the close button ends it, with the best score saved.
#include "TestCore.h"

#include <OgreFrameListener.h>
#include <OgreRoot.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// Sends the signal to the process from inside the frame loop, on its third frame.
class SignalOnThirdFrame : public Ogre::FrameListener
{
public:
    explicit SignalOnThirdFrame(int signal) : mSignal(signal) {}
    bool frameStarted(const Ogre::FrameEvent&) override
    {
        if (++mFrames == 3)
            std::raise(mSignal);
        return true;
    }
    int mFrames = 0;

private:
    int mSignal;
};

class SignalledCore : public TestCore
{
public:
    explicit SignalledCore(int signal) : mRaiser(signal) {}
    SignalOnThirdFrame mRaiser;

protected:
    void installFrameListener() override
    {
        TestCore::installFrameListener();
        mEngineRoot->addFrameListener(&mRaiser);
    }
};

std::string readFile(const fs::path& path)
{
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

class QuitSignalTest : public ::testing::TestWithParam<int>
{
};

} // namespace

TEST_P(QuitSignalTest, EndsTheLoopAndSavesLikeTheCloseButton)
{
    const ScratchRunDir scratch;
    std::ofstream("high.score") << "7";

    SignalledCore core(GetParam());
    core.run();

    EXPECT_LT(core.mRaiser.mFrames, 10) << "the loop went on after the signal";
    EXPECT_TRUE(core.window()->isClosed());
    EXPECT_EQ("7", readFile("high.score"));
    EXPECT_NE(std::string::npos, readFile("Ogre.log").find("Best score 7 saved to high.score"));
}

INSTANTIATE_TEST_SUITE_P(Signals, QuitSignalTest, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param == SIGTERM ? "SIGTERM" : info.param == SIGINT ? "SIGINT" : "SIGHUP";
                         });
