// The validator's shared parts: the divergence report, the randomness, the
// host's records of its elements and windows, and the session that plays the
// host. Each group of the session's members lives in its own file:
//   reporting.cpp       divergence reports and expectations
//   generators.cpp      the host's helpers and random records
//   checks.cpp          what the plug-in shows, against the model
//   host_calls.cpp      the host's calls and the host's world
//   panel_edits.cpp     edits through the panel's controls
//   save_and_run.cpp    saving, loading and the run time
//   example_records.cpp stored records of every version, loaded and read back
#pragma once

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/panel.h>

#include "abi/run_records.h"
#include "abi/ui_parameters.h"
#include "found_controls.h"
#include "host_kit/host_records.h"
#include "host_kit/panel_input.h"
#include "host_kit/plugin_library.h"
#include "host_kit/virtual_clock.h"
#include "lumo.h"
#include "model.h"
#include "model/platform.h"

namespace validator {

constexpr std::size_t MOST_ELEMENTS = 6;
constexpr std::size_t MOST_WINDOWS = 3;
constexpr std::int64_t CLOCK_START = 1'700'000'000;

// ---------------------------------------------------------------- reporting

// zavud_validate's exit codes.
constexpr int EXIT_SAME = 0;       // the plug-in behaves like ours
constexpr int EXIT_DIVERGENCE = 1; // it does not: the first divergence is reported
constexpr int EXIT_UNUSABLE = 2;   // it cannot be checked here: arguments, loading, display

struct run_info {
    std::string plugin; // as given, for the line that replays a run
    std::uint64_t seed = 1;
    long steps = 20000;
    bool trace = false;
    long step = 0;
    bool in_records = false;        // after the steps, in check_example_records
    std::deque<std::string> recent; // the last calls, for the divergence report
    std::vector<std::string> toolkit_assertions;
};
extern run_info info;

// What a run exercised, printed at its end: a run that never reached a
// behaviour proves nothing about it.
struct coverage {
    long panels_built = 0, fills = 0, edits_applied = 0, edits_ignored = 0, stale_edits = 0;
    long loads = 0, old_version_loads = 0, short_loads = 0, saves = 0;
    long waits = 0, met = 0, ignored = 0, invalid = 0, custom = 0, follow_ups = 0;
    long result_blocks = 0, resets = 0;
    long bit_clicks[4] = {}; // applied, on "X", "0", "1" and any other label
};
extern coverage seen;

void report_context();
[[noreturn]] void fail(const std::string& what);
void note(const std::string& call);
void on_toolkit_assert(const wxString& file, int line, const wxString& func, const wxString& cond,
                       const wxString& msg);
std::string hex(std::uint32_t value);
void expect(bool condition, const std::string& what);
void expect_result(std::int32_t actual, std::int32_t expected, const std::string& call);
// A record the plug-in saved, `length` bytes at `data`, against `expected`
// byte by byte; a difference is reported with its field.
void expect_saved(const char* data, std::uint32_t length, const model::record_bytes& expected,
                  const std::string& whose);
// The save-record field that holds byte `offset`, for readable reports.
std::string field_at(std::size_t offset);

template <class T> void expect_equal(const T& actual, const T& expected, const std::string& what) {
    if (!(actual == expected))
        fail(what + ": got " + std::to_string(actual) + ", expected " + std::to_string(expected));
}

// ---------------------------------------------------------------- randomness

class random_source {
public:
    explicit random_source(std::uint64_t seed) : engine_(seed) {}
    int below(std::size_t n) {
        return std::uniform_int_distribution<int>(0, static_cast<int>(n) - 1)(engine_);
    }
    int between(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(engine_);
    }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(engine_) < p; }
    std::uint32_t bits() { return static_cast<std::uint32_t>(engine_()); }
    std::uint8_t byte() { return static_cast<std::uint8_t>(engine_()); }
    template <class T> const T& pick(const std::vector<T>& items) {
        return items[below(items.size())];
    }

private:
    std::mt19937_64 engine_;
};

// ---------------------------------------------------------------- the host's records

struct host_window {
    int id;
    wxFrame* frame;
    wxPanel* window; // the property window handed to elements
};

struct element {
    explicit element(int number, bool no_timeout)
        : id(number), no_timeout(no_timeout), creation(no_timeout) {}
    host_element handle;
    host_window* window = nullptr;
    void* block = nullptr;
    wxColour colour;
    std::vector<std::int32_t> element_ids;
    recording_sink sink;
    std::string origin; // what it was made for, when not a random call
    model::run_state run;
    int id;
    input_config config{};
    bool no_timeout;
    bool refresh_set = false;
    bool sink_set = false;
    bool block_held = false;
    bool coloured = false;
    creation_record creation; // the plug-in keeps a pointer to it
    std::string name() const { return "#" + std::to_string(id) + origin; }
};

struct built_panel {
    found_controls controls;
    model::panel_sections sections;
    host_window* window;
};

enum class handler_state { none, bare, built };

// ---------------------------------------------------------------- the session

class session {
public:
    // `library` is loaded, its clock attached.
    session(plugin_library& library, std::uint64_t seed) : library_(library), random_(seed) {}
    void start();
    void step();
    void finish();
    // Loads each stored record of example_records.cpp into a new element and
    // reads it back; returns how many records it checked.
    int check_example_records();

private:
    // The host's calls: a random one of each kind, and some on given elements.
    void create();
    element& add_element(host_window* window, bool no_timeout, bool creation, bool refresh,
                         bool sink);
    void remove();
    void remove_element(element& e);
    void describe();
    void describe_controller(const std::vector<std::uint8_t>& description);
    void select();
    void select_element(element* e, std::uint32_t flags, std::uint8_t show);
    void edit();
    void save();
    void load();
    void load_into(element& e, const std::uint8_t* data, std::uint32_t length);
    void arm();
    void arm_element(element& e);
    void evaluate();
    void advance_clock();
    void fetch_result_data();
    void fetch_result_data_of(element& e);
    void release_result_data();
    void fetch_follow_up();
    void reset_gui();
    void close_window();
    void change_project();
    void change_callbacks();
    void switch_locale();
    void read_element_kind();

    // Panel edits, on `p`, live or not.
    void edit_choice(built_panel& p, wxComboBox* choice);
    void edit_radio(built_panel& p, wxRadioButton* radio);
    void edit_check(built_panel& p, wxCheckBox* box);
    void edit_text(built_panel& p, wxTextCtrl* text);
    void edit_spin(built_panel& p, wxSpinCtrl* spin);
    void edit_bit(built_panel& p, wxButton* button);
    void send_text_event(built_panel& p, wxWindow* control);
    // After a control event: the edit's effect on the current element.
    void after_edit(built_panel& p, bool handled, bool message_edit);

    // Checks after every step.
    void check_elements();
    void check_display(const built_panel& p, const input_config& c);
    void check_fill(const built_panel& p, const element& e, std::uint32_t host_flags);
    void check_refresh_calls(const std::vector<refresh_call>& expected, const std::string& call);

    // Helpers.
    element* pick_element();
    host_window* new_window();
    host_window* pick_window();
    void destroy_window(host_window* window);
    built_panel* adopt_panel(element& e);
    void retire_live_panel();
    bool handled_edit(const built_panel& p) const;
    wxString random_compare_text();
    wxString random_message();
    std::vector<std::uint8_t> random_description();
    std::vector<std::uint8_t> random_save_record();
    std::vector<std::uint8_t> random_input_record(const element& e);

    plugin_library& library_;
    random_source random_;
    marking_translator translator_{true};
    project_context project_;
    std::vector<std::int32_t> project_ids_;
    std::vector<wxString> project_names_;
    bool project_lists_ = true;
    std::vector<std::unique_ptr<host_window>> windows_;
    std::vector<std::unique_ptr<element>> elements_;
    std::vector<std::unique_ptr<built_panel>> panels_;
    int next_element_ = 1;
    int next_window_ = 1;

    // The model of the plug-in's process-wide state.
    input_config template_ = model::factory_template();
    model::controller_table table_;
    model::record_bytes buffer_{};
    handler_state handler_ = handler_state::none;
    built_panel* live_ = nullptr;
    element* current_ = nullptr;
    bool ignoring_ = false;
    element* shown_ = nullptr; // element whose state the live panel's refresh shows
    std::int64_t now_ = CLOCK_START;
};

} // namespace validator
