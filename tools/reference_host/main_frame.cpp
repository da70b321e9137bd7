// The program's window: its three columns (the project list, the property
// window, the simulator with the run), the menus, error reports and the
// screenshot. Project editing and files are in main_frame_project.cpp, the
// run in main_frame_run.cpp.
#include "reference_host/main_frame.h"

#include <iostream>

#include <wx/bitmap.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/image.h>
#include <wx/imaglist.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/mstream.h>
#include <wx/panel.h>
#include <wx/scrolwin.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "abi/result_codes.h"
#include "abi/ui_parameters.h"
#include "common/file_access.h"
#include "common/input_error.h"
#include "reference_host/byte_text.h"
#include "reference_host/host_texts.h"
#include "reference_host/project_file.h"
#include "reference_host/recording.h"
#include "reference_host/simulator_panel.h"

namespace reference_host {

namespace {
constexpr int TICK_MILLISECONDS = 500;
constexpr int SERIAL_POLL_MILLISECONDS = 20;

enum {
    ID_LOAD_CONTROLLERS = wxID_HIGHEST + 1,
    ID_SAVE_RECORDING,
    ID_RUN_START,
    ID_RUN_STOP,
};

wxStaticBoxSizer* titled(wxWindow* parent, const wxString& title) {
    return new wxStaticBoxSizer(wxVERTICAL, parent, title);
}
} // namespace

main_frame::main_frame(plugin_library& plugin, const std::vector<controller_setup>& controllers,
                       const options& options, log_copy copy)
    : wxFrame(nullptr, wxID_ANY, host_text("Reference host"), wxDefaultPosition, wxSize(1560, 960)),
      plugin_(plugin), options_(options), log_copy_(std::move(copy)), tick_timer_(this),
      serial_timer_(this), recording_timer_(this) {
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
    runner_ = std::make_unique<project_runner>(*session_,
                                               [this](const log_line& line) { append_log(line); });
    if (options_.record) {
        recorder_ = std::make_unique<run_recorder>(
            *options_.record, *session_, [this](const std::string& message, bool problem) {
                // The recording's messages name files and counts, as the
                // ones on stderr do: in English.
                append_log(
                    {"host: " + message, wxString::FromUTF8(printable_utf8("host: " + message))});
                if (problem) {
                    std::cerr << "reference_host: " << message << "\n";
                    SetStatusText(wxString::FromUTF8(message));
                }
            });
        runner_->watch(recorder_.get());
        Bind(wxEVT_CLOSE_WINDOW, &main_frame::on_close, this);
        Bind(
            wxEVT_TIMER, [this](wxTimerEvent&) { recorder_->save_if_changed(); },
            recording_timer_.GetId());
        recording_timer_.Start(RECORDING_WRITE_SECONDS * 1000);
    }
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
            serial_ = std::make_unique<serial_bridge>(*options_.serial_device, options_.baud, limit,
                                                      options_.format);
            serial_timer_.Start(SERIAL_POLL_MILLISECONDS);
            // TRANSLATORS: serial interface 1 or 2, the device, the baud rate, the
            // data format (e.g. 8N1).
            SetStatusText(wxString::Format(host_text("Serial interface %d reads %s at %d baud, %s"),
                                           options_.serial_interface,
                                           wxString::FromUTF8(*options_.serial_device),
                                           options_.baud, wxString(options_.format.text())));
        } catch (const serial_error& e) {
            // Also where a user starting the program from a shell looks.
            serial_problem_ = e.what();
            std::cerr << "reference_host: " << e.what() << "\n";
            append_log(serial_off(e.what()));
            SetStatusText(wxString::FromUTF8(e.what()));
        }
    }
    update_title();
    rebuild_list();
    set_editing(true);
}

main_frame::~main_frame() {
    tick_timer_.Stop();
    serial_timer_.Stop();
    recording_timer_.Stop();
    // The run and the session go before the windows the panel lives in.
    runner_.reset();
    recorder_.reset();
    session_.reset();
}

void main_frame::build_menu() {
    auto* file = new wxMenu;
    // The shortcuts stay as they are: only the names are translated.
    file->Append(wxID_NEW, host_text("&New project") + "\tCtrl+N");
    file->Append(wxID_OPEN, host_text("&Open project...") + "\tCtrl+O");
    file->Append(wxID_SAVE, host_text("&Save project") + "\tCtrl+S");
    file->Append(wxID_SAVEAS, host_text("Save project &as..."));
    file->AppendSeparator();
    file->Append(ID_LOAD_CONTROLLERS, host_text("Load &controllers..."));
    file->AppendSeparator();
    if (options_.record) {
        file->Append(ID_SAVE_RECORDING, host_text("Save &recording"));
        file->AppendSeparator();
    }
    file->Append(wxID_EXIT, host_text("&Quit") + "\tCtrl+Q");
    auto* run = new wxMenu;
    run->Append(ID_RUN_START, host_text("&Start") + "\tF5");
    run->Append(ID_RUN_STOP, host_text("S&top") + "\tShift+F5");
    auto* bar = new wxMenuBar;
    bar->Append(file, host_text("&File"));
    // TRANSLATORS: the menu of the project's run.
    bar->Append(run, host_text("&Run"));
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
        wxEVT_MENU, [this](wxCommandEvent&) { save_recording(); }, ID_SAVE_RECORDING);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { Close(); }, wxID_EXIT);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { start_run(); }, ID_RUN_START);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { stop_run(); }, ID_RUN_STOP);
}

wxWindow* main_frame::build_project_column(wxWindow* parent) {
    project_column_ = new wxPanel(parent);
    auto* box = titled(project_column_, host_text("Project"));
    list_ = new wxListCtrl(box->GetStaticBox(), wxID_ANY, wxDefaultPosition, wxSize(330, -1),
                           wxLC_REPORT | wxLC_SINGLE_SEL);
    list_->AppendColumn(host_text("Element"), wxLIST_FORMAT_LEFT, 190);
    // TRANSLATORS: the column of the elements' numbers (ids).
    list_->AppendColumn(host_text("Id"), wxLIST_FORMAT_RIGHT, 45);
    // TRANSLATORS: the column that shows where the run is (waiting, stopped, error).
    list_->AppendColumn(host_text("Run"), wxLIST_FORMAT_LEFT, 80);
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
    auto add_button = [&](const wxString& label, const std::function<void()>& action) {
        auto* b = new wxButton(box->GetStaticBox(), wxID_ANY, label);
        b->Bind(wxEVT_BUTTON, [action](wxCommandEvent&) { action(); });
        buttons->Add(b, 0, wxEXPAND);
    };
    // TRANSLATORS: "Custom Input" is the element kind's name, as the plug-in gives it.
    add_button(host_text("Add Custom Input"), [this] { add_element(element_kind::custom_input); });
    add_button(host_text("Add plain element"), [this] { add_element(element_kind::placeholder); });
    add_button(host_text("Rename..."), [this] { rename_selected(); });
    add_button(host_text("Delete"), [this] { delete_selected(); });
    box->Add(buttons, 0, wxEXPAND | wxALL, 2);
    project_column_->SetSizer(box);
    return project_column_;
}

wxWindow* main_frame::build_property_column(wxWindow* parent) {
    auto* panel = new wxPanel(parent);
    auto* box = titled(panel, host_text("Properties"));
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
    auto* simulator_box = titled(panel, host_text("Controller simulator"));
    simulator_ = new simulator_panel(simulator_box->GetStaticBox());
    simulator_box->Add(simulator_, 0, wxEXPAND);
    column->Add(simulator_box, 0, wxEXPAND);

    auto* run_box = titled(panel, host_text("Run"));
    auto* controls = new wxBoxSizer(wxHORIZONTAL);
    start_button_ = new wxButton(run_box->GetStaticBox(), wxID_ANY, host_text("Start"));
    stop_button_ = new wxButton(run_box->GetStaticBox(), wxID_ANY, host_text("Stop"));
    repeat_check_ = new wxCheckBox(run_box->GetStaticBox(), wxID_ANY, host_text("Repeat project"));
    run_status_ = new wxStaticText(run_box->GetStaticBox(), wxID_ANY, host_text("Not running"));
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
        wxMessageBox(wxString::FromUTF8(message), title, wxOK | wxICON_ERROR, this);
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

wxBitmap main_frame::picture() {
    Raise();
    Update();
    // Only what is on the screen can be read back.
    const wxRect area = GetScreenRect().Intersect(wxRect(wxPoint(0, 0), wxGetDisplaySize()));
    if (area.IsEmpty())
        return {};
    // 24 bits, no alpha: Windows' drawing leaves a 32-bit bitmap's alpha at
    // zero, which would make every pixel it drew transparent.
    wxBitmap shot(area.width, area.height, 24);
    {
        wxMemoryDC memory(shot);
        wxScreenDC screen;
        memory.Blit(0, 0, area.width, area.height, &screen, area.x, area.y);
    }
    return shot;
}

std::string main_frame::save_screenshot(const std::string& file) {
    const wxBitmap shot = picture();
    if (!shot.IsOk())
        return "the window is not on the screen";
    // Encoded in memory and written by us: the toolkit's own file output
    // reports a failure in a dialog, and without the system's reason.
    wxMemoryOutputStream png;
    if (!shot.ConvertToImage().SaveFile(png, wxBITMAP_TYPE_PNG))
        return "the picture cannot be encoded as PNG";
    std::string bytes(png.GetLength(), '\0');
    png.CopyTo(bytes.data(), bytes.size());
    try {
        common::replace_whole_file(file, bytes);
    } catch (const common::input_error& e) {
        return e.what();
    }
    return {};
}

} // namespace reference_host
