#include "virtual_clock.h"

#include <ctime>

namespace {
bool active = false;
std::int64_t now = 0;
} // namespace

void virtual_clock::set(std::int64_t seconds) {
    active = true;
    now = seconds;
}

void virtual_clock::advance(std::int64_t seconds) {
    now += seconds;
}

void virtual_clock::reset() {
    active = false;
}

// Replaces the C library's time() for the whole process.
extern "C" time_t time(time_t* out) noexcept {
    time_t value;
    if (active) {
        value = static_cast<time_t>(now);
    } else {
        timespec ts{};
        clock_gettime(CLOCK_REALTIME, &ts);
        value = ts.tv_sec;
    }
    if (out != nullptr)
        *out = value;
    return value;
}
