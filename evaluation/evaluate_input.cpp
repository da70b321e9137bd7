// evaluate_input and vexa_check_input_value. The digital path runs for
// every record a controller sends, so it is kept free of calls: the clock,
// the text test and the message events stay out of line.
#include "evaluation/evaluate_input.h"

#include "evaluation/serial_text.h"
#include "evaluation/wait_message.h"
#include "host_api/entry_points.h"
#include "host_api/input_record.h"
#include "host_api/platform.h"

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
[[gnu::noinline]] std::int32_t serial_result(instance_data& instance, const std::uint8_t* record) {
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

// Part of the algorithm after the controller filter and the timeout: the
// condition of input_mode, then forwarding. The text test and forwarding are
// out of line, so that a digital record goes through without any call.
[[gnu::always_inline]] inline std::int32_t condition_result(instance_data& instance,
                                                            const std::uint8_t* record) {
    const input_config& config = instance.config;
    bool met = false;
    switch (config.input_mode) {
    case INPUT_DIGI8_1:
        met = masked_equal<std::uint8_t>(record[INPUT_DIGI8_1_LEVEL], config.digi8_value[0],
                                         config.digi8_mask[0]);
        break;
    case INPUT_DIGI8_2:
        met = masked_equal<std::uint8_t>(record[INPUT_DIGI8_2_LEVEL], config.digi8_value[1],
                                         config.digi8_mask[1]);
        break;
    case INPUT_DIGI16_1:
        met = masked_equal<std::uint16_t>(platform::read_be16(record + INPUT_DIGI16_1_LEVEL),
                                          config.digi16_value[0], config.digi16_mask[0]);
        break;
    case INPUT_DIGI16_2:
        met = masked_equal<std::uint16_t>(platform::read_be16(record + INPUT_DIGI16_2_LEVEL),
                                          config.digi16_value[1], config.digi16_mask[1]);
        break;
    case INPUT_DIGI32:
        met = masked_equal<std::uint32_t>(platform::read_be32(record + INPUT_DIGI32_LEVEL),
                                          config.digi32_value, config.digi32_mask);
        break;
    case INPUT_SERIAL_1:
    case INPUT_SERIAL_2:
        return serial_result(instance, record);
    default:
        return RES_INVALID;
    }
    // Forwarding bits are ignored for digital modes.
    return met ? RES_OK : RES_WAIT;
}

// The whole order with the clock: timer start, controller filter, timeout,
// condition. One reading serves the timer start and the timeout test of a
// call, so a second boundary between them cannot expire a fresh deadline.
[[gnu::noinline]] std::int32_t
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

[[gnu::noinline]] std::int32_t evaluate_with_options(const element_handle& element,
                                                     instance_data& instance,
                                                     const std::uint8_t* record,
                                                     std::int32_t controller) {
    const std::int32_t result = evaluate_input(instance, record, controller);
    send_wait_message_events(element.sink, instance.config, result);
    return result;
}

} // namespace

std::int32_t vexa_check_input_value(element_handle* element, const void* input_record,
                                    std::int32_t controller) {
    instance_data* instance = instance_of(element);
    if (instance == nullptr || input_record == nullptr)
        return RES_INVALID;
    const auto* record = static_cast<const std::uint8_t*>(input_record);
    // A plain wait (no clock, no message) is evaluate_input without its
    // clock branch, inline: one test here covers clock and message.
    if (instance->start_timer != 0 ||
        (instance->config.flags & (FLAG_TIMEOUT | FLAG_SHOW_MESSAGE)) != 0)
        return evaluate_with_options(*element, *instance, record, controller);
    if (std::int32_t{instance->config.controller} != controller)
        return RES_IGNORED;
    return condition_result(*instance, record);
}
