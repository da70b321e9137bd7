// Filling the panel from the selected element.
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/spinctrl.h>
#include <wx/window.h>

#include <algorithm>
#include <climits>

#include "controller_table.h"
#include "entry_points.h"
#include "event_handler.h"
#include "list_update.h"
#include "lumo.h"

namespace {

constexpr std::uint32_t HOST_FLAG_LOCK_CONTROLLER = 0x4;

void set_text(lumoTextCtrl* text, const wxString& value) {
    // ChangeValue: the fill is no edit, and the panel listens to no text events.
    if (text->GetValue() != value)
        text->ChangeValue(value);
}

wxString compare_text(const char* field) {
    wxString text;
    lumo_unicode_charToStringASCII(field, COMPARE_TEXT_CAPACITY, text);
    return text;
}

// A changed row costs the toolkit a pass over the whole list, while listing
// anew costs a constant per row: beyond this many rows, listing anew is cheaper.
constexpr std::size_t MOST_ROWS_CHANGED_IN_PLACE = 100;

// Brings the goto list to `names`, changing only the rows that differ.
void update_goto_list(EventHandler& h, const wxString* names, std::size_t count) {
    const list_update update = plan_list_update(h.goto_names, names, count);
    wxComboBox* list = h.goto_element_choice;
    h.goto_names.assign(names, names + count);
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
void fill_goto_list(EventHandler& h, const element_handle& element, instance_data& record) {
    const host_project* project = element.project;
    const std::vector<wxString>* names = project ? project->element_names : nullptr;
    const std::vector<std::int32_t>* ids = project ? project->element_ids : nullptr;
    const std::size_t count = names && ids ? std::min(names->size(), ids->size()) : 0;

    int selection = wxNOT_FOUND;
    for (std::size_t k = 0; k < count; ++k)
        if ((*ids)[k] == record.config.goto_element)
            selection = static_cast<int>(k); // a later match wins

    update_goto_list(h, count != 0 ? names->data() : nullptr, count);
    h.goto_element_choice->SetSelection(selection);
    if (ids != nullptr)
        record.element_ids = *ids;
    else
        record.element_ids.clear();
}

} // namespace

void fill_panel(EventHandler& h, element_handle& element, instance_data& record,
                std::uint32_t host_flags) {
    const input_config& c = record.config;
    h.ignore_events = true;

    h.controller_choice->Enable((host_flags & HOST_FLAG_LOCK_CONTROLLER) == 0);
    // Loaded data may name a controller the list does not have: no entry then.
    h.controller_choice->SetSelection(c.controller < CONTROLLER_COUNT ? c.controller : wxNOT_FOUND);

    wxString message;
    lumo_unicode_charToStringUTF16BE(reinterpret_cast<const char*>(c.wait_message),
                                     WAIT_MESSAGE_CAPACITY, message);
    set_text(h.message_text, message);
    if (h.serial1_compare_text != nullptr)
        set_text(h.serial1_compare_text, compare_text(c.compare_text1));
    if (h.serial2_compare_text != nullptr)
        set_text(h.serial2_compare_text, compare_text(c.compare_text2));

    if (h.forward_from_spin != nullptr) {
        h.forward_from_spin->SetValue(c.substr_from);
        h.forward_to_spin->SetValue(c.substr_to);
        const std::uint32_t targets[] = {FLAG_FORWARD_IN2, FLAG_FORWARD_IN3, FLAG_FORWARD_IN4,
                                         FLAG_FORWARD_IN5};
        for (int i = 0; i < 4; ++i)
            h.forward_in_checks[i]->SetValue((c.flags & targets[i]) != 0);
    }
    h.message_check->SetValue((c.flags & FLAG_SHOW_MESSAGE) != 0);

    if (h.timeout_check != nullptr) {
        h.timeout_check->SetValue((c.flags & FLAG_TIMEOUT) != 0);
        h.timeout_spin->SetValue(static_cast<int>(std::min<std::uint32_t>(c.timeout_sec, INT_MAX)));
        h.timeout_action_choice->SetSelection(c.timeout_action <= ACTION_GOTO ? c.timeout_action
                                                                              : wxNOT_FOUND);
        fill_goto_list(h, element, record);
    }

    h.update_element_colour(&record, true);
    h.refresh_panel();
    h.ignore_events = false;
}
