// The window's project editing (the project list, the property window's
// selection) and its files.
#include "reference_host/main_frame.h"

#include <wx/filedlg.h>
#include <wx/listctrl.h>
#include <wx/msgdlg.h>
#include <wx/scrolwin.h>
#include <wx/textdlg.h>

#include "common/input_error.h"
#include "reference_host/project_file.h"
#include "reference_host/simulator_panel.h"

namespace reference_host {

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
    SetTitle("Reference host - " + (project_file_.empty() ? wxString("untitled project")
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
        SetStatusText("Saved " + wxString::FromUTF8(file));
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
    } catch (const common::input_error& e) {
        report("Cannot load the controllers", e.what());
    }
    show_property_window();
}

} // namespace reference_host
