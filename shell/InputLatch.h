// Keys or buttons as a poll sees them, made from their press and release events rather than read as
// a state: a press holds until a poll has seen it, so one that went down and up between two polls
// is seen down by the next poll and up by the one after, however long the frames take.
#pragma once

#include <array>
#include <cstddef>

template <std::size_t N>
class InputLatch
{
public:
    bool down(std::size_t i) const { return i < N && mDown[i]; }

    void press(std::size_t i)
    {
        if (i >= N)
            return;
        // A repeat of a held key, or a second tap no poll has seen yet: still one press.
        if (!mDown[i]) {
            mDown[i] = true;
            mSeen[i] = false;
        }
        mReleaseWaiting[i] = false;
    }

    void release(std::size_t i)
    {
        if (i >= N || !mDown[i])
            return;
        if (mSeen[i])
            mDown[i] = false;
        else
            mReleaseWaiting[i] = true;
    }

    // Before the events of a new poll: the releases that waited for a poll to see their press.
    void beginPoll()
    {
        for (std::size_t i = 0; i < N; ++i) {
            if (mReleaseWaiting[i] && mSeen[i]) {
                mDown[i] = false;
                mReleaseWaiting[i] = false;
            }
        }
    }

    // After them: the poll that follows sees what is down now.
    void endPoll()
    {
        for (std::size_t i = 0; i < N; ++i)
            mSeen[i] = mSeen[i] || mDown[i];
    }

    // The window lost or regained the focus: what polls have seen held counts as released, as its
    // release may have gone to another window. A press no poll has seen yet is new enough to keep: it
    // may well have come after the change (the focus and the keys reach us by different ways).
    void forget()
    {
        for (std::size_t i = 0; i < N; ++i) {
            if (mSeen[i]) {
                mDown[i] = false;
                mSeen[i] = false;
                mReleaseWaiting[i] = false;
            }
        }
    }

private:
    std::array<bool, N> mDown{};
    std::array<bool, N> mSeen{};
    std::array<bool, N> mReleaseWaiting{};
};
