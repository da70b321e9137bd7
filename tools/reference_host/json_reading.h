// Reading the program's JSON files (controllers, projects, scenarios) with
// messages that name the offending key, e.g. `controllers[1].inputs[0]`.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

namespace reference_host {

// A file the program refuses; what() names the key and what is wrong with it.
class input_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// `path` joined with a member or an index, as the messages show it.
std::string key_path(const std::string& path, const std::string& member);
std::string key_path(const std::string& path, std::size_t index);

// Throws input_error naming the first member of `object` not in `allowed`;
// also when `value` is not an object at all.
void require_object(const nlohmann::json& value, const std::string& path,
                    std::initializer_list<const char*> allowed);
const nlohmann::json& require_array(const nlohmann::json& value, const std::string& path);

// Integer member within [low, high]; throws input_error otherwise.
std::int64_t read_integer(const nlohmann::json& value, const std::string& path, std::int64_t low,
                          std::int64_t high);
std::string read_string(const nlohmann::json& value, const std::string& path);
bool read_bool(const nlohmann::json& value, const std::string& path);

// Parses a whole file; throws input_error "FILE: ..." when it cannot be read
// (with the system's reason: "No such file or directory", "Is a directory")
// or is not JSON.
nlohmann::json read_json_file(const std::string& file);
// The same for text already in memory; `origin` names it in messages.
nlohmann::json parse_json_text(const std::string& text, const std::string& origin);

} // namespace reference_host
