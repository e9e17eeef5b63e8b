// The sanitizer build's leak check, run by the game itself at a moment of its choosing.
#pragma once

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

// The game checks while its window is still whole, before the engine is torn down; later calls and
// the check at exit do nothing. The check was moved here when crashes of the checker at exit were
// blamed on the GL driver's threads; they were the runtime's dynamic-TLS fault, which an option of
// the sanitizer build avoids (tests/sanitize/SanitizerOptions.cpp). A no-op in other builds.
inline void checkLeaksNow()
{
#ifdef __SANITIZE_ADDRESS__
    __lsan_do_leak_check();
#endif
}
