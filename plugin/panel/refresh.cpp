// Turns the current element's configuration into control state: radio
// states, enable states, the bit clean-up and the bit labels. The one place
// that does so after every edit and selection.
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/radiobut.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>

#include "controller_table.h"
#include "digital_ports.h"
#include "event_handler.h"
#include "lumo.h"

namespace {

// Relabelling a button costs a toolkit size update; skip it when unchanged.
void set_label(wxButton* button, const wxString& label) {
    if (button->GetLabel() != label)
        button->SetLabel(label);
}

void refresh_serial(wxRadioButton* radio, wxRadioButton* full, wxRadioButton* sub,
                    lumoTextCtrl* text, bool chosen, bool substring) {
    if (radio == nullptr)
        return;
    radio->SetValue(chosen);
    // Another mode leaves the compare radios showing the interface's last choice.
    if (chosen) {
        sub->SetValue(substring);
        full->SetValue(!substring);
    }
    text->Enable(chosen);
    full->Enable(chosen);
    sub->Enable(chosen);
}

void refresh_forwarding(EventHandler& h, bool serial_mode) {
    if (h.serial1_radio == nullptr && h.serial2_radio == nullptr)
        return;
    wxWindow* const controls[] = {
        h.forward_label,        h.forward_from_spin,    h.forward_to_spin,
        h.forward_from_label,   h.forward_to_label,     h.forward_in_checks[0],
        h.forward_in_checks[1], h.forward_in_checks[2], h.forward_in_checks[3]};
    for (wxWindow* control : controls)
        control->Enable(serial_mode);
}

void refresh_timeout(EventHandler& h, const input_config& c) {
    if (h.timeout_spin == nullptr)
        return;
    const bool timeout = (c.flags & FLAG_TIMEOUT) != 0;
    h.timeout_spin->Enable(timeout);
    h.timeout_unit_label->Enable(timeout);
    h.timeout_action_choice->Enable(timeout);
    // Follows the shown action, also while the timeout is off.
    h.goto_element_choice->Enable(h.timeout_action_choice->GetSelection() == ACTION_GOTO);
}

// Offered bits of the active port stay; every other compared bit of a built
// port is dropped from the element, and each button shows its bit.
void refresh_bits(EventHandler& h, input_config& c) {
    const unsigned controller = c.controller;
    for (int port = 0; port < DIGITAL_PORT_COUNT; ++port) {
        wxRadioButton* radio = port_radio(h, port);
        if (radio == nullptr)
            continue;
        const digital_port& port_info = digital_ports[port];
        const bool active = radio->IsThisEnabled() && c.input_mode == port_info.mode;
        const std::uint32_t value = port_value(c, port);
        std::uint32_t mask = port_mask(c, port);
        wxButton** buttons = port_buttons(h, port);
        for (int i = 0; i < port_info.width; ++i) {
            const std::uint32_t bit = button_bit(port, i);
            const bool usable =
                active && h.controllers.bit_offered(controller, port_info.mode, bit);
            buttons[i]->Enable(usable);
            if (!usable)
                mask &= ~bit;
            set_label(buttons[i], bit_state(value, mask, bit));
        }
        set_port_bits(c, port, value, mask);
    }
}

} // namespace

void EventHandler::refresh_panel() {
    instance_data* record = instance_of(current_element);
    if (record == nullptr || !has_controls())
        return;
    input_config& c = record->config;
    // Disabling a focused control moves the focus away; that focus loss is the
    // refresh's doing, not an edit.
    const bool was_ignoring = ignore_events;
    ignore_events = true;

    for (int port = 0; port < DIGITAL_PORT_COUNT; ++port)
        if (wxRadioButton* radio = port_radio(*this, port))
            radio->SetValue(c.input_mode == digital_ports[port].mode);
    refresh_serial(serial1_radio, serial1_full_radio, serial1_sub_radio, serial1_compare_text,
                   c.input_mode == INPUT_SERIAL_1, (c.flags & FLAG_SERIAL1_SUBSTRING) != 0);
    refresh_serial(serial2_radio, serial2_full_radio, serial2_sub_radio, serial2_compare_text,
                   c.input_mode == INPUT_SERIAL_2, (c.flags & FLAG_SERIAL2_SUBSTRING) != 0);
    refresh_forwarding(*this, c.input_mode == INPUT_SERIAL_1 || c.input_mode == INPUT_SERIAL_2);
    refresh_timeout(*this, c);
    message_text->Enable((c.flags & FLAG_SHOW_MESSAGE) != 0);

    // The 8- and 16-bit ports follow the element's controller; the 32-bit
    // input and the serial interfaces are never disabled.
    for (int port = 0; port < DIGITAL_PORT_COUNT; ++port)
        if (wxRadioButton* radio = port_radio(*this, port); radio && digital_ports[port].width < 32)
            radio->Enable(controllers.port_offered(c.controller, digital_ports[port].mode));
    refresh_bits(*this, c);

    ignore_events = was_ignoring;
}
