// Shows what a stored element holds, and writes records from JSON:
//   save_record_tool decode RECORD [-o JSON]
//   save_record_tool encode [--strict] JSON [-o RECORD]
// "-" for a file reads standard input or writes standard output.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include <wx/cmdline.h>
#include <wx/init.h>

#include "common/file_access.h"
#include "common/input_error.h"
#include "common/json_reading.h"
#include "common/program_arguments.h"
#include "model/save_record.h"
#include "record_json/record_json.h"
#include "save_record_tool/tool_files.h"

namespace save_record_tool {

namespace {

using common::input_error;

constexpr int EXIT_REFUSED = 1; // the input is not a record or its JSON
constexpr int EXIT_USAGE = 2;   // also files that cannot be read or written
// A record's JSON takes a few kilobytes; anything far larger is not one.
constexpr std::size_t JSON_FILE_LIMIT = 1 << 20;
// A record is 956 bytes; a host may hand over a longer one, whose length
// decoding reports, but an input past this is not a record at all (and an
// endless one, a device or a pipe, must not be read to its end to count it).
constexpr std::size_t RECORD_FILE_LIMIT = 1 << 20;

// A value on one line.
std::string flat_form(const nlohmann::ordered_json& json) {
    if (!json.is_structured())
        return json.dump();
    std::string out = json.is_object() ? "{" : "[";
    for (auto item = json.begin(); item != json.end(); ++item) {
        out += item == json.begin() ? "" : ", ";
        if (json.is_object())
            out += nlohmann::ordered_json(item.key()).dump() + ": ";
        out += flat_form(item.value());
    }
    return out + (json.is_object() ? "}" : "]");
}

// Values that fit on one line stay on one, larger ones take a line per
// member: a whole record then fits a screen.
void append_readable(const nlohmann::ordered_json& json, std::size_t depth, std::string& out) {
    constexpr std::size_t line_width = 76;
    const std::string flat = flat_form(json);
    if (!json.is_structured() || 2 * depth + flat.size() <= line_width) {
        out += flat;
        return;
    }
    const std::string indent(2 * depth + 2, ' ');
    out += json.is_object() ? "{\n" : "[\n";
    for (auto item = json.begin(); item != json.end(); ++item) {
        out += item == json.begin() ? indent : ",\n" + indent;
        if (json.is_object())
            out += nlohmann::ordered_json(item.key()).dump() + ": ";
        append_readable(item.value(), depth + 1, out);
    }
    out += "\n" + indent.substr(2) + (json.is_object() ? "}" : "]");
}

// `record` holds the input's first bytes, `size` counts all of them.
std::string decode(const std::string& record, std::size_t size) {
    // The input's own size: the codec reads only its first 956 bytes, which
    // are all that was kept, and notes a longer input as such.
    const nlohmann::json json =
        record_to_json(reinterpret_cast<const std::uint8_t*>(record.data()), size);
    std::string text;
    append_readable(in_record_order(json), 0, text);
    return text + "\n";
}

// The record of the JSON `text` (all of input `name`), after listing on
// standard error each field it does not hold as the JSON gives it; with
// `strict`, such a field refuses the JSON instead.
std::string encode(const std::string& name, const std::string& text, bool strict) {
    std::vector<std::uint8_t> record;
    std::vector<std::string> changes;
    try {
        record = record_from_json(parse_record_json(text), changes);
    } catch (const record_json_error& e) {
        throw input_error(name + ": " + e.what());
    }
    for (const std::string& change : changes)
        std::cerr << "save_record_tool: " << (strict ? "error: " : "note: ") << change << "\n";
    if (strict && !changes.empty())
        throw input_error(name + ": refused (--strict): " + std::to_string(changes.size()) +
                          (changes.size() == 1 ? " field is" : " fields are") +
                          " not written as given");
    return std::string(record.begin(), record.end());
}

const char* const USAGE_TEXT =
    "\ndecode: a stored record (956 bytes, or a shorter or older one) to JSON, with what "
    "loading it gives.\nencode: such JSON to a 956-byte version-5 record, as the plug-in "
    "saves it after loading. Each field the record does not hold as the JSON gives it (a "
    "default of an older version, a repaired substr_to) is listed on standard error; "
    "--strict refuses such JSON instead.\nA file \"-\" is standard input, -o - standard "
    "output (the default).\nExit status: 0 done, 1 input refused (not a record's JSON), 2 "
    "usage error or a file that cannot be read or written.";

} // namespace

} // namespace save_record_tool

namespace {

// Memory kept back for the way out when an allocation fails: unwinding frees
// the JSON parsed so far, and taking it apart allocates too (16 bytes for
// each value, at most 8 MiB for JSON_FILE_LIMIT of input). Without it that
// allocation fails in a destructor, and the program aborts.
constexpr std::size_t MEMORY_RESERVE = std::size_t{16} << 20;
void* memory_reserve = nullptr;

void release_memory_reserve() {
    std::free(memory_reserve);
    memory_reserve = nullptr;
    std::set_new_handler(nullptr);
    // Already on the way out, in a destructor that may not throw: the
    // allocation is tried again, in the memory just freed.
    if (std::uncaught_exceptions() == 0)
        throw std::bad_alloc();
}

// A name given on the command line as the file calls take it: UTF-8 on
// Windows, the locale's bytes elsewhere.
std::string file_name(const wxString& name) {
#ifdef _WIN32
    return name.utf8_string();
#else
    return name.ToStdString();
#endif
}

int run(int argc, char** argv) {
    using namespace save_record_tool;
    // Less where memory is that short: it then also runs out sooner.
    for (std::size_t size = MEMORY_RESERVE; memory_reserve == nullptr && size >= 4096; size /= 2)
        memory_reserve = std::malloc(size);
    if (memory_reserve != nullptr)
        std::set_new_handler(release_memory_reserve);
    common::binary_standard_streams();  // records and messages byte for byte as on Linux
    (void)std::setlocale(LC_CTYPE, ""); // file names in the user's encoding; else the C locale's
    // Asked alone, before the parser that wants a command and a file.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "save_record_tool " << ZAVUD_VERSION << "\n";
        return 0;
    }
    wxInitializer toolkit(argc, argv);
    if (!toolkit.IsOk()) {
        std::cerr << "save_record_tool: cannot start the toolkit's base library\n";
        return EXIT_USAGE;
    }
    static const wxCmdLineEntryDesc options[] = {
        {wxCMD_LINE_SWITCH, "h", "help", "show this help", wxCMD_LINE_VAL_NONE,
         wxCMD_LINE_OPTION_HELP},
        {wxCMD_LINE_OPTION, "o", "output", "write to this file instead of standard output",
         wxCMD_LINE_VAL_STRING, 0},
        {wxCMD_LINE_SWITCH, nullptr, "version", "show the program's version", wxCMD_LINE_VAL_NONE,
         0},
        {wxCMD_LINE_SWITCH, nullptr, "strict",
         "encode: refuse JSON with a field the record would not hold as given", wxCMD_LINE_VAL_NONE,
         0},
        {wxCMD_LINE_PARAM, nullptr, nullptr, "decode|encode", wxCMD_LINE_VAL_STRING, 0},
        {wxCMD_LINE_PARAM, nullptr, nullptr, "file", wxCMD_LINE_VAL_STRING, 0},
        {wxCMD_LINE_NONE, nullptr, nullptr, nullptr, wxCMD_LINE_VAL_NONE, 0},
    };
#ifdef _WIN32
    // A char argv holds the ANSI code page, which cannot spell every name:
    // the parser reads the wide command line, and names go on as UTF-8.
    std::vector<std::wstring> wide{L"save_record_tool"};
    for (const std::string& argument : common::program_arguments(argc, argv))
        wide.push_back(wxString::FromUTF8(argument).ToStdWstring());
    std::vector<wchar_t*> wide_argv;
    for (std::wstring& argument : wide)
        wide_argv.push_back(argument.data());
    wxCmdLineParser parser(options, static_cast<int>(wide_argv.size()), wide_argv.data());
#else
    wxCmdLineParser parser(options, argc, argv);
#endif
    parser.SetLogo("Save records of \"Custom Input\" elements, as JSON and back.");
    parser.AddUsageText(USAGE_TEXT);
    const auto usage_to = [&](std::FILE* stream) {
        (void)std::fputs(parser.GetUsageString().utf8_str().data(), stream);
    };
    // Help is asked for: standard output. Errors are not: standard error.
    switch (parser.Parse(false)) {
    case -1:
        usage_to(stdout);
        return 0;
    case 0:
        break;
    default:
        usage_to(stderr);
        return EXIT_USAGE;
    }
    const wxString command = parser.GetParam(0);
    const std::string input = file_name(parser.GetParam(1));
    wxString output;
    parser.Found("o", &output);
    const bool strict = parser.Found("strict");
    if (command != "decode" && command != "encode") {
        std::cerr << "save_record_tool: unknown command \"" << command << "\" (decode or encode)\n";
        usage_to(stderr);
        return EXIT_USAGE;
    }
    if (strict && command != "encode") {
        std::cerr << "save_record_tool: --strict goes with encode\n";
        return EXIT_USAGE;
    }
    const bool decoding = command == "decode";
    // What fails says which exit status: the files, or the input itself.
    int failure = EXIT_USAGE;
    try {
        std::size_t size = 0;
        const std::size_t limit = decoding ? RECORD_FILE_LIMIT : JSON_FILE_LIMIT;
        const std::string bytes = read_input(input, limit, size);
        failure = EXIT_REFUSED;
        if (size > limit)
            throw input_error(
                input_name(input) + ": " +
                common::larger_than(limit, decoding ? "a save record" : "a record's JSON"));
        const std::string result =
            decoding ? decode(bytes, size) : encode(input_name(input), bytes, strict);
        failure = EXIT_USAGE;
        write_output(file_name(output), result);
    } catch (const input_error& e) {
        std::cerr << "save_record_tool: " << e.what() << "\n";
        return failure;
    }
    return 0;
}

} // namespace

// Every failure the tool expects is an input_error; anything else (memory
// running out, a fault of its own) still ends it with one line and the exit
// status of a failure, never an abort.
int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::cerr << "save_record_tool: out of memory\n";
    } catch (const std::exception& e) {
        std::cerr << "save_record_tool: " << e.what() << "\n";
    } catch (...) {
        std::cerr << "save_record_tool: unexpected failure\n";
    }
    return save_record_tool::EXIT_USAGE;
}
