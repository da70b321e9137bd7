#include "panel/timeout_section.h"

#include <algorithm>
#include <climits>

#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>

#include "panel/element_list.h"
#include "panel/list_update.h"
#include "panel/panel_builder.h"

namespace {

constexpr int TIMEOUT_MIN_SEC = 3;
constexpr int TIMEOUT_MAX_SEC = 3600;

// The host's no_timeout_section option of a creation record.
bool has_no_timeout_section(const void* creation_record) {
    if (creation_record == nullptr)
        return false;
    const auto* bytes = static_cast<const std::uint8_t*>(creation_record);
    return (bytes[CREATION_OPTIONS_OFFSET] & CREATION_NO_TIMEOUT_SECTION) != 0;
}

// A changed row costs the toolkit a pass over the whole list, while listing
// anew costs a constant per row: beyond this many rows, listing anew is cheaper.
constexpr std::size_t MOST_ROWS_CHANGED_IN_PLACE = 100;

// Brings the goto list to `names`, changing only the rows that differ.
void update_goto_list(timeout_section_controls& t, const wxString* names, std::size_t count) {
    const list_update update = plan_list_update(t.goto_names, names, count);
    wxComboBox* list = t.goto_choice;
    t.goto_names.assign(names, names + count);
    if (std::max(update.removed, update.inserted) > MOST_ROWS_CHANGED_IN_PLACE) {
        list->Clear();
        list->Append(wxArrayString(count, names));
        return;
    }
    const std::size_t replaced = std::min(update.removed, update.inserted);
    for (std::size_t k = update.first; k < update.first + replaced; ++k)
        list->SetString(static_cast<unsigned>(k), names[k]);
    const auto at = static_cast<unsigned>(update.first + replaced);
    // Surplus rows go from the last one, so no row moves before it goes.
    for (std::size_t k = update.removed; k > replaced; --k)
        list->Delete(at + static_cast<unsigned>(k - replaced - 1));
    if (update.inserted > replaced)
        list->Insert(wxArrayString(update.inserted - replaced, names + at), at);
}

// The project's elements as the goto list: only positions with both a name
// and an id are listed, so entry k always has element_ids[k].
void fill_goto_list(timeout_section_controls& t, const element_handle& element,
                    instance_data& record) {
    const host_project* project = element.project;
    const std::vector<wxString>* names = project ? project->element_names : nullptr;
    const std::vector<std::int32_t>* ids = project ? project->element_ids : nullptr;
    const std::size_t count = names && ids ? std::min(names->size(), ids->size()) : 0;

    int selection = wxNOT_FOUND;
    for (std::size_t k = 0; k < count; ++k)
        if ((*ids)[k] == record.config.goto_element)
            selection = static_cast<int>(k); // a later match wins

    update_goto_list(t, count != 0 ? names->data() : nullptr, count);
    t.goto_choice->SetSelection(selection);
    if (ids != nullptr)
        record.element_ids = *ids;
    else
        record.element_ids.clear();
}

} // namespace

void build_timeout_section(panel_builder& b, timeout_section_controls& t,
                           const instance_data* record) {
    if (record != nullptr && has_no_timeout_section(record->host_context))
        return;
    const int r = b.row;
    b.separator(r);

    t.check = new wxCheckBox(b.parent, wxID_ANY, b.translate("Timeout") + ":");
    b.place(t.check, r + 1, 0, 1, 1, wxEXPAND);
    b.connect(t.check, wiring::check_box);

    // The value shown comes from the element when it is selected.
    t.spin = new_spin(b.parent, TIMEOUT_MIN_SEC, TIMEOUT_MAX_SEC, 0);
    b.place(t.spin, r + 1, 1, 1, 1, wxEXPAND);
    b.connect(t.spin, wiring::timeout_spin);

    t.unit_label = new wxStaticText(b.parent, wxID_ANY, b.translate("sec"));
    b.place(t.unit_label, r + 1, 2, 1, 1, wxALIGN_CENTER_VERTICAL);

    // Entry i is timeout_action i.
    t.action_choice = new_choice(b.parent);
    wxArrayString actions;
    actions.push_back(b.translate("Continue marking"));
    actions.push_back(b.translate("Restart project"));
    actions.push_back(b.translate("Stop marking"));
    actions.push_back(b.translate("Go to element") + ":");
    t.action_choice->Append(actions);
    t.action_choice->SetSelection(ACTION_CONTINUE);
    b.place(t.action_choice, r + 2, 1, 1, 3, wxEXPAND);
    b.connect(t.action_choice, wiring::choice);

    t.goto_choice = new element_list(b.parent);
    b.place(t.goto_choice, r + 3, 1, 1, 3, wxEXPAND);
    b.connect(t.goto_choice, wiring::choice);

    b.row += 4;
}

void fill_timeout_section(timeout_section_controls& t, const element_handle& element,
                          instance_data& record) {
    if (t.check == nullptr)
        return;
    const input_config& c = record.config;
    t.check->SetValue((c.flags & FLAG_TIMEOUT) != 0);
    t.spin->SetValue(static_cast<int>(std::min<std::uint32_t>(c.timeout_sec, INT_MAX)));
    t.action_choice->SetSelection(c.timeout_action <= ACTION_GOTO ? c.timeout_action : wxNOT_FOUND);
    fill_goto_list(t, element, record);
}

void refresh_timeout_section(timeout_section_controls& t, const input_config& c) {
    if (t.spin == nullptr)
        return;
    const bool timeout = (c.flags & FLAG_TIMEOUT) != 0;
    t.spin->Enable(timeout);
    t.unit_label->Enable(timeout);
    t.action_choice->Enable(timeout);
    // Follows the shown action, also while the timeout is off.
    t.goto_choice->Enable(t.action_choice->GetSelection() == ACTION_GOTO);
}

edit_result edit_timeout_section(const timeout_section_controls& t, input_config& edited,
                                 const instance_data& record, int id) {
    if (sent_by(t.check, id)) {
        set_flag(edited, FLAG_TIMEOUT, t.check->GetValue());
    } else if (sent_by(t.spin, id)) {
        const int seconds = t.spin->GetValue();
        edited.timeout_sec = seconds > 0 ? static_cast<std::uint32_t>(seconds) : 0;
    } else if (sent_by(t.action_choice, id)) {
        const int selected = t.action_choice->GetSelection();
        if (selected >= 0)
            edited.timeout_action = static_cast<std::uint8_t>(selected);
    } else if (sent_by(t.goto_choice, id)) {
        // Entry k of the list stands for the k-th id copied at the selection;
        // an index outside that copy names no element.
        const int selected = t.goto_choice->GetSelection();
        if (selected >= 0 && static_cast<std::size_t>(selected) < record.element_ids.size())
            edited.goto_element = record.element_ids[selected];
    } else {
        return edit_result::not_sent;
    }
    return edit_result::edited;
}
