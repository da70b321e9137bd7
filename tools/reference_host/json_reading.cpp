#include "reference_host/json_reading.h"

#include "reference_host/file_access.h"

namespace reference_host {

std::string key_path(const std::string& path, const std::string& member) {
    return path.empty() ? member : path + "." + member;
}

std::string key_path(const std::string& path, std::size_t index) {
    return path + "[" + std::to_string(index) + "]";
}

namespace {
std::string shown(const std::string& path) {
    return path.empty() ? "the file" : path;
}
} // namespace

void require_object(const nlohmann::json& value, const std::string& path,
                    std::initializer_list<const char*> allowed) {
    if (!value.is_object())
        throw input_error(shown(path) + ": expected an object");
    for (const auto& item : value.items()) {
        bool known = false;
        for (const char* name : allowed)
            known = known || item.key() == name;
        if (!known) {
            std::string list;
            for (const char* name : allowed)
                list += (list.empty() ? "" : ", ") + std::string(name);
            throw input_error(key_path(path, item.key()) + ": unknown key (known: " + list + ")");
        }
    }
}

const nlohmann::json& require_array(const nlohmann::json& value, const std::string& path) {
    if (!value.is_array())
        throw input_error(shown(path) + ": expected an array");
    return value;
}

std::int64_t read_integer(const nlohmann::json& value, const std::string& path, std::int64_t low,
                          std::int64_t high) {
    if (!value.is_number_integer())
        throw input_error(path + ": expected an integer");
    // Unsigned values above the signed range are out of every range we accept.
    if (value.is_number_unsigned() && value.get<std::uint64_t>() > static_cast<std::uint64_t>(high))
        throw input_error(path + ": " + value.dump() + " is outside " + std::to_string(low) + ".." +
                          std::to_string(high));
    const auto v = value.get<std::int64_t>();
    if (v < low || v > high)
        throw input_error(path + ": " + std::to_string(v) + " is outside " + std::to_string(low) +
                          ".." + std::to_string(high));
    return v;
}

std::string read_string(const nlohmann::json& value, const std::string& path) {
    if (!value.is_string())
        throw input_error(path + ": expected a string");
    return value.get<std::string>();
}

bool read_bool(const nlohmann::json& value, const std::string& path) {
    if (!value.is_boolean())
        throw input_error(path + ": expected true or false");
    return value.get<bool>();
}

nlohmann::json parse_json_text(const std::string& text, const std::string& origin) {
    try {
        return nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& e) {
        throw input_error(origin + ": not valid JSON: " + e.what());
    }
}

nlohmann::json read_json_file(const std::string& file) {
    return parse_json_text(read_whole_file(file), file);
}

} // namespace reference_host
