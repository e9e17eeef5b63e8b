#include "FramePacer.h"

#include <algorithm>
#include <thread>

namespace {
std::chrono::steady_clock::duration periodOf(int framesPerSecond)
{
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::seconds(1)) / framesPerSecond;
}
} // namespace

FramePacer::FramePacer(int framesPerSecond)
    : mPeriod(periodOf(framesPerSecond > 0 ? framesPerSecond : DEFAULT_RATE)), mIdlePeriod(periodOf(IDLE_RATE)),
      mNextFrame(std::chrono::steady_clock::now())
{
}

void FramePacer::wait(bool idle, const std::function<bool()>& woken)
{
    using Clock = std::chrono::steady_clock;
    mNextFrame = std::max(mNextFrame + period(idle), Clock::now());
    if (!idle) {
        std::this_thread::sleep_until(mNextFrame);
        return;
    }
    for (Clock::time_point now = Clock::now(); now < mNextFrame; now = Clock::now()) {
        std::this_thread::sleep_until(std::min(mNextFrame, now + WAKE_CHECK));
        if (woken()) {
            mNextFrame = Clock::now();
            return;
        }
    }
}
