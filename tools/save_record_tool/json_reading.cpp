#include "json_reading.h"

#include "record_json.h"

using nlohmann::json;

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
    refuse(key, std::string("must be an integer, not ") + type_name(v));
}

const std::string& string_of(const json& v, const std::string& key) {
    if (!v.is_string())
        refuse(key, std::string("must be a string, not ") + type_name(v));
    return v.get_ref<const std::string&>();
}
