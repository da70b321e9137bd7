// Reading a record's JSON value by value, each refusal a record_json_error
// whose message starts with the key it is about ("flags.names[1]: ...").
#pragma once

#include <cstdint>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "common/json_reading.h"

using common::refuse;
using common::type_name;

// One JSON object of the record: keys it does not know are refused before any
// value is read, and a required key must be there.
class object_reader {
public:
    // `path` is the object's key ("" for the record itself).
    object_reader(const nlohmann::json& object, std::string path,
                  const std::set<std::string>& known);

    const nlohmann::json& required(const std::string& name) const;
    // The key of member `name`, as refusals name it.
    std::string key(const std::string& name) const;

private:
    const nlohmann::json& object_;
    std::string path_;
};

// An integer from min to max. Numbers with a fraction or exponent are refused
// as not integers, or as out of range where they are.
std::int64_t integer(const nlohmann::json& v, const std::string& key, std::int64_t min,
                     std::int64_t max);

template <typename T> T unsigned_of(const nlohmann::json& v, const std::string& key) {
    return static_cast<T>(integer(v, key, 0, std::numeric_limits<T>::max()));
}

template <typename T> T signed_of(const nlohmann::json& v, const std::string& key) {
    return static_cast<T>(
        integer(v, key, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

template <typename T>
std::vector<T> unsigned_array(const nlohmann::json& v, const std::string& key, std::size_t count) {
    if (!v.is_array() || v.size() != count)
        refuse(key, "must be an array of " + std::to_string(count) + " integers");
    std::vector<T> values;
    for (std::size_t i = 0; i < count; ++i)
        values.push_back(unsigned_of<T>(v[i], common::key_path(key, i)));
    return values;
}

const std::string& string_of(const nlohmann::json& v, const std::string& key);
