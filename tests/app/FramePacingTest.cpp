// The game's own frame loop, counted over real time: a few frames a second in the menu left alone,
// the display's rate in play. The bounds are the pacer's: frames can come slower on a busy machine,
// never faster.
#include "TestCore.h"

#include "DesktopWindow.h"
#include "FramePacer.h"
#include "Game.h"
#include "ShellFrameListener.h"

#include <CEGUI/EventArgs.h>
#include <OgreFrameListener.h>
#include <OgreRoot.h>
#include <gtest/gtest.h>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

// Counts the frames the loop starts: in the menu for a span from the first frame after which the
// game idles, then in play for a span from a new game on; then it ends the loop.
class FrameCounter : public Ogre::FrameListener
{
public:
    static constexpr std::chrono::seconds SPAN{2};

    bool frameStarted(const Ogre::FrameEvent&) override
    {
        const Clock::time_point now = Clock::now();
        if (mPhase == Phase::WaitingForIdle) {
            // Idle comes after a second without input; a loop that never gets there ends the test.
            if (!mGame->isIdle())
                return now - mLoopStart < std::chrono::seconds(20);
            mPhase = Phase::Menu;
            mSpanStart = now;
        }
        if (mPhase == Phase::Menu) {
            if (now - mSpanStart < SPAN) {
                ++menuFrames;
                menuStayedIdle = menuStayedIdle && mGame->isIdle();
                return true;
            }
            CEGUI::EventArgs click;
            mGame->onNewGame(click);
            mPhase = Phase::Playing;
            mSpanStart = now;
        }
        if (now - mSpanStart >= SPAN)
            return false;
        ++playFrames;
        playStayedAwake = playStayedAwake && !mGame->isIdle();
        return true;
    }

    void watch(Game* game)
    {
        mGame = game;
        mLoopStart = Clock::now();
    }

    int menuFrames = 0;
    int playFrames = 0;
    bool menuStayedIdle = true;
    bool playStayedAwake = true;

private:
    enum class Phase
    {
        WaitingForIdle,
        Menu,
        Playing
    };
    Phase mPhase = Phase::WaitingForIdle;
    Game* mGame = nullptr;
    Clock::time_point mLoopStart;
    Clock::time_point mSpanStart;
};

class CountedCore : public TestCore
{
public:
    FrameCounter mCounter;
    int displayRate = 0;

protected:
    void installFrameListener() override
    {
        TestCore::installFrameListener();
        mCounter.watch(static_cast<Game*>(mInstalledListener));
        mEngineRoot->addFrameListener(&mCounter);
        displayRate = displayRefreshRate(nativeDisplay());
    }
};

} // namespace

TEST(FramePacing, AFewFramesASecondInTheMenuLeftAloneAndTheDisplaysRateInPlay)
{
    const ScratchRunDir scratch;
    CountedCore core;
    core.run();
    const FrameCounter& counted = core.mCounter;
    ASSERT_TRUE(counted.menuStayedIdle) << "something woke the menu: the count below is no idle one";
    EXPECT_TRUE(counted.playStayedAwake);

    // The first frame of a span may follow the one before it at once; after it, every frame waits a
    // whole period of the pacer from the one before.
    const auto most = [](int framesPerSecond) {
        return static_cast<int>(FrameCounter::SPAN.count()) * framesPerSecond + 2;
    };
    EXPECT_LE(counted.menuFrames, most(FramePacer::IDLE_RATE));
    // However busy the machine, the menu is still drawn.
    EXPECT_GE(counted.menuFrames, 2);

    const int rate = core.displayRate > 0 ? core.displayRate : FramePacer::DEFAULT_RATE;
    EXPECT_LE(counted.playFrames, most(rate));
    // In play the loop is not held back to the idle pace: at least twice as many frames come.
    EXPECT_GE(counted.playFrames, 2 * most(FramePacer::IDLE_RATE)) << "at " << rate << " frames a second";
}
