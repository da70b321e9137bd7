#include "record_json/json_reading.h"

#include <cmath>

#include "record_json/record_json.h"

using nlohmann::json;

namespace {

// As JSON writes it, without the exponent's "+": 1e30, -2.5.
std::string number_text(double d) {
    if (!std::isfinite(d))
        return std::isnan(d) ? "NaN" : d < 0 ? "-infinity" : "infinity";
    std::string text = json(d).dump();
    const std::size_t plus = text.find("e+");
    if (plus != std::string::npos)
        text.erase(plus + 1, 1);
    return text;
}

} // namespace

void refuse(const std::string& key, const std::string& problem) {
    throw record_json_error(key + ": " + problem);
}

const char* type_name(const json& v) {
    if (v.is_number_integer())
        return "integer";
    return v.type_name();
}

object_reader::object_reader(const json& object, std::string path, std::set<std::string> known)
    : object_(object), path_(std::move(path)) {
    if (!object.is_object())
        refuse(path_.empty() ? "record" : path_,
               std::string("must be an object, not ") + type_name(object));
    for (const auto& item : object.items())
        if (known.count(item.key()) == 0)
            refuse(key(item.key()), "unknown key");
}

const json& object_reader::required(const std::string& name) const {
    const auto found = object_.find(name);
    if (found == object_.end())
        refuse(key(name), "key is missing");
    return *found;
}

std::string object_reader::key(const std::string& name) const {
    return path_.empty() ? name : path_ + "." + name;
}

std::int64_t integer(const json& v, const std::string& key, std::int64_t min, std::int64_t max) {
    const auto out_of_range = [&](const std::string& shown) {
        refuse(key, shown + " is out of range " + std::to_string(min) + ".." + std::to_string(max));
    };
    if (v.is_number_unsigned()) {
        const std::uint64_t u = v.get<std::uint64_t>();
        if (u > static_cast<std::uint64_t>(max))
            out_of_range(std::to_string(u));
        return static_cast<std::int64_t>(u);
    }
    if (v.is_number_integer()) {
        const std::int64_t i = v.get<std::int64_t>();
        if (i < min || i > max)
            out_of_range(std::to_string(i));
        return i;
    }
    if (v.is_number_float()) {
        // 1e30 says a number too large, not one written the wrong way.
        const double d = v.get<double>();
        if (!(d >= static_cast<double>(min) && d <= static_cast<double>(max)))
            out_of_range(number_text(d));
    }
    refuse(key, std::string("must be an integer, not ") + type_name(v));
}

const std::string& string_of(const json& v, const std::string& key) {
    if (!v.is_string())
        refuse(key, std::string("must be a string, not ") + type_name(v));
    return v.get_ref<const std::string&>();
}

json parse_record_json(const std::string& text) {
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
        if (l.object)
            return l.path.empty() ? l.key : l.path + "." + l.key;
        return l.path + "[" + std::to_string(l.items++) + "]";
    };
    // The parser keeps the last of two equal keys; the record's JSON must not
    // depend on which one a reader takes.
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
    try {
        return json::parse(text, refuse_twice);
    } catch (const json::exception& e) {
        throw record_json_error(std::string("not valid JSON: ") + e.what());
    }
}
