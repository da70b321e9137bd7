// What the tests share: the loaded plug-in and builders of the host's records.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "abi/controller_config.h"
#include "abi/input_record.h"
#include "abi/run_records.h"
#include "element/instance_data.h"
#include "host_kit/host_records.h"
#include "host_kit/panel_input.h"
#include "host_kit/plugin_library.h"
#include "host_kit/virtual_clock.h"

// The plug-in, loaded once per test process as a host loads it, its clock
// attached to the virtual clock.
plugin_library& plugin();

using panel_input::running_under_wine;

// The element's record, read white-box through the handle's slot.
inline instance_data& record_of(host_element& element) {
    return *static_cast<instance_data*>(element->instance_data);
}

// One controller description of 4416 bytes, host byte order.
struct controller_description {
    std::array<std::uint8_t, CONTROLLER_CONFIG_SIZE> bytes{};

    controller_description(std::uint8_t index, std::uint32_t capabilities,
                           std::uint8_t features = 0, bool valid = true);
    // Sets port entry `entry` to (kind, mask).
    controller_description& port(int entry, std::uint32_t kind, std::uint32_t mask);
    const void* data() const { return bytes.data(); }
};

// One controller input record of 472 bytes; numbers big-endian.
struct input_record {
    std::array<std::uint8_t, INPUT_RECORD_SIZE> bytes{};

    input_record& digi8(int port, std::uint8_t level);
    input_record& digi16(int port, std::uint16_t level);
    input_record& digi32(std::uint32_t level);
    // Writes the text and a zero byte when it fits its field.
    input_record& serial(int serial_interface, const std::string& text);
    const void* data() const { return bytes.data(); }
};

// A custom-operation record with room for `text_room` bytes of text.
struct operation_record {
    std::vector<std::uint8_t> bytes;

    explicit operation_record(std::int32_t text_capacity, std::size_t text_room = 256);
    std::uint32_t op_code() const;
    std::uint32_t op_value() const;
    std::string text() const; // up to the first zero byte
    void* data() { return bytes.data(); }
};

// An element created through the plug-in, deleted on scope exit.
struct created_element {
    host_element element;
    explicit created_element(const void* creation = nullptr);
    ~created_element();
    element_handle* handle() { return element.handle(); }
    instance_data& record() { return record_of(element); }
};

// The 956 bytes a save returns now.
std::vector<std::uint8_t> save_bytes(element_handle* element);
