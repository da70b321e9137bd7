#include "options.h"

#include "serial_port.h"

namespace reference_host {

namespace {
bool read_int(const std::string& text, int& value) {
    if (text.empty() || text.size() > 9)
        return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}
} // namespace

std::string usage_text() {
    return "usage: reference_host [options] [PROJECT.json]\n"
           "  --plugin PATH          plug-in library to load (default: the one built with the "
           "program)\n"
           "  --controllers FILE     describe the controllers of FILE (default: controller 0, "
           "every input)\n"
           "  --project FILE         open a project file\n"
           "  --serial DEVICE        feed lines received on DEVICE into a serial interface\n"
           "  --baud N               baud rate of --serial (default 9600)\n"
           "  --serial-interface N   serial interface 1 or 2 that --serial feeds (default 1)\n"
           "  --replay SCENARIO      run SCENARIO without a window on a virtual clock; exit 0 "
           "when\n"
           "                         it ends as its \"expect\" says, 1 otherwise\n"
           "  --screenshot FILE.png  show the window with the panel, save it to FILE.png and quit\n"
           "  --help                 show this text\n";
}

std::string parse_options(const std::vector<std::string>& args, options& out) {
    bool baud_given = false;
    bool interface_given = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& into) -> std::string {
            if (i + 1 >= args.size() || args[i + 1].empty())
                return arg + " needs a value";
            into = args[++i];
            return {};
        };
        std::string text;
        std::string error;
        if (arg == "--help" || arg == "-h") {
            out.help = true;
        } else if (arg == "--plugin") {
            error = value(out.plugin_path);
        } else if (arg == "--controllers") {
            error = value(text);
            out.controllers = text;
        } else if (arg == "--project") {
            error = value(text);
            out.project = text;
        } else if (arg == "--replay") {
            error = value(text);
            out.replay = text;
        } else if (arg == "--screenshot") {
            error = value(text);
            out.screenshot = text;
        } else if (arg == "--serial") {
            error = value(text);
            out.serial_device = text;
        } else if (arg == "--baud") {
            error = value(text);
            if (error.empty() && (!read_int(text, out.baud) || !is_supported_baud(out.baud)))
                error = "--baud: unsupported rate \"" + text +
                        "\" (1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400, "
                        "460800, 921600)";
            baud_given = true;
        } else if (arg == "--serial-interface") {
            error = value(text);
            if (error.empty() && (text != "1" && text != "2"))
                error = "--serial-interface: \"" + text + "\" is not 1 or 2";
            else if (error.empty())
                out.serial_interface = text == "1" ? 1 : 2;
            interface_given = true;
        } else if (!arg.empty() && arg[0] == '-') {
            error = "unknown option " + arg;
        } else if (out.project) {
            error = "more than one project file: " + *out.project + " and " + arg;
        } else {
            out.project = arg;
        }
        if (!error.empty())
            return error;
    }
    if ((baud_given || interface_given) && !out.serial_device)
        return std::string(baud_given ? "--baud" : "--serial-interface") + " needs --serial";
    if (out.replay) {
        if (out.serial_device)
            return "--replay runs without a window; --serial needs the window";
        if (out.screenshot)
            return "--replay and --screenshot exclude each other";
        if (out.project)
            return "--replay takes its elements from the scenario, not from a project file";
        if (out.controllers)
            return "--replay takes its controllers from the scenario";
    }
    return {};
}

} // namespace reference_host
