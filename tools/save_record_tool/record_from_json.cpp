// Encoding a record's JSON: its fields as given, then what loading makes of
// them and the bytes saving writes, both by the plug-in's own codec.
#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>

#include "input_config.h"
#include "json_reading.h"
#include "record_json.h"
#include "record_names.h"
#include "record_texts.h"
#include "save_record.h"

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

} // namespace

std::vector<std::uint8_t> record_from_json(const json& j) {
    try {
        input_config loaded = fields_of(j);
        apply_load_rules(loaded);
        std::vector<std::uint8_t> record(SAVE_RECORD_SIZE, 0); // reserved bytes zero
        encode_save_record(loaded, record.data());
        return record;
    } catch (const json::exception& e) {
        // Every access is checked first; this only keeps the promise of one error type.
        throw record_json_error(std::string("record: ") + e.what());
    }
}
