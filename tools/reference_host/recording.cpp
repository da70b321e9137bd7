#include "reference_host/recording.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include "common/file_access.h"
#include "common/input_error.h"

namespace reference_host {

namespace {

// The clock the plug-in reads, so that the recorded seconds are the ones its
// timeouts counted.
std::int64_t clock_now() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

std::string local_time(std::int64_t seconds) {
    const auto t = static_cast<std::time_t>(seconds);
    std::tm parts{};
    char text[32] = "";
#ifdef _WIN32
    const bool known = localtime_s(&parts, &t) == 0;
#else
    const bool known = localtime_r(&t, &parts) != nullptr;
#endif
    if (known)
        (void)std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

// A record's text as the element reads it: up to its first zero byte, cut
// to the field.
std::string carried(const std::string& text, std::size_t limit) {
    return text.substr(0, std::min(text.find('\0'), limit));
}

bool same_elements(const std::vector<project_element>& a, const std::vector<project_element>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.name == y.name && x.id == y.id && x.kind == y.kind &&
               x.save_record == y.save_record;
    });
}

bool same_controllers(const std::vector<controller_setup>& a,
                      const std::vector<controller_setup>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const auto& x, const auto& y) { return x.record() == y.record(); });
}

} // namespace

void check_recording_target(const std::string& file) {
    common::check_replaceable(file);
}

run_recorder::run_recorder(std::string file, plugin_session& session, report_function report,
                           clock_function clock)
    : file_(std::move(file)), session_(session), report_(std::move(report)),
      clock_(clock ? std::move(clock) : clock_function(clock_now)) {}

void run_recorder::run_starting(const project_runner& runner) {
    runner_ = &runner;
    if (!closed_because_.empty())
        return;
    const std::string run = "run " + std::to_string(runner.runs_started() + 1);
    if (in_run_) {
        // A run ended by starting the next one is still waiting.
        last_end_ = ending_of(runner);
        in_run_ = false;
        close(run + " started while run " + std::to_string(runs_) + " was waiting");
        return;
    }
    if (runs_ > 0 && last_end_->state != run_state::completed) {
        close("a replay goes on only after a completed run");
        return;
    }
    if (runs_ == MAX_RUNS) {
        close("a scenario holds at most " + std::to_string(MAX_RUNS) + " runs");
        return;
    }
    try {
        if (runs_ == 0) {
            elements_ = session_.to_project().elements;
            controllers_ = session_.controllers();
            first_start_ = clock_();
            restarts_before_ = runner.restarts();
        } else if (!same_project()) {
            close("the project or the controllers changed after run " + std::to_string(runs_));
            return;
        }
    } catch (const session_error& e) {
        close(e.what());
        return;
    }
    ++runs_;
    in_run_ = true;
    changed_ = true;
}

void run_recorder::record_handed(const controller_inputs& inputs, std::int32_t controller) {
    if (!in_run_)
        return;
    timeline_entry entry;
    const std::int64_t previous = timeline_.empty() ? 0 : timeline_.back().at;
    std::int64_t at = clock_() - first_start_ - taken_out_;
    // Past what a timeline takes: a jump of the clock, taken out.
    if (at > LATEST_SECOND) {
        jumps_.push_back({at - previous, previous});
        taken_out_ += at - previous;
        at = previous;
    }
    // A clock set back must not make the timeline go back.
    entry.at = std::max(at, previous);
    entry.controller = controller;
    entry.inputs = inputs;
    entry.inputs.serial1 = carried(inputs.serial1, SERIAL1_TEXT_LIMIT);
    entry.inputs.serial2 = carried(inputs.serial2, SERIAL2_TEXT_LIMIT);
    timeline_.push_back(std::move(entry));
    changed_ = true;
}

void run_recorder::step_done(const project_runner& runner) {
    runner_ = &runner;
    if (!in_run_ || runner.state() == run_state::waiting)
        return;
    last_end_ = ending_of(runner);
    in_run_ = false;
    if (last_end_->state == run_state::completed)
        ++completed_;
    save_at_run_end();
}

run_recorder::run_end run_recorder::ending_of(const project_runner& runner) const {
    run_end end;
    end.state = runner.state();
    end.by_user = runner.stopped_by_user();
    if (end.state != run_state::completed && runner.position())
        end.element = session_.at(*runner.position()).name;
    end.error = runner.error();
    end.restarts = runner.restarts() - restarts_before_;
    end.character_inputs = runner.character_inputs();
    return end;
}

bool run_recorder::same_project() const {
    return same_elements(session_.to_project().elements, elements_) &&
           same_controllers(session_.controllers(), controllers_);
}

void run_recorder::close(const std::string& why) {
    closed_because_ = why;
    changed_ = true;
    report_("recording " + file_ + " ends with run " + std::to_string(runs_) +
                "; later runs are not recorded: " + why,
            false);
}

void run_recorder::save_at_run_end() {
    try {
        save();
        report_("recording written to " + file_ + ": " + std::to_string(runs_) +
                    (runs_ == 1 ? " run, " : " runs, ") + std::to_string(timeline_.size()) +
                    " input records",
                false);
    } catch (const common::input_error& e) {
        report_(std::string("recording not written: ") + e.what(), true);
    }
}

scenario run_recorder::recorded() const {
    scenario s;
    s.controllers = controllers_;
    s.elements = elements_;
    s.runs = runs_;
    s.timeline = timeline_;
    if (runs_ == 0)
        return s;
    const run_end end = in_run_ && runner_ != nullptr ? ending_of(*runner_) : *last_end_;
    // The replay cannot stop a run as the user did: it ends waiting there.
    const bool waits = end.state == run_state::waiting || end.by_user;
    s.expect.outcome = waits ? "waiting" : outcome_name(end.state);
    s.expect.completed_runs = completed_;
    if (end.restarts > 0)
        s.expect.restarts = end.restarts;
    if (!end.element.empty())
        s.expect.element = end.element;
    for (int k = 0; k < CHARACTER_INPUTS; ++k)
        if (!end.character_inputs[k].empty())
            s.expect.character_inputs[k] = end.character_inputs[k];

    const std::string run = "Run " + std::to_string(runs_);
    const std::string at = " at " + quote_text(end.element) + " (the last input record at second " +
                           std::to_string(timeline_.empty() ? 0 : timeline_.back().at) + ")";
    std::string how;
    if (end.state == run_state::completed)
        how = run + " completed.";
    else if (end.by_user)
        how = run + " was stopped by the user" + at + "; the replay ends waiting there.";
    else if (end.state == run_state::waiting)
        how = run + " was still waiting" + at + ".";
    else if (end.state == run_state::stopped)
        how = run + " stopped marking" + at + ".";
    else
        how = run + " ended in an error" + at + ": " + end.error;
    s.description = "Recorded by reference_host " ZAVUD_VERSION "; run 1 started " +
                    local_time(first_start_) + ". " + how;
    for (const auto& jump : jumps_)
        s.description += " The clock jumped forward by " + std::to_string(jump.seconds) +
                         " s at second " + std::to_string(jump.at) +
                         "; the timeline leaves that out.";
    if (!closed_because_.empty())
        s.description += " Later runs are not recorded: " + closed_because_ + ".";
    return s;
}

bool run_recorder::save() {
    if (runs_ == 0)
        return false;
    common::replace_whole_file(file_, scenario_to_text(recorded()));
    changed_ = false;
    unsaved_because_.clear();
    return true;
}

void run_recorder::save_if_changed() {
    if (!changed_)
        return;
    try {
        save();
    } catch (const common::input_error& e) {
        // Tried again at the next interval; the same reason is said once.
        if (e.what() != unsaved_because_) {
            unsaved_because_ = e.what();
            report_(std::string("recording not written: ") + e.what(), true);
        }
    }
}

} // namespace reference_host
