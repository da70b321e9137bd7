#include "main_frame.h"

#include <iostream>

#include <wx/bitmap.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/datetime.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/filedlg.h>
#include <wx/imaglist.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/scrolwin.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textdlg.h>

#include "json_reading.h"
#include "project_file.h"
#include "result_codes.h"
#include "simulator_panel.h"
#include "ui_parameters.h"

namespace reference_host {

namespace {
constexpr int TICK_MILLISECONDS = 500;
constexpr int SERIAL_POLL_MILLISECONDS = 20;
constexpr std::size_t LOG_LIMIT = 2000;

enum {
    ID_LOAD_CONTROLLERS = wxID_HIGHEST + 1,
    ID_RUN_START,
    ID_RUN_STOP,
};

wxString from_utf8(const std::string& text) {
    return wxString::FromUTF8(text);
}

wxStaticBoxSizer* titled(wxWindow* parent, const wxString& title) {
    return new wxStaticBoxSizer(wxVERTICAL, parent, title);
}
} // namespace

main_frame::main_frame(plugin_library& plugin, const std::vector<controller_setup>& controllers,
                       const options& options)
    : wxFrame(nullptr, wxID_ANY, "Reference host", wxDefaultPosition, wxSize(1560, 960)),
      plugin_(plugin), options_(options), tick_timer_(this), serial_timer_(this) {
    // The element kind's name, description and icons; the icons pass to us.
    ui_parameters parameters{};
    plugin_.vexa_get_ui_parameters(&parameters);
    large_icon_.reset(parameters.large_icon);
    small_icon_.reset(parameters.small_icon);

    build_menu();
    auto* root = new wxPanel(this);
    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    columns->Add(build_project_column(root), 0, wxEXPAND | wxALL, 4);
    columns->Add(build_property_column(root), 0, wxEXPAND | wxALL, 4);
    columns->Add(build_run_column(root), 1, wxEXPAND | wxALL, 4);
    root->SetSizer(columns);
    CreateStatusBar();

    session_ = std::make_unique<plugin_session>(plugin_, property_window_);
    session_->on_refresh = [this](std::size_t index) { recolour_row(index); };
    session_->describe_controllers(controllers);
    simulator_->set_controllers(controllers);
    runner_ = std::make_unique<project_runner>(
        *session_, [this](const std::string& line) { append_log(line); });
    simulator_->on_change = [this](int controller, const controller_inputs& inputs) {
        if (runner_->deliver(inputs, controller))
            after_run_step();
    };

    Bind(wxEVT_TIMER, &main_frame::on_tick, this, tick_timer_.GetId());
    Bind(wxEVT_TIMER, &main_frame::on_serial_poll, this, serial_timer_.GetId());
    tick_timer_.Start(TICK_MILLISECONDS);

    if (options_.serial_device) {
        const std::size_t limit =
            options_.serial_interface == 1 ? SERIAL1_TEXT_LIMIT : SERIAL2_TEXT_LIMIT;
        try {
            serial_ =
                std::make_unique<serial_bridge>(*options_.serial_device, options_.baud, limit);
            serial_timer_.Start(SERIAL_POLL_MILLISECONDS);
            SetStatusText(wxString::Format("Serial interface %d reads %s at %d baud",
                                           options_.serial_interface,
                                           from_utf8(*options_.serial_device), options_.baud));
        } catch (const serial_error& e) {
            append_log(std::string("host: serial input off: ") + e.what());
            SetStatusText(from_utf8(e.what()));
        }
    }
    update_title();
    rebuild_list();
    set_editing(true);
}

main_frame::~main_frame() {
    tick_timer_.Stop();
    serial_timer_.Stop();
    // The run and the session go before the windows the panel lives in.
    runner_.reset();
    session_.reset();
}

void main_frame::build_menu() {
    auto* file = new wxMenu;
    file->Append(wxID_NEW, "&New project\tCtrl+N");
    file->Append(wxID_OPEN, "&Open project...\tCtrl+O");
    file->Append(wxID_SAVE, "&Save project\tCtrl+S");
    file->Append(wxID_SAVEAS, "Save project &as...");
    file->AppendSeparator();
    file->Append(ID_LOAD_CONTROLLERS, "Load &controllers...");
    file->AppendSeparator();
    file->Append(wxID_EXIT, "&Quit\tCtrl+Q");
    auto* run = new wxMenu;
    run->Append(ID_RUN_START, "&Start\tF5");
    run->Append(ID_RUN_STOP, "S&top\tShift+F5");
    auto* bar = new wxMenuBar;
    bar->Append(file, "&File");
    bar->Append(run, "&Run");
    SetMenuBar(bar);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { new_project(); }, wxID_NEW);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { choose_and_open_project(); }, wxID_OPEN);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { save_project(false); }, wxID_SAVE);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { save_project(true); }, wxID_SAVEAS);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { choose_and_load_controllers(); },
        ID_LOAD_CONTROLLERS);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { Close(); }, wxID_EXIT);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { start_run(); }, ID_RUN_START);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { stop_run(); }, ID_RUN_STOP);
}

wxWindow* main_frame::build_project_column(wxWindow* parent) {
    project_column_ = new wxPanel(parent);
    auto* box = titled(project_column_, "Project");
    list_ = new wxListCtrl(box->GetStaticBox(), wxID_ANY, wxDefaultPosition, wxSize(330, -1),
                           wxLC_REPORT | wxLC_SINGLE_SEL);
    list_->AppendColumn("Element", wxLIST_FORMAT_LEFT, 190);
    list_->AppendColumn("Id", wxLIST_FORMAT_RIGHT, 45);
    list_->AppendColumn("Run", wxLIST_FORMAT_LEFT, 80);
    if (small_icon_ && small_icon_->IsOk()) {
        auto* images = new wxImageList(small_icon_->GetWidth(), small_icon_->GetHeight());
        images->Add(*small_icon_);
        list_->AssignImageList(images, wxIMAGE_LIST_SMALL);
    }
    list_->Bind(wxEVT_LIST_ITEM_SELECTED, &main_frame::on_item_selected, this);
    list_->Bind(wxEVT_LIST_ITEM_DESELECTED, &main_frame::on_item_deselected, this);
    list_->Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent&) { rename_selected(); });
    box->Add(list_, 1, wxEXPAND | wxALL, 2);

    auto* buttons = new wxGridSizer(2, 2, 2);
    auto add_button = [&](const wxString& label, std::function<void()> action) {
        auto* b = new wxButton(box->GetStaticBox(), wxID_ANY, label);
        b->Bind(wxEVT_BUTTON, [action](wxCommandEvent&) { action(); });
        buttons->Add(b, 0, wxEXPAND);
    };
    add_button("Add Custom Input", [this] { add_element(element_kind::custom_input); });
    add_button("Add plain element", [this] { add_element(element_kind::placeholder); });
    add_button("Rename...", [this] { rename_selected(); });
    add_button("Delete", [this] { delete_selected(); });
    box->Add(buttons, 0, wxEXPAND | wxALL, 2);
    project_column_->SetSizer(box);
    return project_column_;
}

wxWindow* main_frame::build_property_column(wxWindow* parent) {
    auto* panel = new wxPanel(parent);
    auto* box = titled(panel, "Properties");
    auto* header = new wxBoxSizer(wxHORIZONTAL);
    if (large_icon_ && large_icon_->IsOk())
        header->Add(new wxStaticBitmap(box->GetStaticBox(), wxID_ANY, *large_icon_), 0,
                    wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    ui_parameters parameters{};
    plugin_.vexa_get_ui_parameters(&parameters);
    // Each call hands over two new icons; this one's are not needed.
    delete parameters.large_icon;
    delete parameters.small_icon;
    auto* texts = new wxBoxSizer(wxVERTICAL);
    auto* name = new wxStaticText(box->GetStaticBox(), wxID_ANY, parameters.name);
    name->SetFont(name->GetFont().Bold());
    texts->Add(name);
    texts->Add(new wxStaticText(box->GetStaticBox(), wxID_ANY, parameters.description));
    header->Add(texts, 1);
    box->Add(header, 0, wxEXPAND | wxALL, 4);

    property_window_ = new wxScrolledWindow(box->GetStaticBox(), wxID_ANY, wxDefaultPosition,
                                            wxSize(430, -1), wxVSCROLL | wxBORDER_THEME);
    property_window_->SetScrollRate(0, 10);
    box->Add(property_window_, 1, wxEXPAND | wxALL, 2);
    panel->SetSizer(box);
    return panel;
}

wxWindow* main_frame::build_run_column(wxWindow* parent) {
    auto* panel = new wxPanel(parent);
    auto* column = new wxBoxSizer(wxVERTICAL);
    auto* simulator_box = titled(panel, "Controller simulator");
    simulator_ = new simulator_panel(simulator_box->GetStaticBox());
    simulator_box->Add(simulator_, 0, wxEXPAND);
    column->Add(simulator_box, 0, wxEXPAND);

    auto* run_box = titled(panel, "Run");
    auto* controls = new wxBoxSizer(wxHORIZONTAL);
    start_button_ = new wxButton(run_box->GetStaticBox(), wxID_ANY, "Start");
    stop_button_ = new wxButton(run_box->GetStaticBox(), wxID_ANY, "Stop");
    repeat_check_ = new wxCheckBox(run_box->GetStaticBox(), wxID_ANY, "Repeat project");
    run_status_ = new wxStaticText(run_box->GetStaticBox(), wxID_ANY, "Not running");
    controls->Add(start_button_, 0, wxRIGHT, 4);
    controls->Add(stop_button_, 0, wxRIGHT, 8);
    controls->Add(repeat_check_, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
    controls->Add(run_status_, 1, wxALIGN_CENTER_VERTICAL);
    start_button_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { start_run(); });
    stop_button_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { stop_run(); });
    run_box->Add(controls, 0, wxEXPAND | wxALL, 2);
    log_ = new wxListBox(run_box->GetStaticBox(), wxID_ANY);
    log_->SetFont(wxFontInfo(9).Family(wxFONTFAMILY_TELETYPE));
    run_box->Add(log_, 1, wxEXPAND | wxALL, 2);
    column->Add(run_box, 1, wxEXPAND | wxTOP, 4);
    panel->SetSizer(column);
    return panel;
}

wxWindow* main_frame::property_window() {
    return property_window_;
}

void main_frame::report(const wxString& title, const std::string& message) {
    // A program taking a screenshot has nobody to close a dialog.
    if (options_.screenshot)
        std::cerr << "reference_host: " << message << "\n";
    else
        wxMessageBox(from_utf8(message), title, wxOK | wxICON_ERROR, this);
}

// ---- project editing ----

void main_frame::rebuild_list() {
    filling_list_ = true;
    list_->DeleteAllItems();
    for (std::size_t i = 0; i < session_->size(); ++i) {
        const auto& element = session_->at(i);
        const long row = list_->InsertItem(static_cast<long>(i), from_utf8(element.name),
                                           element.kind == element_kind::custom_input ? 0 : -1);
        list_->SetItem(row, 1, wxString::Format("%d", element.id));
        recolour_row(i);
    }
    if (const auto selected = session_->selected()) {
        list_->SetItemState(static_cast<long>(*selected), wxLIST_STATE_SELECTED,
                            wxLIST_STATE_SELECTED);
        list_->EnsureVisible(static_cast<long>(*selected));
    }
    filling_list_ = false;
    after_run_step();
}

void main_frame::recolour_row(std::size_t index) {
    // The plug-in calls back while it refreshes, also before the row exists.
    if (static_cast<long>(index) >= list_->GetItemCount())
        return;
    list_->SetItemBackgroundColour(static_cast<long>(index), session_->colour(index));
    list_->RefreshItem(static_cast<long>(index));
}

std::optional<std::size_t> main_frame::selected_row() const {
    const long row = list_->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    if (row < 0)
        return std::nullopt;
    return static_cast<std::size_t>(row);
}

void main_frame::on_item_selected(wxListEvent& event) {
    if (filling_list_)
        return;
    session_->select(static_cast<std::size_t>(event.GetIndex()));
    show_property_window();
}

void main_frame::on_item_deselected(wxListEvent&) {
    if (filling_list_)
        return;
    // A click on another row deselects first; only a selection left empty
    // deselects in the plug-in.
    CallAfter([this] {
        if (!selected_row()) {
            session_->select(std::nullopt);
            show_property_window();
        }
    });
}

void main_frame::show_property_window() {
    // The plug-in builds the panel on the first selection after a reset.
    property_window_->Enable(session_->selected().has_value() &&
                             runner_->state() != run_state::waiting);
    property_window_->Layout();
    property_window_->FitInside();
    property_window_->Refresh();
}

bool main_frame::refuse_while_running() {
    if (runner_->state() != run_state::waiting)
        return false;
    wxMessageBox("Stop the run first.", "Reference host", wxOK | wxICON_INFORMATION, this);
    return true;
}

void main_frame::add_element(element_kind kind) {
    if (refuse_while_running())
        return;
    project_element element;
    element.kind = kind;
    element.id = session_->next_id();
    element.name = (kind == element_kind::custom_input ? "Custom Input " : "Element ") +
                   std::to_string(element.id);
    const auto selected = selected_row();
    const std::size_t position = selected ? *selected + 1 : session_->size();
    try {
        const std::size_t index = session_->insert(element, position);
        session_->select(index);
    } catch (const session_error& e) {
        report("Reference host", e.what());
    }
    rebuild_list();
    show_property_window();
}

void main_frame::rename_selected() {
    const auto selected = selected_row();
    if (!selected || refuse_while_running())
        return;
    wxTextEntryDialog dialog(this, "Name of the element:", "Rename element",
                             from_utf8(session_->at(*selected).name));
    if (dialog.ShowModal() != wxID_OK)
        return;
    session_->rename(*selected, dialog.GetValue().ToStdString(wxConvUTF8));
    rebuild_list();
}

void main_frame::delete_selected() {
    const auto selected = selected_row();
    if (!selected || refuse_while_running())
        return;
    session_->remove(*selected);
    rebuild_list();
    show_property_window();
}

// ---- files ----

void main_frame::update_title() {
    SetTitle("Reference host - " +
             (project_file_.empty() ? wxString("untitled project") : from_utf8(project_file_)));
}

void main_frame::new_project() {
    if (refuse_while_running())
        return;
    session_->clear();
    project_file_.clear();
    update_title();
    rebuild_list();
    show_property_window();
}

bool main_frame::open_project(const std::string& file) {
    try {
        const project loaded = read_project_file(file);
        session_->open(loaded);
        project_file_ = file;
    } catch (const std::exception& e) {
        report("Cannot open the project", e.what());
        rebuild_list();
        return false;
    }
    update_title();
    rebuild_list();
    show_property_window();
    return true;
}

void main_frame::choose_and_open_project() {
    if (refuse_while_running())
        return;
    wxFileDialog dialog(this, "Open project", "", "", "Project files (*.json)|*.json",
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() == wxID_OK)
        open_project(dialog.GetPath().ToStdString(wxConvUTF8));
}

void main_frame::save_project(bool choose_file) {
    std::string file = project_file_;
    if (choose_file || file.empty()) {
        wxFileDialog dialog(this, "Save project", "", "project.json",
                            "Project files (*.json)|*.json", wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
        if (dialog.ShowModal() != wxID_OK)
            return;
        file = dialog.GetPath().ToStdString(wxConvUTF8);
    }
    try {
        write_project_file(file, session_->to_project());
        project_file_ = file;
        update_title();
        SetStatusText("Saved " + from_utf8(file));
    } catch (const std::exception& e) {
        report("Cannot save the project", e.what());
    }
}

void main_frame::choose_and_load_controllers() {
    if (refuse_while_running())
        return;
    wxFileDialog dialog(this, "Load controllers", "", "", "Controller files (*.json)|*.json",
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK)
        return;
    try {
        const auto controllers = read_controller_file(dialog.GetPath().ToStdString(wxConvUTF8));
        session_->describe_controllers(controllers);
        simulator_->set_controllers(controllers);
        Layout();
    } catch (const input_error& e) {
        report("Cannot load the controllers", e.what());
    }
    show_property_window();
}

// ---- run ----

void main_frame::set_editing(bool allowed) {
    project_column_->Enable(allowed);
    property_window_->Enable(allowed && session_->selected().has_value());
    start_button_->Enable(allowed);
    stop_button_->Enable(!allowed);
}

void main_frame::start_run() {
    if (runner_->state() == run_state::waiting)
        return;
    // The panel's pending text edit belongs to the element before the run.
    SetFocus();
    repeat_pending_ = false;
    runner_->start();
    deliver_all_controllers();
    after_run_step();
}

void main_frame::stop_run() {
    repeat_pending_ = false;
    runner_->stop();
    after_run_step();
}

void main_frame::deliver_all_controllers() {
    // Every described controller streams its inputs, as real ones do.
    for (const auto& controller : simulator_->controllers()) {
        if (runner_->state() != run_state::waiting)
            return;
        runner_->deliver(simulator_->levels(controller.index), controller.index);
    }
}

void main_frame::on_tick(wxTimerEvent&) {
    if (repeat_pending_) {
        repeat_pending_ = false;
        if (repeat_check_->GetValue())
            start_run();
        return;
    }
    if (runner_->state() != run_state::waiting)
        return;
    deliver_all_controllers();
    after_run_step();
}

void main_frame::on_serial_poll(wxTimerEvent&) {
    try {
        for (const std::string& line : serial_->poll()) {
            append_log("host: " + *options_.serial_device + " received " + quote_text(line));
            simulator_->receive_serial_line(options_.serial_interface, line);
        }
    } catch (const serial_error& e) {
        serial_timer_.Stop();
        append_log(std::string("host: serial input off: ") + e.what());
        SetStatusText(from_utf8(e.what()));
    }
}

void main_frame::after_run_step() {
    const run_state state = runner_->state();
    simulator_->show_run(*runner_);
    const auto position = runner_->position();
    for (long row = 0; row < list_->GetItemCount(); ++row) {
        wxString mark;
        if (position && static_cast<long>(*position) == row) {
            if (state == run_state::waiting)
                mark = "waiting";
            else if (state == run_state::stopped)
                mark = "stopped";
            else if (state == run_state::failed)
                mark = "error";
        }
        if (list_->GetItemText(row, 2) != mark)
            list_->SetItem(row, 2, mark);
    }
    wxString status;
    wxColour colour = *wxBLACK;
    switch (state) {
    case run_state::idle:
        status = "Not running";
        break;
    case run_state::waiting:
        status = wxString::Format("Run %d waiting", runner_->runs_started());
        break;
    case run_state::completed:
        status = wxString::Format("Run %d completed", runner_->runs_started());
        break;
    case run_state::stopped:
        status = wxString::Format("Run %d stopped", runner_->runs_started());
        break;
    case run_state::failed:
        status = "Error: " + from_utf8(runner_->error());
        colour = wxColour(190, 0, 0);
        break;
    }
    if (run_status_->GetLabel() != status) {
        run_status_->SetLabelText(status);
        run_status_->SetForegroundColour(colour);
    }
    set_editing(state != run_state::waiting);
    if (state == run_state::completed && repeat_check_->GetValue())
        repeat_pending_ = true;
}

void main_frame::append_log(const std::string& line) {
    const wxString now = wxDateTime::Now().FormatISOTime();
    auto shown = [](const log_row& row) {
        wxString text = row.time + "  " + from_utf8(row.text);
        if (row.count > 1)
            text += wxString::Format("   (x%d)", row.count);
        return text;
    };
    // A wait repeats the same call every tick, once per controller; it shows
    // once with a count and the time of the latest.
    const std::size_t look_back = simulator_->controllers().size() + 1;
    for (std::size_t back = 0; back < look_back && back < log_rows_.size(); ++back) {
        const std::size_t at = log_rows_.size() - 1 - back;
        log_row& row = log_rows_[at];
        if (row.text == line) {
            ++row.count;
            row.time = now;
            log_->SetString(static_cast<unsigned>(at), shown(row));
            return;
        }
    }
    if (log_rows_.size() >= LOG_LIMIT) {
        log_rows_.erase(log_rows_.begin());
        log_->Delete(0);
    }
    log_rows_.push_back({line, 1, now});
    log_->Append(shown(log_rows_.back()));
    log_->EnsureVisible(static_cast<int>(log_->GetCount()) - 1);
}

// ---- screenshot ----

void main_frame::select_first_custom_input() {
    for (std::size_t i = 0; i < session_->size(); ++i)
        if (session_->at(i).kind == element_kind::custom_input) {
            list_->SetItemState(static_cast<long>(i), wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
            session_->select(i);
            show_property_window();
            return;
        }
}

bool main_frame::save_screenshot(const std::string& file) {
    Raise();
    Update();
    // Only what is on the screen can be read back.
    const wxRect area = GetScreenRect().Intersect(wxRect(wxPoint(0, 0), wxGetDisplaySize()));
    if (area.IsEmpty())
        return false;
    wxScreenDC screen;
    wxBitmap shot(area.width, area.height);
    {
        wxMemoryDC memory(shot);
        memory.Blit(0, 0, area.width, area.height, &screen, area.x, area.y);
    }
    return shot.SaveFile(from_utf8(file), wxBITMAP_TYPE_PNG);
}

} // namespace reference_host
