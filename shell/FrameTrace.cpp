#include "FrameTrace.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {
// Opened on first use; line-buffered, so a reader following the file sees each line as it is written.
std::FILE* traceFile()
{
    static std::FILE* file = [] {
        const char* path = std::getenv("BARRELS_FRAME_TRACE");
        std::FILE* opened = path && *path ? std::fopen(path, "w") : nullptr;
        if (opened)
            std::setvbuf(opened, nullptr, _IOLBF, 0);
        return opened;
    }();
    return file;
}
}

namespace FrameTrace {

bool enabled()
{
    return traceFile() != nullptr;
}

long long now()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void key(int code, bool down)
{
    if (std::FILE* file = traceFile())
        std::fprintf(file, "input %lld key %d %s\n", now(), code, down ? "down" : "up");
}

void button(int id, bool down)
{
    if (std::FILE* file = traceFile())
        std::fprintf(file, "input %lld button %d %s\n", now(), id, down ? "down" : "up");
}

void motion(int dx, int dy)
{
    if (std::FILE* file = traceFile())
        std::fprintf(file, "input %lld motion %d %d\n", now(), dx, dy);
}

void frame(long long drawn, long long shown)
{
    if (std::FILE* file = traceFile())
        std::fprintf(file, "frame %lld %lld\n", drawn, shown);
}

} // namespace FrameTrace
