// Encoding a record's JSON: its fields as given, then what loading makes of
// them and the bytes saving writes, both by the plug-in's own codec.
#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>

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

std::uint32_t flags_of(const json& v) {
    const object_reader reader(v, "flags", {"value", "names"});
    const auto flags = unsigned_of<std::uint32_t>(reader.required("value"), reader.key("value"));
    const json& names = reader.required("names");
    if (!names.is_array())
        refuse(reader.key("names"), std::string("must be an array, not ") + type_name(names));
    std::vector<std::string> listed;
    for (std::size_t i = 0; i < names.size(); ++i)
        listed.push_back(string_of(names[i], "flags.names[" + std::to_string(i) + "]"));
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

// The record's fields exactly as the JSON gives them, read in record order.
input_config fields_of(const json& j) {
    const object_reader in(j, "",
                           std::set<std::string>(std::begin(RECORD_KEYS), std::end(RECORD_KEYS)));
    const auto field = [&](const char* name) -> const json& { return in.required(name); };
    input_config c{};
    c.version = signed_of<std::int16_t>(field("version"), "version");
    c.length = signed_of<std::int16_t>(field("length"), "length");
    c.input_mode = named_value_of(field("input_mode"), "input_mode",
                                  std::numeric_limits<std::uint32_t>::max(), input_mode_name);
    copy_array(unsigned_array<std::uint8_t>(field("spare_bytes"), "spare_bytes", 2), c.spare_bytes);
    copy_array(
        unsigned_array<std::uint16_t>(field("spare_words"), "spare_words", SAVE_SPARE_WORD_COUNT),
        c.spare_words);
    copy_array(unsigned_array<std::uint8_t>(field("digi8_value"), "digi8_value", 2), c.digi8_value);
    copy_array(unsigned_array<std::uint8_t>(field("digi8_mask"), "digi8_mask", 2), c.digi8_mask);
    copy_array(unsigned_array<std::uint16_t>(field("digi16_value"), "digi16_value", 2),
               c.digi16_value);
    copy_array(unsigned_array<std::uint16_t>(field("digi16_mask"), "digi16_mask", 2),
               c.digi16_mask);
    c.flags = flags_of(field("flags"));
    c.digi32_value = unsigned_of<std::uint32_t>(field("digi32_value"), "digi32_value");
    c.digi32_mask = unsigned_of<std::uint32_t>(field("digi32_mask"), "digi32_mask");
    c.controller = unsigned_of<std::uint8_t>(field("controller"), "controller");
    write_compare_text(c.compare_text1, code_points(field("compare_text1"), "compare_text1"),
                       "compare_text1");
    write_wait_message(c.wait_message, code_points(field("wait_message"), "wait_message"),
                       "wait_message");
    const auto raw_message = j.find("wait_message_bytes");
    if (raw_message != j.end())
        write_hex(c.wait_message, *raw_message, "wait_message_bytes", SAVE_WAIT_MESSAGE_SIZE);
    write_compare_text(c.compare_text2, code_points(field("compare_text2"), "compare_text2"),
                       "compare_text2");
    c.timeout_sec = unsigned_of<std::uint32_t>(field("timeout_sec"), "timeout_sec");
    c.goto_element = signed_of<std::int32_t>(field("goto_element"), "goto_element");
    c.timeout_action = static_cast<std::uint8_t>(
        named_value_of(field("timeout_action"), "timeout_action", 255, timeout_action_name));
    c.substr_from = unsigned_of<std::uint8_t>(field("substr_from"), "substr_from");
    c.substr_to = unsigned_of<std::uint8_t>(field("substr_to"), "substr_to");
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

// One line for each field, in record order, that loading `given` changed (`loaded`, with the
// save_load_change bits `changes`); version and length are not fields people
// set, and encoding always writes 5 and 956.
std::vector<std::string> changed_fields(const input_config& given, const input_config& loaded,
                                        unsigned changes) {
    std::vector<std::string> lines;
    const std::string lacking = "version " + std::to_string(given.version) + " records have no ";
    const auto dropped = [&](const char* key, const std::string& was, const char* what,
                             const std::string& now) {
        lines.push_back(std::string(key) + ": " + was + " is dropped (" + lacking + what +
                        "; written as " + now + ")");
    };
    if ((changes & LOAD_DEFAULT_TIMEOUT) && given.flags != loaded.flags)
        dropped("flags", "FLAG_TIMEOUT", "timeout", std::to_string(loaded.flags));
    if ((changes & LOAD_DEFAULT_COMPARE_TEXT1) &&
        std::strcmp(given.compare_text1, loaded.compare_text1) != 0)
        dropped("compare_text1", quoted(compare_text_json(given.compare_text1)),
                "first comparison text", quoted(compare_text_json(loaded.compare_text1)));
    if ((changes & LOAD_DEFAULT_WAIT_MESSAGE) &&
        std::memcmp(given.wait_message, loaded.wait_message, SAVE_WAIT_MESSAGE_SIZE) != 0)
        dropped("wait_message", quoted(wait_message_json(given.wait_message)), "wait message",
                quoted(wait_message_json(loaded.wait_message)));
    if ((changes & LOAD_DEFAULT_COMPARE_TEXT2) &&
        std::strcmp(given.compare_text2, loaded.compare_text2) != 0)
        dropped("compare_text2", quoted(compare_text_json(given.compare_text2)),
                "second comparison text", quoted(compare_text_json(loaded.compare_text2)));
    if (changes & LOAD_DEFAULT_TIMEOUT) {
        if (given.timeout_sec != loaded.timeout_sec)
            dropped("timeout_sec", std::to_string(given.timeout_sec), "timeout",
                    std::to_string(loaded.timeout_sec));
        if (given.goto_element != loaded.goto_element)
            dropped("goto_element", std::to_string(given.goto_element), "timeout",
                    std::to_string(loaded.goto_element));
        if (given.timeout_action != loaded.timeout_action)
            dropped("timeout_action", action_text(given.timeout_action), "timeout",
                    action_text(loaded.timeout_action));
    }
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
