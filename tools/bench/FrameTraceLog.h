// The game's frame trace (BARRELS_FRAME_TRACE, shell/FrameTrace.h) as the latency benchmark reads it,
// and the latency of an injected event found in it.
#pragma once

#include "LineFollower.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

struct TraceInput
{
    enum Kind { KEY, BUTTON, MOTION };
    long long ns;
    Kind kind;
    int code = 0; // the key code or button id
    bool down = false;
    int dx = 0, dy = 0;
};

struct TraceFrame
{
    long long drawn, shown;
};

class FrameTraceLog
{
public:
    explicit FrameTraceLog(const std::string& path) : mFollower(path) {}

    // Takes what the game has written since the last call.
    void update();
    // Takes one line; a line that is neither input nor frame is ignored.
    void read(const std::string& line);

    const std::vector<TraceInput>& inputs() const { return mInputs; }
    const std::vector<TraceFrame>& frames() const { return mFrames; }

    // The first input seen after `after` that `matches`.
    std::optional<TraceInput> inputAfter(long long after, const std::function<bool(const TraceInput&)>& matches) const;
    // How many frames started drawing after `after`.
    int framesDrawnAfter(long long after) const;
    // When the first frame drawn after the poll that saw the first matching input after `sent`
    // was shown, less `sent`: the event's latency. Empty while the trace does not yet have both.
    std::optional<long long> latency(long long sent, const std::function<bool(const TraceInput&)>& matches) const;

private:
    std::vector<TraceFrame>::const_iterator firstDrawnAfter(long long after) const;

    LineFollower mFollower;
    std::vector<TraceInput> mInputs;
    std::vector<TraceFrame> mFrames;
};

// The value below which the fraction `p` (0..1) of the values lie: the nearest rank, so that a high
// percentile of a few samples is one of them rather than a blend. 0 for no values.
double percentile(std::vector<double> values, double p);
