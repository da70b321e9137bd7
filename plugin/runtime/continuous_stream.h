// Whether an element's wait can run inside the controller's continuous stream.
#pragma once

#include <cstdint>

#include "abi/element_handle.h"
#include "model/controller_table.h"

// Arms the timeout clock and answers whether the element's wait can run in
// `controllers`' stream; stores the controller and second value.
bool continuous_stream(element_handle* element, const controller_table& controllers,
                       std::int32_t* controller_out, std::int32_t* second_out);
