// Builders of save records for the tests: records written out as hex per
// field, a configuration with every saved field set, and loading bytes.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/save_record.h"
#include "test_support/test_host.h"

// "00 05 03 BC" -> {0x00, 0x05, 0x03, 0xBC}; spaces are ignored.
inline std::vector<std::uint8_t> hex_bytes(const std::string& hex) {
    std::vector<std::uint8_t> bytes;
    std::string digits;
    for (char c : hex)
        if (c != ' ')
            digits += c;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
        bytes.push_back(
            static_cast<std::uint8_t>(std::strtoul(digits.substr(i, 2).c_str(), nullptr, 16)));
    return bytes;
}

struct field_bytes {
    std::size_t offset;
    std::string hex;
};

// A record of `size` bytes: zero except for the given fields.
inline std::vector<std::uint8_t> record_with(std::initializer_list<field_bytes> fields,
                                             std::size_t size = SAVE_RECORD_SIZE) {
    std::vector<std::uint8_t> record(size, 0);
    for (const field_bytes& f : fields) {
        const std::vector<std::uint8_t> bytes = hex_bytes(f.hex);
        std::memcpy(&record[f.offset], bytes.data(), bytes.size());
    }
    return record;
}

// The hex of an ASCII text's characters, for text fields.
inline std::string ascii_hex(const std::string& text) {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (unsigned char c : text) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

inline std::int32_t load_bytes(element_handle* element, const std::vector<std::uint8_t>& bytes) {
    return plugin().vexa_set_loaded_data(element, static_cast<std::uint32_t>(bytes.size()),
                                         reinterpret_cast<const char*>(bytes.data()));
}

// Every digital port compared on some bits, each mask leaving some of its
// value's bits out: the configuration the run-time benchmarks wait on and
// every_field_config() stores.
inline void compare_every_port(input_config& c) {
    c.digi8_value[0] = 0x81;
    c.digi8_mask[0] = 0xF1;
    c.digi8_value[1] = 0x42;
    c.digi8_mask[1] = 0x0F;
    c.digi16_value[0] = 0x1234;
    c.digi16_mask[0] = 0xFF00;
    c.digi16_value[1] = 0xABCD;
    c.digi16_mask[1] = 0x00FF;
    c.digi32_value = 0xDEADBEEF;
    c.digi32_mask = 0x0F0F0F0F;
}

// Levels that meet every port of compare_every_port().
inline input_record levels_meeting_every_port() {
    input_record record;
    record.digi8(1, 0x81).digi8(2, 0x42).digi16(1, 0x1234).digi16(2, 0xABCD).digi32(0xDEADBEEF);
    return record;
}

// Every saved field set to a distinct non-zero value, and the unsaved ones too
// (they must not reach the record).
inline input_config every_field_config() {
    input_config c{};
    c.version = 3;
    c.length = 100;
    c.input_mode = INPUT_SERIAL_2;
    c.reserved0 = 0x7777;
    c.spare_bytes[0] = 0xA1;
    c.spare_bytes[1] = 0xA2;
    for (int i = 0; i < 9; ++i)
        c.spare_words[i] = static_cast<std::uint16_t>(0xB001 + i);
    compare_every_port(c);
    c.flags = 0x800000AE; // SERIAL1_SUBSTRING, SHOW_MESSAGE, SERIAL2_FULL, TIMEOUT, IN3, bit 31
    c.reserved1 = 0x77777777;
    c.controller = 7;
    std::strcpy(c.compare_text1, "OK[CR][LF]");
    const std::vector<std::uint8_t> wait =
        hex_bytes("0057 0061 0069 0074 0020 00E4 20AC"); // Wait ä€
    std::memcpy(c.wait_message, wait.data(), wait.size());
    std::strcpy(c.compare_text2, "\xC4"
                                 "BC");
    c.timeout_sec = 3600;
    c.goto_element = -2;
    c.timeout_action = ACTION_GOTO;
    c.reserved3 = 9;
    c.substr_from = 5;
    c.substr_to = 20;
    return c;
}

// The record the plug-in itself saves for a configuration: a new element is
// edited white-box and saved. For tests that need real records of chosen
// configurations (projects, scenarios).
inline std::vector<std::uint8_t> saved_record(const std::function<void(input_config&)>& edit) {
    created_element element;
    edit(element.record().config);
    std::vector<std::uint8_t> bytes = save_bytes(element.handle());
    EXPECT_EQ(bytes.size(), SAVE_RECORD_SIZE) << "the plug-in saved no record";
    return bytes;
}
