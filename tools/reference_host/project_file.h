// A project as the program keeps and stores it: the elements in order, each
// with its name and host id, and each Custom Input's save record exactly as
// the plug-in handed it out.
//
//   {"elements": [{"name": "Engrave logo", "id": 1, "type": "placeholder"},
//                 {"name": "Wait for part", "id": 2, "type": "custom_input",
//                  "save_record": "000503bc..."}]}
//
// When reading, a Custom Input may give "configuration" (the save-record
// tool's JSON) instead of "save_record".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace reference_host {

enum class element_kind { custom_input, placeholder };

struct project_element {
    std::string name; // UTF-8
    std::int32_t id = 0;
    element_kind kind = element_kind::placeholder;
    std::vector<std::uint8_t> save_record; // Custom Input only; opaque to the host
};

struct project {
    std::vector<project_element> elements;
};

// Longest save record the program accepts from a file; the plug-in's own
// records are far shorter.
constexpr std::size_t SAVE_RECORD_LIMIT = 65536;

// The elements array of a project or scenario; ids must be unique. Throws
// input_error naming the key.
std::vector<project_element> elements_from_json(const nlohmann::json& array,
                                                const std::string& path);
nlohmann::ordered_json element_to_json(const project_element& element);

project project_from_json(const nlohmann::json& json);
// The file's text: two-space indentation and a final newline, members in a
// fixed order, so saving the same project twice gives the same bytes.
std::string project_to_text(const project& project);

// Throws input_error "FILE: key: ..." when the file is refused.
project read_project_file(const std::string& file);
// Throws input_error saying why the file cannot be written.
void write_project_file(const std::string& file, const project& project);

} // namespace reference_host
