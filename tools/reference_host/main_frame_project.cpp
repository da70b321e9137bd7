// The window's project editing (the project list, the property window's
// selection) and its files.
#include "reference_host/main_frame.h"

#include <wx/filedlg.h>
#include <wx/listctrl.h>
#include <wx/msgdlg.h>
#include <wx/scrolwin.h>
#include <wx/textdlg.h>

#include "common/input_error.h"
#include "reference_host/host_texts.h"
#include "reference_host/project_file.h"
#include "reference_host/simulator_panel.h"

namespace reference_host {

namespace {
// The file dialogs' filter: its pattern is no text to translate.
wxString project_files() {
    return host_text("Project files (*.json)") + "|*.json";
}
} // namespace

// ---- project editing ----

void main_frame::rebuild_list() {
    filling_list_ = true;
    list_->DeleteAllItems();
    for (std::size_t i = 0; i < session_->size(); ++i) {
        const auto& element = session_->at(i);
        const long row = list_->InsertItem(static_cast<long>(i), wxString::FromUTF8(element.name),
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
    wxMessageBox(host_text("Stop the run first."), host_text("Reference host"),
                 wxOK | wxICON_INFORMATION, this);
    return true;
}

void main_frame::add_element(element_kind kind) {
    if (refuse_while_running())
        return;
    project_element element;
    element.kind = kind;
    element.id = session_->next_id();
    // Names in the operator's language: they are the user's from here on,
    // saved with the project as they are.
    // TRANSLATORS: a new element's name; %d is its id. "Custom Input" is the
    // element kind's name, as the plug-in gives it.
    element.name = (kind == element_kind::custom_input
                        ? wxString::Format(host_text("Custom Input %d"), element.id)
                        // TRANSLATORS: a new plain element's name; %d is its id.
                        : wxString::Format(host_text("Element %d"), element.id))
                       .utf8_string();
    const auto selected = selected_row();
    const std::size_t position = selected ? *selected + 1 : session_->size();
    try {
        const std::size_t index = session_->insert(element, position);
        session_->select(index);
    } catch (const session_error& e) {
        report(host_text("Reference host"), e.what());
    }
    rebuild_list();
    show_property_window();
}

void main_frame::rename_selected() {
    const auto selected = selected_row();
    if (!selected || refuse_while_running())
        return;
    wxTextEntryDialog dialog(this, host_text("Name of the element:"), host_text("Rename element"),
                             wxString::FromUTF8(session_->at(*selected).name));
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
    // TRANSLATORS: the window's title; %s is the project file.
    SetTitle(wxString::Format(host_text("Reference host - %s"),
                              project_file_.empty() ? host_text("untitled project")
                                                    : wxString::FromUTF8(project_file_)));
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
        report(host_text("Cannot open the project"), e.what());
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
    wxFileDialog dialog(this, host_text("Open project"), "", "", project_files(),
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() == wxID_OK)
        open_project(dialog.GetPath().ToStdString(wxConvUTF8));
}

void main_frame::save_project(bool choose_file) {
    std::string file = project_file_;
    if (choose_file || file.empty()) {
        wxFileDialog dialog(this, host_text("Save project"), "", "project.json", project_files(),
                            wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
        if (dialog.ShowModal() != wxID_OK)
            return;
        file = dialog.GetPath().ToStdString(wxConvUTF8);
    }
    try {
        write_project_file(file, session_->to_project());
        project_file_ = file;
        update_title();
        // TRANSLATORS: %s is the project file.
        SetStatusText(wxString::Format(host_text("Saved %s"), wxString::FromUTF8(file)));
    } catch (const std::exception& e) {
        report(host_text("Cannot save the project"), e.what());
    }
}

void main_frame::choose_and_load_controllers() {
    if (refuse_while_running())
        return;
    wxFileDialog dialog(this, host_text("Load controllers"), "", "",
                        host_text("Controller files (*.json)") + "|*.json",
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK)
        return;
    try {
        const auto controllers = read_controller_file(dialog.GetPath().ToStdString(wxConvUTF8));
        session_->describe_controllers(controllers);
        simulator_->set_controllers(controllers);
        Layout();
    } catch (const common::input_error& e) {
        report(host_text("Cannot load the controllers"), e.what());
    }
    show_property_window();
}

} // namespace reference_host
