// The controllers the program describes to the plug-in, read from JSON by
// names (inputs, features, port kinds, unavailable bits), never raw numbers:
//
//   {"controllers": [{"index": 0,
//                     "inputs": ["INPUT_DIGI8_1", "INPUT_SERIAL_1"],
//                     "features": ["FEATURE_STREAM_WAIT"],
//                     "ports": [{"kind": "INPUT_DIGI8_1", "unavailable_bits": [0, 1]}]}]}
//
// "inputs" may also be "all"; "unavailable_bits" may be "all" (the whole port).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "abi/controller_config.h"

namespace reference_host {

struct port_entry {
    std::uint32_t kind; // INPUT_* value of a digital port
    std::uint32_t mask; // bits the element may not use
};

struct controller_setup {
    int index = 0;
    bool valid = true;
    std::uint32_t capabilities = 0; // INPUT_* bits
    std::uint8_t features = 0;      // FEATURE_* bits
    std::vector<port_entry> ports;  // at most PORT_ENTRIES

    // The 4416-byte description, host byte order, as vexa_set_config_info takes it.
    std::array<std::uint8_t, CONTROLLER_CONFIG_SIZE> record() const;
};

// One input kind and its name in files and on screen.
struct input_name {
    const char* name;
    std::uint32_t mode;
    int width;       // bits of a digital port; 0 for a serial interface
    std::string key; // in timelines and descriptions: "digi8_1", "serial_2", ...
};
const std::vector<input_name>& input_names();
// The name of an INPUT_* value, or its hex number when it has none.
std::string name_of_input(std::uint32_t mode);

// Without a file: controller 0 offering every input, with FEATURE_STREAM_WAIT.
std::vector<controller_setup> default_controllers();

// The array under "controllers"; `path` prefixes messages. Throws input_error.
std::vector<controller_setup> controllers_from_json(const nlohmann::json& array,
                                                    const std::string& path);
// The array again, by names, as a recording describes the controllers.
nlohmann::ordered_json controllers_to_json(const std::vector<controller_setup>& controllers);
// A controller file (an object with "controllers"). Throws input_error "FILE: key: ...".
std::vector<controller_setup> read_controller_file(const std::string& file);

} // namespace reference_host
