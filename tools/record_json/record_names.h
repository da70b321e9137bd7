// The names a record's JSON gives its keys, from the save record's field
// table, and its coded values (input modes, flag bits, timeout actions).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// Every key of a record's JSON: the fields of SAVE_RECORD_FIELDS in record
// order, each UTF-16 text followed by the key of its raw bytes, then the
// information that encoding ignores.
const std::vector<std::string>& record_keys();

// The key of a UTF-16 text's stored bytes ("wait_message_bytes"), given when
// the text cannot give them back.
std::string raw_bytes_key(const std::string& text_key);

// "none" for 0, "unknown" for a value without a name.
std::string input_mode_name(std::uint32_t mode);
// "unknown" for a value without a name.
std::string timeout_action_name(std::uint32_t action);
// Named bits by name, other set bits as hex ("0x80000000"), lowest bit first.
std::vector<std::string> flag_names(std::uint32_t flags);

// {"name": name, "value": value}
nlohmann::json named_json(const std::string& name, std::uint32_t value);
// {"value": flags, "names": flag_names(flags)}
nlohmann::json flags_json(std::uint32_t flags);
