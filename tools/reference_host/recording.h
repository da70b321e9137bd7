// A live run written down as a replay scenario (--record): the elements and
// the controllers as the first run found them, every input record handed to
// a waiting element with its second, the number of runs and how they ended,
// so that --replay makes the same plug-in calls with the same results.
//
// The recording holds the runs from the first one on while each run before
// the last completed and the project and controllers stayed the same: a
// replay goes on only after a completed run, and loads one project. A run the
// user stopped is recorded as still waiting, the way the replay ends it.
//
// A clock that jumps forward by more than a scenario's seconds can hold (a
// machine that started with a wrong clock, then set it) has the jump taken
// out of the timeline: later input records keep their spacing, and the
// description says by how much the clock jumped and where. A clock set back
// holds the timeline where it was.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "reference_host/plugin_session.h"
#include "reference_host/project_runner.h"
#include "reference_host/scenario.h"

namespace reference_host {

// Refuses a file a recording cannot replace (common::replace_whole_file): a
// folder, something other than a plain file, a place where no file can be
// made (a missing or read-only folder). Throws input_error "FILE: cannot be
// written: REASON"; leaves nothing behind.
void check_recording_target(const std::string& file);

// While anything new is recorded, the file is written at least this often,
// so that a program ended without closing loses no more than that.
constexpr int RECORDING_WRITE_SECONDS = 10;

class run_recorder final : public run_watcher {
public:
    // A line for the run log; `problem` when a recording could not be written.
    using report_function = std::function<void(const std::string& message, bool problem)>;
    // Seconds of the clock the plug-in reads; tests give their own.
    using clock_function = std::function<std::int64_t()>;

    // Writes `file` (checked with check_recording_target) each time a
    // recorded run ends, and on save(). Without `clock`, the system's.
    run_recorder(std::string file, plugin_session& session, report_function report,
                 clock_function clock = {});

    // Writes what is recorded so far (a run still waiting ends waiting there);
    // false, writing nothing, before the first run. Throws input_error.
    bool save();
    // Writes as save() does if anything was recorded since the last write; a
    // failure is reported, once until a write succeeds again.
    void save_if_changed();
    // Whether anything was recorded since the last write.
    bool changed() const { return changed_; }
    // The scenario so far; runs is 0 before the first run.
    scenario recorded() const;
    const std::string& file() const { return file_; }

    void run_starting(const project_runner& runner) override;
    void record_handed(const controller_inputs& inputs, std::int32_t controller) override;
    void step_done(const project_runner& runner) override;

private:
    // How a run ended, taken when it ends: the project may change after.
    struct run_end {
        run_state state = run_state::waiting;
        bool by_user = false;
        std::string element; // where it ended; empty when it completed
        std::string error;
        int restarts = 0;
        std::array<std::string, CHARACTER_INPUTS> character_inputs;
    };
    run_end ending_of(const project_runner& runner) const;
    bool same_project() const;
    void close(const std::string& why);
    void save_at_run_end();

    std::string file_;
    plugin_session& session_;
    report_function report_;
    clock_function clock_;
    const project_runner* runner_ = nullptr;

    std::vector<project_element> elements_;
    std::vector<controller_setup> controllers_;
    std::int64_t first_start_ = 0; // the clock when the first run started
    int restarts_before_ = 0;      // of the runner, when the first run started
    int runs_ = 0;
    int completed_ = 0;
    bool in_run_ = false;
    std::optional<run_end> last_end_; // of the last recorded run, once it ended
    std::string closed_because_;      // why later runs are not recorded
    std::vector<timeline_entry> timeline_;
    bool changed_ = false;
    std::string unsaved_because_; // the last failure of save_if_changed
    struct clock_jump {
        std::int64_t seconds; // taken out of the timeline
        std::int64_t at;      // the timeline's second where it happened
    };
    std::vector<clock_jump> jumps_;
    std::int64_t taken_out_ = 0; // the sum of the jumps' seconds
};

} // namespace reference_host
