#include "QuitSignals.h"

#include <csignal>
#include <initializer_list>

namespace {

volatile std::sig_atomic_t sQuitSignalled = 0;

void raiseQuitFlag(int)
{
    sQuitSignalled = 1;
}

} // namespace

void catchQuitSignals()
{
    struct sigaction action = {};
    action.sa_handler = raiseQuitFlag;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

bool quitSignalled()
{
    return sQuitSignalled != 0;
}
