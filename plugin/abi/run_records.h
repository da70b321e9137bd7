// Records exchanged at run time besides the input record: the result-data
// block of vexa_get_bin_value and the custom-operation record of
// vexa_get_custom_operation.
#pragma once

#include <cstddef>
#include <cstdint>

// Result-data block: made by lumo_util_alloc_bin_data, a 32-byte header then
// the payload. Owned by the element until vexa_release_bin_data.
constexpr std::size_t RESULT_DATA_HEADER_SIZE = 32;
constexpr std::size_t RESULT_DATA_PAYLOAD_SIZE = 472;
constexpr std::uint8_t RESULT_DATA_TYPE = 7;
constexpr std::uint8_t RESULT_DATA_SUBTYPE = 0x17;
constexpr std::uint32_t RESULT_DATA_IO = 0x1000000; // stored through io_out
constexpr std::int32_t RESULT_SECOND_VALUE = -2;    // stored through second_out

struct result_data_header {
    std::uint8_t type;
    std::uint8_t subtype;
    std::uint8_t reserved[2];
    std::uint32_t value;
    std::uint32_t size;
    std::uint8_t reserved2[20];
};
static_assert(sizeof(result_data_header) == RESULT_DATA_HEADER_SIZE);

// Payload offsets beyond the input record's level fields.
constexpr std::size_t RESULT_INPUT_MODE = 0;     // u32
constexpr std::size_t RESULT_DIGI8_1_MASK = 8;   // u8
constexpr std::size_t RESULT_DIGI8_2_MASK = 9;   // u8
constexpr std::size_t RESULT_DIGI16_1_MASK = 14; // u16
constexpr std::size_t RESULT_DIGI16_2_MASK = 16; // u16
constexpr std::size_t RESULT_DIGI32_MASK = 52;   // u32
constexpr int RESULT_TEXT_CAPACITY = 200;

// Custom-operation record. Host owns; byte offsets.
constexpr std::size_t OPERATION_KIND = 8;           // u8, must be 7
constexpr std::size_t OPERATION_SUBKIND = 9;        // u8, must be 45
constexpr std::size_t OPERATION_CODE = 16;          // u32, written
constexpr std::size_t OPERATION_VALUE = 20;         // u32, written
constexpr std::size_t OPERATION_TEXT_CAPACITY = 28; // i32, read
constexpr std::size_t OPERATION_TEXT = 32;          // UTF-8, written
constexpr std::uint8_t OPERATION_KIND_VALUE = 7;
constexpr std::uint8_t OPERATION_SUBKIND_VALUE = 45;

constexpr std::uint32_t OP_RESTART = 1;
constexpr std::uint32_t OP_STOP = 2;
constexpr std::uint32_t OP_GOTO = 3;
constexpr std::uint32_t OP_FORWARD_IN2 = 0x10;
constexpr std::uint32_t OP_FORWARD_IN3 = 0x20;
constexpr std::uint32_t OP_FORWARD_IN4 = 0x40;
constexpr std::uint32_t OP_FORWARD_IN5 = 0x80;
