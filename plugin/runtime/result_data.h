// The element's condition as a result-data payload, in the layout of the
// controller input record with the masks between the level fields.
#pragma once

#include <cstdint>

#include "abi/element_handle.h"
#include "abi/input_record.h"
#include "abi/run_records.h"
#include "model/input_config.h"

static_assert(INPUT_SERIAL1_TEXT + RESULT_TEXT_CAPACITY <= INPUT_SERIAL2_TEXT);
static_assert(INPUT_SERIAL2_TEXT + RESULT_TEXT_CAPACITY <= RESULT_DATA_PAYLOAD_SIZE);

// Writes the payload fields (big-endian) into `payload` of
// RESULT_DATA_PAYLOAD_SIZE bytes; bytes of no field are left as they are.
void write_result_payload(const input_config& config, std::uint8_t* payload);

// A new result-data block for the element (RES_OK), or RES_INVALID while the
// last one is held, RES_IGNORED without an input mode, RES_NO_MEMORY.
// Controller and second value are stored in every case but a missing record.
std::int32_t get_result_data(element_handle* element, std::uint32_t* io_out, void** block_out,
                             std::int32_t* controller_out, std::int32_t* second_out);
// Frees the held block, if any.
void release_result_data(element_handle* element);
