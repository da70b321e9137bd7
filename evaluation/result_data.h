// The element's condition as a result-data payload, in the layout of the
// controller input record with the masks between the level fields.
#pragma once

#include <cstdint>

#include "host_api/input_record.h"
#include "host_api/run_records.h"
#include "plugin/input_config.h"

static_assert(INPUT_SERIAL1_TEXT + RESULT_TEXT_CAPACITY <= INPUT_SERIAL2_TEXT);
static_assert(INPUT_SERIAL2_TEXT + RESULT_TEXT_CAPACITY <= RESULT_DATA_PAYLOAD_SIZE);

// Writes the payload fields (big-endian) into `payload` of
// RESULT_DATA_PAYLOAD_SIZE bytes; bytes of no field are left as they are.
void write_result_payload(const input_config& config, std::uint8_t* payload);
