// The baselines: for each measured entry point, the least work its semantics
// require, written by hand and called the way a host calls an entry point
// (not inlined, through a pointer, with the element handle). A benchmark's
// ratio is the plug-in's time over its baseline's.
#pragma once

#include <cstdint>

#include "abi/element_handle.h"
#include "abi/input_record.h"
#include "model/input_config.h"
#include "model/platform.h"

namespace bench {

// The condition of digital mode `Mode`, compared inline.
template <std::uint32_t Mode> bool port_met(const input_config& c, const std::uint8_t* r) {
    if constexpr (Mode == INPUT_DIGI8_1)
        return ((r[INPUT_DIGI8_1_LEVEL] ^ c.digi8_value[0]) & c.digi8_mask[0]) == 0;
    else if constexpr (Mode == INPUT_DIGI8_2)
        return ((r[INPUT_DIGI8_2_LEVEL] ^ c.digi8_value[1]) & c.digi8_mask[1]) == 0;
    else if constexpr (Mode == INPUT_DIGI16_1)
        return ((platform::read_be16(r + INPUT_DIGI16_1_LEVEL) ^ c.digi16_value[0]) &
                c.digi16_mask[0]) == 0;
    else if constexpr (Mode == INPUT_DIGI16_2)
        return ((platform::read_be16(r + INPUT_DIGI16_2_LEVEL) ^ c.digi16_value[1]) &
                c.digi16_mask[1]) == 0;
    else
        return ((platform::read_be32(r + INPUT_DIGI32_LEVEL) ^ c.digi32_value) & c.digi32_mask) ==
               0;
}

using check_function = std::int32_t (*)(element_handle*, const void*, std::int32_t);

// The floor of a digital evaluation: the masked compare of the port's record
// field with the element's value and mask, read through the handle; with
// `timeout`, preceded by the clock against the element's deadline.
check_function digital_floor(std::uint32_t input_mode, bool timeout);

// The floor of a serial evaluation on interface 1: decode the comparison text
// and the received text with the locale's converter, replace the markers in
// the first, compare (whole or substring).
check_function serial_floor(bool substring);

// A wait that sends its message: the digital floor, then a new string with
// the message handed to the sink in event 11018.
std::int32_t floor_wait_with_message(element_handle* element, const void* record,
                                     std::int32_t controller);

// The save record written and read by hand: the same fields copied and
// byte-swapped, the texts with a bounded copy, into a buffer of the bench.
char* hand_save(element_handle* element, std::uint32_t* length);
std::int32_t hand_load(element_handle* element, std::uint32_t length, const char* data);

// The result-data block filled by hand, and its release.
std::int32_t hand_bin_value(element_handle* element, std::uint32_t* io_out, void** block_out,
                            std::int32_t* controller_out, std::int32_t* second_out);
void hand_release(void* block);

// The forwarding answer written by hand from the element's last received text.
std::int32_t hand_forward(element_handle* element, void* custom_operation);

} // namespace bench
