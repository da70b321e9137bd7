// An element set up for run-time calls: created through the plug-in, its
// events going to a recording sink. Its configuration is written directly
// into the element's record, as a panel edit or a load would leave it.
#pragma once

#include <cstring>

#include "test_support/test_host.h"

struct run_element : created_element {
    recording_sink sink;

    explicit run_element(std::uint32_t input_mode = 0, std::uint32_t flags = 0) {
        element->sink = &sink;
        config().input_mode = input_mode;
        config().flags = flags;
    }
    input_config& config() { return record().config; }
    void set_text(int serial_interface, const char* text) {
        std::strcpy(serial_interface == 1 ? config().compare_text1 : config().compare_text2, text);
    }
    std::int32_t check(const input_record& input, std::int32_t controller = 0) {
        return plugin().vexa_check_input_value(handle(), input.data(), controller);
    }
    // vexa_continuous_stream: arms the timeout clock.
    bool arm() {
        std::int32_t controller = 0, second = 0;
        return plugin().vexa_continuous_stream(handle(), &controller, &second);
    }
    std::int32_t operation(operation_record& op) {
        return plugin().vexa_get_custom_operation(handle(), op.data());
    }
};
