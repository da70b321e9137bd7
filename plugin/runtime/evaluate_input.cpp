// evaluate_input and check_input_value. The digital path runs for
// every record a controller sends, so it is kept free of calls: the clock,
// the text test and the message events stay out of line.
#include "evaluate_input.h"

#include "input_record.h"
#include "platform.h"
#include "result_codes.h"
#include "serial_text.h"
#include "wait_message.h"

namespace {

// A clear mask bit lets the line have either level, whatever the value bit.
template <typename T> bool masked_equal(T level, T value, T mask) {
    return ((level ^ value) & mask) == 0;
}

std::int32_t timeout_result(instance_data& instance) {
    if (instance.config.timeout_action == ACTION_CONTINUE)
        return RES_OK;
    instance.pending_operation = PENDING_TIMEOUT;
    return RES_CUSTOM_OPERATION;
}

// The serial text test and forwarding. last_received takes the received text
// whether or not it matches; only the comparison text has its markers replaced.
PLATFORM_NOINLINE std::int32_t serial_result(instance_data& instance, const std::uint8_t* record) {
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

std::int32_t digital_result(bool met) {
    return met ? RES_OK : RES_WAIT;
}

// The step of the algorithm after the controller filter and the timeout: the
// condition of input_mode, then forwarding. The text test and forwarding are
// out of line, so that a digital record goes through without any call.
//
// The two ports of a width are neighbouring mode bits, so one test finds the
// width and the port is an index, not another branch: a record of any
// digital port reaches its compare after at most three tests.
static_assert(INPUT_DIGI8_2 == 2 * INPUT_DIGI8_1 && INPUT_DIGI16_2 == 2 * INPUT_DIGI16_1);
static_assert(INPUT_DIGI8_2_LEVEL == INPUT_DIGI8_1_LEVEL + 1 &&
              INPUT_DIGI16_2_LEVEL == INPUT_DIGI16_1_LEVEL + 2);
PLATFORM_ALWAYS_INLINE std::int32_t condition_result(instance_data& instance,
                                                     const std::uint8_t* record) {
    const input_config& config = instance.config;
    const std::uint32_t mode = config.input_mode;
    // Forwarding bits are ignored for digital modes.
    if (mode == INPUT_DIGI8_1 || mode == INPUT_DIGI8_2) {
        const std::size_t port = mode / INPUT_DIGI8_2; // 0 or 1
        return digital_result(masked_equal<std::uint8_t>(
            record[INPUT_DIGI8_1_LEVEL + port], config.digi8_value[port], config.digi8_mask[port]));
    }
    if (mode == INPUT_DIGI16_1 || mode == INPUT_DIGI16_2) {
        const std::size_t port = mode / INPUT_DIGI16_2;
        return digital_result(masked_equal<std::uint16_t>(
            platform::read_be16(record + INPUT_DIGI16_1_LEVEL + 2 * port),
            config.digi16_value[port], config.digi16_mask[port]));
    }
    if (mode == INPUT_DIGI32)
        return digital_result(
            masked_equal<std::uint32_t>(platform::read_be32(record + INPUT_DIGI32_LEVEL),
                                        config.digi32_value, config.digi32_mask));
    if (is_serial_mode(mode))
        return serial_result(instance, record);
    return RES_INVALID;
}

// The whole order with the clock: timer start, controller filter, timeout,
// condition. One reading serves the timer start and the timeout test of a
// call, so a second boundary between them cannot expire a fresh deadline.
PLATFORM_NOINLINE std::int32_t
evaluate_with_clock(instance_data& instance, const std::uint8_t* record, std::int32_t controller) {
    const input_config& config = instance.config;
    std::int64_t now = 0;
    const bool have_now = instance.start_timer != 0;
    if (have_now) {
        now = platform::now_seconds();
        instance.deadline = now + std::int64_t{config.timeout_sec};
        instance.start_timer = 0;
    }
    if (std::int32_t{config.controller} != controller)
        return RES_IGNORED;
    if ((config.flags & FLAG_TIMEOUT) != 0) {
        if (!have_now)
            now = platform::now_seconds();
        // Strictly later: the deadline second itself still waits.
        if (now > instance.deadline)
            return timeout_result(instance);
    }
    return condition_result(instance, record);
}

} // namespace

std::int32_t evaluate_input(instance_data& instance, const std::uint8_t* record,
                            std::int32_t controller) {
    // Without an armed clock or a timeout the clock is not read at all.
    if (instance.start_timer != 0 || (instance.config.flags & FLAG_TIMEOUT) != 0)
        return evaluate_with_clock(instance, record, controller);
    if (std::int32_t{instance.config.controller} != controller)
        return RES_IGNORED;
    return condition_result(instance, record);
}

namespace {

// A running timeout, then the condition. Out of line, so that its call of
// the clock costs a plain wait no stack frame.
PLATFORM_NOINLINE std::int32_t timeout_then_condition(instance_data& instance,
                                                      const std::uint8_t* record) {
    // Strictly later: the deadline second itself still waits.
    if (platform::now_seconds() > instance.deadline)
        return timeout_result(instance);
    return condition_result(instance, record);
}

PLATFORM_NOINLINE std::int32_t evaluate_with_options(const element_handle& element,
                                                     instance_data& instance,
                                                     const std::uint8_t* record,
                                                     std::int32_t controller) {
    if (record == nullptr)
        return RES_INVALID;
    const std::int32_t result = evaluate_input(instance, record, controller);
    send_wait_message_events(element.sink, instance.config, result);
    return result;
}

} // namespace

std::int32_t check_input_value(element_handle* element, const void* input_record,
                               std::int32_t controller) {
    instance_data* instance = instance_of(element);
    if (instance == nullptr)
        return RES_INVALID;
    const auto* record = static_cast<const std::uint8_t*>(input_record);
    // A wait without a message and without an armed clock, on a record of the
    // element's controller, is the timeout test and the pattern, inline. One
    // test, one branch, sends every other call (a missing record too) the
    // whole way, which keeps the order of the checks.
    const input_config& config = instance->config;
    const std::uint32_t detour =
        std::uint32_t{record == nullptr} | std::uint32_t{instance->start_timer} |
        (config.flags & FLAG_SHOW_MESSAGE) |
        (std::uint32_t{config.controller} ^ static_cast<std::uint32_t>(controller));
    if (PLATFORM_UNLIKELY(detour != 0))
        return evaluate_with_options(*element, *instance, record, controller);
    if ((config.flags & FLAG_TIMEOUT) != 0)
        return timeout_then_condition(*instance, record);
    return condition_result(*instance, record);
}
