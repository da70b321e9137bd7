#include "reference_host/scenario.h"

#include <cstdio>

#include "common/hex_digits.h"
#include "common/json_reading.h"
#include "record_json/record_json.h"
#include "reference_host/byte_text.h"
#include "reference_host/hex_bytes.h"

namespace reference_host {

namespace {

// A scenario is a project's elements, at most CONTROLLER_COUNT controllers
// and a timeline whose entries take at most about 2.5 KB each (both serial
// texts full, every byte written \\xNN): room for a large project beside
// thousands of entries, where a real scenario has tens.
constexpr std::size_t SCENARIO_FILE_LIMIT = std::size_t{16} << 20;

const char* const outcomes[] = {"completed", "stopped", "waiting", "error"};

// An integer, or a string "0x..." / "0b..." ('_' may group digits).
std::uint32_t read_level(const nlohmann::json& value, const std::string& path,
                         std::uint32_t highest) {
    if (value.is_number_integer())
        return static_cast<std::uint32_t>(common::read_integer(value, path, 0, highest));
    if (!value.is_string())
        throw common::input_error(path + ": expected an integer or a \"0x..\"/\"0b..\" string");
    const std::string text = value.get<std::string>();
    const bool binary = text.rfind("0b", 0) == 0;
    if (!binary && text.rfind("0x", 0) != 0)
        throw common::input_error(path + ": \"" + text + "\" must start with 0x or 0b");
    std::uint64_t level = 0;
    bool any = false;
    for (std::size_t i = 2; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '_')
            continue;
        int digit = -1;
        if (binary && (c == '0' || c == '1'))
            digit = c - '0';
        else if (!binary)
            digit = common::hex_digit_value(c);
        if (digit < 0)
            throw common::input_error(path + ": \"" + text + "\" is not a " +
                                      (binary ? "binary" : "hex") + " number");
        level = level * (binary ? 2 : 16) + static_cast<std::uint64_t>(digit);
        any = true;
        if (level > highest)
            throw common::input_error(path + ": \"" + text + "\" does not fit the port");
    }
    if (!any)
        throw common::input_error(path + ": \"" + text + "\" has no digits");
    return static_cast<std::uint32_t>(level);
}

// A text of the records: 8-bit bytes, written as Latin-1 characters and \xNN.
std::string read_bytes(const nlohmann::json& value, const std::string& path) {
    std::string error;
    const auto bytes = bytes_from_scenario_text(common::read_string(value, path), error);
    if (!bytes)
        throw common::input_error(path + ": " + error);
    return *bytes;
}

std::string read_serial(const nlohmann::json& value, const std::string& path, std::size_t limit) {
    std::string text = read_bytes(value, path);
    if (text.size() > limit)
        throw common::input_error(path + ": " + std::to_string(text.size()) +
                                  " bytes; the input record carries at most " +
                                  std::to_string(limit));
    return text;
}

timeline_entry read_entry(const nlohmann::json& value, const std::string& path,
                          std::int64_t earliest) {
    common::require_object(value, path,
                           {"at", "controller", "digi8_1", "digi8_2", "digi16_1", "digi16_2",
                            "digi32", "serial_1", "serial_2"});
    if (!value.contains("at"))
        throw common::input_error(common::key_path(path, "at") + ": missing");
    timeline_entry entry;
    entry.at = common::read_integer(value["at"], common::key_path(path, "at"), 0, LATEST_SECOND);
    if (entry.at < earliest)
        throw common::input_error(common::key_path(path, "at") + ": " + std::to_string(entry.at) +
                                  " is before the entry above it (" + std::to_string(earliest) +
                                  ")");
    if (value.contains("controller"))
        entry.controller = static_cast<std::int32_t>(common::read_integer(
            value["controller"], common::key_path(path, "controller"), 0, 255));
    controller_inputs& in = entry.inputs;
    for (const input_name& port : input_names())
        if (port.width > 0 && value.contains(port.key)) {
            const std::uint32_t highest = port.width == 32 ? 0xFFFFFFFFu : (1u << port.width) - 1;
            in.set_level(port.mode,
                         read_level(value[port.key], common::key_path(path, port.key), highest));
        }
    if (value.contains("serial_1"))
        in.serial1 =
            read_serial(value["serial_1"], common::key_path(path, "serial_1"), SERIAL1_TEXT_LIMIT);
    if (value.contains("serial_2"))
        in.serial2 =
            read_serial(value["serial_2"], common::key_path(path, "serial_2"), SERIAL2_TEXT_LIMIT);
    for (const input_name& input : input_names())
        if (value.contains(input.key))
            entry.given |= input.mode;
    return entry;
}

std::string read_outcome(const nlohmann::json& value, const std::string& path) {
    std::string outcome = common::read_string(value, path);
    for (const char* known : outcomes)
        if (outcome == known)
            return outcome;
    throw common::input_error(path + ": unknown outcome \"" + outcome +
                              "\" (known: completed, stopped, waiting, error)");
}

expectation read_expectation(const nlohmann::json& value, const std::string& path) {
    expectation expect;
    if (value.is_string()) {
        expect.outcome = read_outcome(value, path);
        return expect;
    }
    common::require_object(
        value, path,
        {"outcome", "completed_runs", "restarts", "element", "IN2", "IN3", "IN4", "IN5"});
    if (!value.contains("outcome"))
        throw common::input_error(common::key_path(path, "outcome") + ": missing");
    expect.outcome = read_outcome(value["outcome"], common::key_path(path, "outcome"));
    if (value.contains("completed_runs"))
        expect.completed_runs = static_cast<int>(common::read_integer(
            value["completed_runs"], common::key_path(path, "completed_runs"), 0, MAX_RUNS));
    if (value.contains("restarts"))
        expect.restarts = static_cast<int>(common::read_integer(
            value["restarts"], common::key_path(path, "restarts"), 0, 1000000000));
    if (value.contains("element"))
        expect.element = common::read_string(value["element"], common::key_path(path, "element"));
    for (int k = 0; k < CHARACTER_INPUTS; ++k) {
        const std::string name = "IN" + std::to_string(k + 2);
        if (value.contains(name))
            expect.character_inputs[k] = read_bytes(value[name], common::key_path(path, name));
    }
    return expect;
}

// ---- writing ----

using ordered_json = nlohmann::ordered_json;

// A line of a file is kept to this width where a value allows it.
constexpr std::size_t LINE_WIDTH = 100;

std::string one_line(const ordered_json& value) {
    if (value.is_object() && !value.empty()) {
        std::string text;
        for (auto member = value.begin(); member != value.end(); ++member)
            text += (text.empty() ? "{" : ", ") + ordered_json(member.key()).dump() + ": " +
                    one_line(member.value());
        return text + "}";
    }
    if (value.is_array() && !value.empty()) {
        std::string text;
        for (const auto& item : value)
            text += (text.empty() ? "[" : ", ") + one_line(item);
        return text + "]";
    }
    // Names are kept as given; invalid UTF-8 is replaced rather than refused,
    // as a project's save does.
    return value.dump(-1, ' ', false, ordered_json::error_handler_t::replace);
}

// Objects and arrays on one line where it is short, one member per line
// otherwise or when `opened`; the top always opened, and the timeline, so
// that each input record has its line.
std::string laid_out(const ordered_json& value, std::size_t indent, bool opened = false) {
    std::string flat = one_line(value);
    if (!value.is_structured() || value.empty() ||
        (!opened && indent > 0 && indent + flat.size() <= LINE_WIDTH))
        return flat;
    const std::string inner(indent + 2, ' ');
    std::string text = value.is_object() ? "{\n" : "[\n";
    bool first = true;
    for (auto member = value.begin(); member != value.end(); ++member) {
        text += (first ? "" : ",\n") + inner;
        const bool timeline = value.is_object() && indent == 0 && member.key() == "timeline";
        if (value.is_object())
            text += ordered_json(member.key()).dump() + ": ";
        text += laid_out(member.value(), indent + 2, timeline);
        first = false;
    }
    return text + "\n" + std::string(indent, ' ') + (value.is_object() ? "}" : "]");
}

std::string binary_level(std::uint32_t level, int width) {
    std::string text = "0b";
    for (int bit = width - 1; bit >= 0; --bit) {
        text += (level >> bit & 1) != 0 ? '1' : '0';
        // Bytes apart, as the reader allows.
        if (bit > 0 && bit % 8 == 0)
            text += '_';
    }
    return text;
}

std::string hex_level(std::uint32_t level) {
    char text[16];
    (void)std::snprintf(text, sizeof text, "0x%08X", level);
    return text;
}

ordered_json entry_to_json(const timeline_entry& entry) {
    ordered_json json;
    json["at"] = entry.at;
    if (entry.controller != 0)
        json["controller"] = entry.controller;
    const controller_inputs& in = entry.inputs;
    for (const input_name& port : input_names()) {
        const std::uint32_t level = port.width > 0 ? in.level(port.mode) : 0;
        if (level != 0)
            json[port.key] = port.width == 32 ? hex_level(level) : binary_level(level, port.width);
    }
    const std::string texts[] = {scenario_text_from_bytes(in.serial1),
                                 scenario_text_from_bytes(in.serial2)};
    for (int i = 0; i < 2; ++i)
        if (!texts[i].empty())
            json[i == 0 ? "serial_1" : "serial_2"] = texts[i];
    return json;
}

ordered_json element_json(const project_element& element) {
    ordered_json json = element_to_json(element);
    if (element.kind != element_kind::custom_input)
        return json;
    // The configuration only where it encodes to the very same bytes: the
    // replay must load what the element held.
    const nlohmann::json decoded =
        record_to_json(element.save_record.data(), element.save_record.size());
    try {
        if (record_from_json(decoded) != element.save_record)
            return json;
    } catch (const record_json_error&) {
        return json;
    }
    // What loading would do is information for people, not configuration.
    ordered_json configuration = in_record_order(decoded);
    configuration.erase("stored_bytes");
    configuration.erase("when_loaded");
    json.erase("save_record");
    json["configuration"] = configuration;
    return json;
}

ordered_json expectation_to_json(const expectation& expect) {
    ordered_json json;
    json["outcome"] = expect.outcome;
    if (expect.completed_runs)
        json["completed_runs"] = *expect.completed_runs;
    if (expect.restarts)
        json["restarts"] = *expect.restarts;
    if (expect.element)
        json["element"] = *expect.element;
    for (int k = 0; k < CHARACTER_INPUTS; ++k)
        if (expect.character_inputs[k])
            json["IN" + std::to_string(k + 2)] =
                scenario_text_from_bytes(*expect.character_inputs[k]);
    return json;
}

} // namespace

std::string scenario_to_text(const scenario& s) {
    ordered_json json;
    if (!s.description.empty())
        json["description"] = s.description;
    json["controllers"] = controllers_to_json(s.controllers);
    json["elements"] = ordered_json::array();
    for (const auto& element : s.elements)
        json["elements"].push_back(element_json(element));
    json["runs"] = s.runs;
    json["timeline"] = ordered_json::array();
    for (const auto& entry : s.timeline)
        json["timeline"].push_back(entry_to_json(entry));
    json["expect"] = expectation_to_json(s.expect);
    return laid_out(json, 0) + "\n";
}

scenario scenario_from_json(const nlohmann::json& json) {
    common::require_object(json, "",
                           {"description", "controllers", "elements", "runs", "timeline", "expect",
                            common::SCHEMA_KEY});
    common::check_schema_key(json);
    for (const char* required : {"elements", "timeline", "expect"})
        if (!json.contains(required))
            throw common::input_error(std::string(required) + ": missing");
    scenario s;
    if (json.contains("description"))
        s.description = common::read_string(json["description"], "description");
    s.controllers = json.contains("controllers")
                        ? controllers_from_json(json["controllers"], "controllers")
                        : default_controllers();
    s.elements = elements_from_json(json["elements"], "elements");
    if (json.contains("runs"))
        s.runs = static_cast<int>(common::read_integer(json["runs"], "runs", 1, MAX_RUNS));
    const auto& timeline = common::require_array(json["timeline"], "timeline");
    std::int64_t earliest = 0;
    for (std::size_t i = 0; i < timeline.size(); ++i) {
        s.timeline.push_back(read_entry(timeline[i], common::key_path("timeline", i), earliest));
        earliest = s.timeline.back().at;
    }
    s.expect = read_expectation(json["expect"], "expect");
    return s;
}

std::vector<std::string> scenario_warnings(const scenario& s) {
    std::vector<std::string> warnings;
    for (std::size_t i = 0; i < s.timeline.size(); ++i) {
        const timeline_entry& entry = s.timeline[i];
        const controller_setup* setup = nullptr;
        for (const auto& controller : s.controllers)
            if (controller.index == entry.controller)
                setup = &controller;
        const std::uint32_t offered = setup != nullptr && setup->valid ? setup->capabilities : 0;
        std::string missing;
        for (const auto& input : input_names())
            if ((entry.given & input.mode) != 0 && (offered & input.mode) == 0)
                missing += (missing.empty() ? "" : ", ") + std::string(input.name);
        if (missing.empty())
            continue;
        const std::string controller = "controller " + std::to_string(entry.controller);
        warnings.push_back(common::key_path("timeline", i) + " at " + std::to_string(entry.at) +
                           " s: " + controller + " does not offer " + missing +
                           (setup == nullptr ? " (it is not described)"
                            : !setup->valid  ? " (it is described as not valid)"
                                             : "") +
                           "; the element evaluates the record all the same");
    }
    return warnings;
}

scenario read_scenario_file(const std::string& file) {
    const nlohmann::json json =
        common::read_json_file(file, SCENARIO_FILE_LIMIT, "a scenario file");
    try {
        return scenario_from_json(json);
    } catch (const common::input_error& e) {
        throw common::input_error(file + ": " + e.what());
    }
}

} // namespace reference_host
