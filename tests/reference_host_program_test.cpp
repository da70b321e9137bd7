// The reference host as a user starts it: headless replays with their exit
// codes (0 met, 1 not met, 2 cannot be used), refusals of libraries and files,
// the run log file, the screenshot, and a start without a display.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "test_support/program_run.h"

namespace {

std::string write_temp(const std::string& name, const std::string& text) {
    const std::string file = testing::TempDir() + name;
    std::ofstream(file, std::ios::binary) << text;
    return file;
}

std::string file_text(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool has(const finished& f, const std::string& text) {
    return f.output.find(text) != std::string::npos;
}

const std::string typical_run = REFERENCE_HOST_EXAMPLES "/typical_run.json";
const std::string demo_project = REFERENCE_HOST_EXAMPLES "/demo_project.json";

} // namespace

TEST(Program, ReplaysTheTypicalRunOnTheVirtualClock) {
    const auto start = std::chrono::steady_clock::now();
    const finished f = run_program("--replay " + typical_run);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(f.exit_code, 0) << f.output;
    EXPECT_NE(f.output.find("op 2, stop marking"), std::string::npos) << f.output;
    EXPECT_NE(f.output.find("in 14 s of virtual time"), std::string::npos) << f.output;
    // The ten-second timeout takes no wall time.
    EXPECT_LT(took, std::chrono::seconds(5));
}

namespace {

// An installed example replayed as a user replays it: its expectation met,
// and the line that shows what it is an example of.
void expect_example_met(const std::string& name, const std::string& line) {
    const finished f = run_program("--replay " REFERENCE_HOST_EXAMPLES "/" + name);
    EXPECT_EQ(f.exit_code, 0) << f.output;
    EXPECT_TRUE(has(f, line)) << f.output;
}

} // namespace

TEST(Program, ReplaysTheSerialForwardingExample) {
    expect_example_met("serial_forwarding.json", "RES_OK: op 0x30, forward \"4711AB\" (6 "
                                                 "characters) to IN2, IN3\n");
}

TEST(Program, ReplaysTheSecondControllerExample) {
    expect_example_met("second_controller.json",
                       "t=5s    vexa_check_input_value(\"Wait for clamp\", controller 1: "
                       "digi16_1=0x0101) -> RES_OK\n");
}

TEST(Program, ReplaysTheTimeoutGotoExample) {
    expect_example_met("timeout_goto.json", "t=9s    vexa_get_custom_operation(\"Wait for part\") "
                                            "-> RES_OK: op 3, go to element id 30\n  t=9s    "
                                            "host: marks \"Reject part\"\n");
}

TEST(Program, ExitsWithOneWhenTheReplayEndsOtherwise) {
    std::ifstream in(typical_run);
    nlohmann::json scenario = nlohmann::json::parse(in);
    scenario["expect"]["outcome"] = "completed";
    const finished f =
        run_program("--replay " + write_temp("expects_completed.json", scenario.dump()));
    EXPECT_EQ(f.exit_code, 1) << f.output;
    EXPECT_NE(f.output.find("outcome completed (got stopped) NOT MET"), std::string::npos)
        << f.output;
}

TEST(Program, RefusesALibraryThatLacksAnEntryPoint) {
    const finished f =
        run_program(std::string("--plugin ") + LUMO_LIBRARY_PATH + " --replay " + typical_run);
    EXPECT_EQ(f.exit_code, 2);
    EXPECT_NE(f.output.find("lacks the entry point vexa_create_instance"), std::string::npos)
        << f.output;
    const finished missing = run_program("--plugin /nonexistent/plugin.so --replay " + typical_run);
    EXPECT_EQ(missing.exit_code, 2);
    EXPECT_NE(missing.output.find("cannot load /nonexistent/plugin.so"), std::string::npos)
        << missing.output;
}

TEST(Program, RefusesABadScenarioNamingTheKey) {
    const std::string file = write_temp(
        "bad_scenario.json",
        R"({"elements": [], "timeline": [{"at": 0, "digi8_3": 1}], "expect": "completed"})");
    const finished f = run_program("--replay " + file);
    EXPECT_EQ(f.exit_code, 2);
    EXPECT_NE(f.output.find(file + ": timeline[0].digi8_3: unknown key"), std::string::npos)
        << f.output;
    const std::string directory = temp_folder();
    const finished dir = run_program("--replay=" + directory);
    EXPECT_EQ(dir.exit_code, 2);
    EXPECT_TRUE(has(dir, directory + ": cannot be opened: Is a directory")) << dir.output;
    const finished missing = run_program("--replay /nonexistent/scenario.json");
    EXPECT_EQ(missing.exit_code, 2);
    EXPECT_TRUE(has(missing, "/nonexistent/scenario.json: cannot be opened: No such file or "
                             "directory"))
        << missing.output;
}

TEST(Program, LogFileGetsTheReplaysLines) {
    const std::string log = testing::TempDir() + "replay.log";
    const finished f = run_program("--log " + log + " --replay " + typical_run);
    EXPECT_EQ(f.exit_code, 0) << f.output;
    EXPECT_EQ(file_text(log), f.output);
    const finished refused = run_program("--log " + temp_folder() + " --replay " + typical_run);
    EXPECT_EQ(refused.exit_code, 2);
    EXPECT_TRUE(has(refused, ": cannot be written: Is a directory")) << refused.output;
}

TEST(Program, WithoutADisplaySaysWhatToDoInOneLine) {
#ifdef _WIN32
    GTEST_SKIP() << "a Windows desktop always has a display";
#endif
    const finished f = run_program(demo_project, true);
    EXPECT_EQ(f.exit_code, 2) << f.output;
    EXPECT_TRUE(has(f, "--replay") && has(f, "xvfb-run")) << f.output;
    EXPECT_EQ(std::count(f.output.begin(), f.output.end(), '\n'), 1) << f.output;
    EXPECT_EQ(run_program("--replay " + typical_run, true).exit_code, 0);
}

TEST(Program, AScreenshotThatCannotBeMadeSaysWhyWithoutADialog) {
    if (!has_display())
        GTEST_SKIP() << "needs a display (xvfb-run)";
    // A dialog would wait for a click: the run's time limit, TIMED_OUT.
    const finished unwritable = run_program("--screenshot /nonexistent/shot.png " + demo_project);
    EXPECT_EQ(unwritable.exit_code, 1) << unwritable.output;
    EXPECT_TRUE(has(unwritable, "/nonexistent/shot.png: cannot be written: No such file or "
                                "directory"))
        << unwritable.output;
    const finished no_serial =
        run_program("--screenshot " + testing::TempDir() +
                    "unused.png --serial /nonexistent/ttyUSB9 " + demo_project);
    EXPECT_EQ(no_serial.exit_code, 2) << no_serial.output;
    EXPECT_TRUE(has(no_serial, "reference_host: /nonexistent/ttyUSB9: cannot open"))
        << no_serial.output;
}

TEST(Program, RefusesAWrongCommandLineWithItsUsage) {
    const finished f = run_program("--replay " + typical_run + " --baud 9600");
    EXPECT_EQ(f.exit_code, 2);
    EXPECT_NE(f.output.find("--baud needs --serial"), std::string::npos) << f.output;
    EXPECT_NE(f.output.find("Usage: reference_host"), std::string::npos) << f.output;
    const finished toolkit_refusal = run_program("--replay");
    EXPECT_EQ(toolkit_refusal.exit_code, 2);
    EXPECT_EQ(toolkit_refusal.output.rfind("reference_host: Option 'replay' requires a value.\n"
                                           "Usage: reference_host",
                                           0),
              0u)
        << toolkit_refusal.output;
    // Help is no way past a wrong command line.
    EXPECT_EQ(run_program("--help --frobnicate").exit_code, 2);
    const finished help = run_program("--help");
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_TRUE(has(help, "--serial-format=") && has(help, "PROJECT.json")) << help.output;
}

TEST(Program, SavesAScreenshotOfTheWindowWithThePanel) {
    if (!has_display())
        GTEST_SKIP() << "needs a display (xvfb-run)";
    const std::string png = testing::TempDir() + "reference_host.png";
    std::remove(png.c_str());
    const finished f = run_program("--screenshot " + png + " " + demo_project);
    EXPECT_EQ(f.exit_code, 0) << f.output;
    std::ifstream in(png, std::ios::binary);
    char magic[8] = {};
    in.read(magic, sizeof magic);
    EXPECT_EQ(std::string(magic, 8), "\x89PNG\r\n\x1A\n");
}
