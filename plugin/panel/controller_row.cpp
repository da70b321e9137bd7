#include "panel/controller_row.h"

#include <wx/combobox.h>

#include "model/controller_table.h"
#include "panel/panel_builder.h"

namespace {

constexpr std::uint32_t HOST_FLAG_LOCK_CONTROLLER = 0x4;

} // namespace

void build_controller_row(panel_builder& b, controller_row_controls& row) {
    wxComboBox* choice = new_choice(b.parent);
    // The words are translated; the number after them is not.
    const wxString words = b.translate("Scanner Controller");
    wxArrayString entries;
    for (unsigned n = 1; n <= CONTROLLER_COUNT; ++n)
        entries.push_back(wxString::Format("%s %u", words, n));
    choice->Append(entries);
    choice->SetSelection(0);
    b.place(choice, 0, 0, 1, PANEL_COLUMNS, wxEXPAND);
    b.connect(choice, wiring::choice);
    row.choice = choice;
    b.row = 1;
}

void fill_controller_row(controller_row_controls& row, const input_config& c,
                         std::uint32_t host_flags) {
    row.choice->Enable((host_flags & HOST_FLAG_LOCK_CONTROLLER) == 0);
    // Loaded data may name a controller the list does not have: no entry then.
    row.choice->SetSelection(c.controller < CONTROLLER_COUNT ? c.controller : wxNOT_FOUND);
}

edit_result edit_controller_row(const controller_row_controls& row, input_config& edited, int id) {
    if (!sent_by(row.choice, id))
        return edit_result::not_sent;
    const int selected = row.choice->GetSelection();
    if (selected >= 0)
        edited.controller = static_cast<std::uint8_t>(selected);
    return edit_result::edited;
}
