// The leak checker against dynamic TLS blocks that start 16 bytes into a page, as a module loaded at
// run time gets them from this allocator. GCC 12's runtime, when it records such blocks, reads a
// range from the allocator's chunk header in front of the block and its tracer crashes scanning it:
//
//   LSAN_OPTIONS=intercept_tls_get_addr=1 ./dynamic_tls ./libdynamic_tls_module.so
//   -> "Tracer caught signal 11", "LeakSanitizer has encountered a fatal error"
//
// With the record off (the sanitizer build's default) the check completes, and the block each thread
// allocates and holds only from its dynamic TLS is still found, not reported as a leak.
// Exit status: 0 checked without a leak, 1 a leak reported, 2 the module did not load, 3 no block
// started 16 bytes into a page (the case did not arise).
#include <sanitizer/lsan_interface.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <dlfcn.h>
#include <pthread.h>

namespace {

using Hold = void* (*)();
using Drop = void (*)();

Hold holdBlock;
Drop dropBlock;
std::atomic<int> holding{0};
std::atomic<int> pageStarts{0};
pthread_mutex_t gate = PTHREAD_MUTEX_INITIALIZER;

void* holdUntilChecked(void*)
{
    if ((reinterpret_cast<std::uintptr_t>(holdBlock()) & 0xfff) == 16)
        ++pageStarts;
    ++holding;
    pthread_mutex_lock(&gate);
    pthread_mutex_unlock(&gate);
    dropBlock();
    return nullptr;
}

}

int main(int argc, char** argv)
{
    void* module = argc > 1 ? dlopen(argv[1], RTLD_NOW) : nullptr;
    if (!module) {
        std::fprintf(stderr, "usage: dynamic_tls MODULE (%s)\n", argc > 1 ? dlerror() : "no module");
        return 2;
    }
    holdBlock = reinterpret_cast<Hold>(dlsym(module, "holdBlock"));
    dropBlock = reinterpret_cast<Drop>(dlsym(module, "dropBlock"));

    const int THREADS = 16;
    std::vector<pthread_t> threads(THREADS);
    pthread_mutex_lock(&gate);
    for (pthread_t& thread : threads)
        pthread_create(&thread, nullptr, holdUntilChecked, nullptr);
    while (holding < THREADS)
        sched_yield();
    std::printf("%d of %d blocks start 16 bytes into a page\n", pageStarts.load(), THREADS);
    if (pageStarts == 0)
        return 3;
    const int leaked = __lsan_do_recoverable_leak_check();
    pthread_mutex_unlock(&gate);
    for (pthread_t thread : threads)
        pthread_join(thread, nullptr);
    std::printf(leaked ? "leak reported\n" : "checked\n");
    return leaked ? 1 : 0;
}
