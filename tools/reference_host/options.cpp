#include "reference_host/options.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include <wx/cmdline.h>

#include "common/command_line.h"
#include "reference_host/serial_port.h"

namespace reference_host {

using common::bytes;

namespace {

// Every option with what --help says of it; the manual page is made of that.
const wxCmdLineEntryDesc OPTIONS[] = {
    {wxCMD_LINE_OPTION, nullptr, "plugin",
     "plug-in library to load (default: the one installed with the program)", wxCMD_LINE_VAL_STRING,
     0},
    {wxCMD_LINE_OPTION, nullptr, "controllers",
     "controller file that describes the controllers (default: controller 0, every input)",
     wxCMD_LINE_VAL_STRING, 0},
    {wxCMD_LINE_OPTION, nullptr, "project", "project file to open", wxCMD_LINE_VAL_STRING, 0},
    {wxCMD_LINE_OPTION, nullptr, "serial",
     "serial device whose received lines feed a serial interface", wxCMD_LINE_VAL_STRING, 0},
    {wxCMD_LINE_OPTION, nullptr, "baud", "baud rate of --serial (default 9600)",
     wxCMD_LINE_VAL_STRING, 0},
    {wxCMD_LINE_OPTION, nullptr, "serial-format",
     "data bits, parity (N, E, O, M, S) and stop bits of --serial, e.g. 7E1 (default 8N1)",
     wxCMD_LINE_VAL_STRING, 0},
    {wxCMD_LINE_OPTION, nullptr, "serial-interface",
     "serial interface 1 or 2 that --serial feeds (default 1)", wxCMD_LINE_VAL_STRING, 0},
    {wxCMD_LINE_SWITCH, nullptr, "list-serial", "list the serial ports the system knows and quit",
     wxCMD_LINE_VAL_NONE, 0},
    {wxCMD_LINE_OPTION, nullptr, "log",
     "file to write the run log to as well, one plain line per entry", wxCMD_LINE_VAL_STRING, 0},
    {wxCMD_LINE_OPTION, nullptr, "replay",
     "scenario to run without a window on a virtual clock; exit 0 when it ends as its \"expect\" "
     "says, 1 when it does not, 2 when the scenario or the plug-in cannot be used",
     wxCMD_LINE_VAL_STRING, 0},
    {wxCMD_LINE_OPTION, nullptr, "record",
     "file to write the window's runs to, as a scenario for --replay: when a run ends, when the "
     "window closes, and from File > Save recording",
     wxCMD_LINE_VAL_STRING, 0},
    {wxCMD_LINE_OPTION, nullptr, "screenshot",
     "PNG file: show the window with the panel, save it to the file and quit",
     wxCMD_LINE_VAL_STRING, 0},
    {wxCMD_LINE_OPTION, nullptr, "lang",
     "language of the window's and the panel's texts (e.g. de; default: the system's "
     "language)",
     wxCMD_LINE_VAL_STRING, 0},
    // Not the toolkit's help flag: a wrong command line is refused even
    // when it asks for help too.
    {wxCMD_LINE_SWITCH, "h", "help", "show this text", wxCMD_LINE_VAL_NONE, 0},
    {wxCMD_LINE_SWITCH, nullptr, "version", "show the program's version", wxCMD_LINE_VAL_NONE, 0},
    {wxCMD_LINE_USAGE_TEXT, nullptr, nullptr,
     "An option's value may also be joined to it: --baud=115200.", wxCMD_LINE_VAL_NONE, 0},
    {wxCMD_LINE_PARAM, nullptr, nullptr, "PROJECT.json", wxCMD_LINE_VAL_STRING,
     wxCMD_LINE_PARAM_OPTIONAL},
    {wxCMD_LINE_NONE, nullptr, nullptr, nullptr, wxCMD_LINE_VAL_NONE, 0}};

const wxCmdLineEntryDesc* find_option(const std::string& long_name) {
    for (const wxCmdLineEntryDesc& entry : OPTIONS)
        if ((entry.kind == wxCMD_LINE_SWITCH || entry.kind == wxCMD_LINE_OPTION) &&
            long_name == entry.longName)
            return &entry;
    return nullptr;
}

// The toolkit also takes forms that are not the program's: "--baud:9600"
// (its other separator), "--" (its end of the options), "-" (a project
// file to it), "-hh" (switches run together), and "--=x" (the name of no
// option, which it matches with the entry of the closing note). The
// program's are "-h", "--NAME" and "--NAME=VALUE"; a value given apart
// (--log FILE) may be anything. The toolkit refuses the rest its own way.
std::string unknown_option(const std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.empty() || arg[0] != '-' || arg == "-h")
            continue;
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const wxCmdLineEntryDesc* option =
            name.rfind("--", 0) == 0 ? find_option(name.substr(2)) : nullptr;
        if (option == nullptr)
            return "unknown option " + name;
        if (option->kind == wxCMD_LINE_OPTION && equals == std::string::npos)
            ++i; // its value
    }
    return {};
}

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

// Checks and keeps the values of --baud, --serial-format and
// --serial-interface; "" or what is wrong.
std::string take_serial_values(const wxCmdLineParser& parser, options& out) {
    wxString text;
    if (parser.Found("baud", &text)) {
        const std::string value = bytes(text);
        if (!read_int(value, out.baud) || !is_supported_baud(out.baud))
            return "--baud: unsupported rate \"" + value +
                   "\" (1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800, "
                   "921600)";
    }
    if (parser.Found("serial-format", &text)) {
        const std::string value = bytes(text);
        const auto format = parse_serial_format(value);
        if (!format)
            return "--serial-format: \"" + value +
                   "\" is not data bits 5-8, parity N, E, O, M or S, stop bits 1 or 2 (8N1, "
                   "7E1, ...)";
        out.format = *format;
    }
    if (parser.Found("serial-interface", &text)) {
        if (text != "1" && text != "2")
            return "--serial-interface: \"" + bytes(text) + "\" is not 1 or 2";
        out.serial_interface = text == "1" ? 1 : 2;
    }
    return {};
}

// Whether two names are one file: compared as files when either exists
// (links, "./" and other spellings of one name included), as the names
// they would be made under otherwise.
bool same_file(const std::string& a, const std::string& b) {
    namespace fs = std::filesystem;
    fs::path first, second;
    try {
        first = fs::u8path(a);
        second = fs::u8path(b);
    } catch (const std::exception&) {
        // A name that is not UTF-8 names no file on Windows, which asks for
        // wide names; the program refuses it when it opens it.
        return a == b;
    }
    std::error_code error;
    if (fs::exists(first, error) || fs::exists(second, error))
        return fs::equivalent(first, second, error);
    const auto made_as = [](const fs::path& name) {
        std::error_code ignored;
        const fs::path resolved = fs::weakly_canonical(name, ignored);
        return ignored ? fs::absolute(name, ignored).lexically_normal() : resolved;
    };
    return made_as(first) == made_as(second);
}

// Two options that name one file: a file written would overwrite an input
// (--log emptying the project it names) or another output.
std::string same_file_twice(const options& o) {
    const std::pair<const char*, const std::optional<std::string>*> files[] = {
        {"--project", &o.project}, {"--controllers", &o.controllers},
        {"--replay", &o.replay},   {"--log", &o.log_file},
        {"--record", &o.record},   {"--screenshot", &o.screenshot}};
    for (std::size_t i = 0; i < std::size(files); ++i)
        for (std::size_t j = i + 1; j < std::size(files); ++j)
            if (*files[i].second && *files[j].second &&
                same_file(**files[i].second, **files[j].second))
                return std::string(files[i].first) + " " + **files[i].second + " and " +
                       files[j].first + " " + **files[j].second + " are the same file";
    return {};
}

} // namespace

std::string usage_text() {
    wxCmdLineParser parser(OPTIONS);
    common::set_arguments(parser, L"reference_host", {});
    return parser.GetUsageString().utf8_string();
}

std::string parse_options(const std::vector<std::string>& args, options& out) {
    std::string error = unknown_option(args);
    if (!error.empty())
        return error;
    wxCmdLineParser parser(OPTIONS);
    common::set_arguments(parser, L"reference_host", args);
    error = common::parse_quietly(parser);
    if (!error.empty())
        return error;

    wxString value;
    for (const wxCmdLineEntryDesc& entry : OPTIONS)
        if (entry.kind == wxCMD_LINE_OPTION && parser.Found(entry.longName, &value) &&
            value.empty())
            return std::string("--") + entry.longName + " needs a value";
    const std::pair<const char*, std::optional<std::string> options::*> kept[] = {
        {"controllers", &options::controllers},
        {"project", &options::project},
        {"replay", &options::replay},
        {"screenshot", &options::screenshot},
        {"log", &options::log_file},
        {"serial", &options::serial_device},
        {"record", &options::record},
        {"lang", &options::language}};
    for (const auto& [name, field] : kept)
        if (parser.Found(name, &value))
            out.*field = bytes(value);
    if (parser.Found("plugin", &value))
        out.plugin_path = bytes(value);
    error = take_serial_values(parser, out);
    if (!error.empty())
        return error;
    out.help = parser.Found("help");
    out.version = parser.Found("version");
    out.list_serial = parser.Found("list-serial");
    if (parser.GetParamCount() > 0) {
        // Whichever comes first: neither is dropped unsaid.
        const std::string project = bytes(parser.GetParam(0));
        if (out.project)
            return "more than one project file: " + *out.project + " and " + project;
        out.project = project;
    }

    for (const char* name : {"--baud", "--serial-format", "--serial-interface"})
        if (parser.Found(name + 2) && !out.serial_device)
            return std::string(name) + " needs --serial";
    if (out.replay) {
        if (out.serial_device)
            return "--replay runs without a window; --serial needs the window";
        if (out.screenshot)
            return "--replay and --screenshot exclude each other";
        if (out.record)
            return "--replay and --record exclude each other";
        if (out.project)
            return "--replay takes its elements from the scenario, not from a project file";
        if (out.controllers)
            return "--replay takes its controllers from the scenario";
    }
    return same_file_twice(out);
}

} // namespace reference_host
