// The save record: what the host stores in project files for one element.
// Version 5, 956 bytes, multi-byte numbers big-endian. Versions 1 to 4 share
// the offsets; fields they lack get defaults when loaded. This header is free
// of the toolkit so host-side tools can share the layout.
#pragma once

#include <cstddef>
#include <cstdint>

struct input_config;

constexpr std::size_t SAVE_RECORD_SIZE = 956;
constexpr std::int16_t SAVE_FORMAT_VERSION = 5;

// Field offsets, in record order. Bytes not listed are reserved: the writer
// leaves them as the buffer held them and the reader ignores them.
constexpr std::size_t SAVE_VERSION = 0;          // i16
constexpr std::size_t SAVE_LENGTH = 2;           // i16, written as SAVE_RECORD_SIZE
constexpr std::size_t SAVE_INPUT_MODE = 4;       // u32
constexpr std::size_t SAVE_SPARE_BYTES = 10;     // 2 x u8
constexpr std::size_t SAVE_SPARE_WORDS = 12;     // 9 x u16
constexpr std::size_t SAVE_DIGI8_VALUE = 30;     // 2 x u8
constexpr std::size_t SAVE_DIGI8_MASK = 32;      // 2 x u8
constexpr std::size_t SAVE_DIGI16_VALUE = 34;    // 2 x u16
constexpr std::size_t SAVE_DIGI16_MASK = 38;     // 2 x u16
constexpr std::size_t SAVE_FLAGS = 44;           // u32
constexpr std::size_t SAVE_DIGI32_VALUE = 52;    // u32
constexpr std::size_t SAVE_DIGI32_MASK = 56;     // u32
constexpr std::size_t SAVE_CONTROLLER = 60;      // u8
constexpr std::size_t SAVE_COMPARE_TEXT1 = 61;   // 8-bit text, zero-padded (version 2 on)
constexpr std::size_t SAVE_WAIT_MESSAGE = 262;   // UTF-16 big-endian, raw (version 3 on)
constexpr std::size_t SAVE_COMPARE_TEXT2 = 742;  // 8-bit text, zero-padded (version 4 on)
constexpr std::size_t SAVE_TIMEOUT_SEC = 944;    // u32 (version 5 on)
constexpr std::size_t SAVE_GOTO_ELEMENT = 948;   // i32 (version 5 on)
constexpr std::size_t SAVE_TIMEOUT_ACTION = 952; // u8 (version 5 on)
constexpr std::size_t SAVE_RESERVED3 = 953;      // u8, written as 0
constexpr std::size_t SAVE_SUBSTR_FROM = 954;    // u8
constexpr std::size_t SAVE_SUBSTR_TO = 955;      // u8, repaired on load

constexpr std::size_t SAVE_SPARE_WORD_COUNT = 9;
constexpr std::size_t SAVE_COMPARE_TEXT_SIZE = 200;
// Only the first half of the in-memory wait message is stored.
constexpr std::size_t SAVE_WAIT_MESSAGE_SIZE = 240;

// The first version that stores each group of fields; older records load
// the defaults below instead.
constexpr std::int16_t SAVE_SINCE_COMPARE_TEXT1 = 2;
constexpr std::int16_t SAVE_SINCE_WAIT_MESSAGE = 3;
constexpr std::int16_t SAVE_SINCE_COMPARE_TEXT2 = 4;
constexpr std::int16_t SAVE_SINCE_TIMEOUT = 5;

constexpr char LOADED_DEFAULT_COMPARE_TEXT[] = "[CR][LF]";
// Stored as UTF-16 big-endian; plain ASCII, so each character is 00 xx.
constexpr char LOADED_DEFAULT_WAIT_MESSAGE[] = "Waiting for inputs...";
// substr_to when the stored one is not above substr_from.
constexpr std::uint8_t LOADED_DEFAULT_SUBSTR_TO = 199;

static_assert(SAVE_COMPARE_TEXT2 + SAVE_COMPARE_TEXT_SIZE <= SAVE_TIMEOUT_SEC);
static_assert(SAVE_WAIT_MESSAGE + 2 * SAVE_WAIT_MESSAGE_SIZE == SAVE_COMPARE_TEXT2);
static_assert(SAVE_SUBSTR_TO + 1 == SAVE_RECORD_SIZE);

// Writes every saved field of `config` into `record` (SAVE_RECORD_SIZE bytes)
// as version 5. Reserved bytes are left as they are.
void encode_save_record(const input_config& config, std::uint8_t* record);

// What loading does to a record, as decode_save_record reports it: the groups
// it gave defaults because the record's version lacks them, and the repair.
enum save_load_change : unsigned {
    LOAD_DEFAULT_COMPARE_TEXT1 = 1u << 0,
    LOAD_DEFAULT_WAIT_MESSAGE = 1u << 1,
    LOAD_DEFAULT_COMPARE_TEXT2 = 1u << 2,
    // FLAG_TIMEOUT cleared, timeout_sec, goto_element and timeout_action.
    LOAD_DEFAULT_TIMEOUT = 1u << 3,
    LOAD_REPAIRED_SUBSTR_TO = 1u << 4,
};

// The layout a record of `version` is read with: 1 for version 1 and older
// (0 and negative ones included), SAVE_FORMAT_VERSION for newer ones.
std::int16_t save_layout_version(std::int16_t version);

// Fills `record` (SAVE_RECORD_SIZE bytes) from `length` stored bytes at
// `data` (null reads as none): bytes a short record does not carry read as
// zero, bytes past SAVE_RECORD_SIZE are not read.
void take_stored_record(const void* data, std::size_t length, std::uint8_t* record);

// Replaces the whole `config` by the fields of `record` exactly as stored,
// whatever its version says; no defaults, no repair.
void read_stored_fields(const std::uint8_t* record, input_config& config);

// Turns fields read as stored into what loading gives: the defaults of the
// groups config.version lacks, substr_to repaired. Returns the
// save_load_change bits of what it did.
unsigned apply_load_rules(input_config& config);

// Replaces the whole `config` by the fields of `record` (SAVE_RECORD_SIZE
// bytes, any version) as loading gives them: read_stored_fields, then
// apply_load_rules, whose bits it returns.
unsigned decode_save_record(const std::uint8_t* record, input_config& config);
