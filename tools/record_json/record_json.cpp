// Decoding a stored record to JSON: the fields as stored, and what loading
// gives, both read by the plug-in's own codec.
#include "record_json/record_json.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

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

// Where loading gives other values than `stored` holds: `loaded` and the
// save_load_change bits `changes` are what decode_save_record gave.
json when_loaded_json(const input_config& stored, const input_config& loaded, unsigned changes,
                      std::size_t stored_bytes) {
    json defaults = json::object();
    if (changes & LOAD_DEFAULT_COMPARE_TEXT1)
        defaults["compare_text1"] = compare_text_json(loaded.compare_text1);
    if (changes & LOAD_DEFAULT_WAIT_MESSAGE)
        defaults["wait_message"] = wait_message_json(loaded.wait_message);
    if (changes & LOAD_DEFAULT_COMPARE_TEXT2)
        defaults["compare_text2"] = compare_text_json(loaded.compare_text2);
    if (changes & LOAD_DEFAULT_TIMEOUT) {
        defaults["flags"] = flags_json(loaded.flags);
        defaults["timeout_sec"] = loaded.timeout_sec;
        defaults["goto_element"] = loaded.goto_element;
        defaults["timeout_action"] =
            named_json(timeout_action_name(loaded.timeout_action), loaded.timeout_action);
    }
    json repaired = json::object();
    if (changes & LOAD_REPAIRED_SUBSTR_TO)
        repaired["substr_to"] = loaded.substr_to;

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
        std::vector<std::string> keys(std::begin(RECORD_KEYS), std::end(RECORD_KEYS));
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
    j["version"] = s.version;
    j["length"] = s.length;
    j["input_mode"] = named_json(input_mode_name(s.input_mode), s.input_mode);
    j["spare_bytes"] = array_of(s.spare_bytes);
    j["spare_words"] = array_of(s.spare_words);
    j["digi8_value"] = array_of(s.digi8_value);
    j["digi8_mask"] = array_of(s.digi8_mask);
    j["digi16_value"] = array_of(s.digi16_value);
    j["digi16_mask"] = array_of(s.digi16_mask);
    j["flags"] = flags_json(s.flags);
    j["digi32_value"] = s.digi32_value;
    j["digi32_mask"] = s.digi32_mask;
    j["controller"] = s.controller;
    j["compare_text1"] = compare_text_json(s.compare_text1);
    const std::string message = wait_message_json(s.wait_message);
    j["wait_message"] = message;
    // Keep the raw bytes when the text cannot give them back.
    std::uint8_t from_text[SAVE_WAIT_MESSAGE_SIZE];
    write_wait_message(from_text, code_points(message, "wait_message"), "wait_message");
    if (std::memcmp(from_text, s.wait_message, SAVE_WAIT_MESSAGE_SIZE) != 0)
        j["wait_message_bytes"] = to_hex(s.wait_message, SAVE_WAIT_MESSAGE_SIZE);
    j["compare_text2"] = compare_text_json(s.compare_text2);
    j["timeout_sec"] = s.timeout_sec;
    j["goto_element"] = s.goto_element;
    j["timeout_action"] = named_json(timeout_action_name(s.timeout_action), s.timeout_action);
    j["substr_from"] = s.substr_from;
    j["substr_to"] = s.substr_to;
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
