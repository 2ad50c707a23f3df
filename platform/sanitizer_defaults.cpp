// Built into every program of the AddressSanitizer build: the runtime's own
// defaults, before whatever ASAN_OPTIONS says.
//
// GCC 12's runtime notes each thread-local block that glibc allocates for a
// library loaded at run time, so that the leak check can scan it. To find the
// block's size it reads a header that glibc before 2.25 put in front of the
// block, whenever the block starts 16 bytes past a page boundary. Today's glibc
// puts no header there: the runtime reads its own allocator's bookkeeping
// instead and notes a range near address 0, and the leak check's tracer dies
// scanning it ("Tracer caught signal 11"). The GL driver's compiler (libLLVM)
// has such a block on the thread that draws; where it lands depends on what was
// allocated before, so one machine never sees the crash and another sees it in
// every run.
//
// Without that note nothing goes unscanned: glibc allocates these blocks
// through the dynamic loader, and the leak check keeps whatever the loader
// allocated, and all it points to, as live.
extern "C" const char* __asan_default_options()
{
    return "intercept_tls_get_addr=0";
}
