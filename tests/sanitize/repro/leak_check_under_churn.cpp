// The leak checker stops every thread to read it. This program runs many checks while threads come
// and go (joined and detached, with stacks large enough that the C library unmaps them), others sit
// blocked as the GL driver's do, and SIGTERM and SIGINT keep arriving at a handler that only sets a
// flag, as the game's does. On Debian 12 (GCC 12's runtime) every check completes: none of these makes
// the checker fail, which is why the game's end-to-end runs keep their leak check on. The crashes
// that were seen came from dynamic TLS blocks instead: see dynamic_tls.cpp beside this file.
//
//   g++ -g -fsanitize=address -pthread leak_check_under_churn.cpp -o churn && ./churn 2000
//
// A failure shows as "LeakSanitizer has encountered a fatal error" or "Tracer caught signal" on
// standard error and a non-zero exit status; success prints the number of checks and exits 0.
#include <sanitizer/lsan_interface.h>

#include <atomic>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include <pthread.h>
#include <unistd.h>

namespace {

std::atomic<bool> done{false};
volatile std::sig_atomic_t quitSignals = 0;

void countQuit(int)
{
    quitSignals = quitSignals + 1;
}

void* shortLived(void*)
{
    return nullptr;
}

// Starts and ends threads until done; detached ones free their own stacks as they exit.
void* churn(void* detached)
{
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, 16 << 20);
    if (detached)
        pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    while (!done) {
        pthread_t thread;
        if (pthread_create(&thread, &attr, shortLived, nullptr) == 0 && !detached)
            pthread_join(thread, nullptr);
    }
    pthread_attr_destroy(&attr);
    return nullptr;
}

std::mutex idleMutex;
std::condition_variable idleWake;

void* idle(void*)
{
    std::unique_lock<std::mutex> lock(idleMutex);
    idleWake.wait(lock, [] { return done.load(); });
    return nullptr;
}

// Quit signals to the whole process, so the kernel picks which thread takes each.
void* signaller(void*)
{
    while (!done) {
        kill(getpid(), SIGTERM);
        kill(getpid(), SIGINT);
        usleep(1000);
    }
    return nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    const int checks = argc > 1 ? std::atoi(argv[1]) : 1000;
    struct sigaction action = {};
    action.sa_handler = countQuit;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    pthread_t threads[7];
    for (int i = 0; i < 4; ++i)
        pthread_create(&threads[i], nullptr, churn, i % 2 ? &threads[i] : nullptr);
    for (int i = 4; i < 6; ++i)
        pthread_create(&threads[i], nullptr, idle, nullptr);
    pthread_create(&threads[6], nullptr, signaller, nullptr);

    for (int i = 0; i < checks; ++i)
        __lsan_do_recoverable_leak_check();

    done = true;
    {
        std::lock_guard<std::mutex> lock(idleMutex);
        idleWake.notify_all();
    }
    for (pthread_t thread : threads)
        pthread_join(thread, nullptr);
    std::printf("%d leak checks done, %d quit signals handled\n", checks, static_cast<int>(quitSignals));
    return 0;
}
