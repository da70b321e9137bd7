// A clock the host controls: while set, every call of the C library's time()
// in this process, the plug-in's included, answers the virtual time. The
// program must export its symbols (CMake ENABLE_EXPORTS) for the plug-in to
// see it.
#pragma once

#include <cstdint>

namespace virtual_clock {
void set(std::int64_t seconds);
void advance(std::int64_t seconds);
// Back to the real clock.
void reset();
} // namespace virtual_clock
