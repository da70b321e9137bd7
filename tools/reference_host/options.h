// The program's command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "reference_host/serial_port.h"

namespace reference_host {

struct options {
    std::string plugin_path;                  // default: the plug-in built beside the program
    std::optional<std::string> controllers;   // controller file
    std::optional<std::string> project;       // project file to open
    std::optional<std::string> replay;        // scenario: run headless
    std::optional<std::string> screenshot;    // PNG: show the window, save it, quit
    std::optional<std::string> log_file;      // the run log, also as plain lines
    std::optional<std::string> serial_device; // real serial input
    std::optional<std::string> record;        // scenario: the window's runs written down
    int baud = DEFAULT_BAUD;
    serial_format format;                // of the serial device: data bits, parity, stop bits
    int serial_interface = 1;            // which serial interface of the simulator the device feeds
    std::optional<std::string> language; // of the window's and the panel's texts
    bool list_serial = false;
    bool help = false;
    bool version = false;
};

// Reads `args` (without the program name); an option's value may follow it
// or be joined to it with '=' (--baud=115200). Returns an empty string on
// success, otherwise what is wrong.
std::string parse_options(const std::vector<std::string>& args, options& out);
// What --help prints: the toolkit's usage of the same options.
std::string usage_text();

} // namespace reference_host
