// The run-time test of one controller input record against one element, in
// this order: an armed clock starts (whatever the controller), records of
// other controllers are ignored, an expired timeout wins over the condition,
// then the condition; the wait message follows the result. A wait without an
// armed clock, a timeout or a message has only the middle two steps and runs
// inline in the exported call; any other call takes the order out of line.
#pragma once

#include <cstdint>

#include "abi/config_flags.h"
#include "abi/element_handle.h"
#include "abi/input_record.h"
#include "abi/result_codes.h"
#include "element/instance_data.h"
#include "model/platform.h"

inline bool is_serial_mode(std::uint32_t input_mode) {
    return input_mode == INPUT_SERIAL_1 || input_mode == INPUT_SERIAL_2;
}

namespace evaluation {

// A clear mask bit lets the line have either level, whatever the value bit.
template <class T> std::int32_t digital_result(T level, T value, T mask) {
    return ((level ^ value) & mask) == 0 ? RES_OK : RES_WAIT;
}

// The condition of a mode that names no digital port: the serial text test
// and forwarding, or RES_INVALID.
std::int32_t other_condition(instance_data& instance, const std::uint8_t* record);

// The condition of input_mode. A digital port reads its own level field, at
// its width, and no other byte of the record: a host may have written that
// field just before the call, and a wider read would wait for the store.
inline std::int32_t condition_result(instance_data& instance, const std::uint8_t* record) {
    const input_config& c = instance.config;
    const std::uint32_t mode = c.input_mode;
    // Forwarding bits are ignored for digital modes.
    if (mode == INPUT_DIGI8_1)
        return digital_result(record[INPUT_DIGI8_1_LEVEL], c.digi8_value[0], c.digi8_mask[0]);
    if (mode == INPUT_DIGI8_2)
        return digital_result(record[INPUT_DIGI8_2_LEVEL], c.digi8_value[1], c.digi8_mask[1]);
    if (mode == INPUT_DIGI16_1)
        return digital_result(platform::read_be16(record + INPUT_DIGI16_1_LEVEL), c.digi16_value[0],
                              c.digi16_mask[0]);
    if (mode == INPUT_DIGI16_2)
        return digital_result(platform::read_be16(record + INPUT_DIGI16_2_LEVEL), c.digi16_value[1],
                              c.digi16_mask[1]);
    if (mode == INPUT_DIGI32)
        return digital_result(platform::read_be32(record + INPUT_DIGI32_LEVEL), c.digi32_value,
                              c.digi32_mask);
    return other_condition(instance, record);
}

// The whole order, for every call but the plain wait, on an element with a
// record in its slot and an input record (check_input_value refuses the
// others). It takes the exported call's own arguments, so the plain wait
// hands over without moving one.
std::int32_t evaluate_with_options(element_handle* element, const std::uint8_t* record,
                                   std::int32_t controller);

} // namespace evaluation

// The whole run-time call: RES_INVALID for a missing element or record, then
// the order above.
inline std::int32_t check_input_value(element_handle* element, const void* input_record,
                                      std::int32_t controller) {
    instance_data* instance = instance_of(element);
    const auto* record = static_cast<const std::uint8_t*>(input_record);
    if (instance == nullptr || record == nullptr)
        return RES_INVALID;
    const input_config& config = instance->config;
    // One test sends every call but the plain wait on a record of the
    // element's controller the whole way.
    const std::uint32_t detour =
        std::uint32_t{instance->start_timer} | (config.flags & (FLAG_TIMEOUT | FLAG_SHOW_MESSAGE)) |
        (std::uint32_t{config.controller} ^ static_cast<std::uint32_t>(controller));
    if (detour != 0)
        return evaluation::evaluate_with_options(element, record, controller);
    return evaluation::condition_result(*instance, record);
}
