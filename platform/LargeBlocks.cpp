#include "LargeBlocks.h"

#include <cstdint>
#include <cstdlib>

#include <sys/mman.h>
#include <unistd.h>

namespace LargeBlocks {
namespace {
const std::size_t HUGE_PAGE = std::size_t(2) << 20;
const std::size_t SMALLEST_LARGE = 4 * HUGE_PAGE;
// Each block starts with the size of its mapping (0: from malloc); 16 bytes keep malloc's alignment.
const std::size_t HEADER = 16;

std::size_t roundUp(std::size_t size, std::size_t unit)
{
    return (size + unit - 1) / unit * unit;
}

// A mapping aligned to a huge page, so that all of it can be backed by huge pages.
void* mapAligned(std::size_t size)
{
    const std::size_t slack = HUGE_PAGE;
    void* mapped = mmap(nullptr, size + slack, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return nullptr;
    char* start = static_cast<char*>(mapped);
    char* aligned = reinterpret_cast<char*>(roundUp(reinterpret_cast<std::uintptr_t>(start), HUGE_PAGE));
    if (aligned > start)
        munmap(start, static_cast<std::size_t>(aligned - start));
    const std::size_t tail = static_cast<std::size_t>(start + size + slack - (aligned + size));
    if (tail > 0)
        munmap(aligned + size, tail);
    // Only advice: without huge pages the block is ordinary memory.
    madvise(aligned, size, MADV_HUGEPAGE);
    return aligned;
}
}

void* allocate(std::size_t size)
{
    std::size_t mapping = 0;
    char* block = nullptr;
    if (size >= SMALLEST_LARGE) {
        // Whole small pages: a tail shorter than a huge page stays in small ones, touched or not.
        mapping = roundUp(size + HEADER, static_cast<std::size_t>(sysconf(_SC_PAGESIZE)));
        block = static_cast<char*>(mapAligned(mapping));
    }
    if (!block) {
        mapping = 0;
        block = static_cast<char*>(std::malloc(size + HEADER));
        if (!block)
            return nullptr;
    }
    *reinterpret_cast<std::size_t*>(block) = mapping;
    return block + HEADER;
}

void release(void* block)
{
    if (!block)
        return;
    char* start = static_cast<char*>(block) - HEADER;
    const std::size_t mapping = *reinterpret_cast<std::size_t*>(start);
    if (mapping)
        munmap(start, mapping);
    else
        std::free(start);
}
}
