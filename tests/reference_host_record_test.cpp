// Recording runs of the window (--record): a run driven from the simulator
// or from a serial device, written as a scenario, replays with the same
// plug-in calls and results; files that cannot take a recording are refused
// before the window opens; it is written while a run waits, survives a clock
// that jumps, and a write that fails at closing is not lost unasked.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "common/file_access.h"
#include "common/input_error.h"
#include "reference_host/byte_text.h"
#include "reference_host/main_frame.h"
#include "reference_host/recording.h"
#include "reference_host/simulator_panel.h"
#include "test_support/machine_facilities.h"
#include "test_support/program_run.h"
#include "test_support/save_records.h"
#include "test_support/test_host.h"
#include "test_support/write_faults.h"
// After the host's headers: on Windows it brings the system's macros, one of
// them named `interface`.
#include <wx/evtloop.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#ifdef _WIN32
#include "windows/com_port_pair.h"
using serial_pair = com_port_pair;
#else
#include <sys/wait.h>

#include "test_support/pseudo_serial.h"
using serial_pair = pseudo_terminal;
#endif

using namespace reference_host;
using lines = std::vector<std::string>;

namespace {

// The plug-in calls with their results, from the window's log or a replay's
// output: each line from "vexa_" on.
lines calls(const std::string& text) {
    lines found;
    std::size_t from = 0;
    for (std::size_t end; (end = text.find('\n', from)) != std::string::npos; from = end + 1)
        if (const auto at = text.find("vexa_", from); at < end && at <= from + 12)
            found.push_back(text.substr(at, end - at));
    return found;
}

struct clock_guard {
    std::int64_t now = 1700000000;
    clock_guard() { virtual_clock::set(now); }
    ~clock_guard() { virtual_clock::reset(); }
    void advance(std::int64_t seconds) { virtual_clock::set(now += seconds); }
};

// A recording holds to docs/scenario.schema.json, as tests/schemas/ checks it.
void expect_schema_holds(const std::string& file) {
#ifdef _WIN32
    (void)file; // checked in the Linux build: the file's form is the same
#else
    const std::string command = std::string("'" SCHEMAS_PYTHON "' '" SCHEMAS_TEST
                                            "' --docs '" SCHEMAS_FOLDER "' --scenario '") +
                                file + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr) << command;
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    const int status = pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command << "\n" << output;
#endif
}

// The window with --record FILE (and `serial`, when given); its run log
// kept whole.
struct recording_window {
    std::string file;
    std::string log;
    main_frame* frame;
    bool closed = false;
    recording_window(const std::string& name, const project& p, const std::string& serial = "")
        : file(testing::TempDir() + name) {
        std::remove(file.c_str());
        options o;
        o.record = file;
        if (!serial.empty())
            o.serial_device = serial;
        frame = new main_frame(plugin(), default_controllers(), o,
                               [this](const std::string& line) { log += line + "\n"; });
        frame->Show();
        const std::string project_file = testing::TempDir() + "record_project.json";
        write_project_file(project_file, p);
        EXPECT_TRUE(frame->open_project(project_file));
    }
    ~recording_window() {
        if (!closed)
            frame->Destroy();
    }
    // As the user closes it; the toolkit destroys it then.
    void close() {
        frame->Close(true);
        closed = true;
    }
    main_frame* operator->() { return frame; }
    void send(const controller_inputs& inputs) { frame->simulator()->on_change(0, inputs); }
    nlohmann::json recording() const {
        std::ifstream in(file);
        return nlohmann::json::parse(in);
    }
    // Replays the recording; its calls and results must be the window's.
    void expect_replay_matches() {
        expect_schema_holds(file);
        const finished replayed = run_program("--replay " + file);
        EXPECT_EQ(replayed.exit_code, 0) << replayed.output;
        EXPECT_EQ(calls(replayed.output), calls(log)) << replayed.output;
    }
};

// Lets the window's timers fire, as its event loop would. wxYield() delivers
// no timer events in the Windows build (under Wine at least).
void dispatch_events() {
    wxGUIEventLoop loop;
    wxEventLoopActivator active(&loop);
    while (loop.Pending())
        loop.Dispatch();
}

// Answers the dialogs shown meanwhile in turn, as the user would, and keeps
// their messages; a dialog beyond the answers fails the test.
class answering_user : public wxModalDialogHook {
public:
    explicit answering_user(std::vector<std::function<int()>> answers)
        : answers_(std::move(answers)) {
        Register();
    }
    ~answering_user() override { Unregister(); }
    lines messages;

protected:
    int Enter(wxDialog* dialog) override {
        const auto* message = dynamic_cast<wxMessageDialog*>(dialog);
        messages.push_back((message ? message->GetMessage() : dialog->GetTitle()).utf8_string());
        if (messages.size() > answers_.size()) {
            ADD_FAILURE() << "unexpected dialog: " << messages.back();
            return wxID_NO;
        }
        return answers_[messages.size() - 1]();
    }
    void Exit(wxDialog*) override {}

private:
    std::vector<std::function<int()>> answers_;
};

controller_inputs inputs(std::uint8_t digi8_1, const std::string& serial_1 = "") {
    controller_inputs in;
    in.digi8[0] = digi8_1;
    in.serial1 = serial_1;
    return in;
}

// Looks for "LOT" on serial 1 and forwards characters 4..7 (from 0) to IN2.
project lot_reader() {
    return {{{"Read lot", 1, element_kind::custom_input, saved_record([](input_config& c) {
                  c.input_mode = INPUT_SERIAL_1;
                  c.flags = FLAG_SERIAL1_SUBSTRING | FLAG_FORWARD_IN2;
                  std::strcpy(c.compare_text1, "LOT");
                  c.substr_from = 4;
                  c.substr_to = 7;
              })},
             {"Engrave", 2, element_kind::placeholder, {}}}};
}

} // namespace

TEST(Recording, ASimulatorRunReplaysWithTheSameCalls) {
#ifdef _WIN32
    GTEST_SKIP() << "the recording reads the host's own clock, which the virtual clock reaches "
                    "only on Linux";
#endif
    clock_guard clock;
    recording_window w("simulator_run.json", lot_reader());
    w->start_run();
    clock.advance(1);
    w.send(inputs(0, "NOISE\r\n"));
    clock.advance(2);
    // Bytes a scenario must escape: a backslash, a Latin-1 byte, a control byte.
    w.send(inputs(0, "LOT \\\xE9\x02X\r\n"));
    ASSERT_EQ(outcome_name(w->runner().state()), "completed");
    // Written as the run ended.
    EXPECT_EQ(w.recording()["runs"], 1);

    w->start_run();
    clock.advance(4);
    w.send(inputs(0, "NOISE\r\n"));
    w->stop_run();
    // A run after one that did not complete cannot be replayed after it.
    w->start_run();
    w.send(inputs(0, "LOT 1\r\n"));
    w->save_recording();

    const nlohmann::json r = w.recording();
    EXPECT_EQ(r["runs"], 2);
    EXPECT_EQ(r["timeline"][2],
              (nlohmann::json{{"at", 3}, {"serial_1", "LOT \\\\\\xE9\\x02X\r\n"}}));
    EXPECT_EQ(r["elements"][0]["configuration"]["compare_text1"], "LOT");
    // Stopped by the user: the replay ends waiting there. The plug-in
    // forwards text as UTF-8.
    EXPECT_EQ(r["expect"], (nlohmann::json{{"outcome", "waiting"},
                                           {"completed_runs", 1},
                                           {"element", "Read lot"},
                                           {"IN2", "\\\\\\xC3\\xA9\\x02X"}}));
    // The run after the stop is not part of the recording.
    w.log.erase(w.log.find("host: run 3 starts"));
    w.expect_replay_matches();
}

TEST(Recording, ARunWithATimeoutIsWrittenWhenTheWindowCloses) {
#ifdef _WIN32
    GTEST_SKIP() << "the recording reads the host's own clock, which the virtual clock reaches "
                    "only on Linux";
#endif
    // The typical run's elements: a 10-second timeout that stops marking.
    const scenario typical = read_scenario_file(REFERENCE_HOST_EXAMPLES "/typical_run.json");
    clock_guard clock;
    recording_window w("timeout_run.json", project{typical.elements});
    w->start_run();
    clock.advance(2);
    w.send(inputs(0x80));
    w->start_run();
    for (int step : {1, 5, 5}) {
        clock.advance(step);
        w.send(inputs(0));
    }
    ASSERT_EQ(outcome_name(w->runner().state()), "stopped");
    w.close();

    const nlohmann::json r = w.recording();
    EXPECT_EQ(r["expect"],
              (nlohmann::json{
                  {"outcome", "stopped"}, {"completed_runs", 1}, {"element", "Wait for part"}}));
    // Run 2's clock started at second 2: second 13 is past its deadline.
    EXPECT_EQ(r["timeline"].back(), (nlohmann::json{{"at", 13}}));
    w.expect_replay_matches();
}

TEST(Recording, ASerialDeviceRunReplaysWithTheSameCalls) {
    if (const std::string why = serial_pair::missing(); !why.empty())
        GTEST_SKIP() << why;
    serial_pair pty;
    recording_window w("serial_run.json", lot_reader(), pty.slave);
    ASSERT_EQ(w->serial_problem(), "");
    w->start_run();
    pty.send("LOT 4711-AB\r\n");
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (w->runner().state() == run_state::waiting && std::chrono::steady_clock::now() < until) {
        dispatch_events();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(outcome_name(w->runner().state()), "completed") << w.log;
    EXPECT_EQ(w.recording()["timeline"].back()["serial_1"], "LOT 4711-AB\r\n");
    EXPECT_EQ(w.recording()["expect"]["IN2"], "4711");
    w.expect_replay_matches();
}

TEST(Recording, TextsAndControllersReadBackAsWritten) {
    std::string every_byte;
    for (int byte = 1; byte < 256; ++byte)
        every_byte += static_cast<char>(byte);
    std::string error;
    EXPECT_EQ(bytes_from_scenario_text(scenario_text_from_bytes(every_byte), error), every_byte)
        << error;

    const auto controllers = controllers_from_json(nlohmann::json::parse(R"([
            {"index": 0, "inputs": "all", "features": ["FEATURE_STREAM_WAIT"]},
            {"index": 3, "valid": false, "inputs": ["INPUT_DIGI8_1", "INPUT_SERIAL_2"],
             "ports": [{"kind": "INPUT_DIGI8_1", "unavailable_bits": [0, 7]},
                       {"kind": "INPUT_DIGI32", "unavailable_bits": "all"}]}])"),
                                                   "controllers");
    const auto again = controllers_from_json(controllers_to_json(controllers), "controllers");
    ASSERT_EQ(again.size(), controllers.size());
    for (std::size_t i = 0; i < again.size(); ++i)
        EXPECT_EQ(again[i].record(), controllers[i].record()) << "controller " << i;
}

TEST(Recording, FilesThatCannotTakeARecordingAreRefusedBeforeTheWindowOpens) {
    const std::string directory = testing::TempDir();
    const struct {
        std::string file;
        std::string reason;
    } refused[] = {
        {temp_folder(), temp_folder() + ": cannot be written: Is a directory"},
        {directory, directory + ": cannot be written: Is a directory"}, // separator at its end
        {"/nonexistent/run.json", "/nonexistent/run.json: cannot be written: No such file or "
                                  "directory"},
    };
    for (const auto& r : refused) {
        // Without a display: a start that got to the window would say so.
        const finished f = run_program("--record " + r.file, true);
        EXPECT_EQ(f.exit_code, 2) << f.output;
        EXPECT_EQ(f.output, "reference_host: " + r.reason + "\n");
    }
    const finished both = run_program("--record x.json --replay y.json");
    EXPECT_EQ(both.exit_code, 2);
    EXPECT_NE(both.output.find("--replay and --record exclude each other"), std::string::npos)
        << both.output;
}

TEST(Recording, AWriteThatFailsAtAnyStepKeepsTheRecordingAsItWas) {
    // The window's session and runner, recorded by a recorder of the test's.
    const std::string file = testing::TempDir() + "faults/run.json";
    std::filesystem::remove_all(testing::TempDir() + "faults");
    std::filesystem::create_directories(testing::TempDir() + "faults");
    clock_guard clock;
    recording_window w("unused.json", lot_reader());
    run_recorder recorder(file, w->session(), [](const std::string&, bool) {});
    w->start_run();
    recorder.run_starting(w->runner());
    recorder.record_handed(inputs(0, "NOISE\r\n"), 0);
    ASSERT_TRUE(recorder.save());
    recorder.record_handed(inputs(0, "LOT 1\r\n"), 0);
    const fault_figures figures = fail_every_step(file, [&] { recorder.save(); });
    EXPECT_EQ(figures.survived, figures.injected);
}

TEST(Recording, AFolderWhereNoFileCanBeMadeIsRefusedBeforeTheWindowOpens) {
    // Not even root makes files in /sys, where the system shows its devices
    // (sysfs); the refusal is the system's own, as this process meets it.
    const int refused = creation_refusal("/sys/run.json.tmp");
    if (refused == 0)
        GTEST_SKIP() << "/sys takes new files here: no sysfs is mounted to refuse them";
    const finished f = run_program("--record /sys/run.json", true);
    EXPECT_EQ(f.exit_code, 2) << f.output;
    EXPECT_EQ(f.output, "reference_host: /sys/run.json: cannot be written: " +
                            std::string(std::strerror(refused)) + "\n");
}

TEST(Recording, IsWrittenPeriodicallyOnlyWhenSomethingNewWasRecorded) {
    recording_window w("periodic.json", lot_reader());
    wxTimer& timer = w->recording_timer();
    EXPECT_TRUE(timer.IsRunning());
    EXPECT_EQ(timer.GetInterval(), RECORDING_WRITE_SECONDS * 1000);
    timer.Notify();
    EXPECT_FALSE(std::filesystem::exists(w.file)) << "written before a run";
    w->start_run();
    w.send(inputs(0, "NOISE\r\n"));
    timer.Notify();
    const std::size_t handed = w.recording()["timeline"].size();
    EXPECT_EQ(w.recording()["expect"]["outcome"], "waiting");

    std::filesystem::remove(w.file);
    timer.Notify();
    EXPECT_FALSE(std::filesystem::exists(w.file)) << "written with nothing new";
    w.send(inputs(0, "NOISE\r\n"));
    timer.Notify();
    EXPECT_EQ(w.recording()["timeline"].size(), handed + 1);
}

TEST(Recording, AClockThatJumpsForwardIsTakenOutOfTheTimelineAndDescribed) {
    // A machine that started with its clock decades behind, then set it.
    std::int64_t now = 1000;
    const std::int64_t jump = 1700000000;
    plugin_session session(plugin(), nullptr);
    session.describe_controllers(default_controllers());
    session.open(lot_reader());
    project_runner runner(session, [](const std::string&) {});
    const std::string file = testing::TempDir() + "clock_jump.json";
    std::remove(file.c_str());
    run_recorder recorder(
        file, session, [](const std::string&, bool) {}, [&now] { return now; });
    runner.watch(&recorder);
    runner.start();
    for (const auto& [step, text] : std::vector<std::pair<std::int64_t, std::string>>{
             {1, "NOISE\r\n"},
             {jump, "NOISE\r\n"},
             {2, "NOISE\r\n"},
             // Set back: the timeline holds where it was.
             {-5, "NOISE\r\n"},
             {1, "LOT 4711-AB\r\n"}}) {
        now += step;
        runner.deliver(inputs(0, text), 0);
    }
    ASSERT_EQ(outcome_name(runner.state()), "completed");

    expect_schema_holds(file);
    const scenario s = read_scenario_file(file);
    std::vector<std::int64_t> at;
    for (const auto& entry : s.timeline)
        at.push_back(entry.at);
    EXPECT_EQ(at, (std::vector<std::int64_t>{1, 1, 3, 3, 3}));
    EXPECT_NE(s.description.find("The clock jumped forward by " + std::to_string(jump) +
                                 " s at second 1"),
              std::string::npos)
        << s.description;
    const finished replayed = run_program("--replay " + file);
    EXPECT_EQ(replayed.exit_code, 0) << replayed.output;
}

TEST(Recording, AWriteThatFailsAtClosingKeepsTheWindowUntilRetriedOrLetGo) {
    // A folder with something in it where the file goes: no write replaces it.
    auto block = [](const std::string& file) {
        std::filesystem::create_directories(file + "/taken");
    };
    recording_window retried("closing_retried.json", lot_reader());
    retried->start_run();
    block(retried.file);
    {
        answering_user user({[] { return wxID_CANCEL; }});
        EXPECT_FALSE(retried->Close());
        ASSERT_EQ(user.messages.size(), 1u);
        EXPECT_NE(user.messages[0].find(retried.file + ": cannot be written"), std::string::npos)
            << user.messages[0];
    }
    EXPECT_TRUE(retried->IsShown());
    {
        answering_user user({[] { return wxID_YES; },
                             [&] {
                                 std::filesystem::remove_all(retried.file);
                                 return wxID_YES;
                             }});
        EXPECT_TRUE(retried->Close());
        retried.closed = true;
        EXPECT_EQ(user.messages.size(), 2u);
    }
    EXPECT_EQ(retried.recording()["expect"]["outcome"], "waiting");

    recording_window let_go("closing_let_go.json", lot_reader());
    let_go->start_run();
    block(let_go.file);
    {
        answering_user user({[] { return wxID_NO; }});
        EXPECT_TRUE(let_go->Close());
        let_go.closed = true;
        EXPECT_EQ(user.messages.size(), 1u);
    }

    // Nobody to answer: the reason on stderr, and the window closes.
    recording_window unattended("closing_unattended.json", lot_reader());
    unattended->start_run();
    block(unattended.file);
    {
        answering_user nobody({});
        testing::internal::CaptureStderr();
        unattended->close_unattended();
        unattended.closed = true;
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("reference_host: recording not written: " + unattended.file +
                            ": cannot be written"),
                  std::string::npos)
            << said;
    }
    EXPECT_FALSE(unattended->IsShown()) << "not closed";
    for (const auto* w : {&let_go, &unattended})
        std::filesystem::remove_all(w->file);
}
