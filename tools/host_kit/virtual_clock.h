// A clock the host controls: while set, the plug-in's clock answers the
// virtual time.
//
// How the plug-in's calls get here differs by system. ELF systems: this kit
// defines the C library's time() and the program exports it (CMake
// ENABLE_EXPORTS), so every call of time() in the process, the plug-in's
// included, comes here. Windows: a DLL's imports are bound to the DLL that
// provides them, so attach() points the loaded plug-in's import of _time64
// here; the program's own calls keep the real clock.
#pragma once

#include <cstdint>

namespace virtual_clock {
// Routes the clock of `module` (plugin_library::native_handle()) here. False
// when it cannot: on Windows, the module imports no _time64. Nothing to do
// elsewhere (true), and inline there, so that a program with a clock of its
// own (the benchmarks) can use the kit without this file's time().
#if defined(_WIN32)
bool attach(void* module);
#else
inline bool attach(void*) {
    return true;
}
#endif
void set(std::int64_t seconds);
void advance(std::int64_t seconds);
// Back to the real clock.
void reset();
} // namespace virtual_clock
