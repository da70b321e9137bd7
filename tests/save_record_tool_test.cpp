// The save-record JSON codec against the plug-in's own saves and loads, its
// refusals, and the command-line tool on files.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform.h"
#include "record_json.h"
#include "save_records.h"

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
    const std::string dir = testing::TempDir() + "save_record_tool_" + std::to_string(getpid());
    ASSERT_EQ(std::system(("mkdir -p " + dir).c_str()), 0);
    const std::vector<std::uint8_t> record = saved(every_field_config());
    std::ofstream(dir + "/element.rec", std::ios::binary)
        .write(reinterpret_cast<const char*>(record.data()), record.size());
    const auto run = [](const std::string& arguments, std::string& output) {
        FILE* pipe =
            popen((std::string(SAVE_RECORD_TOOL_PATH) + " " + arguments + " 2>&1").c_str(), "r");
        output.clear();
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            output.append(buffer, n);
        return WEXITSTATUS(pclose(pipe));
    };
    std::string output;
    ASSERT_EQ(run("decode " + dir + "/element.rec -o " + dir + "/element.json", output), 0)
        << output;
    ASSERT_EQ(run("encode " + dir + "/element.json -o " + dir + "/again.rec", output), 0) << output;
    std::ifstream again(dir + "/again.rec", std::ios::binary);
    EXPECT_EQ(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(again), {}), record);

    ASSERT_EQ(run("decode " + dir + "/element.rec", output), 0);
    EXPECT_NE(output.find("\"compare_text1\": \"OK[CR][LF]\""), std::string::npos) << output;
    EXPECT_EQ(json::parse(output), decoded(record));

    json wrong = decoded(record);
    wrong["controller"] = "seven";
    std::ofstream(dir + "/wrong.json") << wrong.dump();
    EXPECT_EQ(run("encode " + dir + "/wrong.json -o " + dir + "/wrong.rec", output), 1);
    EXPECT_NE(output.find("controller: must be an integer"), std::string::npos) << output;
    std::ofstream(dir + "/broken.json") << "{\"version\": 5,";
    EXPECT_EQ(run("encode " + dir + "/broken.json", output), 1);
    EXPECT_NE(output.find("not valid JSON"), std::string::npos) << output;
    EXPECT_EQ(run("translate " + dir + "/element.rec", output), 2);
    std::system(("rm -rf " + dir).c_str());
}
