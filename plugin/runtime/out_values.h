// Values stored through the host's out-pointers. A null pointer is skipped.
#pragma once

#include <cstdint>

#include "abi/run_records.h"
#include "element/instance_data.h"

template <typename T> void store_if(T* out, T value) {
    if (out != nullptr)
        *out = value;
}

// The element's controller and the fixed second value, which the host reads
// after vexa_continuous_stream and vexa_get_bin_value, whatever their answer.
inline void store_controller_and_second(const instance_data& instance, std::int32_t* controller_out,
                                        std::int32_t* second_out) {
    store_if(controller_out, std::int32_t{instance.config.controller});
    store_if(second_out, RESULT_SECOND_VALUE);
}
