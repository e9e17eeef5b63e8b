// Loaded at run time, so its thread-local variables live in dynamic TLS blocks that each thread
// allocates the first time it touches them.
#include <cstdlib>

namespace {
thread_local char scratch[40];
thread_local void* held;
}

// Returns the start of this thread's block, where scratch lies.
extern "C" void* holdBlock()
{
    scratch[0] = 1;
    held = std::malloc(100);
    return scratch;
}

extern "C" void dropBlock()
{
    std::free(held);
}
