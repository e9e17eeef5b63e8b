// Clocks and memory figures read the same way by every benchmark process.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>

namespace Measure {

// Monotonic time in nanoseconds; a parent's reading and its child's compare directly.
inline std::int64_t nowNs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return std::int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// CPU time of the calling thread alone: the software renderer's own threads are not counted.
inline std::int64_t threadCpuNs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return std::int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

inline double ms(std::int64_t ns)
{
    return double(ns) / 1e6;
}

// A field of /proc/self/status in MiB: "VmRSS:" now, "VmHWM:" the peak so far.
inline double statusMiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        long kib = 0;
        if (key == field && status >> kib)
            return double(kib) / 1024;
        status.ignore(256, '\n');
    }
    return -1;
}

// One figure for the parent to read: "name value".
inline void report(const std::string& name, double value)
{
    std::printf("%s %.4f\n", name.c_str(), value);
}

} // namespace Measure
