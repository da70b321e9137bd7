// The save record: what the host stores in project files for one element.
// Version 5, 956 bytes, multi-byte numbers big-endian; every field, its offset
// and the version that brought it are in SAVE_RECORD_FIELDS
// (model/save_record_fields.h). Versions 1 to 4 share the offsets; fields they
// lack get defaults when loaded. This header is free of the toolkit so
// host-side tools can share the layout.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/save_record_fields.h"

struct input_config;

constexpr std::size_t SAVE_SPARE_WORD_COUNT = SAVE_SPARE_WORDS_SIZE / 2;
constexpr std::size_t SAVE_COMPARE_TEXT_SIZE = SAVE_COMPARE_TEXT1_SIZE;
static_assert(SAVE_COMPARE_TEXT2_SIZE == SAVE_COMPARE_TEXT_SIZE);
// SAVE_WAIT_MESSAGE_SIZE, 240: only the first half of the in-memory wait
// message is stored.

// The timeout's fields came together.
constexpr std::int16_t SAVE_SINCE_TIMEOUT = SAVE_SINCE_TIMEOUT_SEC;
static_assert(SAVE_SINCE_GOTO_ELEMENT == SAVE_SINCE_TIMEOUT &&
              SAVE_SINCE_TIMEOUT_ACTION == SAVE_SINCE_TIMEOUT);

constexpr char LOADED_DEFAULT_COMPARE_TEXT[] = "[CR][LF]";
// Stored as UTF-16 big-endian; plain ASCII, so each character is 00 xx.
constexpr char LOADED_DEFAULT_WAIT_MESSAGE[] = "Waiting for inputs...";
// substr_to when the stored one is not above substr_from.
constexpr std::uint8_t LOADED_DEFAULT_SUBSTR_TO = 199;

// Writes every saved field of `config` into `record` (SAVE_RECORD_SIZE bytes)
// as version 5. Reserved bytes are left as they are.
void encode_save_record(const input_config& config, std::uint8_t* record);

// The bit that says loading gave defaults to the fields version `since`
// brought (2 and later).
constexpr unsigned load_default_bit(std::int16_t since) {
    return 1u << (since - 2);
}

// Whether `changes` (save_load_change bits) says so for the fields of version
// `since`; never for those of version 1.
constexpr bool load_defaulted(unsigned changes, std::int16_t since) {
    return since > 1 && (changes & load_default_bit(since)) != 0;
}

// What loading does to a record, as decode_save_record reports it: the fields
// it gave defaults because the record's version lacks them, one bit per
// version, and the repair.
enum save_load_change : unsigned {
    LOAD_DEFAULT_COMPARE_TEXT1 = load_default_bit(SAVE_SINCE_COMPARE_TEXT1),
    LOAD_DEFAULT_WAIT_MESSAGE = load_default_bit(SAVE_SINCE_WAIT_MESSAGE),
    LOAD_DEFAULT_COMPARE_TEXT2 = load_default_bit(SAVE_SINCE_COMPARE_TEXT2),
    // FLAG_TIMEOUT cleared, timeout_sec, goto_element and timeout_action.
    LOAD_DEFAULT_TIMEOUT = load_default_bit(SAVE_SINCE_TIMEOUT),
    LOAD_REPAIRED_SUBSTR_TO = load_default_bit(SAVE_FORMAT_VERSION + 1),
};

// The layout a record of `version` is read with: 1 for version 1 and older
// (0 and negative ones included), SAVE_FORMAT_VERSION for newer ones.
std::int16_t save_layout_version(std::int16_t version);

// Fills `record` (SAVE_RECORD_SIZE bytes) from `length` stored bytes at
// `data` (null reads as none): bytes a short record does not carry read as
// zero, bytes past SAVE_RECORD_SIZE are not read. `data` may be `record`
// itself or overlap it.
void take_stored_record(const void* data, std::size_t length, std::uint8_t* record);

// Replaces the whole `config` by the fields of `record` exactly as stored,
// whatever its version says; no defaults, no repair.
void read_stored_fields(const std::uint8_t* record, input_config& config);

// Turns fields read as stored into what loading gives: the defaults of the
// fields config.version lacks, substr_to repaired. Returns the
// save_load_change bits of what it did.
unsigned apply_load_rules(input_config& config);

// Replaces the whole `config` by the fields of `record` (SAVE_RECORD_SIZE
// bytes, any version) as loading gives them: read_stored_fields, then
// apply_load_rules, whose bits it returns.
unsigned decode_save_record(const std::uint8_t* record, input_config& config);
