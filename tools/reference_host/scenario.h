// A replay scenario: controllers, the project's elements, how many runs, a
// timeline of input records and what the replay must end as.
//
//   {"controllers": [...],               optional; as in a controller file
//    "elements": [...],                  as in a project file
//    "runs": 2,                          optional, default 1
//    "timeline": [{"at": 0, "controller": 0, "digi8_1": "0b10000000"},
//                 {"at": 5, "serial_1": "A-4711\r\n"}],
//    "expect": "completed"}              or {"outcome": ..., "completed_runs": ...,
//                                            "restarts": ..., "element": ..., "IN2": ...}
//
// Each timeline entry is one whole input record (fields it does not give are
// 0 or empty), delivered at "at" seconds after the start to the element that
// waits then. Levels are integers or "0x.."/"0b.." strings.
//
// Serial texts and the expected IN2..IN5 are the records' 8-bit bytes: each
// character U+0001..U+00FF of the JSON string is one byte, its Latin-1 code
// (the form in which save records store texts, so a stored "Café" and a sent
// "Café" are the same bytes). \xNN is the byte NN and \\ a backslash (in the
// file "\\xNN" and "\\\\", JSON escaping the backslash).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "reference_host/controller_inputs.h"
#include "reference_host/controller_setup.h"
#include "reference_host/project_file.h"
#include "reference_host/project_runner.h"

namespace reference_host {

struct timeline_entry {
    std::int64_t at = 0; // seconds from the start, never decreasing
    std::int32_t controller = 0;
    controller_inputs inputs;
    std::uint32_t given = 0; // INPUT_* bits of the fields the entry gives
};

// What the replay must end as; members left empty are not checked.
struct expectation {
    std::string outcome; // completed, stopped, waiting, error
    std::optional<int> completed_runs;
    std::optional<int> restarts;
    std::optional<std::string> element; // where the replay ended (not for completed)
    std::array<std::optional<std::string>, CHARACTER_INPUTS> character_inputs; // IN2..IN5
};

struct scenario {
    std::string description; // for people; the replay does not read it
    std::vector<controller_setup> controllers;
    std::vector<project_element> elements;
    int runs = 1;
    std::vector<timeline_entry> timeline;
    expectation expect;
};

constexpr int MAX_RUNS = 10000;
// The latest second a timeline entry may give ("at"): over three years.
constexpr std::int64_t LATEST_SECOND = 100000000;

// Throws input_error naming the key.
scenario scenario_from_json(const nlohmann::json& json);
// Throws input_error "FILE: key: ...".
scenario read_scenario_file(const std::string& file);

// The scenario as a file's text that reads back as the same scenario: one
// timeline entry per line, each level and text that is not zero or empty
// (serial texts with \xNN for the bytes that need it), each Custom Input as
// the save-record tool's JSON where that gives its save record back byte for
// byte (as hex otherwise), the expectation's members that are set.
std::string scenario_to_text(const scenario& s);

// One line per timeline entry that gives an input its controller does not
// offer (or that goes to a controller the scenario does not describe). A
// host hands such records on all the same, so the replay does too.
std::vector<std::string> scenario_warnings(const scenario& s);

} // namespace reference_host
