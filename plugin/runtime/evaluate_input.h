// The run-time test of one controller input record against one element: the
// order of the checks, written once as evaluate<Options>. The plain wait is
// that order with the options it cannot meet folded away at compile time, and
// runs inline in the exported call; the rest is out of line.
#pragma once

#include <cassert>
#include <cstdint>

#include "abi/config_flags.h"
#include "abi/element_handle.h"
#include "abi/result_codes.h"
#include "element/instance_data.h"
#include "model/platform.h"
#include "runtime/digital_condition.h"
#include "runtime/wait_message.h"

// The exported evaluation starts a cache line, as the benchmark's baselines
// do: a call of two nanoseconds is a cycle slower when it spans one more line.
#if defined(__GNUC__)
#define EVALUATION_ENTRY [[gnu::aligned(64)]]
#else
#define EVALUATION_ENTRY
#endif

inline bool is_serial_mode(std::uint32_t input_mode) {
    return input_mode == INPUT_SERIAL_1 || input_mode == INPUT_SERIAL_2;
}

namespace evaluation {

// What an instance of the order must be ready for. An option left out is one
// the caller has ruled out for this call, so its step folds away; an option
// the caller has found set folds its test away.
enum options : unsigned {
    PLAIN = 0,
    MAY_START_CLOCK = 1,           // start_timer may be set
    MAY_TIME_OUT = 2,              // FLAG_TIMEOUT may be set
    TIMEOUT_ON = MAY_TIME_OUT | 8, // FLAG_TIMEOUT is set
    MAY_SHOW_MESSAGE = 4,          // FLAG_SHOW_MESSAGE may be set
    ALL_OPTIONS = MAY_START_CLOCK | MAY_TIME_OUT | MAY_SHOW_MESSAGE,
};

// Strictly later: the deadline second itself still waits.
inline bool deadline_passed(const instance_data& instance, std::int64_t now) {
    return now > instance.deadline;
}

// The clock of one call, read at most once, so that a timer started by the
// call cannot expire in the same call across a second boundary.
class call_clock {
public:
    std::int64_t now() {
        if (!read_) {
            now_ = platform::now_seconds();
            read_ = true;
        }
        return now_;
    }

private:
    std::int64_t now_ = 0;
    bool read_ = false;
};

inline std::int32_t timeout_result(instance_data& instance) {
    if (instance.config.timeout_action == ACTION_CONTINUE)
        return RES_OK;
    instance.pending_operation = PENDING_TIMEOUT;
    return RES_CUSTOM_OPERATION;
}

// The condition of an input_mode whose port fields are not at hand: works
// them out for a digital mode, tests a serial text (and forwarding), answers
// RES_INVALID for any other mode.
std::int32_t other_condition(instance_data& instance, const std::uint8_t* record);

PLATFORM_ALWAYS_INLINE std::int32_t digital_result(const instance_data& instance,
                                                   const std::uint8_t* record) {
    return digital_condition::met(instance.port, instance.config, record) ? RES_OK : RES_WAIT;
}

// The condition of input_mode. A digital mode whose port fields are at hand
// is one masked compare; everything else is out of line.
PLATFORM_ALWAYS_INLINE std::int32_t condition_result(instance_data& instance,
                                                     const std::uint8_t* record) {
    if (PLATFORM_UNLIKELY(instance.port.mode != instance.config.input_mode))
        return other_condition(instance, record);
    return digital_result(instance, record);
}

// Everything after the missing element and the missing record: the armed
// clock starts (whatever the controller), other controllers are ignored, an
// expired timeout wins over the condition, then the condition; the wait
// message follows the result.
template <unsigned Options>
PLATFORM_ALWAYS_INLINE std::int32_t evaluate(const element_handle& element, instance_data& instance,
                                             const std::uint8_t* record, std::int32_t controller) {
    const input_config& config = instance.config;
    // What the caller has ruled out or found must hold.
    assert((Options & MAY_START_CLOCK) != 0 || instance.start_timer == 0);
    assert((Options & MAY_TIME_OUT) != 0 || (config.flags & FLAG_TIMEOUT) == 0);
    assert((Options & TIMEOUT_ON) != TIMEOUT_ON || (config.flags & FLAG_TIMEOUT) != 0);
    assert((Options & MAY_SHOW_MESSAGE) != 0 || (config.flags & FLAG_SHOW_MESSAGE) == 0);
    call_clock clock;
    if ((Options & MAY_START_CLOCK) != 0 && instance.start_timer != 0) {
        instance.deadline = clock.now() + std::int64_t{config.timeout_sec};
        instance.start_timer = 0;
    }
    if (PLATFORM_UNLIKELY(std::int32_t{config.controller} != controller))
        return RES_IGNORED;
    const bool timeout_on = (Options & TIMEOUT_ON) == TIMEOUT_ON ||
                            ((Options & MAY_TIME_OUT) != 0 && (config.flags & FLAG_TIMEOUT) != 0);
    const bool timed_out = timeout_on && deadline_passed(instance, clock.now());
    const std::int32_t result =
        timed_out ? timeout_result(instance) : condition_result(instance, record);
    if ((Options & MAY_SHOW_MESSAGE) != 0)
        send_wait_message_events(element.sink, config, result);
    return result;
}

// evaluate<> for a call that may meet an armed clock, a timeout or a message.
std::int32_t evaluate_with_options(const element_handle& element, instance_data& instance,
                                   const std::uint8_t* record, std::int32_t controller);

} // namespace evaluation

// The whole run-time call: RES_INVALID for a missing element or record, then
// evaluate<> with the options this element can meet. Without an armed clock,
// a timeout or a message, that is the plain order, inline.
inline std::int32_t check_input_value(element_handle* element, const void* input_record,
                                      std::int32_t controller) {
    instance_data* instance = instance_of(element);
    if (instance == nullptr || input_record == nullptr)
        return RES_INVALID;
    const auto* record = static_cast<const std::uint8_t*>(input_record);
    if (PLATFORM_UNLIKELY((instance->config.flags & (FLAG_TIMEOUT | FLAG_SHOW_MESSAGE)) != 0 ||
                          instance->start_timer != 0))
        return evaluation::evaluate_with_options(*element, *instance, record, controller);
    return evaluation::evaluate<evaluation::PLAIN>(*element, *instance, record, controller);
}
