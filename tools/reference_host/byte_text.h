// The texts of the records are 8-bit bytes (Latin-1 where the save records
// store texts); the program's own texts (names, messages, logs) are UTF-8.
// How bytes show in the logs, and how scenario files write them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace reference_host {

// `text` with every byte that is not part of a well-formed UTF-8 sequence
// written as \xNN, so that a toolkit that takes UTF-8 shows the whole line.
std::string printable_utf8(const std::string& text);

// A scenario's text as bytes: each character U+0001..U+00FF is one byte (its
// Latin-1 code), \xNN is the byte NN, \\ is one backslash. Null, with `error`
// saying why, for a character above U+00FF, another backslash sequence or a
// zero byte (which would end the record's text early).
std::optional<std::string> bytes_from_scenario_text(const std::string& utf8, std::string& error);

// The other way, as a recording writes what a controller sent: printable
// ASCII as it is, CR, LF and TAB as themselves (JSON escapes them), a
// backslash as \\, every other byte as \xNN, so the bytes show whatever
// their encoding and read back the same (a record's text holds no zero byte).
std::string scenario_text_from_bytes(const std::string& bytes);

} // namespace reference_host
