// The out-of-line parts of evaluation: the calls with options, the serial
// text test and the first record of a digital mode.
#include "runtime/evaluate_input.h"

#include "runtime/serial_text.h"

namespace evaluation {
namespace {

// The serial text test and forwarding. last_received takes the received text
// whether or not it matches; only the comparison text has its markers replaced.
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

// Its own function, so that the timed wait's frame is only as large as a call
// of the clock needs.
PLATFORM_NOINLINE std::int32_t evaluate_all(const element_handle& element, instance_data& instance,
                                            const std::uint8_t* record, std::int32_t controller) {
    return evaluate<ALL_OPTIONS>(element, instance, record, controller);
}

} // namespace

PLATFORM_NOINLINE std::int32_t other_condition(instance_data& instance,
                                               const std::uint8_t* record) {
    const std::uint32_t mode = instance.config.input_mode;
    const port_fields port = digital_condition::fields_of(mode);
    if (digital_condition::is_digital(port)) {
        // Forwarding bits are ignored for digital modes.
        instance.port = port;
        return digital_result(instance, record);
    }
    if (is_serial_mode(mode))
        return serial_result(instance, record);
    return RES_INVALID;
}

PLATFORM_NOINLINE std::int32_t evaluate_with_options(const element_handle& element,
                                                     instance_data& instance,
                                                     const std::uint8_t* record,
                                                     std::int32_t controller) {
    // A running timeout alone is the usual case: no clock to start, no message.
    if (instance.start_timer == 0 &&
        (instance.config.flags & (FLAG_TIMEOUT | FLAG_SHOW_MESSAGE)) == FLAG_TIMEOUT)
        return evaluate<TIMEOUT_ON>(element, instance, record, controller);
    return evaluate_all(element, instance, record, controller);
}

} // namespace evaluation
