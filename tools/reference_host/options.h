// The program's command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace reference_host {

struct options {
    std::string plugin_path;                  // default: the plug-in built beside the program
    std::optional<std::string> controllers;   // controller file
    std::optional<std::string> project;       // project file to open
    std::optional<std::string> replay;        // scenario: run headless
    std::optional<std::string> screenshot;    // PNG: show the window, save it, quit
    std::optional<std::string> serial_device; // real serial input
    int baud = 9600;
    int serial_interface = 1; // which serial interface of the simulator the device feeds
    bool help = false;
};

// Reads `args` (without the program name). Returns an empty string on
// success, otherwise what is wrong.
std::string parse_options(const std::vector<std::string>& args, options& out);
std::string usage_text();

} // namespace reference_host
