// The wait-message events of vexa_check_input_value.
#pragma once

#include <cstdint>

#include "abi/element_handle.h"
#include "model/input_config.h"

// With FLAG_SHOW_MESSAGE set: a RES_WAIT shows the message anew (11018 with a
// fresh string), a RES_OK removes it (11019); other results send nothing. A
// null sink receives nothing.
void send_wait_message_events(host_sink* sink, const input_config& config, std::int32_t result);
