// The program's window: the project list, the property window into which
// the plug-in builds its panel, the controller simulator, and the run with
// its log.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <wx/bitmap.h>
#include <wx/frame.h>
#include <wx/timer.h>

#include "host_kit/plugin_library.h"
#include "reference_host/host_texts.h"
#include "reference_host/options.h"
#include "reference_host/plugin_session.h"
#include "reference_host/project_runner.h"
#include "reference_host/serial_port.h"

class wxBitmap;
class wxButton;
class wxCheckBox;
class wxListBox;
class wxListCtrl;
class wxListEvent;
class wxPanel;
class wxScrolledWindow;
class wxStaticText;

namespace reference_host {

class run_recorder;
class simulator_panel;

// The run log's line that serial input stopped, and why.
log_line serial_off(const std::string& why);

class main_frame : public wxFrame {
public:
    using log_copy = std::function<void(const std::string& line)>;

    // `copy`, when given, receives every line of the run log as plain text:
    // its time, two spaces, the entry (bytes that are not UTF-8 as \xNN).
    main_frame(plugin_library& plugin, const std::vector<controller_setup>& controllers,
               const options& options, log_copy copy = {});
    ~main_frame() override;

    // Opens a project file; false (and a message) when it is refused.
    bool open_project(const std::string& file);
    // Selects the first Custom Input, so that the panel shows.
    void select_first_custom_input();
    // Saves what the window shows as a PNG; empty when it did, else why not.
    std::string save_screenshot(const std::string& file);
    // The window as it is on the screen; not IsOk() when it is not there.
    wxBitmap picture();
    // Why the serial device of the options could not be opened; empty when
    // it was, or when none was named.
    const std::string& serial_problem() const { return serial_problem_; }

    // What the buttons do, and the parts of the window, for tests.
    void add_element(element_kind kind);
    void start_run();
    void stop_run();
    // File > Save recording (with --record): a failure in a message box.
    void save_recording();
    // Closes the window where nobody can answer a dialog (a signal, a
    // failure): a recording that cannot be written says why on stderr.
    void close_unattended();
    // Writes the recording every RECORDING_WRITE_SECONDS while it changes.
    wxTimer& recording_timer() { return recording_timer_; }
    plugin_session& session() { return *session_; }
    const project_runner& runner() const { return *runner_; }
    wxListCtrl* project_list() { return list_; }
    wxWindow* property_window();
    simulator_panel* simulator() { return simulator_; }

private:
    void build_menu();
    // An error message box, or a line on stderr when nobody can answer one.
    void report(const wxString& title, const std::string& message);
    wxWindow* build_project_column(wxWindow* parent);
    wxWindow* build_property_column(wxWindow* parent);
    wxWindow* build_run_column(wxWindow* parent);

    // Project editing.
    void rebuild_list();
    void recolour_row(std::size_t index);
    void on_item_selected(wxListEvent& event);
    void on_item_deselected(wxListEvent& event);
    void rename_selected();
    void delete_selected();
    std::optional<std::size_t> selected_row() const;
    void show_property_window();
    bool refuse_while_running();

    // Files.
    void new_project();
    void choose_and_open_project();
    void save_project(bool choose_file);
    void choose_and_load_controllers();
    void update_title();

    // Run.
    void deliver_all_controllers();
    void on_tick(wxTimerEvent& event);
    void on_serial_poll(wxTimerEvent& event);
    void after_run_step();
    // The --log copy takes the line in English, the window in the
    // operator's language.
    void append_log(const log_line& line);
    void on_close(wxCloseEvent& event);
    // The closing write: empty when written (or nothing to write), else why not.
    std::string save_recording_at_close();
    void set_editing(bool allowed);

    plugin_library& plugin_;
    options options_;
    log_copy log_copy_;
    wxScrolledWindow* property_window_ = nullptr;
    std::unique_ptr<plugin_session> session_;
    std::unique_ptr<project_runner> runner_;
    std::unique_ptr<run_recorder> recorder_; // with --record
    std::unique_ptr<serial_bridge> serial_;
    std::unique_ptr<wxBitmap> large_icon_;
    std::unique_ptr<wxBitmap> small_icon_;

    wxPanel* project_column_ = nullptr;
    wxListCtrl* list_ = nullptr;
    simulator_panel* simulator_ = nullptr;
    wxListBox* log_ = nullptr;
    wxStaticText* run_status_ = nullptr;
    wxButton* start_button_ = nullptr;
    wxButton* stop_button_ = nullptr;
    wxCheckBox* repeat_check_ = nullptr;
    wxTimer tick_timer_;
    wxTimer serial_timer_;
    wxTimer recording_timer_;

    struct log_row {
        std::string text; // in English: a repeat is the same line
        wxString shown;
        int count;
        wxString time;
    };
    std::vector<log_row> log_rows_;
    std::string project_file_;
    std::string serial_problem_;
    bool filling_list_ = false;
    bool repeat_pending_ = false;
    bool unattended_ = false; // no dialog can be answered while closing
};

} // namespace reference_host
