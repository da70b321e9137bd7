// Records exchanged at run time besides the input record: the result-data
// block of vexa_get_bin_value and the custom-operation record of
// vexa_get_custom_operation.
#pragma once

#include <cstddef>
#include <cstdint>

// Result-data block: made by lumo_util_alloc_bin_data at vexa_get_bin_value, a
// 32-byte header (host byte order) then the payload (big-endian). Plug-in owns
// it until vexa_release_bin_data, which frees it with free().
constexpr std::size_t RESULT_DATA_HEADER_SIZE = 32;
constexpr std::size_t RESULT_DATA_PAYLOAD_SIZE = 472;
constexpr std::uint8_t RESULT_DATA_TYPE = 7;
constexpr std::uint8_t RESULT_DATA_SUBTYPE = 0x17;
constexpr std::uint32_t RESULT_DATA_IO = 0x1000000; // stored through io_out
constexpr std::int32_t RESULT_SECOND_VALUE = -2;    // stored through second_out

// Written whole by lumo_util_alloc_bin_data; the plug-in never changes it.
struct result_data_header {
    std::uint8_t type;          // RESULT_DATA_TYPE
    std::uint8_t subtype;       // RESULT_DATA_SUBTYPE
    std::uint8_t reserved[2];   // 0
    std::uint32_t value;        // 0
    std::uint32_t size;         // RESULT_DATA_PAYLOAD_SIZE
    std::uint8_t reserved2[20]; // 0
};
static_assert(sizeof(result_data_header) == RESULT_DATA_HEADER_SIZE);

// The payload has the input record's layout (input_record.h), written by the
// plug-in at vexa_get_bin_value: 8- and 16-bit levels hold value & mask, the
// 32-bit level the value unmasked; the texts hold the comparison texts, line-end
// markers replaced, Latin-1 ('?' beyond), at most RESULT_TEXT_CAPACITY bytes,
// the rest zero. Bytes of no field are zero. Offsets beyond the level fields:
constexpr std::size_t RESULT_INPUT_MODE = 0;     // u32: the element's input_mode
constexpr std::size_t RESULT_DIGI8_1_MASK = 8;   // u8
constexpr std::size_t RESULT_DIGI8_2_MASK = 9;   // u8
constexpr std::size_t RESULT_DIGI16_1_MASK = 14; // u16
constexpr std::size_t RESULT_DIGI16_2_MASK = 16; // u16
constexpr std::size_t RESULT_DIGI32_MASK = 52;   // u32
constexpr int RESULT_TEXT_CAPACITY = 200;

// Custom-operation record: host owns it, at least OPERATION_TEXT + the stated
// capacity bytes, any alignment; numbers in host byte order. The host writes
// kind, subkind and capacity before vexa_get_custom_operation; the plug-in
// writes the rest during the call and nothing else.
constexpr std::size_t OPERATION_KIND = 8;    // u8, host writes 7
constexpr std::size_t OPERATION_SUBKIND = 9; // u8, host writes 45
constexpr std::size_t OPERATION_CODE = 16;   // u32, plug-in writes an OP_* value
// u32, plug-in writes: the element id for OP_GOTO, the forwarded character
// count for forwarding; untouched for OP_RESTART and OP_STOP.
constexpr std::size_t OPERATION_VALUE = 20;
constexpr std::size_t OPERATION_TEXT_CAPACITY = 28; // i32, host writes
// Forwarding only: the forwarded text, UTF-8 ended by a zero byte, both within
// a quarter of the capacity, never a split sequence; no text for a capacity below 4.
constexpr std::size_t OPERATION_TEXT = 32;
constexpr std::uint8_t OPERATION_KIND_VALUE = 7;
constexpr std::uint8_t OPERATION_SUBKIND_VALUE = 45;

// OPERATION_CODE: one timeout action ...
constexpr std::uint32_t OP_RESTART = 1;
constexpr std::uint32_t OP_STOP = 2;
constexpr std::uint32_t OP_GOTO = 3;
// ... or the OR of the forwarding targets set in the element's flags.
constexpr std::uint32_t OP_FORWARD_IN2 = 0x10;
constexpr std::uint32_t OP_FORWARD_IN3 = 0x20;
constexpr std::uint32_t OP_FORWARD_IN4 = 0x40;
constexpr std::uint32_t OP_FORWARD_IN5 = 0x80;
