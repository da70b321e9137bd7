#include "common/json_reading.h"

#include <set>
#include <vector>

#include "common/file_access.h"

using nlohmann::json;

namespace common {

std::string key_path(const std::string& path, const std::string& member) {
    return path.empty() ? member : path + "." + member;
}

std::string key_path(const std::string& path, std::size_t index) {
    return path + "[" + std::to_string(index) + "]";
}

void refuse(const std::string& key, const std::string& problem) {
    throw input_error(key + ": " + problem);
}

const char* type_name(const json& v) {
    if (v.is_number_integer())
        return "integer";
    return v.type_name();
}

std::string range_text(std::int64_t min, std::int64_t max) {
    return std::to_string(min) + ".." + std::to_string(max);
}

std::optional<std::string> integer_outside(const json& v, std::int64_t min, std::int64_t max) {
    // Unsigned values above the signed range are out of every range we accept.
    if (v.is_number_unsigned() && v.get<std::uint64_t>() > static_cast<std::uint64_t>(max))
        return std::to_string(v.get<std::uint64_t>());
    const std::int64_t i = v.get<std::int64_t>();
    if (i < min || i > max)
        return std::to_string(i);
    return std::nullopt;
}

namespace {
std::string shown(const std::string& path) {
    return path.empty() ? "the file" : path;
}
} // namespace

void require_object(const json& value, const std::string& path,
                    std::initializer_list<const char*> allowed) {
    if (!value.is_object())
        refuse(shown(path), "expected an object");
    if (const std::string* unknown = unknown_member(value, allowed)) {
        std::string list;
        for (const char* name : allowed)
            list += (list.empty() ? "" : ", ") + std::string(name);
        refuse(key_path(path, *unknown), "unknown key (known: " + list + ")");
    }
}

const json& require_array(const json& value, const std::string& path) {
    if (!value.is_array())
        refuse(shown(path), "expected an array");
    return value;
}

std::int64_t read_integer(const json& value, const std::string& path, std::int64_t low,
                          std::int64_t high) {
    if (!value.is_number_integer())
        refuse(path, "expected an integer");
    if (const auto outside = integer_outside(value, low, high))
        refuse(path, *outside + " is outside " + range_text(low, high));
    return value.get<std::int64_t>();
}

std::string read_string(const json& value, const std::string& path) {
    if (!value.is_string())
        refuse(path, "expected a string");
    return value.get<std::string>();
}

bool read_bool(const json& value, const std::string& path) {
    if (!value.is_boolean())
        refuse(path, "expected true or false");
    return value.get<bool>();
}

namespace {

// Any exception of the parser: besides syntax, a number beyond double's
// range ("1e400") is one.
json parse(const std::string& text, const std::string& origin, json::parser_callback_t check) {
    try {
        return json::parse(text, std::move(check));
    } catch (const json::exception& e) {
        throw input_error((origin.empty() ? "" : origin + ": ") + "not valid JSON: " + e.what());
    }
}

} // namespace

json parse_json_text(const std::string& text, const std::string& origin) {
    return parse(text, origin, nullptr);
}

json parse_json_keys_once(const std::string& text) {
    // Where the parser is: one entry per open object or array.
    struct level {
        bool object;
        std::string path;
        std::set<std::string> keys;
        std::string key;
        std::size_t items = 0;
    };
    std::vector<level> levels;
    const auto path_of_next = [&]() -> std::string {
        if (levels.empty())
            return "";
        level& l = levels.back();
        return l.object ? key_path(l.path, l.key) : key_path(l.path, l.items++);
    };
    const json::parser_callback_t refuse_twice = [&](int, json::parse_event_t event, json& parsed) {
        switch (event) {
        case json::parse_event_t::object_start:
        case json::parse_event_t::array_start: {
            const bool object = event == json::parse_event_t::object_start;
            levels.push_back({object, path_of_next(), {}, {}});
            break;
        }
        case json::parse_event_t::object_end:
        case json::parse_event_t::array_end:
            levels.pop_back();
            break;
        case json::parse_event_t::key:
            levels.back().key = parsed.get<std::string>();
            if (!levels.back().keys.insert(levels.back().key).second)
                refuse(path_of_next(), "key appears twice");
            break;
        case json::parse_event_t::value:
            if (!levels.empty() && !levels.back().object)
                ++levels.back().items;
            break;
        }
        return true;
    };
    return parse(text, "", refuse_twice);
}

json read_json_file(const std::string& file) {
    return parse_json_text(read_whole_file(file), file);
}

} // namespace common
