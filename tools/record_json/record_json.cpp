// Decoding a stored record to JSON: the fields as stored, each in the shape of
// its kind in the save record's field table, and what loading gives, both read
// by the plug-in's own codec.
#include "record_json/record_json.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <type_traits>

#include "abi/controller_config.h"
#include "model/input_config.h"
#include "model/save_record.h"
#include "record_json/record_names.h"
#include "record_json/record_texts.h"

using nlohmann::json;

namespace {

template <typename T, std::size_t N> json array_of(const T (&values)[N]) {
    return json(std::vector<T>(std::begin(values), std::end(values)));
}

// A field's value as JSON: by its kind, but the coded numbers by name.
template <save_field Field, save_kind Kind, typename T> json value_json(const T& value) {
    if constexpr (Field == save_field::input_mode)
        return named_json(input_mode_name(value), value);
    else if constexpr (Field == save_field::flags)
        return flags_json(value);
    else if constexpr (Field == save_field::timeout_action)
        return named_json(timeout_action_name(value), value);
    else if constexpr (Kind == save_kind::TEXT8)
        return compare_text_json(value);
    else if constexpr (Kind == save_kind::TEXT16)
        return wait_message_json(value);
    else if constexpr (std::is_array_v<T>)
        return array_of(value);
    else
        return value;
}

// A field under its key; a UTF-16 text also with its raw bytes when the text
// cannot give them back (a cut surrogate pair, bytes after the end).
template <save_field Field, save_kind Kind, typename T> void put_field(json& j, const T& value) {
    const std::string key = save_field_of(Field).name;
    j[key] = value_json<Field, Kind>(value);
    if constexpr (Kind == save_kind::TEXT16) {
        constexpr std::size_t size = save_field_of(Field).size();
        static_assert(size == SAVE_WAIT_MESSAGE_SIZE, "the size write_wait_message fills");
        std::uint8_t from_text[size];
        write_wait_message(from_text, code_points(j[key], key), key);
        if (std::memcmp(from_text, value, size) != 0)
            j[raw_bytes_key(key)] = to_hex(value, size);
    }
}

// Where loading gives other values than `stored` holds: `loaded` and the
// save_load_change bits `changes` are what decode_save_record gave.
json when_loaded_json(const input_config& stored, const input_config& loaded, unsigned changes,
                      std::size_t stored_bytes) {
    json defaults = json::object();
#define RECORD_DEFAULT_JSON(field, NAME, offset, kind, count, since)                               \
    if (load_defaulted(changes, since))                                                            \
        defaults[#field] = value_json<save_field::field, save_kind::kind>(loaded.field);
    SAVE_RECORD_FIELDS(RECORD_DEFAULT_JSON, SAVE_RECORD_SKIP)
#undef RECORD_DEFAULT_JSON
    // Records from before the timeout also load with FLAG_TIMEOUT clear.
    if (changes & LOAD_DEFAULT_TIMEOUT)
        defaults[save_field_of(save_field::flags).name] = flags_json(loaded.flags);
    json repaired = json::object();
    if (changes & LOAD_REPAIRED_SUBSTR_TO)
        repaired[save_field_of(save_field::substr_to).name] = loaded.substr_to;

    json notes = json::array();
    if (stored_bytes < SAVE_RECORD_SIZE)
        notes.push_back("bytes " + std::to_string(stored_bytes) + ".." +
                        std::to_string(SAVE_RECORD_SIZE - 1) +
                        " are not in the record and read as zero");
    if (stored_bytes > SAVE_RECORD_SIZE)
        notes.push_back("only the first " + std::to_string(SAVE_RECORD_SIZE) + " of " +
                        std::to_string(stored_bytes) + " bytes are read");
    if (stored.controller >= CONTROLLER_COUNT)
        notes.push_back("controller " + std::to_string(stored.controller) + " names none of the " +
                        std::to_string(CONTROLLER_COUNT) + " controllers (0.." +
                        std::to_string(CONTROLLER_COUNT - 1) + ")");

    return {{"read_as_version", save_layout_version(stored.version)},
            {"defaults", defaults},
            {"repaired", repaired},
            {"notes", notes}};
}

// Display order: the record's keys, then the keys inside values (name before
// value before names).
std::size_t rank_of(const std::string& key) {
    static const std::vector<std::string> order = [] {
        std::vector<std::string> keys = record_keys();
        keys.insert(keys.end(),
                    {"read_as_version", "defaults", "repaired", "notes", "name", "value", "names"});
        return keys;
    }();
    return static_cast<std::size_t>(std::find(order.begin(), order.end(), key) - order.begin());
}

} // namespace

json record_to_json(const std::uint8_t* record, std::size_t length) {
    if (record == nullptr)
        length = 0;
    std::uint8_t r[SAVE_RECORD_SIZE];
    take_stored_record(record, length, r);
    input_config s;
    read_stored_fields(r, s);
    input_config loaded;
    const unsigned changes = decode_save_record(r, loaded);

    json j;
#define RECORD_FIELD_JSON(field, NAME, offset, kind, count, since)                                 \
    put_field<save_field::field, save_kind::kind>(j, s.field);
    SAVE_RECORD_FIELDS(RECORD_FIELD_JSON, SAVE_RECORD_SKIP)
#undef RECORD_FIELD_JSON
    j["stored_bytes"] = length;
    j["when_loaded"] = when_loaded_json(s, loaded, changes, length);
    return j;
}

nlohmann::ordered_json in_record_order(const json& j) {
    if (j.is_array()) {
        nlohmann::ordered_json out = nlohmann::ordered_json::array();
        for (const json& item : j)
            out.push_back(in_record_order(item));
        return out;
    }
    if (!j.is_object())
        return nlohmann::ordered_json(j);
    std::vector<std::string> keys;
    for (const auto& item : j.items())
        keys.push_back(item.key());
    std::stable_sort(keys.begin(), keys.end(), [](const std::string& a, const std::string& b) {
        return rank_of(a) < rank_of(b);
    });
    nlohmann::ordered_json out = nlohmann::ordered_json::object();
    for (const std::string& key : keys)
        out[key] = in_record_order(j.at(key));
    return out;
}
