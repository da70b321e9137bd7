// Shows what a stored element holds, and writes records from JSON:
//   save_record_tool decode RECORD [-o JSON]
//   save_record_tool encode JSON [-o RECORD]
#include <algorithm>
#include <clocale>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include <wx/cmdline.h>
#include <wx/init.h>

#include "record_json.h"
#include "save_record.h"

namespace {

constexpr int EXIT_REFUSED = 1;
constexpr int EXIT_USAGE = 2;
// A record's JSON takes a few kilobytes; anything far larger is not one.
constexpr std::size_t JSON_FILE_LIMIT = 1 << 20;

struct refused {
    std::string message;
};

// Up to `limit` bytes of the file, and the file's whole size.
std::vector<std::uint8_t> read_file(const std::string& path, std::size_t limit, std::size_t& size) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        throw refused{path + ": cannot be read"};
    size = static_cast<std::size_t>(in.tellg());
    in.seekg(0);
    std::vector<std::uint8_t> bytes(std::min(size, limit));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
        throw refused{path + ": cannot be read"};
    return bytes;
}

void write_output(const wxString& path, const std::string& bytes) {
    if (path.empty()) {
        std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        std::cout.flush();
        if (!std::cout)
            throw refused{"cannot write to standard output"};
        return;
    }
    const std::string name = path.ToStdString();
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw refused{name + ": cannot be written"};
}

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

std::string decode(const std::string& path) {
    std::size_t size = 0;
    const std::vector<std::uint8_t> record = read_file(path, SAVE_RECORD_SIZE, size);
    // The file's own size: the codec reads only its first 956 bytes, which
    // are all that was read, and notes a longer file as such.
    const nlohmann::json json = record_to_json(record.data(), size);
    std::string text;
    append_readable(in_record_order(json), 0, text);
    return text + "\n";
}

std::string encode(const std::string& path) {
    std::size_t size = 0;
    const std::vector<std::uint8_t> bytes = read_file(path, JSON_FILE_LIMIT, size);
    if (size > JSON_FILE_LIMIT)
        throw refused{path + ": too large for a record's JSON"};
    nlohmann::json json;
    try {
        json = nlohmann::json::parse(bytes.begin(), bytes.end());
    } catch (const nlohmann::json::exception& e) {
        throw refused{path + ": not valid JSON: " + e.what()};
    }
    try {
        const std::vector<std::uint8_t> record = record_from_json(json);
        return std::string(record.begin(), record.end());
    } catch (const record_json_error& e) {
        throw refused{path + ": " + e.what()};
    }
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_CTYPE, ""); // file names in the user's encoding
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
        {wxCMD_LINE_PARAM, nullptr, nullptr, "decode|encode", wxCMD_LINE_VAL_STRING, 0},
        {wxCMD_LINE_PARAM, nullptr, nullptr, "file", wxCMD_LINE_VAL_STRING, 0},
        {wxCMD_LINE_NONE, nullptr, nullptr, nullptr, wxCMD_LINE_VAL_NONE, 0},
    };
    wxCmdLineParser parser(options, argc, argv);
    parser.SetLogo("Save records of \"Custom Input\" elements, as JSON and back.");
    parser.AddUsageText("\ndecode: a stored record (956 bytes, or a shorter or older one) to "
                        "JSON, with what loading it gives.\nencode: such JSON to a 956-byte "
                        "version-5 record, as the plug-in saves it after loading.");
    switch (parser.Parse()) {
    case -1:
        return 0;
    case 0:
        break;
    default:
        return EXIT_USAGE;
    }
    const wxString command = parser.GetParam(0);
    const std::string input = parser.GetParam(1).ToStdString();
    wxString output;
    parser.Found("o", &output);
    if (command != "decode" && command != "encode") {
        std::cerr << "save_record_tool: unknown command \"" << command << "\" (decode or encode)\n";
        parser.Usage();
        return EXIT_USAGE;
    }
    try {
        write_output(output, command == "decode" ? decode(input) : encode(input));
    } catch (const refused& r) {
        std::cerr << "save_record_tool: " << r.message << "\n";
        return EXIT_REFUSED;
    }
    return 0;
}
