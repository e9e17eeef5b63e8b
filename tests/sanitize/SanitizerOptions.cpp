// Runtime options of the sanitizer build, compiled into every program: the sanitizer runtimes read
// these first and their *_OPTIONS environment variables after.

extern "C" {

// The engine's PNG codec frees the buffer of every PNG it writes with delete[], although the
// encoder allocated it with malloc. This runtime cannot suppress that report by library, only switch
// the check off; -Wmismatched-new-delete (in -Wall, an error in our code) still catches the mistake
// in our own code at compile time.
const char* __asan_default_options()
{
    return "alloc_dealloc_mismatch=0";
}

const char* __lsan_default_options()
{
    // Quoted: the runtime would split a path at a space or a colon. No table of the suppressions
    // used at exit: the game's standard error holds its own report and nothing else.
    //
    // No record of dynamic TLS blocks (intercept_tls_get_addr=0): GCC 12's runtime takes a block
    // that starts 16 bytes into a page for an old glibc's block with a header, reads a bogus range
    // from the allocator's chunk header in front of it, and its thread-stopping tracer crashes
    // scanning it ("Tracer caught signal 11"). Where a block lands depends on the allocation order,
    // so the game and its tests hit it now and then. The blocks are still scanned without the
    // record, through each thread's block table (tests/sanitize/repro/dynamic_tls.cpp shows both).
    return "suppressions='" BARRELS_LEAK_SUPPRESSIONS "':print_suppressions=0:intercept_tls_get_addr=0";
}

const char* __ubsan_default_options()
{
    return "print_stacktrace=1";
}
}
