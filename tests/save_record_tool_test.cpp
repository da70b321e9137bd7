// The save-record JSON codec against the plug-in's own saves and loads, its
// refusals, and the command-line tool on files.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>

#include <gtest/gtest.h>
#ifdef _WIN32
#include <process.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "model/platform.h"
#include "record_json/record_json.h"
#include "test_support/machine_facilities.h"
#include "test_support/save_records.h"

using nlohmann::json;

namespace {

std::vector<std::uint8_t> saved(const input_config& config) {
    created_element e;
    e.record().config = config;
    return save_bytes(e.handle());
}

// What the plug-in saves after loading `stored`.
std::vector<std::uint8_t> saved_after_loading(const std::vector<std::uint8_t>& stored) {
    created_element e;
    EXPECT_EQ(load_bytes(e.handle(), stored), RES_OK);
    return save_bytes(e.handle());
}

json decoded(const std::vector<std::uint8_t>& record) {
    return record_to_json(record.data(), record.size());
}

// Through JSON text, as the tool does.
std::vector<std::uint8_t> reencoded(const std::vector<std::uint8_t>& record) {
    return record_from_json(json::parse(decoded(record).dump()));
}

// The refusal message of encoding `j`, or "accepted".
std::string refusal(const json& j) {
    try {
        record_from_json(j);
        return "accepted";
    } catch (const record_json_error& e) {
        return e.what();
    }
}

// The shell: cmd on Windows, where a pipe carries text unless asked for
// bytes and closing it gives the exit status itself.
#ifdef _WIN32
// Commands are UTF-8 here, wide to the system: names outside the ANSI code
// page too.
FILE* open_pipe(const std::string& command, bool to_write = false) {
    const std::wstring wide = std::filesystem::u8path(command).wstring();
    return _wpopen(wide.c_str(), to_write ? L"wb" : L"rb");
}
int close_pipe(FILE* pipe) {
    return _pclose(pipe);
}
int process_id() {
    return _getpid();
}
#else
FILE* open_pipe(const std::string& command, bool to_write = false) {
    return popen(command.c_str(), to_write ? "w" : "r");
}
int close_pipe(FILE* pipe) {
    return WEXITSTATUS(pclose(pipe));
}
int process_id() {
    return getpid();
}
#endif

// A path as the shell takes it: cmd reads a slash as an option.
std::string shell_path(const std::string& path) {
    return std::filesystem::u8path(path).make_preferred().u8string();
}
const std::string TOOL = shell_path(SAVE_RECORD_TOOL_PATH);

// The built tool run by the shell: standard output kept, standard error in a
// file beside it.
struct tool_run {
    int status;
    std::string out;
    std::string err;
};

std::string file_text(const std::string& path) {
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A folder for one test's files, removed after it.
struct scratch_folder {
    const std::string path = testing::TempDir() + "save_record_tool_" +
                             std::to_string(process_id()) + "_" +
                             testing::UnitTest::GetInstance()->current_test_info()->name();
    scratch_folder() { EXPECT_TRUE(std::filesystem::create_directories(path)); }
    ~scratch_folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string operator/(const std::string& name) const { return path + "/" + name; }

    // `shell_arguments` may redirect ("- < file", "> /dev/full").
    // `piped` is a file to pipe into the tool's standard input: written into
    // the pipe here, as no shell command of both systems copies bytes as they
    // are.
    tool_run run(const std::string& shell_arguments, const std::string& piped = "") const {
        const std::string err_file = *this / "stderr.txt";
        const std::string command = TOOL + " " + shell_arguments + " 2>" + err_file;
        tool_run result{};
        if (piped.empty()) {
            FILE* pipe = open_pipe(command);
            char buffer[4096];
            while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
                result.out.append(buffer, n);
            result.status = close_pipe(pipe);
        } else {
            const std::string out_file = *this / "stdout.txt";
            FILE* pipe = open_pipe(command + " >" + out_file, true);
            const std::string bytes = file_text(piped);
            EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), pipe), bytes.size());
            result.status = close_pipe(pipe);
            result.out = file_text(out_file);
        }
        result.err = file_text(err_file);
        return result;
    }

    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(*this / name, std::ios::binary) << bytes;
    }
};

std::string text_of(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

TEST(RecordJson, DecodesEveryFieldByNameWithTextsReadable) {
    const json j = decoded(saved(every_field_config()));
    EXPECT_EQ(j["version"], 5);
    EXPECT_EQ(j["length"], 956);
    EXPECT_EQ(j["input_mode"], json({{"name", "INPUT_SERIAL_2"}, {"value", INPUT_SERIAL_2}}));
    EXPECT_EQ(j["spare_bytes"], json({0xA1, 0xA2}));
    EXPECT_EQ(j["spare_words"][8], 0xB009);
    EXPECT_EQ(j["digi8_value"], json({0x81, 0x42}));
    EXPECT_EQ(j["digi16_mask"], json({0xFF00, 0x00FF}));
    EXPECT_EQ(j["flags"]["value"], 0x800000AEu);
    EXPECT_EQ(j["flags"]["names"],
              json({"FLAG_SERIAL1_SUBSTRING", "FLAG_SHOW_MESSAGE", "FLAG_SERIAL2_FULL",
                    "FLAG_TIMEOUT", "FLAG_FORWARD_IN3", "0x80000000"}));
    EXPECT_EQ(j["digi32_value"], 0xDEADBEEFu);
    EXPECT_EQ(j["controller"], 7);
    EXPECT_EQ(j["compare_text1"], "OK[CR][LF]");
    EXPECT_EQ(j["wait_message"], "Wait \u00E4\u20AC");
    EXPECT_FALSE(j.contains("wait_message_bytes"));
    EXPECT_EQ(j["compare_text2"], "\u00C4BC");
    EXPECT_EQ(j["timeout_sec"], 3600);
    EXPECT_EQ(j["goto_element"], -2);
    EXPECT_EQ(j["timeout_action"], json({{"name", "ACTION_GOTO"}, {"value", 3}}));
    EXPECT_EQ(j["substr_from"], 5);
    EXPECT_EQ(j["substr_to"], 20);
    EXPECT_EQ(j["stored_bytes"], 956);
    EXPECT_EQ(j["when_loaded"], json({{"read_as_version", 5},
                                      {"defaults", json::object()},
                                      {"repaired", json::object()},
                                      {"notes", json::array()}}));
}

TEST(RecordJson, PlugInSavesRoundTripByteForByte) {
    created_element factory;
    const std::vector<std::uint8_t> factory_record = save_bytes(factory.handle());
    EXPECT_EQ(reencoded(factory_record), factory_record);
    EXPECT_EQ(reencoded(saved(every_field_config())), saved(every_field_config()));

    // Full fields: 200 Latin-1 characters, 120 UTF-16 units with a pair inside.
    input_config full = every_field_config();
    std::memset(full.compare_text1, 0xE9, 200);
    std::memset(full.compare_text2, 'x', 200);
    for (int i = 0; i < 120; ++i)
        platform::write_be16(full.wait_message + 2 * i, static_cast<std::uint16_t>(0x41 + i % 26));
    platform::write_be16(full.wait_message + 20, 0xD83D); // U+1F600 as a pair
    platform::write_be16(full.wait_message + 22, 0xDE00);
    EXPECT_EQ(reencoded(saved(full)), saved(full));
    std::string accented;
    for (int i = 0; i < 200; ++i)
        accented += "\u00E9";
    EXPECT_EQ(decoded(saved(full))["compare_text1"], accented);

    // A pair cut by the end of the stored half keeps its bytes.
    platform::write_be16(full.wait_message + 238, 0xD83D);
    platform::write_be16(full.wait_message + 240, 0xDE00);
    const json cut = decoded(saved(full));
    EXPECT_TRUE(cut.contains("wait_message_bytes"));
    EXPECT_EQ(reencoded(saved(full)), saved(full));
}

TEST(RecordJson, EncodingAnyStoredRecordGivesWhatThePlugInSavesAfterLoadingIt) {
    std::vector<std::uint8_t> stored = saved(every_field_config());
    stored[SAVE_SUBSTR_TO] = stored[SAVE_SUBSTR_FROM]; // to be repaired
    for (const char* version : {"0001", "0002", "0003", "0004", "0005", "0006", "0000", "FFFF"}) {
        SCOPED_TRACE(version);
        std::vector<std::uint8_t> record = stored;
        std::memcpy(record.data(), hex_bytes(version).data(), 2);
        EXPECT_EQ(reencoded(record), saved_after_loading(record));
        record.resize(100);
        EXPECT_EQ(reencoded(record), saved_after_loading(record));
    }
    EXPECT_EQ(reencoded({}), saved_after_loading({}));
}

TEST(RecordJson, ShowsWhatLoadingAnOlderShortRecordDoes) {
    std::vector<std::uint8_t> record = saved(every_field_config());
    record[0] = 0x80; // version -32763: older than every version
    record[SAVE_CONTROLLER] = 9;
    record[SAVE_SUBSTR_TO] = 1;
    record.resize(SAVE_RECORD_SIZE - 1);
    const json loaded = decoded(record)["when_loaded"];
    EXPECT_EQ(loaded["read_as_version"], 1);
    EXPECT_EQ(loaded["defaults"],
              json({{"compare_text1", "[CR][LF]"},
                    {"wait_message", "Waiting for inputs..."},
                    {"compare_text2", "[CR][LF]"},
                    {"flags",
                     {{"value", 0x8000008E},
                      {"names",
                       {"FLAG_SERIAL1_SUBSTRING", "FLAG_SHOW_MESSAGE", "FLAG_SERIAL2_FULL",
                        "FLAG_FORWARD_IN3", "0x80000000"}}}},
                    {"timeout_sec", 0},
                    {"goto_element", 0},
                    {"timeout_action", {{"name", "ACTION_CONTINUE"}, {"value", 0}}}}));
    // The missing last byte reads as zero: substr_to 0 is repaired.
    EXPECT_EQ(loaded["repaired"], json({{"substr_to", 199}}));
    EXPECT_EQ(loaded["notes"], json({"bytes 955..955 are not in the record and read as zero",
                                     "controller 9 names none of the 9 controllers (0..8)"}));
    std::vector<std::uint8_t> longer = saved(every_field_config());
    longer.resize(1000, 0xEE);
    EXPECT_EQ(decoded(longer)["when_loaded"]["notes"],
              json({"only the first 956 of 1000 bytes are read"}));
}

// What the tool says loading gives, against the plug-in loading the same
// bytes: the stored fields with when_loaded's defaults and repairs laid over
// them are the fields the plug-in saves after loading.
TEST(RecordJson, WhenLoadedIsWhatThePlugInLoads) {
    std::vector<std::uint8_t> stored = saved(every_field_config());
    stored[SAVE_SUBSTR_TO] = 2; // not above substr_from 5: repaired
    for (int version = 0; version <= 5; ++version) {
        for (std::size_t size : {SAVE_RECORD_SIZE, std::size_t{300}}) {
            SCOPED_TRACE("version " + std::to_string(version) + ", " + std::to_string(size) +
                         " bytes");
            std::vector<std::uint8_t> record = stored;
            platform::write_be16(record.data(), static_cast<std::uint16_t>(version));
            record.resize(size);
            json told = decoded(record);
            const json when_loaded = told["when_loaded"];
            EXPECT_EQ(when_loaded["read_as_version"], std::max(version, 1));
            for (const char* part : {"defaults", "repaired"})
                for (const auto& item : when_loaded[part].items())
                    told[item.key()] = item.value();
            json loaded = decoded(saved_after_loading(record));
            for (const char* key : {"version", "length", "stored_bytes", "when_loaded"}) {
                told.erase(key);
                loaded.erase(key);
            }
            EXPECT_EQ(told, loaded);
        }
    }
}

TEST(RecordJson, RefusesMalformedInputNamingTheKey) {
    const json good = decoded(saved(every_field_config()));
    ASSERT_EQ(refusal(good), "accepted");
    struct row {
        std::function<void(json&)> change;
        const char* message;
    } rows[] = {
        {[](json& j) { j.erase("timeout_sec"); }, "timeout_sec: key is missing"},
        {[](json& j) { j["colour"] = 1; }, "colour: unknown key"},
        {[](json& j) { j["controller"] = "7"; }, "controller: must be an integer, not string"},
        {[](json& j) { j["controller"] = 256; }, "controller: 256 is out of range 0..255"},
        {[](json& j) { j["version"] = 5.0; }, "version: must be an integer, not number"},
        {[](json& j) { j["timeout_sec"] = 1e30; },
         "timeout_sec: 1e30 is out of range 0..4294967295"},
        {[](json& j) { j["controller"] = -0.5; }, "controller: -0.5 is out of range 0..255"},
        {[](json& j) { j["version"] = 32768; }, "version: 32768 is out of range -32768..32767"},
        {[](json& j) { j["length"] = nullptr; }, "length: must be an integer, not null"},
        {[](json& j) { j["timeout_sec"] = -1; }, "timeout_sec: -1 is out of range 0..4294967295"},
        {[](json& j) { j["goto_element"] = 2147483648u; }, "goto_element: 2147483648 is out"},
        {[](json& j) { j["substr_to"] = true; }, "substr_to: must be an integer, not boolean"},
        {[](json& j) { j["digi8_mask"] = {1}; }, "digi8_mask: must be an array of 2 integers"},
        {[](json& j) { j["digi16_value"][1] = 65536; }, "digi16_value[1]: 65536 is out of range"},
        {[](json& j) { j["spare_words"][0] = -1; }, "spare_words[0]: -1 is out of range"},
        {[](json& j) { j["compare_text1"] = std::string(201, 'a'); },
         "compare_text1: has 201 characters, more than the 200 the record keeps"},
        {[](json& j) { j["compare_text2"] = "5 \u20AC"; },
         "compare_text2: character U+20AC has no 8-bit form"},
        {[](json& j) { j["compare_text1"] = std::string("a\0b", 3); },
         "compare_text1: contains U+0000"},
        {[](json& j) { j["compare_text1"] = "\xC3"; }, "compare_text1: is not valid UTF-8"},
        {[](json& j) { j["compare_text2"] = "\xED\xA0\x80"; }, "compare_text2: is not valid UTF-8"},
        {[](json& j) { j["wait_message"] = std::string(121, 'w'); },
         "wait_message: needs 121 UTF-16 units, more than the 120 the record keeps"},
        {[](json& j) { j["wait_message"] = 3; }, "wait_message: must be a string, not integer"},
        {[](json& j) { j["wait_message_bytes"] = "00"; }, "wait_message_bytes: must hold 480"},
        {[](json& j) { j["wait_message_bytes"] = std::string(480, 'g'); },
         "wait_message_bytes: must hold hex digits only"},
        {[](json& j) { j["input_mode"] = INPUT_SERIAL_2; }, "input_mode: must be an object"},
        {[](json& j) { j["input_mode"].erase("name"); }, "input_mode.name: key is missing"},
        {[](json& j) { j["input_mode"]["name"] = "INPUT_SERIAL_1"; },
         "input_mode.name: \"INPUT_SERIAL_1\" does not match value 67108864 (INPUT_SERIAL_2)"},
        {[](json& j) { j["input_mode"]["value"] = 5; }, "input_mode.name: \"INPUT_SERIAL_2\""},
        {[](json& j) { j["timeout_action"]["value"] = 256; }, "timeout_action.value: 256 is"},
        {[](json& j) { j["timeout_action"]["extra"] = 0; }, "timeout_action.extra: unknown key"},
        {[](json& j) { j["flags"]["names"] = json::array(); },
         "flags.names: does not match value 2147483822 (FLAG_SERIAL1_SUBSTRING, "},
        {[](json& j) { j["flags"]["names"][1] = 4; }, "flags.names[1]: must be a string"},
        {[](json& j) { j["flags"]["names"] = "FLAG_TIMEOUT"; }, "flags.names: must be an array"},
        {[](json& j) { j = json::array(); }, "record: must be an object, not array"},
    };
    for (const row& r : rows) {
        json j = good;
        r.change(j);
        const std::string message = refusal(j);
        EXPECT_EQ(message.rfind(r.message, 0), 0u) << message;
    }
}

TEST(RecordJson, OddValuesAnywhereAreRefusedOrAcceptedNeverAnythingElse) {
    const json good = decoded(saved(every_field_config()));
    const json odd[] = {nullptr,
                        true,
                        -1,
                        0,
                        18446744073709551615u,
                        -9223372036854775807 - 1,
                        1e300,
                        "",
                        "\xFF",
                        json::array(),
                        json::object(),
                        json::array({1, 2}),
                        json::array({json::array({nullptr})}),
                        json({{"name", 1}, {"value", "x"}}),
                        json({{"value", 1}, {"names", {nullptr}}})};
    int refused = 0;
    for (const auto& item : good.items()) {
        for (const json& value : odd) {
            json j = good;
            j[item.key()] = value;
            try {
                record_from_json(j);
            } catch (const record_json_error&) {
                ++refused;
            }
        }
    }
    for (const json& value : odd)
        EXPECT_THROW(record_from_json(value), record_json_error);
    EXPECT_GT(refused, 0);
}

TEST(SaveRecordTool, DecodesAndEncodesFilesAndRefusesBadOnes) {
    // A name outside every ANSI code page: Windows must be asked in wide characters.
    const std::string dir =
        testing::TempDir() + "save_record_tool_" + std::to_string(process_id()) + u8"_Ωμέγα_测试";
    const auto path = [](const std::string& name) { return std::filesystem::u8path(name); };
    ASSERT_TRUE(std::filesystem::create_directories(path(dir)));
    const std::vector<std::uint8_t> record = saved(every_field_config());
    std::ofstream(path(dir + "/element.rec"), std::ios::binary)
        .write(reinterpret_cast<const char*>(record.data()), record.size());
    const auto run = [](const std::string& arguments, std::string& output) {
        FILE* pipe = open_pipe(TOOL + " " + arguments + " 2>&1");
        output.clear();
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            output.append(buffer, n);
        return close_pipe(pipe);
    };
    std::string output;
    ASSERT_EQ(run("decode " + dir + "/element.rec -o " + dir + "/element.json", output), 0)
        << output;
    ASSERT_EQ(run("encode " + dir + "/element.json -o " + dir + u8"/снова.rec", output), 0)
        << output;
    EXPECT_EQ(file_text(dir + u8"/снова.rec"), text_of(record));

    ASSERT_EQ(run("decode " + dir + "/element.rec", output), 0);
    EXPECT_NE(output.find("\"compare_text1\": \"OK[CR][LF]\""), std::string::npos) << output;
    EXPECT_EQ(json::parse(output), decoded(record));

    json wrong = decoded(record);
    wrong["controller"] = "seven";
    std::ofstream(path(dir + "/wrong.json")) << wrong.dump();
    EXPECT_EQ(run("encode " + dir + "/wrong.json -o " + dir + "/wrong.rec", output), 1);
    EXPECT_NE(output.find("controller: must be an integer"), std::string::npos) << output;
    std::ofstream(path(dir + "/broken.json")) << "{\"version\": 5,";
    EXPECT_EQ(run("encode " + dir + "/broken.json", output), 1);
    EXPECT_NE(output.find("not valid JSON"), std::string::npos) << output;
    EXPECT_EQ(run("translate " + dir + "/element.rec", output), 2);
    std::error_code ignored;
    std::filesystem::remove_all(path(dir), ignored);
}

TEST(SaveRecordTool, ReadsStandardInputAndWritesStandardOutput) {
    const scratch_folder dir;
    const std::vector<std::uint8_t> record = saved(every_field_config());
    dir.write("element.rec", text_of(record));
    dir.write("element.json", decoded(record).dump());
    tool_run r = dir.run("decode - < " + dir / "element.rec");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(json::parse(r.out), decoded(record));
    r = dir.run("encode - -o -", dir / "element.json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, text_of(record));
    EXPECT_EQ(r.err, "");

    // A pipe has no size to ask for: it is counted to the end.
    std::vector<std::uint8_t> longer = record;
    longer.resize(5000, 0xEE);
    dir.write("longer.rec", text_of(longer));
    r = dir.run("decode -", dir / "longer.rec");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(json::parse(r.out)["stored_bytes"], 5000);
    EXPECT_EQ(json::parse(r.out)["when_loaded"]["notes"],
              json({"only the first 956 of 5000 bytes are read"}));
}

TEST(SaveRecordTool, EncodingListsEachFieldTheRecordChangesAndStrictRefusesThem) {
    const scratch_folder dir;
    json old = decoded(saved(every_field_config()));
    old["version"] = 2;
    old["substr_to"] = 3; // substr_from is 5
    dir.write("old.json", old.dump());
    tool_run r = dir.run("encode " + dir / "old.json" + " -o " + dir / "old.rec");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string lacks = " is dropped (version 2 records have no ";
    const std::string lines[] = {
        "flags: FLAG_TIMEOUT" + lacks + "timeout; written as " +
            std::to_string(0x800000AEu & ~FLAG_TIMEOUT) + ")",
        "wait_message: \"Wait \u00E4\u20AC\"" + lacks +
            "wait message; written as \"Waiting for inputs...\")",
        "compare_text2: \"\u00C4BC\"" + lacks + "second comparison text; written as \"[CR][LF]\")",
        "timeout_sec: 3600" + lacks + "timeout; written as 0)",
        "goto_element: -2" + lacks + "timeout; written as 0)",
        "timeout_action: ACTION_GOTO" + lacks + "timeout; written as ACTION_CONTINUE)",
        "substr_to: 3 is not above substr_from 5 (written as 199)"};
    std::string expected;
    for (const std::string& line : lines)
        expected += "save_record_tool: note: " + line + "\n";
    EXPECT_EQ(r.err, expected);
    std::vector<std::uint8_t> stored = saved(every_field_config());
    stored[1] = 2;
    stored[SAVE_SUBSTR_TO] = 3;
    EXPECT_EQ(file_text(dir / "old.rec"), text_of(saved_after_loading(stored)));

    r = dir.run("encode --strict " + dir / "old.json" + " -o " + dir / "strict.rec");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("save_record_tool: error: timeout_sec: 3600 is dropped"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("old.json: refused (--strict): 7 fields are not written as given"),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(std::ifstream(dir / "strict.rec").good());

    // What the plug-in saved loses nothing: no word, and --strict takes it.
    dir.write("new.json", decoded(saved(every_field_config())).dump());
    r = dir.run("encode --strict " + dir / "new.json" + " -o " + dir / "new.rec");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
}

namespace {
// "[{},{},...,{}," with `count` objects and no end.
std::string many_empty_objects(int count) {
    std::string text = "[";
    for (int i = 0; i < count; ++i)
        text += "{},";
    return text;
}
} // namespace

TEST(SaveRecordTool, RefusesKeysGivenTwiceAndNumbersOutOfRange) {
    const scratch_folder dir;
    const json good = decoded(saved(every_field_config()));
    dir.write("twice.json", "{\"timeout_sec\": 1, " + good.dump().substr(1));
    tool_run r = dir.run("encode " + dir / "twice.json" + " -o " + dir / "twice.rec");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "save_record_tool: " + dir / "twice.json" + ": timeout_sec: key appears twice\n");
    EXPECT_FALSE(std::ifstream(dir / "twice.rec").good());
    json big = good;
    big["timeout_sec"] = 1e30;
    dir.write("big.json", big.dump());
    r = dir.run("encode - < " + dir / "big.json");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("standard input: timeout_sec: 1e30 is out of range 0..4294967295"),
              std::string::npos)
        << r.err;

    // Nested keys are named by their path. Nesting 50,000 deep (100 KB) is
    // refused at its 17th level, before it costs memory or time.
    std::string sixteen;
    for (int i = 0; i < 16; ++i)
        sixteen += "[0]";
    const std::string objects = many_empty_objects(200000);
    for (const auto& [text, message] :
         {std::pair<std::string, std::string>{R"({"flags": {"value": 1, "value": 1}})",
                                              "flags.value: key appears twice"},
          {R"({"a": [0, {"k": 1, "k": 2}]})", "a[1].k: key appears twice"},
          {R"({"a": [[0, 1], {"k": 1}, {"k": 1, "k": 2}]})", "a[2].k: key appears twice"},
          {R"({"version": 5,)", "not valid JSON: "},
          {std::string("{}\0{", 3), "not valid JSON: a zero byte at byte 3"},
          {std::string(50000, '[') + std::string(50000, ']'),
           sixteen + ": nested deeper than 16 levels"},
          // Each object ends in linear time, not by a search of the array.
          {objects + "x", "not valid JSON: "}}) {
        try {
            parse_record_json(text);
            ADD_FAILURE() << text;
        } catch (const record_json_error& e) {
            EXPECT_EQ(std::string(e.what()).rfind(message, 0), 0u) << e.what();
        }
    }
    // Ten times the objects take about ten times as long, not a hundred:
    // measured against itself in the same run, so that a slow or loaded
    // machine (a sanitizer build beside other work) cannot fail it.
    const auto refusal_time = [](const std::string& text) {
        auto fastest = std::chrono::steady_clock::duration::max();
        for (int run = 0; run < 3; ++run) {
            const auto start = std::chrono::steady_clock::now();
            EXPECT_THROW(parse_record_json(text), record_json_error);
            fastest = std::min(fastest, std::chrono::steady_clock::now() - start);
        }
        return fastest;
    };
    EXPECT_LT(refusal_time(objects + "x"), 40 * refusal_time(many_empty_objects(20000) + "x"));
}

TEST(SaveRecordTool, InputsPastTheirSizeLimitAreRefusedWithoutBeingReadOn) {
    const scratch_folder dir;
    const std::size_t limit = 1 << 20;
    dir.write("large.rec", std::string(limit + 1, '\0'));
    dir.write("large.json", std::string(limit + 1, ' '));
    const std::string record = "larger than 1 MiB, the most a save record may be";
    const std::string json = "larger than 1 MiB, the most a record's JSON may be";
    const struct {
        std::string arguments, message;
    } rows[] = {
        {"decode " + dir / "large.rec", dir / "large.rec: " + record},
        {"encode - < " + dir / "large.json", "standard input: " + json},
#ifndef _WIN32
        // Endless: stopped at the limit, never counted to an end.
        {"decode - < /dev/zero", "standard input: " + record},
        {"encode - < /dev/zero", "standard input: " + json},
#endif
    };
    for (const auto& row : rows) {
        const tool_run r = dir.run(row.arguments);
        EXPECT_EQ(r.status, 1) << row.arguments;
        EXPECT_EQ(r.err, "save_record_tool: " + row.message + "\n") << row.arguments;
        EXPECT_EQ(r.out, "") << row.arguments;
    }
}

TEST(SaveRecordTool, FilesThatCannotBeReadOrWrittenSayWhyAndExitWith2) {
    const scratch_folder dir;
    const std::string json_file = dir / "element.json";
    dir.write("element.json", decoded(saved(every_field_config())).dump());
    const struct {
        std::string arguments, message;
    } rows[] = {
        {"decode " + dir / "missing.rec", dir / "missing.rec: No such file or directory"},
        {"decode " + dir.path, dir.path + ": Is a directory"},
        {"encode " + json_file + " -o " + dir.path, dir.path + ": Is a directory"},
        {"encode " + json_file + " -o " + dir / "no/x.rec",
         dir / "no/x.rec: No such file or directory"},
    };
    for (const auto& row : rows) {
        const tool_run r = dir.run(row.arguments);
        EXPECT_EQ(r.status, 2) << row.arguments;
        EXPECT_EQ(r.err, "save_record_tool: " + row.message + "\n") << row.arguments;
    }

    tool_run r = dir.run("--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("--strict"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(dir.run("decode --strict " + json_file).status, 2);
}

// Memory running out at any point ends the tool with one line and exit
// status 2, never an abort: under a data limit from one that cannot hold the
// JSON of 350,000 objects up to one that can.
TEST(SaveRecordTool, MemoryRunningOutSaysSoAndExitsWith2) {
#if defined(_WIN32) || defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "needs a data size limit (ulimit -d), which Windows and the sanitizer lack";
#else
    const scratch_folder dir;
    std::string objects = "[";
    for (int i = 0; i < 349000; ++i)
        objects += "{},";
    dir.write("objects.json", objects + "{}]");
    for (int kilobytes = 8000; kilobytes <= 62000; kilobytes += 3000) {
        const std::string command = "ulimit -d " + std::to_string(kilobytes) + " && " + TOOL +
                                    " encode " + dir / "objects.json" + " 2>&1 >/dev/null";
        FILE* pipe = open_pipe(command);
        std::string err;
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            err.append(buffer, n);
        const int status = close_pipe(pipe);
        if (status == 1) {
            EXPECT_NE(err.find("record: must be an object, not array"), std::string::npos) << err;
            continue;
        }
        EXPECT_EQ(status, 2) << kilobytes << " KB: " << err;
        EXPECT_EQ(err, "save_record_tool: out of memory\n") << kilobytes << " KB";
    }
#endif
}

TEST(SaveRecordTool, AFullDiskSaysWhyAndExitsWith2) {
    REQUIRE_FACILITY(full_device_missing());
    const scratch_folder dir;
    const std::string json_file = dir / "element.json";
    dir.write("element.json", decoded(saved(every_field_config())).dump());
    const struct {
        std::string arguments, message;
    } rows[] = {
        {"encode " + json_file + " -o /dev/full", "/dev/full: No space left on device"},
        {"decode - < /dev/null > /dev/full", "standard output: No space left on device"},
    };
    for (const auto& row : rows) {
        const tool_run r = dir.run(row.arguments);
        EXPECT_EQ(r.status, 2) << row.arguments;
        EXPECT_EQ(r.err, "save_record_tool: " + row.message + "\n") << row.arguments;
    }
}
