// Plays a host that makes long random sequences of legal calls on several
// elements and checks, after every step, what the plug-in shows against the
// validator's own model (model.h). A failure names the seed and the step, so
//   validator --seed N --steps M
// replays it exactly.
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

#include "host_records.h"
#include "lumo.h"
#include "model.h"
#include "panel_controls.h"
#include "panel_host.h"
#include "platform.h"
#include "plugin_library.h"
#include "run_records.h"
#include "ui_parameters.h"
#include "virtual_clock.h"

extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

namespace {

constexpr std::size_t MOST_ELEMENTS = 6;
constexpr std::size_t MOST_WINDOWS = 3;
constexpr std::int64_t CLOCK_START = 1'700'000'000;

// ---------------------------------------------------------------- reporting

struct run_info {
    std::uint64_t seed = 1;
    long steps = 10000;
    bool trace = false;
    long step = 0;
    std::deque<std::string> recent; // the last calls, for the failure report
    std::vector<std::string> toolkit_assertions;
};
run_info info;

// What a run exercised, printed at its end: a run that never reached a
// behaviour proves nothing about it.
struct coverage {
    long panels_built = 0, fills = 0, edits_applied = 0, edits_ignored = 0, stale_edits = 0;
    long loads = 0, old_version_loads = 0, short_loads = 0, saves = 0;
    long waits = 0, met = 0, ignored = 0, invalid = 0, custom = 0, follow_ups = 0;
    long result_blocks = 0, resets = 0;
} seen;

void report_context() {
    std::fprintf(stderr, "validator: seed %llu, step %ld of %ld; the last calls were:\n",
                 static_cast<unsigned long long>(info.seed), info.step, info.steps);
    for (const std::string& line : info.recent)
        std::fprintf(stderr, "  %s\n", line.c_str());
    std::fprintf(stderr, "replay: validator --seed %llu --steps %ld\n",
                 static_cast<unsigned long long>(info.seed), info.step);
    std::fflush(stderr);
}

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "validator: FAILED: %s\n", what.c_str());
    report_context();
    std::_Exit(1);
}

void note(const std::string& call) {
    if (info.trace)
        std::fprintf(stderr, "%ld: %s\n", info.step, call.c_str());
    info.recent.push_back(std::to_string(info.step) + ": " + call);
    if (info.recent.size() > 40)
        info.recent.pop_front();
}

void on_toolkit_assert(const wxString& file, int line, const wxString& func, const wxString& cond,
                       const wxString& msg) {
    info.toolkit_assertions.push_back(
        (file + ":" + wxString::Format("%d", line) + " in " + func + ": " + cond + " " + msg)
            .ToStdString());
}

std::string hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

template <class T> void expect_equal(const T& actual, const T& expected, const std::string& what) {
    if (!(actual == expected))
        fail(what + ": got " + std::to_string(actual) + ", expected " + std::to_string(expected));
}

void expect(bool condition, const std::string& what) {
    if (!condition)
        fail(what);
}

bool is_result_code(std::int32_t code) {
    for (std::int32_t known : {RES_OK, RES_IGNORED, RES_INVALID, RES_NO_MEMORY, RES_WAIT,
                               RES_UNSUPPORTED, RES_CUSTOM_OPERATION})
        if (code == known)
            return true;
    return false;
}

void expect_result(std::int32_t actual, std::int32_t expected, const std::string& call) {
    expect(is_result_code(actual), call + " answered " + std::to_string(actual) +
                                       ", which is no result code of the boundary");
    expect_equal(actual, expected, call + " result");
}

// The save-record field that holds byte `offset`, for readable reports.
std::string field_at(std::size_t offset) {
    static const std::pair<std::size_t, const char*> fields[] = {
        {SAVE_VERSION, "version"},
        {SAVE_LENGTH, "length"},
        {SAVE_INPUT_MODE, "input_mode"},
        {8, "reserved"},
        {SAVE_SPARE_BYTES, "spare_bytes"},
        {SAVE_SPARE_WORDS, "spare_words"},
        {SAVE_DIGI8_VALUE, "digi8_value"},
        {SAVE_DIGI8_MASK, "digi8_mask"},
        {SAVE_DIGI16_VALUE, "digi16_value"},
        {SAVE_DIGI16_MASK, "digi16_mask"},
        {42, "reserved"},
        {SAVE_FLAGS, "flags"},
        {48, "reserved"},
        {SAVE_DIGI32_VALUE, "digi32_value"},
        {SAVE_DIGI32_MASK, "digi32_mask"},
        {SAVE_CONTROLLER, "controller"},
        {SAVE_COMPARE_TEXT1, "compare_text1"},
        {261, "reserved"},
        {SAVE_WAIT_MESSAGE, "wait_message"},
        {502, "reserved"},
        {SAVE_COMPARE_TEXT2, "compare_text2"},
        {942, "reserved"},
        {SAVE_TIMEOUT_SEC, "timeout_sec"},
        {SAVE_GOTO_ELEMENT, "goto_element"},
        {SAVE_TIMEOUT_ACTION, "timeout_action"},
        {SAVE_RESERVED3, "reserved3"},
        {SAVE_SUBSTR_FROM, "substr_from"},
        {SAVE_SUBSTR_TO, "substr_to"}};
    const char* name = "?";
    for (const auto& [start, field] : fields)
        if (offset >= start)
            name = field;
    return std::string(name) + " (byte " + std::to_string(offset) + ")";
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
        : id(number), creation(no_timeout), no_timeout(no_timeout) {}
    int id;
    host_element handle;
    creation_record creation; // the plug-in keeps a pointer to it
    bool no_timeout;
    host_window* window = nullptr;
    input_config config{};
    model::run_state run;
    std::vector<std::int32_t> element_ids;
    bool refresh_set = false;
    bool sink_set = false;
    recording_sink sink;
    bool block_held = false;
    void* block = nullptr;
    bool coloured = false;
    wxColour colour;
    std::string name() const { return "#" + std::to_string(id); }
};

struct built_panel {
    panel_controls controls;
    model::panel_sections sections;
    host_window* window;
};

enum class handler_state { none, bare, built };

// ---------------------------------------------------------------- the session

class session {
public:
    explicit session(std::uint64_t seed) : random_(seed) {}
    void start();
    void step();
    void finish();

private:
    // The host's calls.
    void create();
    void remove();
    void describe();
    void select();
    void edit();
    void save();
    void load();
    void arm();
    void evaluate();
    void advance_clock();
    void fetch_result_data();
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

    plugin_library library_{ZAVUD_PLUGIN_PATH};
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

// ---------------------------------------------------------------- helpers

element* session::pick_element() {
    return elements_.empty() ? nullptr : elements_[random_.below(elements_.size())].get();
}

host_window* session::new_window() {
    auto w = std::make_unique<host_window>();
    w->id = next_window_++;
    // Never shown: no focus or paint events reach the panel except the ones
    // the validator sends, so every run is the same.
    w->frame = new wxFrame(nullptr, wxID_ANY, "property window");
    w->window = new wxPanel(w->frame, wxID_ANY);
    windows_.push_back(std::move(w));
    return windows_.back().get();
}

host_window* session::pick_window() {
    if (windows_.size() < MOST_WINDOWS && (windows_.empty() || random_.chance(0.15)))
        return new_window();
    return windows_[random_.below(windows_.size())].get();
}

void session::destroy_window(host_window* window) {
    note("host closes window W" + std::to_string(window->id));
    // The panel object forgets the controls of a window that goes, and is
    // then as bare as one made without a window.
    if (live_ != nullptr && live_->window == window) {
        retire_live_panel();
        handler_ = handler_state::bare;
    }
    panels_.erase(std::remove_if(panels_.begin(), panels_.end(),
                                 [&](const auto& p) { return p->window == window; }),
                  panels_.end());
    wxFrame* frame = window->frame;
    windows_.erase(std::remove_if(windows_.begin(), windows_.end(),
                                  [&](const auto& w) { return w.get() == window; }),
                   windows_.end());
    // The host hands its elements another window, or none.
    for (auto& e : elements_) {
        if (e->window != window)
            continue;
        e->window = random_.chance(0.5) ? nullptr : pick_window();
        e->handle->parent_window = e->window ? e->window->window : nullptr;
    }
    frame->Destroy();
    wxTheApp->ProcessIdle(); // deletes the frame now, not at exit
}

void session::retire_live_panel() {
    live_ = nullptr;
    shown_ = nullptr;
}

// The panel the plug-in has just built into e's window becomes the live one.
built_panel* session::adopt_panel(element& e) {
    auto p = std::make_unique<built_panel>();
    p->window = e.window;
    std::string error;
    if (!find_panel(e.window->window, p->controls, error))
        fail("panel built for " + e.name() + " not found: " + error);
    p->sections = model::sections_for(table_.caps, e.no_timeout);
    if (!(p->controls.sections() == p->sections))
        fail("panel built for " + e.name() + " has other sections than the controllers offer");
    panels_.push_back(std::move(p));
    ++seen.panels_built;
    live_ = panels_.back().get();
    shown_ = nullptr;
    handler_ = handler_state::built;
    ignoring_ = false;
    current_ = &e;
    return live_;
}

bool session::handled_edit(const built_panel& p) const {
    return &p == live_ && !ignoring_ && current_ != nullptr;
}

wxString session::random_compare_text() {
    static const std::vector<wxString> pieces{"OK",
                                              "[CR]",
                                              "[LF]",
                                              "ab",
                                              "A",
                                              " ",
                                              "7",
                                              wxString::FromUTF8("\xC3\xA9"),
                                              wxString::FromUTF8("\xE2\x82\xAC"),
                                              "[cr]",
                                              "x"};
    wxString text;
    const int count = random_.chance(0.05) ? 120 : random_.between(0, 6);
    for (int i = 0; i < count; ++i)
        text += random_.pick(pieces);
    return text;
}

wxString session::random_message() {
    static const std::vector<wxString> pieces{"Wait",
                                              " ",
                                              "x",
                                              wxString::FromUTF8("\xC3\xA4"),
                                              wxString::FromUTF8("\xE2\x82\xAC"),
                                              wxString::FromUTF8("\xF0\x9D\x84\x9E"),
                                              "\n",
                                              "..."};
    wxString text;
    const int count = random_.chance(0.05) ? 80 : random_.between(0, 6);
    for (int i = 0; i < count; ++i)
        text += random_.pick(pieces);
    return text;
}

std::vector<std::uint8_t> session::random_description() {
    std::vector<std::uint8_t> d(CONTROLLER_CONFIG_SIZE, 0);
    for (int i = 0; i < 40; ++i) // other bytes the plug-in stores unread
        d[random_.below(d.size())] = random_.byte();
    d[CONFIG_STATUS_FLAGS] =
        random_.chance(0.92) ? (CONFIG_VALID | (random_.byte() & 0xFE)) : (random_.byte() & 0xFE);
    d[CONFIG_CONTROLLER_INDEX] = static_cast<std::uint8_t>(
        random_.chance(0.93) ? random_.below(CONTROLLER_COUNT) : random_.between(9, 255));
    d[CONFIG_FEATURE_FLAGS] = random_.chance(0.5) ? FEATURE_STREAM_WAIT : 0;
    std::uint32_t caps = 0;
    for (std::uint32_t bit : {INPUT_DIGI8_1, INPUT_DIGI8_2, INPUT_DIGI16_1, INPUT_DIGI16_2,
                              INPUT_DIGI32, INPUT_SERIAL_1, INPUT_SERIAL_2})
        if (random_.chance(0.6))
            caps |= bit;
    if (random_.chance(0.05))
        caps |= random_.bits();
    std::memcpy(&d[CONFIG_CAPABILITIES], &caps, 4);
    for (std::size_t i = 0; i < PORT_ENTRIES; ++i) {
        if (!random_.chance(0.3))
            continue;
        const std::uint32_t kind =
            random_.chance(0.9) ? model::port_modes[random_.below(model::PORTS)] : random_.bits();
        const std::uint32_t mask =
            random_.chance(0.15) ? 0xFFFFu : (random_.bits() & random_.bits());
        std::memcpy(&d[CONFIG_PORT_KIND + 4 * i], &kind, 4);
        std::memcpy(&d[CONFIG_PORT_MASK + 4 * i], &mask, 4);
    }
    return d;
}

std::vector<std::uint8_t> session::random_save_record() {
    static const std::vector<int> versions{1, 2, 3, 4, 5, 5, 5, 5, 5, 0, -1, 6, 32767, -32768};
    static const std::vector<std::uint32_t> modes{0,
                                                  INPUT_DIGI8_1,
                                                  INPUT_DIGI8_2,
                                                  INPUT_DIGI16_1,
                                                  INPUT_DIGI16_2,
                                                  INPUT_DIGI32,
                                                  INPUT_SERIAL_1,
                                                  INPUT_SERIAL_2,
                                                  INPUT_SERIAL_1,
                                                  INPUT_SERIAL_2,
                                                  INPUT_DIGI8_1 | INPUT_SERIAL_1};
    std::vector<std::uint8_t> r(SAVE_RECORD_SIZE);
    for (auto& b : r) // reserved bytes too: the loader must ignore them
        b = random_.byte();
    platform::write_be16(&r[SAVE_VERSION], static_cast<std::uint16_t>(random_.pick(versions)));
    platform::write_be32(&r[SAVE_INPUT_MODE], random_.pick(modes));
    std::uint32_t flags = random_.bits() & 0x3FF;
    if (random_.chance(0.05))
        flags |= random_.bits();
    platform::write_be32(&r[SAVE_FLAGS], flags);
    r[SAVE_CONTROLLER] = static_cast<std::uint8_t>(
        random_.chance(0.9) ? random_.below(CONTROLLER_COUNT) : random_.between(9, 255));
    auto text = [&](std::size_t at) {
        const wxString t = random_compare_text();
        lumo_unicode_stringToCharASCII(t, reinterpret_cast<char*>(&r[at]), SAVE_COMPARE_TEXT_SIZE);
        if (random_.chance(0.1)) // a text that fills its field: no zero byte
            for (std::size_t i = 0; i < SAVE_COMPARE_TEXT_SIZE; ++i)
                if (r[at + i] == 0)
                    r[at + i] = 'z';
    };
    text(SAVE_COMPARE_TEXT1);
    text(SAVE_COMPARE_TEXT2);
    if (random_.chance(0.8))
        lumo_unicode_stringToCharUTF16BE(random_message(),
                                         reinterpret_cast<char*>(&r[SAVE_WAIT_MESSAGE]),
                                         SAVE_WAIT_MESSAGE_SIZE);
    platform::write_be32(&r[SAVE_TIMEOUT_SEC],
                         random_.chance(0.9) ? random_.between(0, 20) : random_.bits());
    const std::int32_t goto_element = !project_ids_.empty() && random_.chance(0.7)
                                          ? random_.pick(project_ids_)
                                          : static_cast<std::int32_t>(random_.bits());
    platform::write_be32(&r[SAVE_GOTO_ELEMENT], static_cast<std::uint32_t>(goto_element));
    r[SAVE_TIMEOUT_ACTION] =
        static_cast<std::uint8_t>(random_.chance(0.9) ? random_.between(0, 3) : random_.byte());
    if (random_.chance(0.7)) {
        r[SAVE_SUBSTR_FROM] = static_cast<std::uint8_t>(random_.between(0, 20));
        r[SAVE_SUBSTR_TO] = static_cast<std::uint8_t>(random_.between(0, 40));
    }
    if (random_.chance(0.3)) // damage: a few bytes anywhere
        for (int flips = random_.between(1, 5); flips > 0; --flips)
            r[random_.below(r.size())] ^= static_cast<std::uint8_t>(1 << random_.below(8));
    return r;
}

std::vector<std::uint8_t> session::random_input_record(const element& e) {
    std::vector<std::uint8_t> r(INPUT_RECORD_SIZE, 0);
    for (auto& b : r)
        b = random_.chance(0.5) ? 0 : random_.byte();
    const input_config& c = e.config;
    // Levels that meet the condition half of the time.
    if (random_.chance(0.5)) {
        r[INPUT_DIGI8_1_LEVEL] =
            (c.digi8_value[0] & c.digi8_mask[0]) | (random_.byte() & ~c.digi8_mask[0]);
        r[INPUT_DIGI8_2_LEVEL] =
            (c.digi8_value[1] & c.digi8_mask[1]) | (random_.byte() & ~c.digi8_mask[1]);
        platform::write_be16(&r[INPUT_DIGI16_1_LEVEL], (c.digi16_value[0] & c.digi16_mask[0]) |
                                                           (random_.bits() & ~c.digi16_mask[0]));
        platform::write_be16(&r[INPUT_DIGI16_2_LEVEL], (c.digi16_value[1] & c.digi16_mask[1]) |
                                                           (random_.bits() & ~c.digi16_mask[1]));
        platform::write_be32(&r[INPUT_DIGI32_LEVEL],
                             (c.digi32_value & c.digi32_mask) | (random_.bits() & ~c.digi32_mask));
    }
    auto text = [&](std::size_t at, std::size_t room, const char* stored) {
        std::string t;
        const int kind = random_.below(4);
        if (kind < 2) { // the comparison text itself, perhaps inside other text
            t = model::comparison_text(stored).ToStdString(wxConvISO8859_1);
            if (kind == 1)
                t = "ab" + t + "z";
        } else if (kind == 2) {
            t = model::decode_text(stored, COMPARE_TEXT_CAPACITY + 1).ToStdString(wxConvISO8859_1);
        } else {
            for (int i = random_.between(0, 12); i > 0; --i)
                t += static_cast<char>(random_.chance(0.9) ? random_.between(32, 126)
                                                           : random_.byte());
        }
        std::memset(&r[at], 0, room);
        std::memcpy(&r[at], t.data(), std::min(t.size(), room));
        if (random_.chance(0.1)) // a text that runs to the end of its field
            for (std::size_t i = 0; i < room; ++i)
                if (r[at + i] == 0)
                    r[at + i] = 'q';
    };
    text(INPUT_SERIAL1_TEXT, INPUT_SERIAL1_TEXT_SIZE, c.compare_text1);
    text(INPUT_SERIAL2_TEXT, INPUT_SERIAL2_TEXT_SIZE, c.compare_text2);
    return r;
}

// ---------------------------------------------------------------- checks

void session::check_refresh_calls(const std::vector<refresh_call>& expected,
                                  const std::string& call) {
    const std::vector<refresh_call>& actual = refresh_log();
    expect(actual.size() == expected.size(),
           call + ": the host's refresh callback was called " + std::to_string(actual.size()) +
               " times, expected " + std::to_string(expected.size()));
    for (std::size_t i = 0; i < actual.size(); ++i)
        expect(actual[i].element == expected[i].element && actual[i].project == expected[i].project,
               call + ": refresh callback called with the wrong element or project");
    refresh_log().clear();
}

void session::check_elements() {
    for (auto& e : elements_) {
        std::uint32_t length = 12345;
        const char* data = library_.vexa_get_save_data(e->handle.handle(), &length);
        model::save(e->config, buffer_);
        expect(data != nullptr && length == SAVE_RECORD_SIZE,
               "save of " + e->name() + " returned no record or a wrong length");
        for (std::size_t i = 0; i < SAVE_RECORD_SIZE; ++i)
            if (static_cast<std::uint8_t>(data[i]) != buffer_[i])
                fail("save of " + e->name() + " differs from the model in " + field_at(i) +
                     ": got " + hex(static_cast<std::uint8_t>(data[i])) + ", expected " +
                     hex(buffer_[i]));
        const wxColour& colour = e->handle->colour;
        if (e->coloured)
            expect(colour.IsOk() && colour.GetRGBA() == e->colour.GetRGBA(),
                   "colour of " + e->name() + " does not match its timeout settings");
        else
            expect(!colour.IsOk(), e->name() + " was coloured though nothing should colour it");
    }
    if (live_ != nullptr && shown_ != nullptr)
        check_display(*live_, shown_->config);
}

void session::check_display(const built_panel& p, const input_config& c) {
    const panel_controls& k = p.controls;
    for (int port = 0; port < model::PORTS; ++port) {
        wxRadioButton* radio = k.port_radio[port];
        if (radio == nullptr)
            continue;
        const std::string name = "port " + std::to_string(port);
        expect(radio->GetValue() == (c.input_mode == model::port_modes[port]),
               name + " radio selection does not follow input_mode");
        expect(radio->IsThisEnabled() == model::port_radio_enabled(table_, c, port),
               name + " radio enable state does not follow the controller");
        const bool active = model::port_active(table_, c, port);
        const std::uint32_t value = model::port_value(c, port), mask = model::port_mask(c, port);
        for (int i = 0; i < model::port_widths[port]; ++i) {
            wxButton* button = k.bit_buttons[port][i];
            const std::uint32_t bit = model::button_bit(port, i);
            const bool usable =
                active && table_.bit_offered(c.controller, model::port_modes[port], bit);
            expect(button->IsThisEnabled() == usable,
                   name + " bit button " + std::to_string(i) + " enable state wrong");
            const char* label = (mask & bit) == 0 ? "X" : (value & bit) ? "1" : "0";
            expect(button->GetLabel() == label, name + " bit button " + std::to_string(i) +
                                                    " shows " + button->GetLabel().ToStdString() +
                                                    " but the masks say " + label);
        }
    }
    for (int s = 0; s < 2; ++s) {
        if (k.serial_radio[s] == nullptr)
            continue;
        const std::uint32_t mode = s == 0 ? INPUT_SERIAL_1 : INPUT_SERIAL_2;
        const std::uint32_t substring = s == 0 ? FLAG_SERIAL1_SUBSTRING : FLAG_SERIAL2_SUBSTRING;
        const bool chosen = c.input_mode == mode;
        const std::string name = "serial " + std::to_string(s + 1);
        expect(k.serial_radio[s]->GetValue() == chosen, name + " radio selection wrong");
        if (chosen) {
            expect(k.sub_radio[s]->GetValue() == ((c.flags & substring) != 0) &&
                       k.full_radio[s]->GetValue() == ((c.flags & substring) == 0),
                   name + " compare radios do not follow the flags");
        }
        for (wxWindow* control :
             {static_cast<wxWindow*>(k.compare_text[s]), static_cast<wxWindow*>(k.full_radio[s]),
              static_cast<wxWindow*>(k.sub_radio[s])})
            expect(control->IsThisEnabled() == chosen, name + " controls enable state wrong");
    }
    if (p.sections.forwarding) {
        const bool serial = c.input_mode == INPUT_SERIAL_1 || c.input_mode == INPUT_SERIAL_2;
        for (wxWindow* control :
             {static_cast<wxWindow*>(k.forward_label), static_cast<wxWindow*>(k.forward_from),
              static_cast<wxWindow*>(k.forward_to), static_cast<wxWindow*>(k.forward_from_label),
              static_cast<wxWindow*>(k.forward_to_label),
              static_cast<wxWindow*>(k.forward_checks[0]),
              static_cast<wxWindow*>(k.forward_checks[1]),
              static_cast<wxWindow*>(k.forward_checks[2]),
              static_cast<wxWindow*>(k.forward_checks[3])})
            expect(control->IsThisEnabled() == serial, "forwarding controls enable state wrong");
    }
    if (p.sections.timeout) {
        const bool timeout = (c.flags & FLAG_TIMEOUT) != 0;
        expect(k.timeout_spin->IsThisEnabled() == timeout &&
                   k.timeout_unit->IsThisEnabled() == timeout &&
                   k.timeout_action->IsThisEnabled() == timeout,
               "timeout controls enable state does not follow FLAG_TIMEOUT");
        expect(k.goto_choice->IsThisEnabled() == (k.timeout_action->GetSelection() == ACTION_GOTO),
               "goto list enable state does not follow the shown timeout action");
        expect(k.timeout_check->IsThisEnabled(), "the timeout check box was disabled");
    }
    expect(k.message_text->IsThisEnabled() == ((c.flags & FLAG_SHOW_MESSAGE) != 0),
           "message text enable state does not follow FLAG_SHOW_MESSAGE");
    expect(k.message_check->IsThisEnabled(), "the message check box was disabled");
}

// Texts a GTK control holds as given (no control characters).
bool plain(const wxString& text, bool newlines) {
    for (wxUniChar ch : text) {
        const wxUint32 v = ch.GetValue();
        if ((v < 0x20 && !(newlines && v == '\n')) || (v >= 0x7F && v < 0xA0) ||
            (v >= 0xD800 && v < 0xE000) || v >= 0xFFFE)
            return false;
    }
    return true;
}

void session::check_fill(const built_panel& p, const element& e, std::uint32_t host_flags) {
    const panel_controls& k = p.controls;
    const input_config& c = e.config;
    expect(k.controller_choice->IsThisEnabled() == ((host_flags & 0x4) == 0),
           "controller choice enable state does not follow host flag 0x4");
    if (c.controller < CONTROLLER_COUNT)
        expect_equal(k.controller_choice->GetSelection(), static_cast<int>(c.controller),
                     "controller choice after the fill");
    const wxString message = model::wait_message(c);
    if (plain(message, true))
        expect(k.message_text->GetValue() == message, "message text after the fill");
    for (int s = 0; s < 2; ++s) {
        if (k.compare_text[s] == nullptr)
            continue;
        wxString stored;
        lumo_unicode_charToStringASCII(s == 0 ? c.compare_text1 : c.compare_text2,
                                       COMPARE_TEXT_CAPACITY, stored);
        if (plain(stored, false))
            expect(k.compare_text[s]->GetValue() == stored,
                   "comparison text " + std::to_string(s + 1) + " after the fill");
    }
    if (k.forward_from != nullptr) {
        expect_equal(k.forward_from->GetValue(), std::min<int>(c.substr_from, 198), "From spin");
        expect_equal(k.forward_to->GetValue(), std::clamp<int>(c.substr_to, 1, 199), "to spin");
        for (int i = 0; i < 4; ++i)
            expect(k.forward_checks[i]->GetValue() == ((c.flags & (FLAG_FORWARD_IN2 << i)) != 0),
                   "forwarding check box after the fill");
    }
    expect(k.message_check->GetValue() == ((c.flags & FLAG_SHOW_MESSAGE) != 0),
           "message check box after the fill");
    if (k.timeout_check != nullptr) {
        expect(k.timeout_check->GetValue() == ((c.flags & FLAG_TIMEOUT) != 0),
               "timeout check box after the fill");
        const int seconds = static_cast<int>(std::clamp<std::uint32_t>(c.timeout_sec, 3, 3600));
        expect_equal(k.timeout_spin->GetValue(), seconds, "timeout spin after the fill");
        if (c.timeout_action <= ACTION_GOTO)
            expect_equal(k.timeout_action->GetSelection(), static_cast<int>(c.timeout_action),
                         "timeout action after the fill");
        const std::size_t listed =
            project_lists_ ? std::min(project_names_.size(), project_ids_.size()) : 0;
        expect_equal(static_cast<std::size_t>(k.goto_choice->GetCount()), listed,
                     "entries of the goto list");
        int selection = wxNOT_FOUND;
        for (std::size_t i = 0; i < listed; ++i) {
            expect(k.goto_choice->GetString(i) == project_names_[i], "goto list entry name");
            if (project_ids_[i] == c.goto_element)
                selection = static_cast<int>(i);
        }
        expect_equal(k.goto_choice->GetSelection(), selection, "goto list selection");
    }
}

// ---------------------------------------------------------------- the host's calls

void session::start() {
    expect(library_.ok(), "cannot load the plug-in: " + library_.error());
    virtual_clock::set(now_);
    std::setlocale(LC_ALL, "C");
    change_project();
    for (int i = random_.between(1, 4); i > 0; --i)
        describe();
    // The host describes controller 0 fully in most runs, so every section shows.
    std::vector<std::uint8_t> all = random_description();
    all[CONFIG_STATUS_FLAGS] = CONFIG_VALID;
    all[CONFIG_CONTROLLER_INDEX] = 0;
    const std::uint32_t caps = 0x0441E000;
    std::memcpy(&all[CONFIG_CAPABILITIES], &caps, 4);
    table_.describe(all.data());
    library_.vexa_set_config_info(all.data());
}

void session::step() {
    struct weighted {
        int weight;
        void (session::*call)();
    };
    static const weighted calls[] = {
        {10, &session::create},
        {4, &session::remove},
        {2, &session::describe},
        {10, &session::select},
        {34, &session::edit},
        {6, &session::save},
        {8, &session::load},
        {6, &session::arm},
        {15, &session::evaluate},
        {5, &session::advance_clock},
        {4, &session::fetch_result_data},
        {3, &session::release_result_data},
        {5, &session::fetch_follow_up},
        {1, &session::reset_gui},
        {1, &session::close_window},
        {2, &session::change_project},
        {1, &session::change_callbacks},
        {1, &session::switch_locale},
        {1, &session::read_element_kind},
    };
    int total = 0;
    for (const weighted& c : calls)
        total += c.weight;
    int roll = random_.below(total);
    for (const weighted& c : calls) {
        if (roll < c.weight) {
            refresh_log().clear();
            (this->*c.call)();
            break;
        }
        roll -= c.weight;
    }
    if (!info.toolkit_assertions.empty())
        fail("toolkit assertion: " + info.toolkit_assertions.front());
    check_refresh_calls({}, "(unexpected) ");
    check_elements();
}

void session::finish() {
    for (auto& e : elements_) {
        if (e->block_held)
            library_.vexa_release_bin_data(e->handle.handle());
        library_.vexa_delete_instance(e->handle.handle());
    }
    elements_.clear();
    library_.vexa_reset_gui();
    panels_.clear();
    for (auto& w : windows_)
        w->frame->Destroy();
    windows_.clear();
    virtual_clock::reset();
}

void session::create() {
    if (elements_.size() >= MOST_ELEMENTS)
        return remove();
    auto owned = std::make_unique<element>(next_element_++, random_.chance(0.25));
    element& e = *owned;
    e.window = random_.chance(0.3) ? nullptr : pick_window();
    e.handle->parent_window = e.window ? e.window->window : nullptr;
    e.handle->translator = &translator_;
    e.handle->project = project_.record();
    const bool empty_window = e.window && e.window->window->GetChildren().empty();
    // A creation record whose option is clear may as well be absent.
    const void* creation = e.no_timeout || random_.chance(0.7) ? e.creation.bytes : nullptr;
    note("vexa_create_instance " + e.name() +
         (e.window ? " in W" + std::to_string(e.window->id) : "") +
         (e.no_timeout ? " no_timeout_section" : ""));
    expect_result(library_.vexa_create_instance(e.handle.handle(), creation), RES_OK,
                  "vexa_create_instance");
    expect(e.handle->instance_data != nullptr, "creation left the instance slot empty");
    e.config = template_;
    elements_.push_back(std::move(owned));
    if (handler_ == handler_state::none) {
        handler_ = handler_state::bare;
        ignoring_ = false;
    }
    current_ = &e;
    if (empty_window) {
        retire_live_panel();
        adopt_panel(e);
    }
    if (random_.chance(0.85)) {
        library_.vexa_set_refresh_callback(e.handle.handle(), recording_refresh);
        e.refresh_set = true;
    }
    if (random_.chance(0.8)) {
        e.handle->sink = &e.sink;
        e.sink_set = true;
    }
}

void session::remove() {
    element* e = pick_element();
    if (e == nullptr)
        return create();
    if (e->block_held) {
        library_.vexa_release_bin_data(e->handle.handle());
        e->block_held = false;
    }
    note("vexa_delete_instance " + e->name());
    expect_result(library_.vexa_delete_instance(e->handle.handle()), RES_OK,
                  "vexa_delete_instance");
    if (current_ == e) {
        current_ = nullptr;
        ignoring_ = true;
    }
    if (shown_ == e)
        shown_ = nullptr;
    elements_.erase(std::find_if(elements_.begin(), elements_.end(),
                                 [&](const auto& owned) { return owned.get() == e; }));
}

void session::describe() {
    const std::vector<std::uint8_t> d = random_description();
    note("vexa_set_config_info index " + std::to_string(d[CONFIG_CONTROLLER_INDEX]) +
         ((d[CONFIG_STATUS_FLAGS] & CONFIG_VALID) ? "" : " (not valid)"));
    table_.describe(d.data());
    library_.vexa_set_config_info(d.data());
    shown_ = nullptr; // enable states follow at the next refresh
}

void session::select() {
    element* e = random_.chance(0.1) ? nullptr : pick_element();
    // Only bit 0x4 of the host's flags means something; the rest is noise.
    std::uint32_t flags = random_.chance(0.2) ? 0x4 : 0;
    if (random_.chance(0.1))
        flags |= random_.bits() & ~0x4u;
    const std::uint8_t show = random_.chance(0.85) ? 1 : random_.chance(0.5) ? 0 : 2;
    if (e == nullptr) {
        note("vexa_select null");
        library_.vexa_select(nullptr, flags, show);
        if (handler_ != handler_state::none) {
            current_ = nullptr;
            ignoring_ = true;
        }
        return;
    }
    const bool shows = e->window != nullptr && show == 1;
    const bool empty_window = e->window && e->window->window->GetChildren().empty();
    bool build = false;
    bool fill = shows;
    if (handler_ == handler_state::none) {
        build = shows;
    } else if (handler_ == handler_state::bare) {
        build = shows && empty_window;
        fill = build;
    }
    note("vexa_select " + e->name() + " flags " + hex(flags) + " show " + std::to_string(show));
    library_.vexa_select(e->handle.handle(), flags, show);
    if (handler_ == handler_state::none && !build)
        return check_refresh_calls({}, "vexa_select");
    if (build) {
        retire_live_panel();
        adopt_panel(*e);
    }
    current_ = e;
    std::vector<refresh_call> expected;
    if (fill && live_ != nullptr) {
        if (live_->sections.timeout)
            e->element_ids = project_lists_ ? project_ids_ : std::vector<std::int32_t>{};
        if (e->refresh_set)
            expected.push_back({e->handle->project, e->handle.handle()});
        e->coloured = true;
        e->colour = model::colour_of(e->config);
        model::drop_unoffered_bits(table_, live_->sections, e->config);
        ignoring_ = false;
        shown_ = e;
        ++seen.fills;
        check_fill(*live_, *e, flags);
    }
    check_refresh_calls(expected, "vexa_select");
}

// ---------------------------------------------------------------- panel edits

void session::edit() {
    built_panel* p = live_;
    if (p == nullptr || (random_.chance(0.1) && !panels_.empty()))
        p = panels_.empty() ? nullptr : panels_[random_.below(panels_.size())].get();
    if (p == nullptr)
        return select();
    std::vector<wxWindow*> usable;
    for (wxWindow* control : p->controls.operable())
        if (control->IsThisEnabled())
            usable.push_back(control);
    if (usable.empty())
        return select();
    wxWindow* control = random_.pick(usable);
    if (auto* choice = dynamic_cast<wxComboBox*>(control))
        edit_choice(*p, choice);
    else if (auto* radio = dynamic_cast<wxRadioButton*>(control))
        edit_radio(*p, radio);
    else if (auto* box = dynamic_cast<wxCheckBox*>(control))
        edit_check(*p, box);
    else if (auto* spin = dynamic_cast<wxSpinCtrl*>(control))
        edit_spin(*p, spin);
    else if (auto* text = dynamic_cast<wxTextCtrl*>(control))
        edit_text(*p, text);
    else if (auto* button = dynamic_cast<wxButton*>(control))
        edit_bit(*p, button);
}

std::string panel_name(const built_panel& p, const built_panel* live) {
    return &p == live ? "panel" : "old panel in W" + std::to_string(p.window->id);
}

void session::after_edit(built_panel& p, bool handled, bool message_edit) {
    std::vector<refresh_call> expected;
    ++(handled ? seen.edits_applied : &p == live_ ? seen.edits_ignored : seen.stale_edits);
    if (handled) {
        element& e = *current_;
        template_ = e.config; // taken before the refresh drops bits
        if (!message_edit) {
            if (e.refresh_set)
                expected.push_back({e.handle->project, e.handle.handle()});
            e.coloured = true;
            e.colour = model::colour_of(e.config);
            model::drop_unoffered_bits(table_, live_->sections, e.config);
            shown_ = &e;
        }
    } else if (&p == live_) {
        shown_ = nullptr; // the control changed without a refresh
    }
    check_refresh_calls(expected, "panel edit");
}

void session::edit_choice(built_panel& p, wxComboBox* choice) {
    const panel_controls& k = p.controls;
    const bool handled = handled_edit(p);
    const int count = static_cast<int>(choice->GetCount());
    if (count == 0)
        return;
    const int entry = random_.below(count);
    note(panel_name(p, live_) + ": pick entry " + std::to_string(entry) +
         (choice == k.controller_choice ? " of the controller choice"
          : choice == k.timeout_action  ? " of the timeout action"
                                        : " of the goto list"));
    pick(choice, entry);
    if (handled) {
        input_config& c = current_->config;
        if (choice == k.controller_choice)
            c.controller = static_cast<std::uint8_t>(entry);
        else if (choice == k.timeout_action)
            c.timeout_action = static_cast<std::uint8_t>(entry);
        else if (static_cast<std::size_t>(entry) < current_->element_ids.size())
            c.goto_element = current_->element_ids[entry];
    }
    after_edit(p, handled, false);
}

void session::edit_radio(built_panel& p, wxRadioButton* radio) {
    const panel_controls& k = p.controls;
    const bool handled = handled_edit(p);
    note(panel_name(p, live_) + ": choose " + radio->GetLabel().ToStdString());
    choose(radio);
    if (handled) {
        input_config& c = current_->config;
        for (int port = 0; port < model::PORTS; ++port)
            if (radio == k.port_radio[port])
                c.input_mode = model::port_modes[port];
        const std::uint32_t full[] = {FLAG_SERIAL1_FULL, FLAG_SERIAL2_FULL};
        const std::uint32_t sub[] = {FLAG_SERIAL1_SUBSTRING, FLAG_SERIAL2_SUBSTRING};
        for (int s = 0; s < 2; ++s) {
            if (radio == k.serial_radio[s])
                c.input_mode = s == 0 ? INPUT_SERIAL_1 : INPUT_SERIAL_2;
            if (radio == k.full_radio[s])
                c.flags = (c.flags | full[s]) & ~sub[s];
            if (radio == k.sub_radio[s])
                c.flags = (c.flags | sub[s]) & ~full[s];
        }
    }
    after_edit(p, handled, false);
}

void session::edit_check(built_panel& p, wxCheckBox* box) {
    const panel_controls& k = p.controls;
    const bool handled = handled_edit(p);
    const bool ticked = random_.chance(0.5);
    note(panel_name(p, live_) + ": " + (ticked ? "tick " : "untick ") +
         box->GetLabel().ToStdString());
    tick(box, ticked);
    if (handled) {
        std::uint32_t flag = 0;
        if (box == k.message_check)
            flag = FLAG_SHOW_MESSAGE;
        else if (box == k.timeout_check)
            flag = FLAG_TIMEOUT;
        for (int i = 0; i < 4; ++i)
            if (box == k.forward_checks[i])
                flag = FLAG_FORWARD_IN2 << i;
        input_config& c = current_->config;
        c.flags = box->GetValue() ? (c.flags | flag) : (c.flags & ~flag);
    }
    after_edit(p, handled, false);
}

// The toolkit's ways of ending a text or spin edit: Enter, or the focus leaving.
void session::send_text_event(built_panel& p, wxWindow* control) {
    if (random_.chance(0.5)) {
        press_enter(control);
        return;
    }
    const bool skipped = lose_focus(control);
    if (&p == live_)
        expect(skipped == !ignoring_,
               "a focus loss must go on to the toolkit exactly when events are not ignored");
}

void session::edit_text(built_panel& p, wxTextCtrl* text) {
    const panel_controls& k = p.controls;
    const bool handled = handled_edit(p);
    const bool message = text == k.message_text;
    const wxString value = message ? random_message() : random_compare_text();
    note(panel_name(p, live_) + ": type " + (message ? "message" : "comparison text") + " \"" +
         value.ToStdString(wxConvUTF8) + "\"");
    text->ChangeValue(value);
    send_text_event(p, text);
    if (handled) {
        input_config& c = current_->config;
        const wxString shown = text->GetValue();
        if (message)
            lumo_unicode_stringToCharUTF16BE(shown, reinterpret_cast<char*>(c.wait_message),
                                             WAIT_MESSAGE_CAPACITY);
        else
            lumo_unicode_stringToCharASCII(
                shown, text == k.compare_text[0] ? c.compare_text1 : c.compare_text2,
                COMPARE_TEXT_CAPACITY);
    }
    after_edit(p, handled, message);
}

void session::edit_spin(built_panel& p, wxSpinCtrl* spin) {
    const panel_controls& k = p.controls;
    const bool handled = handled_edit(p);
    const int value = random_.between(spin->GetMin(), spin->GetMax());
    const char* name = spin == k.timeout_spin ? "timeout" : spin == k.forward_from ? "From" : "to";
    note(panel_name(p, live_) + ": set " + name + " spin to " + std::to_string(value));
    const int way = random_.below(3);
    if (way == 0) {
        spin_to(spin, value);
    } else {
        spin->SetValue(value);
        send_text_event(p, spin);
    }
    if (handled) {
        input_config& c = current_->config;
        if (spin == k.timeout_spin) {
            c.timeout_sec = static_cast<std::uint32_t>(value);
        } else if (spin == k.forward_from) {
            c.substr_from = static_cast<std::uint8_t>(value);
            if (c.substr_from >= c.substr_to)
                c.substr_from = static_cast<std::uint8_t>(c.substr_to - 1);
            // Loaded bounds may lie beyond what the spin can show.
            expect_equal(spin->GetValue(), std::clamp<int>(c.substr_from, 0, 198),
                         "From spin after the edit");
        } else {
            c.substr_to = static_cast<std::uint8_t>(value);
            if (c.substr_from >= c.substr_to) {
                // A loaded From of 255 leaves no room above it: it moves down.
                if (c.substr_from == 255)
                    c.substr_from = 254;
                c.substr_to = static_cast<std::uint8_t>(c.substr_from + 1);
            }
            expect_equal(spin->GetValue(), std::clamp<int>(c.substr_to, 1, 199),
                         "to spin after the edit");
        }
        if (spin != k.timeout_spin) // loaded bounds may be out of order until edited
            expect(c.substr_from < c.substr_to, "substr_from < substr_to after a bound's edit");
    }
    after_edit(p, handled, false);
}

void session::edit_bit(built_panel& p, wxButton* button) {
    const panel_controls& k = p.controls;
    const bool handled = handled_edit(p);
    const wxString label = button->GetLabel();
    int port = -1, index = -1;
    for (int q = 0; q < model::PORTS && port < 0; ++q)
        for (std::size_t i = 0; i < k.bit_buttons[q].size(); ++i)
            if (k.bit_buttons[q][i] == button) {
                port = q;
                index = static_cast<int>(i);
            }
    note(panel_name(p, live_) + ": click bit button " + std::to_string(index) + " of port " +
         std::to_string(port) + " showing " + label.ToStdString());
    click(button);
    if (handled) {
        input_config& c = current_->config;
        const std::uint32_t bit = model::button_bit(port, index);
        std::uint32_t value = model::port_value(c, port), mask = model::port_mask(c, port);
        if (label == "X") {
            value &= ~bit;
            mask |= bit;
        } else if (label == "0") {
            value |= bit;
        } else if (label == "1") {
            mask &= ~bit;
        }
        model::set_port(c, port, value, mask);
    }
    after_edit(p, handled, false);
}

// ---------------------------------------------------------------- saving and loading

void session::save() {
    element* e = pick_element();
    if (e == nullptr)
        return create();
    note("vexa_get_save_data " + e->name());
    std::uint32_t length = 0;
    const char* data = library_.vexa_get_save_data(e->handle.handle(), &length);
    model::save(e->config, buffer_);
    expect(data != nullptr && length == SAVE_RECORD_SIZE &&
               std::memcmp(data, buffer_.data(), SAVE_RECORD_SIZE) == 0,
           "save of " + e->name() + " differs from the model");
    const std::vector<std::uint8_t> copy(data, data + length);
    ++seen.saves;
    // The host restores what it stored, into the same element or a copy of it.
    element* into = random_.chance(0.7) ? e : pick_element();
    note("vexa_set_loaded_data " + into->name() + " with that record");
    expect_result(library_.vexa_set_loaded_data(into->handle.handle(), length,
                                                reinterpret_cast<const char*>(copy.data())),
                  RES_OK, "vexa_set_loaded_data");
    into->config = model::load(copy.data(), length, buffer_);
    into->coloured = true;
    into->colour = model::colour_of(into->config);
    if (shown_ == into)
        shown_ = nullptr;
    // Every saved field comes back.
    model::record_bytes again = buffer_;
    model::save(into->config, again);
    model::record_bytes first{};
    std::memcpy(first.data(), copy.data(), SAVE_RECORD_SIZE);
    expect(again == first, "a save then a load does not reproduce the saved fields");
}

void session::load() {
    element* e = pick_element();
    if (e == nullptr)
        return create();
    std::vector<std::uint8_t> record = random_save_record();
    std::uint32_t length = SAVE_RECORD_SIZE;
    const std::uint8_t* data = record.data();
    const int shape = random_.below(20);
    if (shape < 2) { // short
        length = static_cast<std::uint32_t>(random_.below(SAVE_RECORD_SIZE));
        record.resize(length);
        data = record.data();
    } else if (shape < 4) { // long
        for (int i = random_.between(1, 300); i > 0; --i)
            record.push_back(random_.byte());
        length = static_cast<std::uint32_t>(record.size());
        data = record.data();
    } else if (shape == 4) { // no data but a length
        data = nullptr;
        length = random_.bits() % 2000;
    }
    const int version =
        record.size() >= 2 ? static_cast<std::int16_t>(platform::read_be16(record.data())) : 0;
    note("vexa_set_loaded_data " + e->name() + " version " + std::to_string(version) + ", " +
         std::to_string(length) + " bytes" + (data ? "" : " from a null pointer"));
    // An exact-size copy, so reading past `length` is caught.
    const std::vector<std::uint8_t> exact(data, data ? data + length : data);
    const auto* stored = data ? exact.data() : nullptr;
    expect_result(library_.vexa_set_loaded_data(e->handle.handle(), length,
                                                reinterpret_cast<const char*>(stored)),
                  RES_OK, "vexa_set_loaded_data");
    e->config = model::load(stored, length, buffer_);
    ++seen.loads;
    seen.old_version_loads += e->config.version < 5;
    seen.short_loads += length < SAVE_RECORD_SIZE;
    e->coloured = true;
    e->colour = model::colour_of(e->config);
    if (shown_ == e)
        shown_ = nullptr;
}

// ---------------------------------------------------------------- run time

void session::arm() {
    element* e = pick_element();
    if (e == nullptr)
        return create();
    std::int32_t controller = -99, second = -99;
    const bool outs = random_.chance(0.95);
    note("vexa_continuous_stream " + e->name());
    const bool answer = library_.vexa_continuous_stream(
        e->handle.handle(), outs ? &controller : nullptr, outs ? &second : nullptr);
    e->run.start_timer = true;
    expect(answer == model::stream_answer(table_, e->config), "vexa_continuous_stream answer");
    if (outs) {
        expect_equal(controller, static_cast<std::int32_t>(e->config.controller), "controller_out");
        expect_equal(second, RESULT_SECOND_VALUE, "second_out");
    }
}

void session::evaluate() {
    element* e = pick_element();
    if (e == nullptr)
        return create();
    const std::vector<std::uint8_t> record = random_input_record(*e);
    const std::int32_t controller =
        random_.chance(0.85) ? e->config.controller
                             : (random_.chance(0.5) ? random_.between(-3, 12)
                                                    : static_cast<std::int32_t>(random_.bits()));
    note("vexa_check_input_value " + e->name() + " controller " + std::to_string(controller) +
         " at " + std::to_string(now_ - CLOCK_START));
    e->sink.events.clear();
    const std::int32_t result =
        library_.vexa_check_input_value(e->handle.handle(), record.data(), controller);
    const std::int32_t expected =
        model::evaluate(e->config, e->run, record.data(), controller, now_);
    expect_result(result, expected, "vexa_check_input_value");
    ++(result == RES_WAIT      ? seen.waits
       : result == RES_OK      ? seen.met
       : result == RES_IGNORED ? seen.ignored
       : result == RES_INVALID ? seen.invalid
                               : seen.custom);
    if (!e->sink_set)
        return;
    const bool messages = (e->config.flags & FLAG_SHOW_MESSAGE) != 0;
    const auto& events = e->sink.events;
    if (messages && result == RES_WAIT) {
        expect(events.size() == 1 && events[0].id == EVENT_SHOW_MESSAGE && events[0].has_message,
               "a wait with the message option sends one event 11018 with a message");
        expect(events[0].message == model::wait_message(e->config), "the message of event 11018");
    } else if (messages && result == RES_OK) {
        expect(events.size() == 1 && events[0].id == EVENT_REMOVE_MESSAGE && !events[0].has_message,
               "a met condition with the message option sends one event 11019");
    } else {
        expect(events.empty(), "no message event expected");
    }
}

void session::advance_clock() {
    const int seconds = random_.between(0, 12);
    note("clock + " + std::to_string(seconds) + " s");
    now_ += seconds;
    virtual_clock::advance(seconds);
}

void session::fetch_result_data() {
    element* e = pick_element();
    if (e == nullptr)
        return create();
    std::uint32_t io = 0;
    void* block = nullptr;
    std::int32_t controller = -99, second = -99;
    note("vexa_get_bin_value " + e->name());
    const std::int32_t result =
        library_.vexa_get_bin_value(e->handle.handle(), &io, &block, &controller, &second);
    expect_equal(controller, static_cast<std::int32_t>(e->config.controller), "controller_out");
    expect_equal(second, RESULT_SECOND_VALUE, "second_out");
    const std::int32_t expected = e->block_held               ? RES_INVALID
                                  : e->config.input_mode == 0 ? RES_IGNORED
                                                              : RES_OK;
    expect_result(result, expected, "vexa_get_bin_value");
    if (result != RES_OK)
        return;
    ++seen.result_blocks;
    e->block_held = true;
    e->block = block;
    expect(block != nullptr && io == RESULT_DATA_IO, "result data block or io value");
    const auto* header = static_cast<const result_data_header*>(block);
    expect(header->type == RESULT_DATA_TYPE && header->subtype == RESULT_DATA_SUBTYPE &&
               header->value == 0 && header->size == RESULT_DATA_PAYLOAD_SIZE,
           "result data allocated with the wrong type, subtype, value or size");
    const std::vector<std::uint8_t> payload = model::result_payload(e->config);
    const auto* bytes = static_cast<const std::uint8_t*>(block) + RESULT_DATA_HEADER_SIZE;
    for (std::size_t i = 0; i < payload.size(); ++i)
        if (bytes[i] != payload[i])
            fail("result data payload byte " + std::to_string(i) + ": got " + hex(bytes[i]) +
                 ", expected " + hex(payload[i]));
}

void session::release_result_data() {
    element* e = pick_element();
    if (e == nullptr)
        return create();
    note("vexa_release_bin_data " + e->name());
    library_.vexa_release_bin_data(e->handle.handle());
    e->block_held = false;
    e->block = nullptr;
}

void session::fetch_follow_up() {
    element* e = pick_element();
    if (e == nullptr)
        return create();
    if (random_.chance(0.02)) {
        note("vexa_get_custom_operation " + e->name() + " without a record");
        return expect_result(library_.vexa_get_custom_operation(e->handle.handle(), nullptr),
                             RES_UNSUPPORTED, "vexa_get_custom_operation");
    }
    static const std::vector<std::int32_t> capacities{-7, 0, 3, 4, 7, 16, 40, 100, 400, 1000};
    const std::int32_t capacity = random_.pick(capacities);
    // Exactly as large as the host says: writing past it is caught.
    std::vector<std::uint8_t> operation(OPERATION_TEXT + std::max(capacity, 0), 0xEE);
    if (random_.chance(0.93)) {
        operation[OPERATION_KIND] = OPERATION_KIND_VALUE;
        operation[OPERATION_SUBKIND] = OPERATION_SUBKIND_VALUE;
    } else {
        operation[OPERATION_KIND] = random_.byte();
        operation[OPERATION_SUBKIND] = random_.byte();
    }
    std::memcpy(&operation[OPERATION_TEXT_CAPACITY], &capacity, 4);
    std::vector<std::uint8_t> expected = operation;
    const std::int32_t expected_result = model::custom_operation(e->config, e->run, expected);
    note("vexa_get_custom_operation " + e->name() + " capacity " + std::to_string(capacity));
    expect_result(library_.vexa_get_custom_operation(e->handle.handle(), operation.data()),
                  expected_result, "vexa_get_custom_operation");
    seen.follow_ups += expected_result == RES_OK;
    for (std::size_t i = 0; i < operation.size(); ++i)
        if (operation[i] != expected[i])
            fail("custom operation record byte " + std::to_string(i) + ": got " +
                 hex(operation[i]) + ", expected " + hex(expected[i]));
}

// ---------------------------------------------------------------- GUI life and the host's world

void session::reset_gui() {
    note("vexa_reset_gui");
    expect_result(library_.vexa_reset_gui(), RES_INVALID, "vexa_reset_gui");
    ++seen.resets;
    table_.caps = 0;
    handler_ = handler_state::none;
    current_ = nullptr;
    retire_live_panel();
    // The host usually closes its property windows now; the controls go with them.
    std::vector<host_window*> closing;
    for (auto& w : windows_)
        if (random_.chance(0.6))
            closing.push_back(w.get());
    for (host_window* w : closing)
        destroy_window(w);
    // Controllers are described again before panels are built.
    for (int i = random_.between(0, 3); i > 0; --i)
        describe();
}

// The host closes a property window without resetting the GUI.
void session::close_window() {
    if (windows_.empty())
        return create();
    destroy_window(windows_[random_.below(windows_.size())].get());
}

void session::change_project() {
    project_names_.clear();
    project_ids_.clear();
    const int count = random_.between(0, 7);
    for (int i = 0; i < count; ++i) {
        project_names_.push_back(wxString::Format("Element %d", i + 1));
        project_ids_.push_back(random_.chance(0.8) ? 100 + random_.between(0, 9)
                                                   : static_cast<std::int32_t>(random_.bits()));
    }
    // Hosts keep the lists parallel; one that does not must not hurt.
    if (random_.chance(0.1) && !project_ids_.empty())
        project_ids_.pop_back();
    else if (random_.chance(0.1))
        project_ids_.push_back(7);
    project_lists_ = !random_.chance(0.1);
    note("host project: " + std::to_string(project_names_.size()) + " names, " +
         std::to_string(project_ids_.size()) + " ids" +
         (project_lists_ ? "" : ", lists withdrawn"));
    project_.set_elements(project_names_, project_ids_);
    if (!project_lists_)
        project_.clear_lists();
}

// The host installs or takes back an element's refresh callback, or its sink.
void session::change_callbacks() {
    element* e = pick_element();
    if (e == nullptr)
        return create();
    if (random_.chance(0.5)) {
        e->refresh_set = random_.chance(0.7);
        note("vexa_set_refresh_callback " + e->name() + (e->refresh_set ? "" : " null"));
        library_.vexa_set_refresh_callback(e->handle.handle(),
                                           e->refresh_set ? recording_refresh : nullptr);
    } else {
        e->sink_set = !e->sink_set;
        note(std::string("host ") + (e->sink_set ? "gives " : "takes back ") + e->name() +
             "'s event sink");
        e->handle->sink = e->sink_set ? &e->sink : nullptr;
    }
}

void session::switch_locale() {
    const char* locale = random_.chance(0.5) ? "C" : "C.UTF-8";
    note(std::string("host switches the locale to ") + locale);
    std::setlocale(LC_ALL, locale);
}

void session::read_element_kind() {
    ui_parameters parameters{};
    note("vexa_get_ui_parameters");
    expect_result(library_.vexa_get_ui_parameters(&parameters), RES_OK, "vexa_get_ui_parameters");
    expect(parameters.name == "Custom Input" &&
               parameters.description == "Wait for input data from the scanner controller" &&
               parameters.value_128 == 15 && parameters.value_132 == 128 &&
               parameters.value_176 == 11007,
           "UI parameters");
    expect(parameters.large_icon && parameters.large_icon->GetSize() == wxSize(25, 25) &&
               parameters.small_icon && parameters.small_icon->GetSize() == wxSize(15, 15),
           "UI parameter icons");
    delete parameters.large_icon; // the icons passed to the host
    delete parameters.small_icon;
}

// ---------------------------------------------------------------- main

void on_sanitizer_death() {
    report_context();
}

bool parse(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--seed" && i + 1 < argc)
            info.seed = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--steps" && i + 1 < argc)
            info.steps = std::strtol(argv[++i], nullptr, 10);
        else if (arg == "--trace")
            info.trace = true;
        else
            return false;
    }
    return info.steps > 0;
}

} // namespace

int main(int argc, char** argv) {
    if (!parse(argc, argv)) {
        std::fprintf(stderr, "usage: validator [--seed N] [--steps N] [--trace]\n");
        return 2;
    }
    int toolkit_argc = 1;
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(toolkit_argc, argv)) {
        std::fprintf(stderr, "cannot start the toolkit: is a display available (xvfb-run)?\n");
        return 2;
    }
    wxTheApp->CallOnInit();
    wxSetAssertHandler(on_toolkit_assert);
    if (__sanitizer_set_death_callback != nullptr)
        __sanitizer_set_death_callback(on_sanitizer_death);

    std::printf("validator: seed %llu, %ld steps\n", static_cast<unsigned long long>(info.seed),
                info.steps);
    {
        session host(info.seed);
        host.start();
        for (info.step = 1; info.step <= info.steps; ++info.step)
            host.step();
        info.step = info.steps;
        host.finish();
    }
    std::printf("validator: %ld steps clean\n", info.steps);
    std::printf("  panels built %ld, selections filling the panel %ld, GUI resets %ld\n"
                "  edits applied %ld, ignored %ld, on old panels %ld\n"
                "  loads %ld (older versions %ld, short %ld), save round trips %ld\n"
                "  evaluations: wait %ld, met %ld, ignored %ld, invalid %ld, follow-up %ld\n"
                "  follow-ups fetched %ld, result-data blocks %ld\n",
                seen.panels_built, seen.fills, seen.resets, seen.edits_applied, seen.edits_ignored,
                seen.stale_edits, seen.loads, seen.old_version_loads, seen.short_loads, seen.saves,
                seen.waits, seen.met, seen.ignored, seen.invalid, seen.custom, seen.follow_ups,
                seen.result_blocks);
    wxTheApp->OnExit();
    wxEntryCleanup();
    return 0;
}
