#include "FrameTraceLog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

void FrameTraceLog::update()
{
    for (const std::string& line : mFollower.newLines())
        read(line);
}

void FrameTraceLog::read(const std::string& line)
{
    long long a = 0, b = 0;
    int x = 0, y = 0;
    char state[8] = {};
    if (std::sscanf(line.c_str(), "frame %lld %lld", &a, &b) == 2) {
        mFrames.push_back({a, b});
    } else if (std::sscanf(line.c_str(), "input %lld key %d %7s", &a, &x, state) == 3) {
        mInputs.push_back({a, TraceInput::KEY, x, std::strcmp(state, "down") == 0});
    } else if (std::sscanf(line.c_str(), "input %lld button %d %7s", &a, &x, state) == 3) {
        mInputs.push_back({a, TraceInput::BUTTON, x, std::strcmp(state, "down") == 0});
    } else if (std::sscanf(line.c_str(), "input %lld motion %d %d", &a, &x, &y) == 3) {
        TraceInput motion{a, TraceInput::MOTION};
        motion.dx = x;
        motion.dy = y;
        mInputs.push_back(motion);
    }
}

// Both lists are in the order of their times: a search by time finds where to start.
std::optional<TraceInput> FrameTraceLog::inputAfter(long long after,
                                                    const std::function<bool(const TraceInput&)>& matches) const
{
    auto input = std::partition_point(mInputs.begin(), mInputs.end(),
                                      [after](const TraceInput& earlier) { return earlier.ns <= after; });
    input = std::find_if(input, mInputs.end(), matches);
    return input == mInputs.end() ? std::nullopt : std::optional<TraceInput>(*input);
}

std::vector<TraceFrame>::const_iterator FrameTraceLog::firstDrawnAfter(long long after) const
{
    return std::partition_point(mFrames.begin(), mFrames.end(),
                                [after](const TraceFrame& earlier) { return earlier.drawn <= after; });
}

int FrameTraceLog::framesDrawnAfter(long long after) const
{
    return static_cast<int>(mFrames.end() - firstDrawnAfter(after));
}

std::optional<long long> FrameTraceLog::latency(long long sent,
                                                const std::function<bool(const TraceInput&)>& matches) const
{
    const std::optional<TraceInput> seen = inputAfter(sent, matches);
    if (!seen)
        return std::nullopt;
    // A frame drawn before that poll cannot show the event, whichever order the game's loop has.
    const auto frame = firstDrawnAfter(seen->ns);
    if (frame == mFrames.end())
        return std::nullopt;
    return frame->shown - sent;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const double rank = std::ceil(p * static_cast<double>(values.size()));
    const std::size_t index = rank < 1 ? 0 : static_cast<std::size_t>(rank) - 1;
    return values[std::min(index, values.size() - 1)];
}
