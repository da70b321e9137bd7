// Runs a project the way a host does: walks its elements in order, marks the
// plain ones, and on a Custom Input arms it with vexa_continuous_stream and
// hands it input records with vexa_check_input_value until it lets the
// project go on; then acts on the answer and any follow-up operation. One
// log line per plug-in call, plus lines for what the host itself does.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include <wx/string.h>

#include "reference_host/controller_inputs.h"
#include "reference_host/host_texts.h"
#include "reference_host/plugin_session.h"

namespace reference_host {

enum class run_state {
    idle,      // no run started yet
    waiting,   // a Custom Input waits for input records
    completed, // the walk passed the last element
    stopped,   // operation 2 "stop marking", or the user stopped the run
    failed,    // the plug-in refused (RES_INVALID, ...) or a follow-up could not be carried out
};
// "completed", "stopped", "waiting", "error" (failed), "idle".
std::string outcome_name(run_state state);

// Room the host gives the forwarded text of a follow-up operation.
constexpr std::size_t OPERATION_TEXT_ROOM = 1024;
constexpr int CHARACTER_INPUTS = 4; // IN2..IN5

class project_runner;

// Follows the runs of a runner (a recording). GUI thread, from within the
// runner's calls.
class run_watcher {
public:
    virtual ~run_watcher() = default;
    // A run is about to start; the runner still shows how the one before ended.
    virtual void run_starting(const project_runner& runner) = 0;
    // `inputs` of `controller` are about to reach the waiting element.
    virtual void record_handed(const controller_inputs& inputs, std::int32_t controller) = 0;
    // start(), a delivery or stop() is done; the run may have ended in it.
    virtual void step_done(const project_runner& runner) = 0;
};

class project_runner {
public:
    // Takes a function of a std::string too (the English line).
    using log_function = std::function<void(const log_line& line)>;

    project_runner(plugin_session& session, log_function log);

    // Starts a new run at the first element (ending one that still waits).
    void start();
    // Hands one input record of `controller` to the waiting element; false
    // when no element waits.
    bool deliver(const controller_inputs& inputs, std::int32_t controller);
    // The user ends the run.
    void stop();
    // Null stops watching; the watcher outlives the runner or is reset first.
    void watch(run_watcher* watcher) { watcher_ = watcher; }

    run_state state() const { return state_; }
    // Stopped by stop(), not by operation 2 "stop marking".
    bool stopped_by_user() const { return stopped_by_user_; }
    // The element the run waits on, or on which it stopped or failed.
    std::optional<std::size_t> position() const { return position_; }
    const std::string& error() const { return error_; }
    // The same in the operator's language, for the window.
    const wxString& shown_error() const { return shown_error_; }
    // Texts forwarded to IN2..IN5 so far (kept across runs, as the inputs are).
    const std::array<std::string, CHARACTER_INPUTS>& character_inputs() const { return inputs_; }
    // The wait message the plug-in asked to show (event 11018), until it is
    // removed (11019) or the wait ends.
    const std::optional<wxString>& wait_message() const { return wait_message_; }

    int runs_started() const { return runs_; }
    int restarts() const { return restarts_; }
    int calls() const { return calls_; }

private:
    element_handle* handle() const;
    std::string element_name() const;
    void walk_from(std::size_t index);
    void follow_up();
    void fail(const log_line& reason);
    // A failure whose text starts with the waiting element's name:
    // `shown_format` holds a %s for it, and one for `more` if that is given.
    void fail(const std::string& english, const wxString& shown_format,
              const wxString& more = wxString());
    // A line of the host's own: "host: " and the text.
    void say(const log_line& line) { log_({"host: " + line.english, "host: " + line.shown}); }
    // A plug-in call as it happened: names and codes of the interface, the
    // same in every language.
    void trace(const std::string& line) { log_({line, wxString::FromUTF8(line)}); }
    std::string take_event_notes();

    plugin_session& session_;
    log_function log_;
    run_watcher* watcher_ = nullptr;
    run_state state_ = run_state::idle;
    bool stopped_by_user_ = false;
    std::optional<std::size_t> position_;
    std::string error_;
    wxString shown_error_;
    std::array<std::string, CHARACTER_INPUTS> inputs_;
    std::optional<wxString> wait_message_;
    int runs_ = 0;
    int restarts_ = 0;
    int calls_ = 0;
};

} // namespace reference_host
