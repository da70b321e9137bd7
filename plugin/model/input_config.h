// The element's configuration (input_config) as it is kept in memory, and the
// factory template every plug-in state starts from. Free of the toolkit.
#pragma once

#include <cstddef>
#include <cstdint>

#include "abi/config_flags.h"

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

// The configuration of a fresh plug-in: what the first new element copies.
input_config factory_template();
