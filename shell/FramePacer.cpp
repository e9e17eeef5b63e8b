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

void FramePacer::wait(bool idle)
{
    mNextFrame = std::max(mNextFrame + period(idle), std::chrono::steady_clock::now());
    std::this_thread::sleep_until(mNextFrame);
}
