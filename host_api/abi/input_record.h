// The controller input record handed to vexa_check_input_value: the host
// writes it before the call and owns it; the plug-in reads it during the call
// only and writes nothing. Levels big-endian; bytes of no field are ignored.
// The same layout is the payload of the result-data block (run_records.h).
#pragma once

#include <cstddef>

constexpr std::size_t INPUT_RECORD_SIZE = 472; // all of it readable, however short the texts

// Levels of the input ports; read only for the element's input_mode.
constexpr std::size_t INPUT_DIGI8_1_LEVEL = 6;   // u8
constexpr std::size_t INPUT_DIGI8_2_LEVEL = 7;   // u8
constexpr std::size_t INPUT_DIGI16_1_LEVEL = 10; // u16
constexpr std::size_t INPUT_DIGI16_2_LEVEL = 12; // u16
constexpr std::size_t INPUT_DIGI32_LEVEL = 48;   // u32
// Received texts of serial interfaces 1 and 2: 8-bit, ended by a zero byte,
// decoded with the C library's locale of the call (Latin-1 when it cannot).
constexpr std::size_t INPUT_SERIAL1_TEXT = 56;
constexpr std::size_t INPUT_SERIAL2_TEXT = 261;

// Room of the two received texts up to the end of their fields: a text with no
// zero byte is read no further than this.
constexpr std::size_t INPUT_SERIAL1_TEXT_SIZE = INPUT_SERIAL2_TEXT - INPUT_SERIAL1_TEXT; // 205
constexpr std::size_t INPUT_SERIAL2_TEXT_SIZE = INPUT_RECORD_SIZE - INPUT_SERIAL2_TEXT;  // 211
