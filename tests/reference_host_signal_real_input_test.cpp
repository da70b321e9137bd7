// The reference host ended by a signal while a run waits: the window closes
// as the user closes it, and the recording of the waiting run is written.
// The run is started with a key sent to the display, so these tests run
// alone there.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>

#include <gtest/gtest.h>
#include <wx/uiaction.h>
#include <wx/utils.h>
#include <wx/window.h>

#include "reference_host/project_file.h"
#include "test_support/program_run.h"
#include "test_support/save_records.h"

// Signals are POSIX; Windows ends a program through its console instead.
#ifndef _WIN32
namespace {

std::string file_text(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool has_text(const std::string& in, const std::string& text) {
    return in.find(text) != std::string::npos;
}

} // namespace

class ProgramEndedBySignal : public testing::TestWithParam<int> {};

TEST_P(ProgramEndedBySignal, WritesTheRecordingOfTheWaitingRunAndCloses) {
    if (!has_display())
        GTEST_SKIP() << "needs a display (xvfb-run)";
    // The display must take simulated input (X: the XTest extension).
    const wxPoint probe(5, 5);
    wxUIActionSimulator().MouseMove(probe);
    wxMilliSleep(100);
    if (wxGetMousePosition() != probe)
        GTEST_SKIP() << "this display takes no simulated input: the pointer did not move";
    const int signal = GetParam();
    const std::string name = testing::TempDir() + "signal_" + std::to_string(signal);
    const std::string record = name + ".json";
    const std::string log = name + ".log";
    std::remove(record.c_str());
    std::remove(log.c_str());
    // Waits for a serial text that never comes.
    reference_host::write_project_file(
        name + "_project.json",
        reference_host::project{{{"Wait for lot", 1, reference_host::element_kind::custom_input,
                                  saved_record([](input_config& c) {
                                      c.input_mode = INPUT_SERIAL_1;
                                      c.flags = FLAG_SERIAL1_SUBSTRING;
                                      std::strcpy(c.compare_text1, "LOT");
                                  })}}});
    const started_program program = start_program(
        "--record " + record + " --log " + log + " " + name + "_project.json", name + ".out");
    // Run > Start (F5) in the window, once it is there under the pointer
    // (the window opens at the screen's top left corner).
    wxUIActionSimulator user;
    user.MouseMove(400, 400);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!has_text(file_text(log), "host: run 1 starts") &&
           std::chrono::steady_clock::now() < until) {
        user.Char(WXK_F5);
        wxMilliSleep(200);
    }
    ASSERT_TRUE(has_text(file_text(log), "host: run 1 starts")) << file_text(name + ".out");
    kill(program.pid, signal);
    const finished f = wait_for(program);
    EXPECT_EQ(f.exit_code, 128 + signal) << f.output;
    const finished replayed = run_program("--replay " + record);
    EXPECT_EQ(replayed.exit_code, 0) << replayed.output;
    EXPECT_TRUE(has_text(replayed.output, "summary: waiting at \"Wait for lot\""))
        << replayed.output;
}

INSTANTIATE_TEST_SUITE_P(Program, ProgramEndedBySignal, testing::Values(SIGTERM, SIGINT, SIGHUP));
#endif
