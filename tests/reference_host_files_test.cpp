// The reference host's files: controllers by name, projects, scenarios and
// the command line, and their refusals, which must name the offending key.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>

#include <gtest/gtest.h>

#include "abi/controller_config.h"
#include "common/json_reading.h"
#include "model/input_config.h"
#include "model/platform.h"
#include "reference_host/byte_text.h"
#include "reference_host/controller_setup.h"
#include "reference_host/hex_bytes.h"
#include "reference_host/options.h"
#include "reference_host/project_file.h"
#include "reference_host/scenario.h"
#include "test_support/machine_facilities.h"
#include "test_support/program_run.h"

using namespace reference_host;
using common::input_error;
using common::parse_json_text;

namespace {

std::uint32_t host32(const std::uint8_t* at) {
    return platform::read_host<std::uint32_t>(at);
}

std::vector<controller_setup> controllers_of(const std::string& text) {
    const auto json = parse_json_text(text, "test");
    return controllers_from_json(json.at("controllers"), "controllers");
}

// The message of the input_error that `read` throws, or "" when it accepts.
template <typename Read> std::string refusal(Read read) {
    try {
        read();
    } catch (const input_error& e) {
        return e.what();
    }
    return "";
}

std::string write_temp(const std::string& name, const std::string& text) {
    const std::string file = testing::TempDir() + name;
    std::ofstream(file, std::ios::binary) << text;
    return file;
}

} // namespace

TEST(ControllerFile, NamesBecomeTheDescriptionRecord) {
    const auto setups = controllers_of(R"({"controllers": [
        {"index": 2, "inputs": ["INPUT_DIGI8_1", "INPUT_SERIAL_2"],
         "features": ["FEATURE_STREAM_WAIT"],
         "ports": [{"kind": "INPUT_DIGI8_1", "unavailable_bits": [0, 7]},
                   {"kind": "INPUT_DIGI16_2", "unavailable_bits": "all"}]}]})");
    ASSERT_EQ(setups.size(), 1u);
    const auto record = setups[0].record();
    EXPECT_EQ(record[CONFIG_STATUS_FLAGS], CONFIG_VALID);
    EXPECT_EQ(record[CONFIG_CONTROLLER_INDEX], 2);
    EXPECT_EQ(record[CONFIG_FEATURE_FLAGS], FEATURE_STREAM_WAIT);
    EXPECT_EQ(host32(&record[CONFIG_CAPABILITIES]), INPUT_DIGI8_1 | INPUT_SERIAL_2);
    EXPECT_EQ(host32(&record[CONFIG_PORT_KIND]), INPUT_DIGI8_1);
    EXPECT_EQ(host32(&record[CONFIG_PORT_MASK]), 0x81u);
    EXPECT_EQ(host32(&record[CONFIG_PORT_KIND + 4]), INPUT_DIGI16_2);
    EXPECT_EQ(host32(&record[CONFIG_PORT_MASK + 4]), 0xFFFFu);
    // Entries not given describe nothing.
    EXPECT_EQ(host32(&record[CONFIG_PORT_KIND + 8]), 0u);
}

TEST(ControllerFile, IndexDefaultsToThePlaceAndAllMeansEveryInput) {
    const auto setups =
        controllers_of(R"({"controllers": [{"inputs": []}, {"inputs": "all", "valid": false}]})");
    ASSERT_EQ(setups.size(), 2u);
    EXPECT_EQ(setups[1].index, 1);
    EXPECT_FALSE(setups[1].valid);
    EXPECT_EQ(setups[1].record()[CONFIG_STATUS_FLAGS], 0);
    EXPECT_EQ(setups[1].capabilities, default_controllers()[0].capabilities);
}

TEST(ControllerFile, DefaultIsControllerZeroWithEveryInputAndStreamWait) {
    const auto setups = default_controllers();
    ASSERT_EQ(setups.size(), 1u);
    EXPECT_EQ(setups[0].index, 0);
    EXPECT_EQ(setups[0].features, FEATURE_STREAM_WAIT);
    EXPECT_EQ(setups[0].capabilities, INPUT_DIGI8_1 | INPUT_DIGI8_2 | INPUT_DIGI16_1 |
                                          INPUT_DIGI16_2 | INPUT_DIGI32 | INPUT_SERIAL_1 |
                                          INPUT_SERIAL_2);
}

TEST(ControllerFile, RefusalsNameTheKey) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {R"({"controllers": [{"inputs": ["INPUT_DIGI8_1", "INPUT_DIGI9"]}]})",
         "controllers[0].inputs[1]: unknown input \"INPUT_DIGI9\""},
        {R"({"controllers": [{"inputs": [], "features": ["FAST"]}]})",
         "controllers[0].features[0]: unknown feature \"FAST\""},
        {R"({"controllers": [{"inputs": [], "capabilities": 8192}]})",
         "controllers[0].capabilities: unknown key"},
        {R"({"controllers": [{"features": []}]})", "controllers[0].inputs: missing"},
        {R"({"controllers": [{"inputs": [], "index": 9}]})",
         "controllers[0].index: 9 is outside 0..8"},
        {R"({"controllers": [{"inputs": []}, {"index": 0, "inputs": []}]})",
         "controllers[1].index: controller 0 is described twice"},
        {R"({"controllers": [{"inputs": [], "ports": [{"kind": "INPUT_DIGI8_2",
            "unavailable_bits": [8]}]}]})",
         "controllers[0].ports[0].unavailable_bits[0]: 8 is outside 0..7"},
        {R"({"controllers": [{"inputs": [], "ports": [{"kind": "INPUT_SERIAL_1"}]}]})",
         "controllers[0].ports[0].kind: \"INPUT_SERIAL_1\" is a serial interface"},
        {R"({"controllers": [{"inputs": [], "ports": [{"unavailable_bits": "all"}]}]})",
         "controllers[0].ports[0].kind: missing"},
        {R"({"controllers": [{"inputs": 8192}]})",
         "controllers[0].inputs: expected \"all\" or an array"},
        {R"({"controllers": [{"inputs": []}, {"inputs": []}, {"inputs": []}, {"inputs": []},
            {"inputs": []}, {"inputs": []}, {"inputs": []}, {"inputs": []}, {"inputs": []},
            {"inputs": []}]})",
         "controllers: 10 controllers; the plug-in takes at most 9"},
        {R"({"controllers": [{"inputs": [], "inputs": "all"}]})",
         "controllers[0].inputs: key appears twice"},
    };
    for (const auto& c : cases)
        EXPECT_NE(refusal([&] { controllers_of(c.text); }).find(c.message), std::string::npos)
            << "for " << c.text << "\n got: " << refusal([&] { controllers_of(c.text); });
}

TEST(ControllerFile, FileMessagesStartWithTheFileName) {
    const std::string broken = write_temp("broken_controllers.json", "{\"controllers\": [");
    EXPECT_NE(refusal([&] { read_controller_file(broken); }).find(broken + ": not valid JSON"),
              std::string::npos);
    const std::string wrong = write_temp("wrong_controllers.json", R"({"controller": []})");
    EXPECT_EQ(refusal([&] { read_controller_file(wrong); }),
              wrong + ": controller: unknown key (known: controllers, $schema)");
    EXPECT_EQ(refusal([&] { read_controller_file("/nonexistent/c.json"); }),
              "/nonexistent/c.json: cannot be opened: No such file or directory");
    const std::string directory = temp_folder();
    EXPECT_EQ(refusal([&] { read_scenario_file(directory); }),
              directory + ": cannot be opened: Is a directory");
    EXPECT_EQ(refusal([&] { write_project_file(directory, project{}); }),
              directory + ": cannot be written: Is a directory");
    // Named with a separator at its end too (Windows' stat misses that form).
    EXPECT_EQ(refusal([&] { read_scenario_file(testing::TempDir()); }),
              testing::TempDir() + ": cannot be opened: Is a directory");
    // A number beyond a double's range is refused like any text that is not JSON.
    const std::string huge = write_temp("huge_scenario.json", R"({"elements": [],
        "timeline": [{"at": 1e400}], "expect": "completed"})");
    EXPECT_NE(refusal([&] { read_scenario_file(huge); }).find(huge + ": not valid JSON"),
              std::string::npos);

    // Each kind of file has its size limit, valid JSON or not: padded past
    // it, a file is refused without being read whole.
    const struct {
        std::function<void(const std::string&)> read;
        std::size_t limit;
        const char* text;
        const char* problem;
    } large[] = {
        {[](const std::string& f) { read_project_file(f); }, 16 << 20, R"({"elements": [])",
         "larger than 16 MiB, the most a project file may be"},
        {[](const std::string& f) { read_scenario_file(f); }, 16 << 20,
         R"({"elements": [], "timeline": [], "expect": "completed")",
         "larger than 16 MiB, the most a scenario file may be"},
        {[](const std::string& f) { read_controller_file(f); }, 1 << 20, R"({"controllers": [])",
         "larger than 1 MiB, the most a controllers file may be"},
    };
    for (const auto& l : large) {
        std::string text = l.text;
        text.resize(l.limit, ' ');
        const std::string file = write_temp("large.json", text + "}");
        EXPECT_EQ(refusal([&] { l.read(file); }), file + ": cannot be read: " + l.problem);
        text.pop_back(); // at the limit
        EXPECT_EQ(refusal([&] { l.read(write_temp("large.json", text + "}")); }), "");
    }
}

TEST(LogText, BytesThatAreNotUtf8ShowAsEscapes) {
    EXPECT_EQ(printable_utf8("a\xE9"
                             "b \xC3\xA4 \xE2\x82\xAC \xF0\x9D\x84\x9E"),
              "a\\xE9b \xC3\xA4 \xE2\x82\xAC \xF0\x9D\x84\x9E");
    // Overlong, a surrogate, cut short, beyond U+10FFFF.
    EXPECT_EQ(printable_utf8("\xC0\xAF|\xED\xA0\x80|\xE2\x82|\xF4\x90\x80\x80"),
              "\\xC0\\xAF|\\xED\\xA0\\x80|\\xE2\\x82|\\xF4\\x90\\x80\\x80");
    EXPECT_EQ(quote_text("Caf\xE9\r\n\\\x7F"), "\"Caf\\xE9\\r\\n\\\\\\x7F\"");
}

TEST(HexText, RoundTripsAndAllowsWrapping) {
    const std::vector<std::uint8_t> bytes = {0x00, 0x05, 0x03, 0xBC, 0xFF};
    EXPECT_EQ(to_hex(bytes), "000503bcff");
    EXPECT_EQ(from_hex("00 05\n03BC\tff"), bytes);
    EXPECT_FALSE(from_hex("0005 0"));
    EXPECT_FALSE(from_hex("00g5"));
}

TEST(ProjectFile, TextIsStableAndReadsBack) {
    project p;
    p.elements.push_back({"Wait for part", 7, element_kind::custom_input, {0x00, 0x05, 0xAB}});
    p.elements.push_back({"Engrave \"logo\" \xC3\xA4", -3, element_kind::placeholder, {}});
    const std::string text = project_to_text(p);
    EXPECT_EQ(text, R"({
  "elements": [
    {
      "name": "Wait for part",
      "id": 7,
      "type": "custom_input",
      "save_record": "0005ab"
    },
    {
      "name": "Engrave \"logo\" ä",
      "id": -3,
      "type": "placeholder"
    }
  ]
}
)");
    const project back = project_from_json(parse_json_text(text, "test"));
    ASSERT_EQ(back.elements.size(), 2u);
    EXPECT_EQ(back.elements[0].save_record, p.elements[0].save_record);
    EXPECT_EQ(back.elements[1].name, p.elements[1].name);
    EXPECT_EQ(project_to_text(back), text);
}

TEST(ProjectFile, RefusalsNameTheKey) {
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {R"({})", "elements: missing"},
        {R"({"elements": {}})", "elements: expected an array"},
        {R"({"elements": [{"name": "A", "id": 1}]})", "elements[0].type: missing"},
        {R"({"elements": [{"name": "A", "id": 1, "type": "laser"}]})",
         "elements[0].type: unknown element type \"laser\""},
        {R"({"elements": [{"name": "A", "id": 1, "type": "custom_input"}]})",
         "elements[0].save_record: missing"},
        {R"({"elements": [{"name": "A", "id": 1, "type": "custom_input", "save_record": "0g"}]})",
         "elements[0].save_record: not hex"},
        {R"({"elements": [{"name": "A", "id": 1, "type": "custom_input", "save_record": ""}]})",
         "elements[0].save_record: empty"},
        {R"({"elements": [{"name": "A", "id": 1, "type": "placeholder", "save_record": "00"}]})",
         "elements[0].save_record: a placeholder element has no configuration"},
        {R"({"elements": [{"name": "A", "id": 1, "type": "placeholder"},
                          {"name": "B", "id": 1, "type": "placeholder"}]})",
         "elements[1].id: id 1 is used by an earlier element"},
        {R"({"elements": [{"name": "A", "id": 4294967296, "type": "placeholder"}]})",
         "elements[0].id: 4294967296 is outside"},
        {R"({"elements": [{"name": 5, "id": 1, "type": "placeholder"}]})",
         "elements[0].name: expected a string"},
        {R"({"elements": [{"name": "A", "id": 1, "type": "placeholder", "colour": "red"}]})",
         "elements[0].colour: unknown key"},
        {R"({"elements": [{"name": "A", "id": 1, "name": "B", "type": "placeholder"}]})",
         "test: elements[0].name: key appears twice"},
        {std::string(R"({"elements": []})") + '\0' + "x", "test: not valid JSON: a zero byte"},
        {R"({"elements": [)" + std::string(15, '[') + std::string(16, ']') + "}",
         "test: elements[0][0][0][0][0][0][0][0][0][0][0][0][0][0][0]: nested deeper than 16 "
         "levels"},
    };
    for (const auto& c : cases) {
        const std::string got =
            refusal([&] { project_from_json(parse_json_text(c.text, "test")); });
        EXPECT_NE(got.find(c.message), std::string::npos) << "for " << c.text << "\n got: " << got;
    }
}

TEST(ProjectFile, ConfigurationsInJsonBecomeSaveRecords) {
    // The example scenario's element, given as a JSON configuration, and
    // the example project's, given as the record the program saved.
    const auto in_scenario = read_scenario_file(REFERENCE_HOST_EXAMPLES "/typical_run.json");
    const auto in_project = read_project_file(REFERENCE_HOST_EXAMPLES "/demo_project.json");
    EXPECT_EQ(in_scenario.elements.at(0).save_record, in_project.elements.at(0).save_record);

    auto json = parse_json_text(R"({"elements": [{"name": "A", "id": 1, "type": "custom_input",
                                     "configuration": {"version": 5}}]})",
                                "test");
    EXPECT_NE(refusal([&] {
                  project_from_json(json);
              }).find("elements[0].configuration: length: key is missing"),
              std::string::npos)
        << refusal([&] { project_from_json(json); });
    json["elements"][0]["save_record"] = "00";
    EXPECT_NE(refusal([&] {
                  project_from_json(json);
              }).find("elements[0].configuration: give either \"save_record\" or"),
              std::string::npos);
}

TEST(Files, TheTopMayNameASchemaForEditors) {
    // Each kind of file, read from a file as the program reads it: with a
    // "$schema" string at its top it reads as without; anything else there
    // is refused, naming the key.
    const struct {
        std::function<void(const std::string&)> read;
        const char* members;
    } kinds[] = {
        {[](const std::string& f) { read_controller_file(f); }, R"("controllers": [])"},
        {[](const std::string& f) { read_project_file(f); }, R"("elements": [])"},
        {[](const std::string& f) { read_scenario_file(f); },
         R"("elements": [], "timeline": [], "expect": "completed")"},
    };
    for (const auto& kind : kinds) {
        const std::string named = write_temp(
            "with_schema.json",
            std::string(R"({"$schema": "../docs/scenario.schema.json", )") + kind.members + "}");
        EXPECT_EQ(refusal([&] { kind.read(named); }), "") << kind.members;
        const std::string number = write_temp(
            "schema_number.json", std::string(R"({"$schema": 1, )") + kind.members + "}");
        EXPECT_EQ(refusal([&] { kind.read(number); }), number + ": $schema: expected a string");
    }
}

TEST(ProjectFile, ACutSaveLeavesNoFile) {
    REQUIRE_FACILITY(file_size_limit_missing());
    // The system refuses writing past 100 bytes.
    const std::string file = testing::TempDir() + "cut_project.json";
    project p;
    p.elements.push_back({std::string(200, 'x'), 1, element_kind::placeholder, {}});
    std::string refused;
    {
        const file_size_limit limit(100);
        refused = refusal([&] { write_project_file(file, p); });
    }
    EXPECT_EQ(refused, file + ": cannot be written: File too large");
    EXPECT_FALSE(std::ifstream(file).good());
}

TEST(ScenarioFile, TimelineEntriesAreWholeRecords) {
    const scenario s = scenario_from_json(parse_json_text(R"({
        "elements": [], "runs": 3,
        "timeline": [{"at": 0, "digi8_1": "0b1000_0001", "digi16_2": "0xBEEF"},
                     {"at": 4, "controller": 2, "digi32": 4294967295, "serial_2": "A\r\n"}],
        "expect": {"outcome": "waiting", "completed_runs": 0, "IN3": "x"}})",
                                                          "test"));
    EXPECT_EQ(s.runs, 3);
    EXPECT_EQ(s.controllers.size(), 1u); // the default controller
    ASSERT_EQ(s.timeline.size(), 2u);
    EXPECT_EQ(s.timeline[0].inputs.digi8[0], 0x81);
    EXPECT_EQ(s.timeline[0].inputs.digi16[1], 0xBEEF);
    EXPECT_EQ(s.timeline[0].controller, 0);
    EXPECT_EQ(s.timeline[1].at, 4);
    EXPECT_EQ(s.timeline[1].controller, 2);
    EXPECT_EQ(s.timeline[1].inputs.digi32, 0xFFFFFFFFu);
    EXPECT_EQ(s.timeline[1].inputs.digi8[0], 0); // not carried over
    EXPECT_EQ(s.timeline[1].inputs.serial2, "A\r\n");
    EXPECT_EQ(s.expect.outcome, "waiting");
    EXPECT_EQ(s.expect.completed_runs, 0);
    EXPECT_EQ(s.expect.character_inputs[1], "x");
}

TEST(ScenarioFile, TextsAreLatin1BytesWithEscapesForAnyByte) {
    const scenario s = scenario_from_json(parse_json_text(R"({
        "elements": [],
        "timeline": [{"at": 0, "serial_1": "Caf\u00e9\r\n", "serial_2": "Caf\\xE9\\\\\\xff"}],
        "expect": {"outcome": "waiting", "IN2": "\\x80\u00ff"}})",
                                                          "test"));
    // The save records' form: a stored "Café" is these bytes too.
    EXPECT_EQ(s.timeline[0].inputs.serial1, "Caf\xE9\r\n");
    EXPECT_EQ(s.timeline[0].inputs.serial2, "Caf\xE9\\\xFF");
    EXPECT_EQ(s.expect.character_inputs[0], "\x80\xFF");
}

TEST(ScenarioFile, RefusalsNameTheKey) {
    const std::string head = R"({"elements": [], "expect": "completed", )";
    const struct {
        std::string text;
        const char* message;
    } cases[] = {
        {R"({"elements": [], "timeline": []})", "expect: missing"},
        {head + R"("timeline": [{"digi8_1": 1}]})", "timeline[0].at: missing"},
        {head + R"("timeline": [{"at": 5}, {"at": 4}]})",
         "timeline[1].at: 4 is before the entry above it (5)"},
        {head + R"("timeline": [{"at": 0, "digi8_1": 256}]})",
         "timeline[0].digi8_1: 256 is outside 0..255"},
        {head + R"("timeline": [{"at": 0, "digi8_1": "0b102"}]})",
         "timeline[0].digi8_1: \"0b102\" is not a binary number"},
        {head + R"("timeline": [{"at": 0, "digi16_1": "0x10000"}]})",
         "timeline[0].digi16_1: \"0x10000\" does not fit the port"},
        {head + R"("timeline": [{"at": 0, "digi8_9": 1}]})", "timeline[0].digi8_9: unknown key"},
        {head + R"("timeline": [{"at": 0, "serial_1": ")" + std::string(205, 'x') + R"("}]})",
         "timeline[0].serial_1: 205 bytes; the input record carries at most 204"},
        {R"({"elements": [], "timeline": [], "expect": "done"})",
         "expect: unknown outcome \"done\""},
        {R"({"elements": [], "timeline": [], "expect": {"completed_runs": 1}})",
         "expect.outcome: missing"},
        {head + R"("timeline": [], "runs": 0})", "runs: 0 is outside 1..10000"},
        {head + R"("timeline": [], "controllers": [{"inputs": ["INPUT_X"]}]})",
         "controllers[0].inputs[0]: unknown input"},
        {head + R"("timeline": [{"at": 0, "serial_1": "A\\x0"}]})",
         "timeline[0].serial_1: a backslash starts \\xNN (the byte NN) or \\\\"},
        {head + R"("timeline": [{"at": 0, "serial_2": "\u20AC"}]})",
         "timeline[0].serial_2: \"\xE2\x82\xAC\" (U+20AC) is not an 8-bit character"},
        {head + R"("timeline": [{"at": 0, "serial_1": "A\\x00B"}]})",
         "timeline[0].serial_1: a zero byte would end the text early"},
        {R"({"elements": [], "timeline": [], "expect": {"outcome": "waiting", "IN4": "\\n"}})",
         "expect.IN4: a backslash starts"},
        {head + R"("timeline": [], "runs": 1, "runs": 2})", "runs: key appears twice"},
    };
    for (const auto& c : cases) {
        const std::string got =
            refusal([&] { scenario_from_json(parse_json_text(c.text, "test")); });
        EXPECT_NE(got.find(c.message), std::string::npos) << "for " << c.text << "\n got: " << got;
    }
}

TEST(CommandLine, ReadsEveryOption) {
    options o;
    EXPECT_EQ(
        parse_options({"--plugin", "p.so", "--controllers", "c.json", "--serial", "/dev/ttyUSB0",
                       "--baud", "115200", "--serial-interface", "2", "project.json"},
                      o),
        "");
    EXPECT_EQ(o.plugin_path, "p.so");
    EXPECT_EQ(o.controllers, "c.json");
    EXPECT_EQ(o.serial_device, "/dev/ttyUSB0");
    EXPECT_EQ(o.baud, 115200);
    EXPECT_EQ(o.serial_interface, 2);
    EXPECT_EQ(o.project, "project.json");
    // A value given apart may look like an option; the switches.
    options apart;
    EXPECT_EQ(parse_options({"--log", "--x:y.log", "--plugin", "-", "-h", "--version",
                             "--list-serial", "--lang", "de"},
                            apart),
              "");
    EXPECT_EQ(apart.log_file, "--x:y.log");
    EXPECT_EQ(apart.plugin_path, "-");
    EXPECT_EQ(apart.language, "de");
    EXPECT_TRUE(apart.help && apart.version && apart.list_serial);
}

TEST(CommandLine, ValuesMayBeJoinedWithAnEqualsSign) {
    options o;
    EXPECT_EQ(parse_options({"--serial=/dev/ttyUSB0", "--baud=19200", "--serial-format=7e1",
                             "--log=run=1.log", "--plugin", "p.so", "--controllers=caf\xE9.json"},
                            o),
              "");
    EXPECT_EQ(o.controllers, "caf\xE9.json"); // bytes as given, whatever the encoding
    EXPECT_EQ(o.serial_device, "/dev/ttyUSB0");
    EXPECT_EQ(o.baud, 19200);
    EXPECT_EQ(o.format.text(), "7E1");
    EXPECT_EQ(o.log_file, "run=1.log");
    EXPECT_EQ(o.plugin_path, "p.so");
    options defaults;
    EXPECT_EQ(parse_options({"--serial", "/dev/ttyS0"}, defaults), "");
    EXPECT_EQ(defaults.format.text(), "8N1");
}

TEST(CommandLine, RefusesWhatCannotWork) {
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"--baud", "9600"}, "--baud needs --serial"},
        {{"--serial", "/dev/ttyS0", "--baud", "9601"}, "--baud: unsupported rate \"9601\""},
        {{"--serial", "/dev/ttyS0", "--serial-interface", "3"},
         "--serial-interface: \"3\" is not 1 or 2"},
        {{"--replay", "s.json", "--serial", "/dev/ttyS0"}, "--serial needs the window"},
        {{"--replay", "s.json", "p.json"}, "not from a project file"},
        {{"--replay"}, "Option 'replay' requires a value."},
        {{"--frobnicate"}, "unknown option --frobnicate"},
        {{"--serial", "/dev/ttyS0", "--serial-format", "8N3"}, "--serial-format: \"8N3\" is not"},
        {{"--serial-format=7E1"}, "--serial-format needs --serial"},
        {{"--baud="}, "--baud needs a value"},
        {{"--help=yes"}, "Unexpected characters following option 'help'."},
        {{"a.json", "b.json"}, "Unexpected parameter 'b.json'"},
        {{"--project", "a.json", "b.json"}, "more than one project file: a.json and b.json"},
        {{"b.json", "--project", "a.json"}, "more than one project file: a.json and b.json"},
        // Forms the toolkit's parser takes, or refuses in its own words.
        {{"--serial:/dev/ttyS0"}, "unknown option --serial:/dev/ttyS0"},
        {{"--plugin", ""}, "--plugin needs a value"},
        {{"-hx"}, "unknown option -hx"},
        {{"-hh"}, "unknown option -hh"},
        {{"-"}, "unknown option -"},
        {{"--", "p.json"}, "unknown option --"},
        {{"--=x"}, "unknown option --"},
    };
    for (const auto& c : cases) {
        options o;
        EXPECT_NE(parse_options(c.args, o).find(c.message), std::string::npos)
            << "got: " << parse_options(c.args, o);
    }
}
