// Encoding a record's JSON: its fields as given, then what loading makes of
// them and the bytes saving writes, both by the plug-in's own codec.
#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>
#include <type_traits>

#include "model/input_config.h"
#include "model/save_record.h"
#include "record_json/record_json.h"
#include "record_json/record_names.h"
#include "record_json/record_reading.h"
#include "record_json/record_texts.h"

using nlohmann::json;

namespace {

// A {"name", "value"} pair whose name must be the one the value has.
std::uint32_t named_value_of(const json& v, const std::string& path, std::int64_t max,
                             std::string (*name_for)(std::uint32_t)) {
    const object_reader reader(v, path, {"name", "value"});
    const auto value =
        static_cast<std::uint32_t>(integer(reader.required("value"), reader.key("value"), 0, max));
    const std::string& name = string_of(reader.required("name"), reader.key("name"));
    if (name != name_for(value))
        refuse(reader.key("name"), "\"" + name + "\" does not match value " +
                                       std::to_string(value) + " (" + name_for(value) + ")");
    return value;
}

std::uint32_t flags_of(const json& v, const std::string& key) {
    const object_reader reader(v, key, {"value", "names"});
    const auto flags = unsigned_of<std::uint32_t>(reader.required("value"), reader.key("value"));
    const json& names = reader.required("names");
    if (!names.is_array())
        refuse(reader.key("names"), std::string("must be an array, not ") + type_name(names));
    std::vector<std::string> listed;
    for (std::size_t i = 0; i < names.size(); ++i)
        listed.push_back(string_of(names[i], reader.key("names") + "[" + std::to_string(i) + "]"));
    std::vector<std::string> expected = flag_names(flags);
    std::sort(listed.begin(), listed.end());
    std::sort(expected.begin(), expected.end());
    if (listed != expected) {
        std::string list;
        for (const std::string& name : flag_names(flags))
            list += (list.empty() ? "" : ", ") + name;
        refuse(reader.key("names"), "does not match value " + std::to_string(flags) + " (" +
                                        (list.empty() ? "no bits" : list) + ")");
    }
    return flags;
}

template <typename T, std::size_t N> void copy_array(const std::vector<T>& values, T (&to)[N]) {
    std::copy(values.begin(), values.end(), to);
}

// One field as the JSON gives it, read by its kind, but the coded numbers by
// name; a UTF-16 text takes its raw bytes instead where the JSON has them.
template <save_field Field, save_kind Kind, std::size_t Count, typename T>
void read_field(const json& j, const object_reader& in, T& to) {
    const std::string key = save_field_of(Field).name;
    const json& v = in.required(key);
    if constexpr (Field == save_field::input_mode) {
        to = named_value_of(v, key, std::numeric_limits<T>::max(), input_mode_name);
    } else if constexpr (Field == save_field::flags) {
        to = flags_of(v, key);
    } else if constexpr (Field == save_field::timeout_action) {
        to = static_cast<T>(
            named_value_of(v, key, std::numeric_limits<T>::max(), timeout_action_name));
    } else if constexpr (Kind == save_kind::TEXT8) {
        static_assert(Count == SAVE_COMPARE_TEXT_SIZE, "the size write_compare_text fills");
        write_compare_text(to, code_points(v, key), key);
    } else if constexpr (Kind == save_kind::TEXT16) {
        constexpr std::size_t size = save_field_of(Field).size();
        static_assert(size == SAVE_WAIT_MESSAGE_SIZE, "the size write_wait_message fills");
        write_wait_message(to, code_points(v, key), key);
        const std::string raw_key = raw_bytes_key(key);
        const auto raw = j.find(raw_key);
        if (raw != j.end())
            write_hex(to, *raw, raw_key, size);
    } else if constexpr (std::is_array_v<T>) {
        copy_array(unsigned_array<std::remove_extent_t<T>>(v, key, Count), to);
    } else if constexpr (std::is_signed_v<T>) {
        to = signed_of<T>(v, key);
    } else {
        to = unsigned_of<T>(v, key);
    }
}

// The record's fields exactly as the JSON gives them, read in record order.
input_config fields_of(const json& j) {
    const std::vector<std::string>& keys = record_keys();
    const object_reader in(j, "", std::set<std::string>(keys.begin(), keys.end()));
    input_config c{};
#define RECORD_READ_FIELD(field, NAME, offset, kind, count, since)                                 \
    read_field<save_field::field, save_kind::kind, count>(j, in, c.field);
    SAVE_RECORD_FIELDS(RECORD_READ_FIELD, SAVE_RECORD_SKIP)
#undef RECORD_READ_FIELD
    return c;
}

// A text as JSON writes it, long ones cut: a note names the field, it need
// not repeat 200 characters.
std::string quoted(const std::string& text) {
    constexpr std::size_t shown = 40; // characters
    std::size_t characters = 0, end = 0;
    for (; end < text.size(); ++end)
        if ((static_cast<unsigned char>(text[end]) & 0xC0) != 0x80 && ++characters > shown)
            break;
    return end < text.size() ? json(text.substr(0, end)).dump() + "..." : json(text).dump();
}

std::string action_text(std::uint8_t action) {
    const std::string name = timeout_action_name(action);
    return name == "unknown" ? std::to_string(action) : name;
}

// What each version brought, as a line about an older record names it.
constexpr const char* BROUGHT_BY[] = {
    "", "", "first comparison text", "wait message", "second comparison text", "timeout"};
static_assert(std::size(BROUGHT_BY) == SAVE_FORMAT_VERSION + 1,
              "each version after the first needs a name for what it brought");

template <save_field Field, save_kind Kind, typename T> std::string shown(const T& value) {
    if constexpr (Field == save_field::timeout_action)
        return action_text(value);
    else if constexpr (Kind == save_kind::TEXT8)
        return quoted(compare_text_json(value));
    else if constexpr (Kind == save_kind::TEXT16)
        return quoted(wait_message_json(value));
    else
        return std::to_string(value);
}

template <save_kind Kind, std::size_t Size, typename T> bool same(const T& a, const T& b) {
    if constexpr (Kind == save_kind::TEXT8)
        return std::strcmp(a, b) == 0;
    else if constexpr (Kind == save_kind::TEXT16)
        return std::memcmp(a, b, Size) == 0;
    else
        return a == b;
}

// A line when loading gave a field of a later version than the record's its
// default, and the default differs from what was given.
template <save_field Field, save_kind Kind, std::int16_t Since, typename T, typename Dropped>
void note_dropped(const T& given, const T& loaded, unsigned changes, const Dropped& dropped) {
    const char* key = save_field_of(Field).name;
    if constexpr (Field == save_field::flags) {
        // Records from before the timeout load with FLAG_TIMEOUT clear.
        if (load_defaulted(changes, SAVE_SINCE_TIMEOUT) && given != loaded)
            dropped(key, "FLAG_TIMEOUT", SAVE_SINCE_TIMEOUT, std::to_string(loaded));
    } else if constexpr (Since > 1) {
        if (load_defaulted(changes, Since) &&
            !same<Kind, save_field_of(Field).size()>(given, loaded))
            dropped(key, shown<Field, Kind>(given), Since, shown<Field, Kind>(loaded));
    }
}

// One line for each field, in record order, that loading `given` changed (`loaded`, with the
// save_load_change bits `changes`); version and length are not fields people
// set, and encoding always writes 5 and 956.
std::vector<std::string> changed_fields(const input_config& given, const input_config& loaded,
                                        unsigned changes) {
    std::vector<std::string> lines;
    const std::string lacking = "version " + std::to_string(given.version) + " records have no ";
    const auto dropped = [&](const char* key, const std::string& was, std::int16_t since,
                             const std::string& now) {
        lines.push_back(std::string(key) + ": " + was + " is dropped (" + lacking +
                        BROUGHT_BY[since] + "; written as " + now + ")");
    };
#define RECORD_DROPPED(field, NAME, offset, kind, count, since)                                    \
    note_dropped<save_field::field, save_kind::kind, since>(given.field, loaded.field, changes,    \
                                                            dropped);
    SAVE_RECORD_FIELDS(RECORD_DROPPED, SAVE_RECORD_SKIP)
#undef RECORD_DROPPED
    if ((changes & LOAD_REPAIRED_SUBSTR_TO) && given.substr_to != loaded.substr_to)
        lines.push_back("substr_to: " + std::to_string(given.substr_to) +
                        " is not above substr_from " + std::to_string(given.substr_from) +
                        " (written as " + std::to_string(loaded.substr_to) + ")");
    return lines;
}

} // namespace

std::vector<std::uint8_t> record_from_json(const json& j, std::vector<std::string>& changes) {
    try {
        const input_config given = fields_of(j);
        input_config loaded = given;
        const unsigned applied = apply_load_rules(loaded);
        changes = changed_fields(given, loaded, applied);
        std::vector<std::uint8_t> record(SAVE_RECORD_SIZE, 0); // reserved bytes zero
        encode_save_record(loaded, record.data());
        return record;
    } catch (const json::exception& e) {
        // Every access is checked first; this only keeps the promise of one error type.
        throw record_json_error(std::string("record: ") + e.what());
    }
}

std::vector<std::uint8_t> record_from_json(const json& j) {
    std::vector<std::string> changes;
    return record_from_json(j, changes);
}
