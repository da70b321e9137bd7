// Save records as JSON: lets people see what a stored element holds and lets
// tools write records. Host-side code on the plug-in's own codec: the fields
// are read and written, and what loading does is worked out, by the functions
// of save_record.h that the plug-in runs.
//
// Shape (keys are the record's field names):
//   version, length            numbers as stored
//   input_mode                 {"name": "INPUT_DIGI8_1" | "none" | "unknown", "value": n}
//   spare_bytes, spare_words   arrays of 2 and 9 numbers
//   digi8_value, digi8_mask    arrays of 2 numbers (port 1, port 2); digi16_* likewise
//   flags                      {"value": n, "names": ["FLAG_TIMEOUT", ..., "0x80000000"]}
//   digi32_value, digi32_mask, controller, timeout_sec, goto_element, substr_from, substr_to
//   compare_text1, compare_text2   text (8-bit characters U+0001..U+00FF, at most 200)
//   wait_message               text (at most 120 UTF-16 units)
//   wait_message_bytes         only when the stored 240 bytes are not what the text gives
//                              back (a cut surrogate pair, bytes after the end): hex;
//                              when present, encoding writes these bytes
//   timeout_action             {"name": "ACTION_STOP" | "unknown", "value": n}
//   stored_bytes, when_loaded  information: the record's length, and what loading
//                              it does (version read as, defaults, repairs, notes)
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "common/input_error.h"
#include "common/json_reading.h"

// Refused JSON; the message names the offending key. It is the host
// programs' one error type: a program reading records within its own files
// catches a single type.
using record_json_error = common::input_error;

// Decodes a stored record (any version, any length up to 956 read) to JSON.
// Bytes a short record does not carry read as zero, as when it is loaded.
nlohmann::json record_to_json(const std::uint8_t* record, std::size_t length);

// Encodes JSON of that shape to a 956-byte version-5 record; throws
// record_json_error (derived from std::runtime_error, message names the
// offending key) on malformed input.
// The bytes are those the plug-in saves after loading the record the JSON
// describes: an older version gets the defaults loading gives it, substr_to
// is repaired, reserved bytes are zero. stored_bytes and when_loaded are
// ignored.
std::vector<std::uint8_t> record_from_json(const nlohmann::json& json);

// The same, listing in `changes` each field the record does not hold as the
// JSON gives it, one line each starting with the key ("timeout_sec: 30 is
// dropped (...)"). version and length are not listed: they are always
// written as 5 and 956.
std::vector<std::uint8_t> record_from_json(const nlohmann::json& json,
                                           std::vector<std::string>& changes);

// Parses a record's JSON text; throws record_json_error for text that is not
// JSON ("not valid JSON: ..."), for an object with a key twice
// ("flags.value: key appears twice") and for nesting far deeper than a
// record's three levels.
inline nlohmann::json parse_record_json(const std::string& text) {
    return common::parse_json_text(text, "");
}

// The same JSON with its keys in record order, for people to read.
nlohmann::ordered_json in_record_order(const nlohmann::json& json);
