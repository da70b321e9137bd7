// The run-time test of one input record against one element's condition.
#pragma once

#include <cstdint>

#include "instance_data.h"

// Starts an armed timeout clock, filters by controller, applies an expired
// timeout, then tests the condition of input_mode against `record` (a
// controller input record, read during the call only). Sets deadline,
// start_timer, pending_operation and last_received as it goes. Answers
// RES_OK, RES_WAIT, RES_IGNORED, RES_INVALID or RES_CUSTOM_OPERATION.
std::int32_t evaluate_input(instance_data& instance, const std::uint8_t* record,
                            std::int32_t controller);

// The whole run-time call: evaluate_input plus the wait-message events to the
// element's sink. RES_INVALID for a missing element or record.
std::int32_t check_input_value(element_handle* element, const void* input_record,
                               std::int32_t controller);

inline bool is_serial_mode(std::uint32_t input_mode) {
    return input_mode == INPUT_SERIAL_1 || input_mode == INPUT_SERIAL_2;
}
