// Keeps the frame loop from drawing faster than the display shows frames, and slower still while
// nobody is looking: a virtual display, or VSync switched off, would otherwise let it spin a core.
#pragma once

#include <chrono>
#include <functional>

class FramePacer
{
public:
    // `framesPerSecond` 0 (the display's rate unknown) paces at DEFAULT_RATE.
    explicit FramePacer(int framesPerSecond);

    // Sleeps until the next frame is due. A late frame is not made up for. While idle, `woken` is asked
    // every few milliseconds, and a true answer makes the next frame due at once (a key tap or a click
    // is shorter than an idle frame).
    void wait(bool idle, const std::function<bool()>& woken);

    std::chrono::steady_clock::duration period(bool idle) const { return idle ? mIdlePeriod : mPeriod; }

    static const int DEFAULT_RATE = 60;
    static const int IDLE_RATE = 5;
    static constexpr std::chrono::milliseconds WAKE_CHECK{10};

private:
    std::chrono::steady_clock::duration mPeriod;
    std::chrono::steady_clock::duration mIdlePeriod;
    std::chrono::steady_clock::time_point mNextFrame;
};
