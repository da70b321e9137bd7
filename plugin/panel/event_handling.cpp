// Turns a control event into configuration: the one place where the panel
// writes an element's input_config (besides the refresh's bit clean-up).
#include <cstdint>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/radiobut.h>
#include <wx/spinctrl.h>

#include "digital_ports.h"
#include "event_handler.h"
#include "lumo.h"

namespace {

bool sent_by(const wxWindow* control, int id) {
    return control != nullptr && control->GetId() == id;
}

void set_flag(input_config& c, std::uint32_t flag, bool on) {
    c.flags = on ? (c.flags | flag) : (c.flags & ~flag);
}

// A click on a bit button of a built port; false when `id` is none of them.
bool apply_bit_click(EventHandler& h, input_config& c, int id) {
    for (int port = 0; port < DIGITAL_PORT_COUNT; ++port) {
        if (port_radio(h, port) == nullptr)
            continue;
        wxButton** buttons = port_buttons(h, port);
        for (int i = 0; i < digital_ports[port].width; ++i) {
            if (!sent_by(buttons[i], id))
                continue;
            std::uint32_t value = port_value(c, port);
            std::uint32_t mask = port_mask(c, port);
            // The refresh relabels the button from the new bits.
            if (cycle_bit_state(buttons[i]->GetLabel(), button_bit(port, i), value, mask))
                set_port_bits(c, port, value, mask);
            return true;
        }
    }
    return false;
}

bool apply_mode_radio(EventHandler& h, input_config& c, int id) {
    const std::pair<wxRadioButton*, std::uint32_t> radios[] = {
        {h.digi8_radio[0], INPUT_DIGI8_1},   {h.digi8_radio[1], INPUT_DIGI8_2},
        {h.digi16_radio[0], INPUT_DIGI16_1}, {h.digi16_radio[1], INPUT_DIGI16_2},
        {h.digi32_radio, INPUT_DIGI32},      {h.serial1_radio, INPUT_SERIAL_1},
        {h.serial2_radio, INPUT_SERIAL_2},
    };
    for (const auto& [radio, mode] : radios) {
        if (sent_by(radio, id)) {
            c.input_mode = mode;
            return true;
        }
    }
    return false;
}

bool apply_compare_radio(EventHandler& h, input_config& c, int id) {
    // A compare radio counts only while its interface's section exists.
    const struct {
        wxRadioButton* interface_radio;
        wxRadioButton* radio;
        std::uint32_t chosen;
        std::uint32_t other;
    } radios[] = {
        {h.serial1_radio, h.serial1_full_radio, FLAG_SERIAL1_FULL, FLAG_SERIAL1_SUBSTRING},
        {h.serial1_radio, h.serial1_sub_radio, FLAG_SERIAL1_SUBSTRING, FLAG_SERIAL1_FULL},
        {h.serial2_radio, h.serial2_full_radio, FLAG_SERIAL2_FULL, FLAG_SERIAL2_SUBSTRING},
        {h.serial2_radio, h.serial2_sub_radio, FLAG_SERIAL2_SUBSTRING, FLAG_SERIAL2_FULL},
    };
    for (const auto& r : radios) {
        if (r.interface_radio != nullptr && sent_by(r.radio, id)) {
            c.flags = (c.flags | r.chosen) & ~r.other;
            return true;
        }
    }
    return false;
}

bool apply_check_box(EventHandler& h, input_config& c, int id) {
    const std::pair<wxCheckBox*, std::uint32_t> boxes[] = {
        {h.message_check, FLAG_SHOW_MESSAGE},       {h.timeout_check, FLAG_TIMEOUT},
        {h.forward_in_checks[0], FLAG_FORWARD_IN2}, {h.forward_in_checks[1], FLAG_FORWARD_IN3},
        {h.forward_in_checks[2], FLAG_FORWARD_IN4}, {h.forward_in_checks[3], FLAG_FORWARD_IN5},
    };
    for (const auto& [box, flag] : boxes) {
        if (sent_by(box, id)) {
            set_flag(c, flag, box->GetValue());
            return true;
        }
    }
    return false;
}

// The edited bound gives way so that substr_from < substr_to always holds;
// the spin then shows the bound as stored.
void apply_substring_from(wxSpinCtrl* spin, input_config& c) {
    c.substr_from = static_cast<std::uint8_t>(spin->GetValue());
    if (c.substr_from >= c.substr_to)
        c.substr_from = static_cast<std::uint8_t>(c.substr_to - 1);
    spin->SetValue(c.substr_from);
}

void apply_substring_to(wxSpinCtrl* spin, input_config& c) {
    c.substr_to = static_cast<std::uint8_t>(spin->GetValue());
    if (c.substr_from >= c.substr_to) {
        // Loaded data may hold From 255, with no bound above it: From then
        // gives way by one, or To would wrap to 0 and come before From.
        if (c.substr_from == UINT8_MAX)
            c.substr_from = UINT8_MAX - 1;
        c.substr_to = static_cast<std::uint8_t>(c.substr_from + 1);
    }
    spin->SetValue(c.substr_to);
}

bool apply_value_control(EventHandler& h, instance_data& record, int id) {
    input_config& c = record.config;
    if (sent_by(h.controller_choice, id)) {
        const int selected = h.controller_choice->GetSelection();
        if (selected >= 0)
            c.controller = static_cast<std::uint8_t>(selected);
    } else if (sent_by(h.serial1_compare_text, id)) {
        lumo_unicode_stringToCharASCII(h.serial1_compare_text->GetValue(), c.compare_text1,
                                       COMPARE_TEXT_CAPACITY);
    } else if (sent_by(h.serial2_compare_text, id)) {
        lumo_unicode_stringToCharASCII(h.serial2_compare_text->GetValue(), c.compare_text2,
                                       COMPARE_TEXT_CAPACITY);
    } else if (sent_by(h.timeout_spin, id)) {
        const int seconds = h.timeout_spin->GetValue();
        c.timeout_sec = seconds > 0 ? static_cast<std::uint32_t>(seconds) : 0;
    } else if (sent_by(h.timeout_action_choice, id)) {
        const int selected = h.timeout_action_choice->GetSelection();
        if (selected >= 0)
            c.timeout_action = static_cast<std::uint8_t>(selected);
    } else if (sent_by(h.goto_element_choice, id)) {
        // Entry k of the list stands for the k-th id copied at the selection;
        // an index outside that copy names no element.
        const int selected = h.goto_element_choice->GetSelection();
        if (selected >= 0 && static_cast<std::size_t>(selected) < record.element_ids.size())
            c.goto_element = record.element_ids[selected];
    } else if (sent_by(h.forward_from_spin, id)) {
        apply_substring_from(h.forward_from_spin, c);
    } else if (sent_by(h.forward_to_spin, id)) {
        apply_substring_to(h.forward_to_spin, c);
    } else {
        return false;
    }
    return true;
}

} // namespace

void EventHandler::handle_control_event(wxCommandEvent& event) {
    if (ignore_events || current_element == nullptr)
        return;
    instance_data* record = instance_of(current_element);
    if (record == nullptr)
        return;
    input_config& c = record->config;
    const int id = event.GetId();

    const bool message_edit = sent_by(message_text, id);
    if (message_edit) {
        lumo_unicode_stringToCharUTF16BE(message_text->GetValue(),
                                         reinterpret_cast<char*>(c.wait_message),
                                         WAIT_MESSAGE_CAPACITY);
    } else if (!apply_mode_radio(*this, c, id) && !apply_compare_radio(*this, c, id) &&
               !apply_check_box(*this, c, id) && !apply_value_control(*this, *record, id)) {
        apply_bit_click(*this, c, id);
    }

    // Taken before the refresh: bits the refresh drops stay in the template.
    config_template = c;
    // The wait message changes neither the colour nor the host's view.
    if (message_edit)
        return;
    update_element_colour(record, true);
    refresh_panel();
}

void EventHandler::handle_focus_lost(wxFocusEvent& event) {
    if (ignore_events)
        return;
    wxCommandEvent edit(wxEVT_NULL, 0);
    edit.SetId(event.GetId());
    handle_control_event(edit);
    // The toolkit's own focus handling goes on.
    event.Skip();
}

void EventHandler::handle_spin_change(wxSpinEvent& event) {
    if (ignore_events)
        return;
    wxCommandEvent edit(wxEVT_NULL, 0);
    edit.SetId(event.GetId());
    handle_control_event(edit);
}
