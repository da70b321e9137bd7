// The out-of-line parts of evaluation: the serial text test, and the order
// for calls with an armed clock, a timeout or a message.
#include "runtime/evaluate_input.h"

#include <limits>

#include "runtime/serial_text.h"
#include "runtime/wait_message.h"

namespace evaluation {
namespace {

// last_received takes the received text whether or not it matches; only the
// comparison text has its markers replaced.
std::int32_t serial_result(instance_data& instance, const std::uint8_t* record) {
    const input_config& config = instance.config;
    const bool first = config.input_mode == INPUT_SERIAL_1;
    decoded_text comparison;
    decode_comparison_text(first ? config.compare_text1 : config.compare_text2, comparison);
    decoded_text received;
    decode_text(reinterpret_cast<const char*>(record) +
                    (first ? INPUT_SERIAL1_TEXT : INPUT_SERIAL2_TEXT),
                first ? INPUT_SERIAL1_TEXT_SIZE : INPUT_SERIAL2_TEXT_SIZE, received);
    instance.last_received.assign(received.chars, received.length);
    const text_compare mode =
        first ? compare_mode(config.flags, FLAG_SERIAL1_FULL, FLAG_SERIAL1_SUBSTRING)
              : compare_mode(config.flags, FLAG_SERIAL2_FULL, FLAG_SERIAL2_SUBSTRING);
    if (!text_matches(received.view(), comparison.view(), mode))
        return RES_WAIT;
    if ((config.flags & FLAG_FORWARD_ANY) != 0) {
        instance.pending_operation = PENDING_FORWARD;
        return RES_CUSTOM_OPERATION;
    }
    return RES_OK;
}

// a + b, held at the end of the 64-bit range it would pass: the clock may read
// anything, below zero included (-1 from a failed clock call on Windows).
constexpr std::int64_t saturating_add(std::int64_t a, std::int64_t b) {
    constexpr std::int64_t max = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t min = std::numeric_limits<std::int64_t>::min();
    if (b > 0 && a > max - b)
        return max;
    if (b < 0 && a < min - b)
        return min;
    return a + b;
}
// Timeouts are never negative, so no call reaches the lower end: checked here.
static_assert(saturating_add(std::numeric_limits<std::int64_t>::min() + 1, -2) ==
                  std::numeric_limits<std::int64_t>::min(),
              "saturates at the start");

std::int32_t timeout_result(instance_data& instance) {
    if (instance.config.timeout_action == ACTION_CONTINUE)
        return RES_OK;
    instance.pending_operation = PENDING_TIMEOUT;
    return RES_CUSTOM_OPERATION;
}

} // namespace

// The parts that convert texts or send events catch here, so no exception
// reaches the host and the inline plain wait needs no handler of its own.

std::int32_t other_condition(instance_data& instance, const std::uint8_t* record) try {
    return is_serial_mode(instance.config.input_mode) ? serial_result(instance, record)
                                                      : RES_INVALID;
} catch (...) {
    return RES_NO_MEMORY;
}

// Every step, the clock read at most once: a timer that the call starts
// cannot expire in the same call across a second boundary.
std::int32_t evaluate_with_options(element_handle* element, const std::uint8_t* record,
                                   std::int32_t controller) try {
    auto& instance = *static_cast<instance_data*>(element->instance_data);
    const input_config& config = instance.config;
    std::int64_t now = 0;
    bool have_now = false;
    if (instance.start_timer != 0) {
        now = platform::now_seconds();
        have_now = true;
        // A clock near the end of time saturates the deadline at the largest
        // time, which no reading passes: that wait never times out.
        instance.deadline = saturating_add(now, std::int64_t{config.timeout_sec});
        instance.start_timer = 0;
    }
    if (std::int32_t{config.controller} != controller)
        return RES_IGNORED;
    bool timed_out = false;
    if ((config.flags & FLAG_TIMEOUT) != 0) {
        if (!have_now)
            now = platform::now_seconds();
        // Strictly later: the deadline second itself still waits.
        timed_out = now > instance.deadline;
    }
    const std::int32_t result =
        timed_out ? timeout_result(instance) : condition_result(instance, record);
    if ((config.flags & FLAG_SHOW_MESSAGE) != 0)
        send_wait_message_events(element->sink, config, result);
    return result;
} catch (...) {
    return RES_NO_MEMORY;
}

} // namespace evaluation
