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
// record, so the two correspond field by field: the offsets are those of
// SAVE_RECORD_FIELDS (model/save_record_fields.h), checked by save_record.cpp.
struct input_config {
    std::int16_t version; // of the record last loaded
    std::int16_t length;  // the length field of that record
    std::uint32_t input_mode;
    std::uint16_t reserved0; // not saved
    std::uint8_t spare_bytes[2];
    std::uint16_t spare_words[9];
    std::uint8_t digi8_value[2];
    std::uint8_t digi8_mask[2];
    std::uint16_t digi16_value[2];
    std::uint16_t digi16_mask[2];
    std::uint32_t flags;
    std::uint32_t reserved1; // not saved
    std::uint32_t digi32_value;
    std::uint32_t digi32_mask;
    std::uint8_t controller;                       // 0..8; loaded data may hold more
    char compare_text1[COMPARE_TEXT_CAPACITY + 1]; // the last byte is always 0
    std::uint8_t wait_message[WAIT_MESSAGE_SIZE];  // the record holds the first half
    char compare_text2[COMPARE_TEXT_CAPACITY + 1]; // likewise
    std::uint32_t timeout_sec;
    std::int32_t goto_element;
    std::uint8_t timeout_action;
    std::uint8_t reserved3; // saved as 0
    std::uint8_t substr_from;
    std::uint8_t substr_to;
};
constexpr std::size_t INPUT_CONFIG_SIZE = 956;
static_assert(sizeof(input_config) == INPUT_CONFIG_SIZE);

// The configuration of a fresh plug-in: what the first new element copies.
input_config factory_template() noexcept;
