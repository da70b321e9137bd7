// The run-time entry points: evaluation, the continuous stream, result data
// and follow-up operations.
#include "abi/entry_points.h"
#include "entry/plugin_state.h"
#include "runtime/continuous_stream.h"
#include "runtime/custom_operation.h"
#include "runtime/evaluate_input.h"
#include "runtime/result_data.h"

// No exception leaves an entry point: a conversion or an event that cannot
// allocate makes the call answer RES_NO_MEMORY. The evaluation catches in its
// out-of-line parts (the plain digital wait cannot throw), so the exported
// call needs no handler and stays a jump into them.

// check_input_value is inline: the exported call is the evaluation itself,
// without a jump into the run time.
std::int32_t vexa_check_input_value(element_handle* element, const void* input_record,
                                    std::int32_t controller) {
    return check_input_value(element, input_record, controller);
}

bool vexa_continuous_stream(element_handle* element, std::int32_t* controller_out,
                            std::int32_t* second_out) {
    return continuous_stream(element, the_plugin.controllers, controller_out, second_out);
}

std::int32_t vexa_get_bin_value(element_handle* element, std::uint32_t* io_out, void** block_out,
                                std::int32_t* controller_out, std::int32_t* second_out) try {
    return get_result_data(element, io_out, block_out, controller_out, second_out);
} catch (...) {
    return RES_NO_MEMORY;
}

void vexa_release_bin_data(element_handle* element) {
    release_result_data(element);
}

std::int32_t vexa_get_custom_operation(element_handle* element, void* custom_operation) try {
    return get_custom_operation(element, custom_operation);
} catch (...) {
    return RES_NO_MEMORY;
}
