// Sanitizer settings compiled into every test program of the sanitizer build,
// so a test or a validator replay run by hand behaves as it does under CTest.
#include <cstdlib>

extern "C" {

// Leak checking on; also catch stack use after return and init-order bugs.
const char* __asan_default_options() {
    return "detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:"
           "strict_init_order=1:abort_on_error=0";
}

// Toolkit-internal leaks only; see the file for why each entry is there.
const char* __lsan_default_options() {
    return "suppressions=" ZAVUD_LSAN_SUPPRESSIONS;
}

const char* __ubsan_default_options() {
    return "print_stacktrace=1:halt_on_error=1";
}
}

namespace {

// GTK's accessibility bridge leaks its bus connection once per process (see
// lsan.supp); tests do not need it. Set before the toolkit starts, unless the
// caller chose otherwise.
struct accessibility_bridge_off {
    accessibility_bridge_off() { setenv("NO_AT_BRIDGE", "1", 0); }
} bridge_off;

} // namespace
