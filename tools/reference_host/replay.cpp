#include "reference_host/replay.h"

#include <cstdio>

#include "host_kit/virtual_clock.h"
#include "reference_host/plugin_session.h"
#include "reference_host/project_runner.h"

namespace reference_host {

namespace {

std::string time_prefix(std::int64_t seconds) {
    char text[32];
    (void)std::snprintf(text, sizeof text, "  t=%-5s ", (std::to_string(seconds) + "s").c_str());
    return text;
}

// Restores the real clock however the replay ends.
struct clock_guard {
    clock_guard() { virtual_clock::set(REPLAY_EPOCH); }
    ~clock_guard() { virtual_clock::reset(); }
};

struct check {
    std::string what;
    bool met;
};

std::vector<check> compare(const expectation& expect, const std::string& outcome,
                           int completed_runs, const project_runner& runner,
                           const std::string& element) {
    std::vector<check> checks;
    checks.push_back(
        {"outcome " + expect.outcome + " (got " + outcome + ")", expect.outcome == outcome});
    if (expect.completed_runs)
        checks.push_back({"completed_runs " + std::to_string(*expect.completed_runs) + " (got " +
                              std::to_string(completed_runs) + ")",
                          *expect.completed_runs == completed_runs});
    if (expect.restarts)
        checks.push_back({"restarts " + std::to_string(*expect.restarts) + " (got " +
                              std::to_string(runner.restarts()) + ")",
                          *expect.restarts == runner.restarts()});
    if (expect.element)
        checks.push_back({"element " + quote_text(*expect.element) + " (got " +
                              (element.empty() ? "none" : quote_text(element)) + ")",
                          *expect.element == element});
    for (int k = 0; k < CHARACTER_INPUTS; ++k)
        if (const auto& text = expect.character_inputs[k]) {
            const std::string& got = runner.character_inputs()[k];
            checks.push_back({"IN" + std::to_string(k + 2) + " " + quote_text(*text) + " (got " +
                                  quote_text(got) + ")",
                              *text == got});
        }
    return checks;
}

} // namespace

bool replay(plugin_library& plugin, const scenario& s, const std::string& title,
            std::ostream& out) {
    clock_guard clock;
    std::int64_t now = 0;
    out << "replay " << title << ": " << s.elements.size() << " elements, " << s.runs
        << (s.runs == 1 ? " run, " : " runs, ") << s.timeline.size() << " input records\n";
    for (const std::string& warning : scenario_warnings(s))
        out << "warning: " << warning << "\n";

    plugin_session session(plugin, nullptr);
    session.describe_controllers(s.controllers);
    session.open(project{s.elements});
    project_runner runner(session, [&out, &now](const std::string& line) {
        out << time_prefix(now) << line << "\n";
    });

    std::size_t next = 0;
    int completed_runs = 0;
    for (int run = 1; run <= s.runs; ++run) {
        runner.start();
        while (runner.state() == run_state::waiting && next < s.timeline.size()) {
            const timeline_entry& entry = s.timeline[next++];
            now = entry.at;
            virtual_clock::set(REPLAY_EPOCH + now);
            runner.deliver(entry.inputs, entry.controller);
        }
        if (runner.state() != run_state::completed)
            break;
        ++completed_runs;
    }

    const std::string outcome = outcome_name(runner.state());
    std::string element;
    if (runner.state() != run_state::completed && runner.position())
        element = session.at(*runner.position()).name;

    out << "summary: " << outcome;
    if (!element.empty())
        out << " at " << quote_text(element);
    if (runner.state() == run_state::failed)
        out << " (" << runner.error() << ")";
    out << "; " << runner.runs_started() << " started, " << completed_runs << " completed, "
        << runner.restarts() << " restarts; " << runner.calls() << " plug-in calls in " << now
        << " s of virtual time";
    for (int k = 0; k < CHARACTER_INPUTS; ++k)
        if (!runner.character_inputs()[k].empty())
            out << "; IN" << k + 2 << " " << quote_text(runner.character_inputs()[k]);
    if (next < s.timeline.size())
        out << "; " << s.timeline.size() - next << " input records not delivered";
    out << "\n";

    bool met = true;
    std::string list;
    for (const auto& c : compare(s.expect, outcome, completed_runs, runner, element)) {
        met = met && c.met;
        list += (list.empty() ? "" : ", ") + c.what + (c.met ? "" : " NOT MET");
    }
    out << "expect: " << list << " -> " << (met ? "met" : "not met") << "\n";
    return met;
}

} // namespace reference_host
