// The controller input record handed to vexa_check_input_value. Host owns;
// the plug-in reads it during the call only. Multi-byte numbers big-endian.
// The same layout is the payload of the result-data block.
#pragma once

#include <cstddef>

constexpr std::size_t INPUT_RECORD_SIZE = 472;

constexpr std::size_t INPUT_DIGI8_1_LEVEL = 6;   // u8
constexpr std::size_t INPUT_DIGI8_2_LEVEL = 7;   // u8
constexpr std::size_t INPUT_DIGI16_1_LEVEL = 10; // u16
constexpr std::size_t INPUT_DIGI16_2_LEVEL = 12; // u16
constexpr std::size_t INPUT_DIGI32_LEVEL = 48;   // u32
constexpr std::size_t INPUT_SERIAL1_TEXT = 56;   // 8-bit text, NUL-terminated
constexpr std::size_t INPUT_SERIAL2_TEXT = 261;  // 8-bit text, NUL-terminated

// Room of the two received texts up to the end of their fields: a text with no
// zero byte is read no further than this.
constexpr std::size_t INPUT_SERIAL1_TEXT_SIZE = INPUT_SERIAL2_TEXT - INPUT_SERIAL1_TEXT; // 205
constexpr std::size_t INPUT_SERIAL2_TEXT_SIZE = INPUT_RECORD_SIZE - INPUT_SERIAL2_TEXT;  // 211
