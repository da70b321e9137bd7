#include "reference_host/options.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include <wx/cmdline.h>
#include <wx/msgout.h>

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

// Every option: a switch sets `on`; an option's value is `kept` as given,
// or (neither) checked by take_value.
const struct option_entry {
    const char* name;
    bool options::*on;
    std::optional<std::string> options::*kept;
} OPTIONS[] = {{"--help", &options::help, nullptr},
               {"--version", &options::version, nullptr},
               {"--list-serial", &options::list_serial, nullptr},
               {"--controllers", nullptr, &options::controllers},
               {"--project", nullptr, &options::project},
               {"--replay", nullptr, &options::replay},
               {"--screenshot", nullptr, &options::screenshot},
               {"--log", nullptr, &options::log_file},
               {"--serial", nullptr, &options::serial_device},
               {"--record", nullptr, &options::record},
               {"--lang", nullptr, &options::language},
               {"--plugin", nullptr, nullptr},
               {"--baud", nullptr, nullptr},
               {"--serial-format", nullptr, nullptr},
               {"--serial-interface", nullptr, nullptr}};

const option_entry* find_option(const std::string& name) {
    for (const option_entry& option : OPTIONS)
        if (name == option.name)
            return &option;
    return nullptr;
}

// The toolkit takes forms the program refuses ("--baud:9600", "-", "--",
// "-hx", empty values) and words its refusals its own way: why `arg` is
// refused, in the program's words.
std::string refusal(const std::string& arg) {
    const std::string name = arg.rfind("--", 0) == 0 ? arg.substr(0, arg.find('=')) : arg;
    const option_entry* option = find_option(name);
    if (option == nullptr)
        return "unknown option " + name;
    return name + (option->on ? " takes no value" : " needs a value");
}

// Keeps the value of `option`; "" or what is wrong with it.
std::string take_value(const option_entry& option, const std::string& value, options& out) {
    const std::string name = option.name;
    if (value.empty())
        return name + " needs a value";
    if (option.kept) {
        out.*option.kept = value;
    } else if (name == "--plugin") {
        out.plugin_path = value;
    } else if (name == "--baud") {
        if (!read_int(value, out.baud) || !is_supported_baud(out.baud))
            return "--baud: unsupported rate \"" + value +
                   "\" (1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800, "
                   "921600)";
    } else if (name == "--serial-format") {
        const auto format = parse_serial_format(value);
        if (!format)
            return "--serial-format: \"" + value +
                   "\" is not data bits 5-8, parity N, E, O, M or S, stop bits 1 or 2 (8N1, "
                   "7E1, ...)";
        out.format = *format;
    } else { // --serial-interface
        if (value != "1" && value != "2")
            return "--serial-interface: \"" + value + "\" is not 1 or 2";
        out.serial_interface = value == "1" ? 1 : 2;
    }
    return {};
}

struct silent_output : wxMessageOutput {
    void Output(const wxString&) override {}
};

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
           "  --record FILE.json     write the window's runs to FILE.json as a scenario for\n"
           "                         --replay: when a run ends, when the window closes, and\n"
           "                         from File > Save recording\n"
           "  --screenshot FILE.png  show the window with the panel, save it to FILE.png and quit\n"
           "  --lang LANGUAGE        the panel's labels in LANGUAGE (e.g. de; default: the\n"
           "                         system's language)\n"
           "  --help                 show this text\n"
           "  --version              show the program's version\n"
           "An option's value may also be joined to it: --baud=115200.\n";
}

std::string parse_options(const std::vector<std::string>& args, options& out) {
    // The arguments as 8-bit data, so that file names come back byte for
    // byte whatever the locale's encoding.
    std::vector<std::wstring> wide{L"reference_host"};
    wide.reserve(args.size() + 1);
    for (const std::string& arg : args)
        wide.push_back(wxString::From8BitData(arg.data(), arg.size()).ToStdWstring());
    std::vector<wxChar*> argv;
    argv.reserve(wide.size());
    for (std::wstring& arg : wide)
        argv.push_back(arg.data());
    wxCmdLineParser parser(static_cast<int>(argv.size()), argv.data());
    parser.SetSwitchChars("-");
    for (const option_entry& option : OPTIONS) {
        if (option.on)
            parser.AddSwitch(option.on == &options::help ? "h" : "", option.name + 2);
        else
            parser.AddLongOption(option.name + 2, "", wxCMD_LINE_VAL_STRING,
                                 wxCMD_LINE_NEEDS_SEPARATOR);
    }
    parser.AddParam("", wxCMD_LINE_VAL_STRING,
                    wxCMD_LINE_PARAM_OPTIONAL | wxCMD_LINE_PARAM_MULTIPLE);
    // Its refusals, and its checks of odd input ("--=x"), are not the
    // program's to show.
    silent_output silent;
    wxMessageOutput* const shown = wxMessageOutput::Set(&silent);
    const wxAssertHandler_t checks = wxSetAssertHandler(nullptr);
    parser.Parse(false);
    wxSetAssertHandler(checks);
    wxMessageOutput::Set(shown);

    // What the toolkit read, up to where it stopped, in the order given and
    // against the argument each came from: the first thing wrong is told.
    std::size_t next = 0; // the argument the next item comes from
    for (const wxCmdLineArg& item : parser.GetArguments()) {
        const std::string& arg = args[next];
        if (item.GetKind() == wxCMD_LINE_PARAM) {
            if (!arg.empty() && arg[0] == '-')
                return refusal(arg);
            if (out.project)
                return "more than one project file: " + *out.project + " and " + arg;
            out.project = arg;
            ++next;
            continue;
        }
        const option_entry& option = *find_option("--" + item.GetLongName().ToStdString());
        const std::string name = option.name;
        const bool joined = !option.on && arg.rfind(name + "=", 0) == 0;
        if (arg != name && !joined && !(arg == "-h" && option.on == &options::help))
            return refusal(arg);
        if (option.on) {
            out.*option.on = true;
            ++next;
            continue;
        }
        std::string error =
            take_value(option, joined ? arg.substr(name.size() + 1) : args[next + 1], out);
        if (!error.empty())
            return error;
        next += joined ? 1 : 2;
    }
    // Where the toolkit stopped, or a "--" it took as the end of the options.
    if (next < args.size())
        return refusal(args[next]);
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
