// The element's configuration (input_config), its run-time record
// (instance_data) and the template every new element copies.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <wx/string.h>

#include "host_api/element_handle.h"

// input_mode values: the input the element waits on. 0 = none chosen.
constexpr std::uint32_t INPUT_DIGI8_1 = 0x00002000;
constexpr std::uint32_t INPUT_DIGI8_2 = 0x00004000;
constexpr std::uint32_t INPUT_DIGI16_1 = 0x00008000;
constexpr std::uint32_t INPUT_DIGI16_2 = 0x00010000;
constexpr std::uint32_t INPUT_DIGI32 = 0x00020000;
constexpr std::uint32_t INPUT_SERIAL_1 = 0x00400000;
constexpr std::uint32_t INPUT_SERIAL_2 = 0x04000000;
constexpr std::uint32_t INPUT_SERIAL_ANY = INPUT_SERIAL_1 | INPUT_SERIAL_2;

// flags bits. Bits without a name are kept as they are.
constexpr std::uint32_t FLAG_SERIAL1_FULL = 0x001;
constexpr std::uint32_t FLAG_SERIAL1_SUBSTRING = 0x002;
constexpr std::uint32_t FLAG_SHOW_MESSAGE = 0x004;
constexpr std::uint32_t FLAG_SERIAL2_FULL = 0x008;
constexpr std::uint32_t FLAG_SERIAL2_SUBSTRING = 0x010;
constexpr std::uint32_t FLAG_TIMEOUT = 0x020;
constexpr std::uint32_t FLAG_FORWARD_IN2 = 0x040;
constexpr std::uint32_t FLAG_FORWARD_IN3 = 0x080;
constexpr std::uint32_t FLAG_FORWARD_IN4 = 0x100;
constexpr std::uint32_t FLAG_FORWARD_IN5 = 0x200;
constexpr std::uint32_t FLAG_FORWARD_ANY = 0x3C0;

// timeout_action values, in the order of the panel's list.
constexpr std::uint8_t ACTION_CONTINUE = 0;
constexpr std::uint8_t ACTION_RESTART = 1;
constexpr std::uint8_t ACTION_STOP = 2;
constexpr std::uint8_t ACTION_GOTO = 3;

// pending_operation: which follow-up the host is to fetch next.
constexpr std::int32_t PENDING_NONE = 0;
constexpr std::int32_t PENDING_TIMEOUT = 1;
constexpr std::int32_t PENDING_FORWARD = 2;

constexpr std::size_t COMPARE_TEXT_CAPACITY = 200; // characters; one more byte stays 0
constexpr std::size_t WAIT_MESSAGE_SIZE = 480;     // bytes of UTF-16 big-endian
constexpr int WAIT_MESSAGE_CAPACITY = 240;         // what every conversion is given
constexpr std::uint8_t SUBSTR_LAST = 199;

// In memory in host byte order, with the field order and widths of the save
// record, so the two correspond field by field.
struct input_config {
    std::int16_t version;                          // 0: version of the record last loaded
    std::int16_t length;                           // 2: length field of that record
    std::uint32_t input_mode;                      // 4
    std::uint16_t reserved0;                       // 8
    std::uint8_t spare_bytes[2];                   // 10
    std::uint16_t spare_words[9];                  // 12
    std::uint8_t digi8_value[2];                   // 30
    std::uint8_t digi8_mask[2];                    // 32
    std::uint16_t digi16_value[2];                 // 34
    std::uint16_t digi16_mask[2];                  // 38
    std::uint32_t flags;                           // 44
    std::uint32_t reserved1;                       // 48
    std::uint32_t digi32_value;                    // 52
    std::uint32_t digi32_mask;                     // 56
    std::uint8_t controller;                       // 60: 0..8; loaded data may hold more
    char compare_text1[COMPARE_TEXT_CAPACITY + 1]; // 61: the last byte is always 0
    std::uint8_t wait_message[WAIT_MESSAGE_SIZE];  // 262
    char compare_text2[COMPARE_TEXT_CAPACITY + 1]; // 742
    std::uint32_t timeout_sec;                     // 944
    std::int32_t goto_element;                     // 948
    std::uint8_t timeout_action;                   // 952
    std::uint8_t reserved3;                        // 953
    std::uint8_t substr_from;                      // 954
    std::uint8_t substr_to;                        // 955
};
constexpr std::size_t INPUT_CONFIG_SIZE = 956;
static_assert(sizeof(input_config) == INPUT_CONFIG_SIZE);
static_assert(offsetof(input_config, flags) == 44);
static_assert(offsetof(input_config, controller) == 60);
static_assert(offsetof(input_config, compare_text1) == 61);
static_assert(offsetof(input_config, wait_message) == 262);
static_assert(offsetof(input_config, compare_text2) == 742);
static_assert(offsetof(input_config, timeout_sec) == 944);
static_assert(offsetof(input_config, substr_to) == 955);

// One per element, owned by the plug-in; its pointer lives in the handle.
struct instance_data {
    input_config config;
    refresh_callback refresh = nullptr;    // the host's refresh_callback; null until set
    void* bin_data = nullptr;              // result-data block held by the host
    std::int64_t deadline = 0;             // calendar seconds at which the wait times out
    std::uint8_t start_timer = 0;          // non-zero: next evaluation sets deadline
    const void* host_context = nullptr;    // creation record; not owned
    std::vector<std::int32_t> element_ids; // ids of the goto list, by position
    std::int32_t pending_operation = PENDING_NONE;
    wxString last_received; // last text received on the watched serial interface
};

// The configuration every new element starts from; changed by panel edits.
extern input_config config_template;

// The element's record, or null when the handle or its slot is empty.
inline instance_data* instance_of(const element_handle* element) {
    return element ? static_cast<instance_data*>(element->instance_data) : nullptr;
}

// The host's no_timeout_section option of a creation record.
bool has_no_timeout_section(const void* creation_record);
