#include "reference_host/project_file.h"

#include <limits>
#include <set>

#include "common/file_access.h"
#include "common/json_reading.h"
#include "record_json/record_json.h"
#include "reference_host/hex_bytes.h"

namespace reference_host {

namespace {

// A Custom Input's record takes about 2 KB as hex, the longest one accepted
// (SAVE_RECORD_LIMIT) under 200 KB: a real project stays far below this, and
// the parsed file still fits in memory many times over.
constexpr std::size_t PROJECT_FILE_LIMIT = std::size_t{16} << 20;

std::vector<std::uint8_t> read_save_record(const nlohmann::json& value, const std::string& path) {
    const auto bytes = from_hex(common::read_string(value, path));
    if (!bytes)
        throw common::input_error(path + ": not hex (two digits per byte, spaces allowed)");
    if (bytes->empty())
        throw common::input_error(path + ": empty");
    if (bytes->size() > SAVE_RECORD_LIMIT)
        throw common::input_error(path + ": " + std::to_string(bytes->size()) + " bytes; at most " +
                                  std::to_string(SAVE_RECORD_LIMIT));
    return *bytes;
}

std::vector<std::uint8_t> read_configuration(const nlohmann::json& value, const std::string& path) {
    try {
        return record_from_json(value);
    } catch (const record_json_error& e) {
        throw common::input_error(path + ": " + e.what());
    }
}

project_element read_element(const nlohmann::json& value, const std::string& path) {
    common::require_object(value, path, {"name", "id", "type", "save_record", "configuration"});
    for (const char* required : {"name", "id", "type"})
        if (!value.contains(required))
            throw common::input_error(common::key_path(path, required) + ": missing");
    project_element element;
    element.name = common::read_string(value["name"], common::key_path(path, "name"));
    element.id = static_cast<std::int32_t>(common::read_integer(
        value["id"], common::key_path(path, "id"), std::numeric_limits<std::int32_t>::min(),
        std::numeric_limits<std::int32_t>::max()));
    const std::string type_path = common::key_path(path, "type");
    const std::string type = common::read_string(value["type"], type_path);
    const bool has_record = value.contains("save_record");
    const bool has_configuration = value.contains("configuration");
    if (type == "placeholder") {
        element.kind = element_kind::placeholder;
        if (has_record || has_configuration)
            throw common::input_error(
                common::key_path(path, has_record ? "save_record" : "configuration") +
                ": a placeholder element has no configuration");
    } else if (type == "custom_input") {
        element.kind = element_kind::custom_input;
        if (has_record && has_configuration)
            throw common::input_error(
                common::key_path(path, "configuration") +
                ": give either \"save_record\" or \"configuration\", not both");
        if (has_record)
            element.save_record =
                read_save_record(value["save_record"], common::key_path(path, "save_record"));
        else if (has_configuration)
            element.save_record =
                read_configuration(value["configuration"], common::key_path(path, "configuration"));
        else
            throw common::input_error(common::key_path(path, "save_record") +
                                      ": missing (or give \"configuration\")");
    } else {
        throw common::input_error(type_path + ": unknown element type \"" + type +
                                  "\" (known: custom_input, placeholder)");
    }
    return element;
}

} // namespace

std::vector<project_element> elements_from_json(const nlohmann::json& array,
                                                const std::string& path) {
    common::require_array(array, path);
    std::vector<project_element> elements;
    std::set<std::int32_t> ids;
    for (std::size_t i = 0; i < array.size(); ++i) {
        const std::string at = common::key_path(path, i);
        elements.push_back(read_element(array[i], at));
        if (!ids.insert(elements.back().id).second)
            throw common::input_error(common::key_path(at, "id") + ": id " +
                                      std::to_string(elements.back().id) +
                                      " is used by an earlier element");
    }
    return elements;
}

nlohmann::ordered_json element_to_json(const project_element& element) {
    nlohmann::ordered_json json;
    json["name"] = element.name;
    json["id"] = element.id;
    if (element.kind == element_kind::custom_input) {
        json["type"] = "custom_input";
        json["save_record"] = to_hex(element.save_record);
    } else {
        json["type"] = "placeholder";
    }
    return json;
}

project project_from_json(const nlohmann::json& json) {
    common::require_object(json, "", {"elements", common::SCHEMA_KEY});
    common::check_schema_key(json);
    if (!json.contains("elements"))
        throw common::input_error("elements: missing");
    return project{elements_from_json(json["elements"], "elements")};
}

std::string project_to_text(const project& project) {
    nlohmann::ordered_json json;
    json["elements"] = nlohmann::ordered_json::array();
    for (const auto& element : project.elements)
        json["elements"].push_back(element_to_json(element));
    // Names are kept as given; invalid UTF-8 is replaced rather than refused
    // so that a save never fails half-way.
    return json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

project read_project_file(const std::string& file) {
    const nlohmann::json json = common::read_json_file(file, PROJECT_FILE_LIMIT, "a project file");
    try {
        return project_from_json(json);
    } catch (const common::input_error& e) {
        throw common::input_error(file + ": " + e.what());
    }
}

void write_project_file(const std::string& file, const project& project) {
    common::replace_whole_file(file, project_to_text(project));
}

} // namespace reference_host
