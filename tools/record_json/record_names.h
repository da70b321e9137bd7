// The names a record's JSON gives its keys and coded values (input modes,
// flag bits, timeout actions).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// Every key of a record's JSON: its fields in record order, then the
// information that encoding ignores.
inline constexpr const char* RECORD_KEYS[] = {
    "version",       "length",        "input_mode",   "spare_bytes",
    "spare_words",   "digi8_value",   "digi8_mask",   "digi16_value",
    "digi16_mask",   "flags",         "digi32_value", "digi32_mask",
    "controller",    "compare_text1", "wait_message", "wait_message_bytes",
    "compare_text2", "timeout_sec",   "goto_element", "timeout_action",
    "substr_from",   "substr_to",     "stored_bytes", "when_loaded"};

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
