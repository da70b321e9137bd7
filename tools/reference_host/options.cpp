#include "reference_host/options.h"

#include "reference_host/serial_port.h"

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
           "  --plugin PATH          plug-in library to load (default: the one installed with "
           "the program)\n"
           "  --controllers FILE     describe the controllers of FILE (default: controller 0, "
           "every input)\n"
           "  --project FILE         open a project file\n"
           "  --serial DEVICE        feed lines received on DEVICE into a serial interface\n"
           "  --baud N               baud rate of --serial (default 9600)\n"
           "  --serial-format FORMAT data bits, parity (N, E, O, M, S) and stop bits of --serial,\n"
           "                         e.g. 7E1 (default 8N1)\n"
           "  --serial-interface N   serial interface 1 or 2 that --serial feeds (default 1)\n"
           "  --list-serial          list the serial ports the system knows and quit\n"
           "  --log FILE             write the run log to FILE too, one plain line per entry\n"
           "  --replay SCENARIO      run SCENARIO without a window on a virtual clock; exit 0 "
           "when\n"
           "                         it ends as its \"expect\" says, 1 when it does not, 2 when\n"
           "                         the scenario or the plug-in cannot be used\n"
           "  --screenshot FILE.png  show the window with the panel, save it to FILE.png and quit\n"
           "  --lang LANGUAGE        the panel's labels in LANGUAGE (e.g. de; default: the\n"
           "                         system's language)\n"
           "  --help                 show this text\n"
           "  --version              show the program's version\n"
           "An option's value may also be joined to it: --baud=115200.\n";
}

std::string parse_options(const std::vector<std::string>& args, options& out) {
    bool baud_given = false;
    bool format_given = false;
    bool interface_given = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        // --name=value, as toolkit command lines take long options too.
        std::optional<std::string> joined;
        const std::size_t equals = arg.find('=');
        if (arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            joined = arg.substr(equals + 1);
            arg.erase(equals);
        }
        auto value = [&](std::string& into) -> std::string {
            if (joined) {
                into = *joined;
                joined.reset();
                return into.empty() ? arg + " needs a value" : std::string();
            }
            if (i + 1 >= args.size() || args[i + 1].empty())
                return arg + " needs a value";
            into = args[++i];
            return {};
        };
        std::string text;
        std::string error;
        if (arg == "--help" || arg == "-h") {
            out.help = true;
        } else if (arg == "--version") {
            out.version = true;
        } else if (arg == "--lang") {
            error = value(text);
            out.language = text;
        } else if (arg == "--list-serial") {
            out.list_serial = true;
        } else if (arg == "--log") {
            error = value(text);
            out.log_file = text;
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
        } else if (arg == "--serial-format") {
            error = value(text);
            const auto format = parse_serial_format(text);
            if (error.empty() && !format)
                error = "--serial-format: \"" + text +
                        "\" is not data bits 5-8, parity N, E, O, M or S, stop bits 1 or 2 (8N1, "
                        "7E1, ...)";
            else if (format)
                out.format = *format;
            format_given = true;
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
        if (error.empty() && joined)
            error = arg + " takes no value";
        if (!error.empty())
            return error;
    }
    if ((baud_given || format_given || interface_given) && !out.serial_device)
        return std::string(baud_given     ? "--baud"
                           : format_given ? "--serial-format"
                                          : "--serial-interface") +
               " needs --serial";
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
