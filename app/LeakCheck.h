// The sanitizer build's leak check, run by the game itself at a moment of its choosing.
#pragma once

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

// The checker stops every thread to read it, and crashes now and then on one of the GL driver's
// threads that is going away, as they are once the window is destroyed and at exit: the game checks
// while its window is still whole instead (later calls do nothing). A no-op in other builds.
inline void checkLeaksNow()
{
#ifdef __SANITIZE_ADDRESS__
    __lsan_do_leak_check();
#endif
}
