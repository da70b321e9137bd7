// The reference host: a desktop program that loads the plug-in, edits a
// project, and runs it against a simulated or real controller; or, with
// --replay, runs a scenario without a window on a virtual clock.
//
// Exit codes: 0 done (a replay: every expectation met); 1 a replay's
// expectation not met, or the screenshot not saved; 2 a wrong command line,
// or something the program was given cannot be used (scenario, project,
// controllers, plug-in, serial device, log file, recording file, display),
// or a failure inside the program; 128 + N ended by signal N (SIGINT 130,
// SIGTERM 143, SIGHUP 129; on Windows Ctrl-C and Ctrl-Break 130, the
// console closing 129) after the window closed as the user closes it.
#include <csignal>
#include <exception>
#include <iostream>
#include <memory>
#include <new>
#include <streambuf>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/timer.h>
#include <wx/weakref.h>

#include "common/file_access.h"
#include "common/input_error.h"
#include "common/program_arguments.h"
#include "host_kit/plugin_library.h"
#include "host_kit/virtual_clock.h"
#include "reference_host/growing_file.h"
#include "reference_host/host_texts.h"
#include "reference_host/main_frame.h"
#include "reference_host/options.h"
#include "reference_host/program_files.h"
#include "reference_host/recording.h"
#include "reference_host/replay.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "console_half/console_half.h"
#endif

using namespace reference_host;

namespace {

constexpr int EXIT_NOT_MET = 1;
constexpr int EXIT_UNUSABLE = 2;
constexpr int EXIT_SIGNAL_BASE = 128;

constexpr int SCREENSHOT_DELAY_MILLISECONDS = 1500;
constexpr int SCREENSHOT_WIDTH = 1560;
constexpr int SCREENSHOT_HEIGHT = 1180;

// Set once the toolkit has started the application: a start that fails
// before it found no display.
bool toolkit_started = false;

void complain(const std::string& why) {
    std::cerr << "reference_host: " << why << "\n";
}

// What the exception being handled says; call it inside a catch block.
std::string current_exception_text() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return "out of memory";
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "an unknown exception";
    }
}

// Nobody can answer a dialog in a replay or while a screenshot is taken:
// the toolkit's messages and failed checks go to stderr there.
void log_to_stderr() {
    // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDeleteLeaks): the log owns its new target
    delete wxLog::SetActiveTarget(new wxLogStderr);
    wxSetAssertHandler([](const wxString& file, int line, const wxString&, const wxString& cond,
                          const wxString& message) {
        std::cerr << "reference_host: toolkit check failed at " << file << ":" << line << ": "
                  << cond << " " << message << "\n";
    });
}

// The replay's output to the screen and, with --log, to the file as well.
class tee_buffer : public std::streambuf {
public:
    tee_buffer(std::streambuf* screen, growing_file& file) : screen_(screen), file_(file) {}

protected:
    int overflow(int c) override {
        if (c == traits_type::eof())
            return traits_type::not_eof(c);
        const char byte = traits_type::to_char_type(c);
        file_.write(&byte, 1);
        return screen_->sputc(byte);
    }
    std::streamsize xsputn(const char* bytes, std::streamsize n) override {
        file_.write(bytes, static_cast<std::size_t>(n));
        return screen_->sputn(bytes, n);
    }
    int sync() override { return screen_->pubsync(); }

private:
    std::streambuf* screen_;
    growing_file& file_;
};

int run_replay(const options& o) {
    wxInitializer toolkit;
    if (!toolkit.IsOk()) {
        complain("the toolkit does not start");
        return EXIT_UNUSABLE;
    }
    log_to_stderr();
    plugin_library plugin(o.plugin_path);
    if (!plugin.ok()) {
        complain(plugin.error());
        return EXIT_UNUSABLE;
    }
    // On Windows the plug-in's clock is its own import, pointed at the
    // virtual clock here; without that a replay would run on the real clock.
    if (!virtual_clock::attach(plugin.native_handle())) {
        complain(o.plugin_path + ": the plug-in's clock cannot be replaced: it imports no _time64");
        return EXIT_UNUSABLE;
    }
    try {
        const scenario s = read_scenario_file(*o.replay);
        std::unique_ptr<growing_file> log;
        std::unique_ptr<tee_buffer> tee;
        if (o.log_file) {
            log = std::make_unique<growing_file>(*o.log_file);
            tee = std::make_unique<tee_buffer>(std::cout.rdbuf(), *log);
        }
        std::ostream out(tee ? tee.get() : std::cout.rdbuf());
        const bool met = replay(plugin, s, *o.replay, out);
        out.flush();
        if (log && !log->problem().empty()) {
            complain(log->problem());
            return EXIT_UNUSABLE;
        }
        return met ? 0 : EXIT_NOT_MET;
    } catch (const common::input_error& e) {
        complain(e.what());
    } catch (const session_error& e) {
        complain(std::string(*o.replay) + ": the plug-in refuses an element: " + e.what());
    } catch (...) {
        complain(current_exception_text());
    }
    return EXIT_UNUSABLE;
}

int list_serial() {
    try {
        const auto ports = list_serial_ports();
        if (ports.empty())
            std::cout << "no serial ports found\n";
        for (const auto& port : ports)
            std::cout << port.name << (port.description.empty() ? "" : "  ") << port.description
                      << "\n";
        return 0;
    } catch (const serial_error& e) {
        complain(e.what());
        return EXIT_UNUSABLE;
    }
}

class reference_app : public wxApp {
public:
    explicit reference_app(const options& o) : options_(o) {}

    bool OnInit() override {
        toolkit_started = true;
        wxLog::EnableLogging(true);
        if (options_.screenshot)
            log_to_stderr();
        wxInitAllImageHandlers();
        report_missing_catalogs(load_catalogs(options_.language.value_or("")));
        plugin_ = std::make_unique<plugin_library>(options_.plugin_path);
        if (!plugin_->ok())
            return refuse(host_text("Cannot load the plug-in"), plugin_->error());
        std::vector<controller_setup> controllers = default_controllers();
        if (options_.controllers) {
            try {
                controllers = read_controller_file(*options_.controllers);
            } catch (const common::input_error& e) {
                return refuse(host_text("Cannot load the controllers"), e.what());
            }
        }
        main_frame::log_copy copy;
        if (options_.log_file) {
            try {
                log_ = std::make_unique<growing_file>(*options_.log_file);
            } catch (const common::input_error& e) {
                return refuse(host_text("Cannot write the run log"), e.what());
            }
            copy = [this](const std::string& line) {
                // Said once; the window's log goes on.
                if (!log_->write(line + "\n") && !log_failure_told_) {
                    log_failure_told_ = true;
                    complain(log_->problem());
                }
            };
        }
        frame_ = new main_frame(*plugin_, controllers, options_, copy);
        frame_->Show();
        end_on_signals();
        if (options_.project && !frame_->open_project(*options_.project) && options_.screenshot)
            exit_code_ = EXIT_UNUSABLE;
        if (options_.screenshot && !frame_->serial_problem().empty()) {
            // The window would show a run without the input it was asked for.
            exit_code_ = EXIT_UNUSABLE;
            frame_->Close();
            return true;
        }
        if (options_.screenshot) {
            // Tall enough for the whole panel of a controller with every input.
            frame_->SetSize(wxSize(SCREENSHOT_WIDTH, SCREENSHOT_HEIGHT));
            frame_->select_first_custom_input();
            // Let the window map and paint before it is captured.
            screenshot_timer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { take_screenshot(); });
            screenshot_timer_.StartOnce(SCREENSHOT_DELAY_MILLISECONDS);
        }
        return true;
    }

    int OnRun() override {
        const int result = wxApp::OnRun();
        return exit_code_ != 0 ? exit_code_ : result;
    }

    // An exception out of an event handler: said in one line, the recording
    // written as far as it got, and the program ends.
    bool OnExceptionInMainLoop() override {
        complain(current_exception_text());
        exit_code_ = EXIT_UNUSABLE;
        try {
            if (frame_ && !frame_->IsBeingDeleted())
                frame_->close_unattended();
        } catch (...) {
            complain("while closing: " + current_exception_text());
        }
        return false;
    }

    // One out of OnInit() or OnRun(); wxEntry() then returns -1.
    void OnUnhandledException() override { complain(current_exception_text()); }

    // Called in the event loop, never in a signal handler.
    void end_on_signal(int signal) {
        exit_code_ = EXIT_SIGNAL_BASE + signal;
        if (frame_ && !frame_->IsBeingDeleted())
            frame_->close_unattended();
        else
            ExitMainLoop();
    }

private:
#ifdef _WIN32
    // The system calls this in a thread of its own, and ends the process
    // when it returns from a closing console: the close is done in the
    // event loop, waited for up to CONSOLE_CLOSE_WAIT_MILLISECONDS.
    static constexpr DWORD CONSOLE_CLOSE_WAIT_MILLISECONDS = 4000;
    static inline HANDLE console_done_ = nullptr;

    static BOOL WINAPI on_console_event(DWORD event) {
        constexpr int HANGUP = 1; // SIGHUP's number, which Windows lacks
        int signal = SIGINT;
        if (event == CTRL_CLOSE_EVENT)
            signal = HANGUP;
        else if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
            return FALSE;
        auto* app = static_cast<reference_app*>(wxApp::GetInstance());
        app->CallAfter([app, signal] {
            app->end_on_signal(signal);
            SetEvent(console_done_);
        });
        WaitForSingleObject(console_done_, CONSOLE_CLOSE_WAIT_MILLISECONDS);
        return TRUE;
    }

    void end_on_signals() {
        console_done_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (console_done_ != nullptr)
            SetConsoleCtrlHandler(on_console_event, TRUE);
    }
#else
    // The toolkit's handler only notes the signal; the loop calls ours.
    void end_on_signals() {
        for (const int signal : {SIGINT, SIGTERM, SIGHUP})
            SetSignalHandler(signal, [](int caught) {
                static_cast<reference_app*>(wxApp::GetInstance())->end_on_signal(caught);
            });
    }
#endif

    // Only a language asked for on the command line is told missing: the
    // system's may be one nobody translated.
    void report_missing_catalogs(const loaded_catalogs& loaded) {
        if (!options_.language || (loaded.panel && loaded.host))
            return;
        const std::string language = "\"" + *options_.language + "\"";
        if (!loaded.panel && !loaded.host)
            complain("no texts in " + language + "; the window and the panel show them in English");
        else if (!loaded.panel)
            complain("no panel texts in " + language +
                     "; the panel shows them as the plug-in gives them");
        else
            complain("no window texts in " + language + "; the window shows them in English");
    }

    bool refuse(const wxString& title, const std::string& why) {
        exit_code_ = EXIT_UNUSABLE;
        complain(why);
        if (!options_.screenshot)
            wxMessageBox(wxString::FromUTF8(why), title, wxOK | wxICON_ERROR);
        return false;
    }

    void take_screenshot() {
        const std::string problem = frame_->save_screenshot(*options_.screenshot);
        if (problem.empty()) {
            std::cout << "screenshot: " << *options_.screenshot << "\n";
        } else {
            complain("no screenshot: " + problem);
            if (exit_code_ == 0)
                exit_code_ = EXIT_NOT_MET;
        }
        frame_->Close();
    }

    options options_;
    std::unique_ptr<plugin_library> plugin_;
    std::unique_ptr<growing_file> log_;
    bool log_failure_told_ = false;
    wxWeakRef<main_frame> frame_; // null once the toolkit deleted it
    wxTimer screenshot_timer_;
    int exit_code_ = 0;
};

int run_host(int argc, char** argv) {
    // The same bytes as on Linux: no CR before each LF on Windows.
    common::binary_standard_streams();
    options o;
    o.plugin_path = default_plugin_path();
    const std::string error = parse_options(common::program_arguments(argc, argv), o);
    if (!error.empty()) {
        std::cerr << "reference_host: " << error << "\n" << usage_text();
        return EXIT_UNUSABLE;
    }
    if (o.help) {
        std::cout << usage_text();
        return 0;
    }
    if (o.version) {
        std::cout << "reference_host " << ZAVUD_VERSION << "\n";
        return 0;
    }
    if (o.list_serial)
        return list_serial();
    if (o.replay)
        return run_replay(o);
    if (o.record) {
        // Refused before a run is made that could not be kept.
        try {
            check_recording_target(*o.record);
        } catch (const common::input_error& e) {
            complain(e.what());
            return EXIT_UNUSABLE;
        }
    }
    // Without a display the toolkit's start fails; what it would log then
    // ends in a dialog that cannot be shown. Our own line says what to do.
    wxLog::EnableLogging(false);
    // The toolkit sees only the program name; the options are ours.
    int toolkit_argc = 1;
    wxApp::SetInstance(new reference_app(o));
    const int result = wxEntry(toolkit_argc, argv);
    if (!toolkit_started) {
        complain("no display to open the window on; run a scenario without one with --replay "
                 "SCENARIO, or the window under xvfb-run");
        return EXIT_UNUSABLE;
    }
    // A refused start (OnInit false) comes back as -1.
    return result < 0 ? EXIT_UNUSABLE : result;
}

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Started by its console half, the window program joins that console:
    // Ctrl-C and a closing console reach it (end_on_signals). Its own
    // programs start without.
    if (GetEnvironmentVariableW(CONSOLE_HALF_VARIABLE, nullptr, 0) > 0) {
        SetEnvironmentVariableW(CONSOLE_HALF_VARIABLE, nullptr);
        AttachConsole(ATTACH_PARENT_PROCESS);
    }
#endif
    try {
        return run_host(argc, argv);
    } catch (...) {
        complain(current_exception_text());
        return EXIT_UNUSABLE;
    }
}
