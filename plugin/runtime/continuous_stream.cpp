// Arms the timeout clock and says whether the wait
// can run inside the controller's continuous stream.
#include "runtime/continuous_stream.h"
#include "model/controller_table.h"
#include "runtime/evaluate_input.h"
#include "runtime/out_values.h"

bool continuous_stream(element_handle* element, const controller_table& controllers,
                       std::int32_t* controller_out, std::int32_t* second_out) {
    instance_data* instance = instance_of(element);
    if (instance == nullptr)
        return false;
    store_controller_and_second(*instance, controller_out, second_out);
    instance->start_timer = 1;

    // Only a plain digital pattern runs in the stream: the controller cannot
    // time out, show a message or compare texts. The table is read only
    // without a timeout; a controller beyond the table answers false.
    const input_config& config = instance->config;
    return (config.flags & FLAG_TIMEOUT) == 0 && controllers.has_stream_wait(config.controller) &&
           !is_serial_mode(config.input_mode) && (config.flags & FLAG_SHOW_MESSAGE) == 0;
}
