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

void check_schema_key(const json& top) {
    if (top.contains(SCHEMA_KEY))
        read_string(top[SCHEMA_KEY], SCHEMA_KEY);
}

namespace {

[[noreturn]] void refuse_text(const std::string& origin, const std::string& problem) {
    throw input_error((origin.empty() ? "" : origin + ": ") + problem);
}

// Where the parser is: one entry per open object or array, with only what
// names the next value there; a refusal builds the whole path from them.
struct level {
    bool object;
    std::string key;            // of an object's current member
    std::size_t items = 0;      // an array's values so far
    std::set<std::string> keys; // an object's members so far
};

std::string path_to(const std::vector<level>& levels) {
    std::string path;
    for (const level& l : levels)
        path = l.object ? key_path(path, l.key) : key_path(path, l.items);
    return path;
}

// The parser's own tree builder, checking each step: nesting within
// JSON_MAX_DEPTH, each key once per object. (The parser's callback form
// would do, but it searches the parent for dropped values after every
// object or array: a long array of them takes quadratic time.)
class checked_builder {
public:
    checked_builder(json& result, const std::string& origin) : builder_(result), origin_(origin) {}

    bool null() { return value(builder_.null()); }
    bool boolean(bool b) { return value(builder_.boolean(b)); }
    bool number_integer(json::number_integer_t n) { return value(builder_.number_integer(n)); }
    bool number_unsigned(json::number_unsigned_t n) { return value(builder_.number_unsigned(n)); }
    bool number_float(json::number_float_t n, const json::string_t& text) {
        return value(builder_.number_float(n, text));
    }
    bool string(json::string_t& s) { return value(builder_.string(s)); }
    bool binary(json::binary_t& b) { return value(builder_.binary(b)); }
    bool start_object(std::size_t elements) {
        open(true);
        return builder_.start_object(elements);
    }
    bool key(json::string_t& k) {
        levels_.back().key = k;
        if (!levels_.back().keys.insert(k).second)
            refuse_text(origin_, path_to(levels_) + ": key appears twice");
        return builder_.key(k);
    }
    bool end_object() { return close(builder_.end_object()); }
    bool start_array(std::size_t elements) {
        open(false);
        return builder_.start_array(elements);
    }
    bool end_array() { return close(builder_.end_array()); }
    bool parse_error(std::size_t position, const std::string& last_token,
                     const nlohmann::detail::exception& e) {
        return builder_.parse_error(position, last_token, e);
    }

private:
    void open(bool object) {
        if (levels_.size() >= static_cast<std::size_t>(JSON_MAX_DEPTH))
            refuse_text(origin_, path_to(levels_) + ": nested deeper than " +
                                     std::to_string(JSON_MAX_DEPTH) + " levels");
        levels_.push_back({object, {}, 0, {}});
    }
    bool close(bool kept) {
        levels_.pop_back();
        return value(kept);
    }
    // A value in an array moves the array on to its next index.
    bool value(bool kept) {
        if (!levels_.empty() && !levels_.back().object)
            ++levels_.back().items;
        return kept;
    }

    nlohmann::detail::json_sax_dom_parser<json> builder_;
    const std::string& origin_;
    std::vector<level> levels_;
};

} // namespace

json parse_json_text(const std::string& text, const std::string& origin) {
    // The parser takes a zero byte for the end of the text, and would accept
    // whatever follows it.
    const std::size_t zero = text.find('\0');
    if (zero != std::string::npos)
        refuse_text(origin, "not valid JSON: a zero byte at byte " + std::to_string(zero + 1));
    // Any exception of the parser: besides syntax, a number beyond double's
    // range ("1e400") is one.
    json result;
    checked_builder builder(result, origin);
    try {
        json::sax_parse(text, &builder);
    } catch (const json::exception& e) {
        refuse_text(origin, std::string("not valid JSON: ") + e.what());
    }
    return result;
}

std::string larger_than(std::size_t limit, const std::string& kind) {
    const bool mebibytes = limit % (1U << 20) == 0;
    const std::string size = mebibytes                 ? std::to_string(limit >> 20) + " MiB"
                             : limit % (1U << 10) == 0 ? std::to_string(limit >> 10) + " KiB"
                                                       : std::to_string(limit) + " bytes";
    return "larger than " + size + ", the most " + kind + " may be";
}

json read_json_file(const std::string& file, std::size_t limit, const std::string& kind) {
    // Read no further than just past the limit: a device or an endless
    // stream is never held, nor read to its end.
    std::size_t size = 0;
    const std::string text =
        read_up_to(open_to_read(file, STEP_REASONS), file, limit, false, size, STEP_REASONS);
    if (size > limit)
        throw input_error(file + ": " + STEP_REASONS.reading + larger_than(limit, kind));
    return parse_json_text(text, file);
}

} // namespace common
