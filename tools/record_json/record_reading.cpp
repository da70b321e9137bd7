#include "record_json/record_reading.h"

#include <cmath>

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

object_reader::object_reader(const json& object, std::string path,
                             const std::set<std::string>& known)
    : object_(object), path_(std::move(path)) {
    if (!object.is_object())
        refuse(path_.empty() ? "record" : path_,
               std::string("must be an object, not ") + type_name(object));
    if (const std::string* unknown = common::unknown_member(object, known))
        refuse(key(*unknown), "unknown key");
}

const json& object_reader::required(const std::string& name) const {
    const auto found = object_.find(name);
    if (found == object_.end())
        refuse(key(name), "key is missing");
    return *found;
}

std::string object_reader::key(const std::string& name) const {
    return common::key_path(path_, name);
}

std::int64_t integer(const json& v, const std::string& key, std::int64_t min, std::int64_t max) {
    const auto out_of_range = [&](const std::string& shown) {
        refuse(key, shown + " is out of range " + common::range_text(min, max));
    };
    if (v.is_number_integer()) {
        if (const auto outside = common::integer_outside(v, min, max))
            out_of_range(*outside);
        return v.get<std::int64_t>();
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
