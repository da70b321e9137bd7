#include "panel/digital_section.h"

#include <wx/button.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>

#include "model/controller_table.h"
#include "panel/panel_builder.h"
#include "panel/panel_radio.h"

namespace {

constexpr int BITS_PER_PANEL = 8;

// A row of eight bit buttons that keeps the width of its buttons.
wxPanel* new_bit_panel(wxWindow* parent) {
    auto* panel = new wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                              wxTAB_TRAVERSAL | wxBORDER_NONE);
    panel->SetSizer(new wxGridSizer(1, BITS_PER_PANEL, SIZER_GAP, SIZER_GAP));
    return panel;
}

// The radio's label: the port's number goes in at %d, untranslated.
const char* radio_label_format(int width) {
    switch (width) {
    case 8:
        // TRANSLATORS: a digital input port of 8 lines; %d is the port's number (1 or 2).
        return TRANSLATABLE("Digital %d (8 Bit)");
    case 16:
        // TRANSLATORS: a digital input port of 16 lines; %d is the port's number (1 or 2).
        return TRANSLATABLE("Digital %d (16 Bit)");
    default:
        // TRANSLATORS: the digital input of 32 lines; %d is its number (1).
        return TRANSLATABLE("Digital %d (32 Bit)");
    }
}

void build_digital_section(panel_builder& b, int port, digital_section_controls& section) {
    const digital_port& port_info = digital_ports[port];
    const int panels = port_info.width / BITS_PER_PANEL;
    const wxString radio_format = b.translate(radio_label_format(port_info.width));
    auto* radio = new panel_radio(b.parent, format_number(radio_format, port_info.number));
    b.place(radio, b.row, 0, 1, 3, wxEXPAND);
    b.connect(radio, wiring::radio);
    section.radio = radio;

    // Translated once per section: the host's translator may be slow.
    const wxString unset = b.translate("X");
    // TRANSLATORS: the tooltip of a bit button; %d is the bit's number (0 to 31).
    const wxString tooltip_format = b.translate("Bit %d");
    for (int k = 0; k < panels; ++k) {
        wxPanel* panel = new_bit_panel(b.parent);
        b.place(panel, b.row + 1 + k, 0, 1, 3, wxALIGN_RIGHT | wxALIGN_CENTER_VERTICAL);
        for (int j = k * BITS_PER_PANEL; j < (k + 1) * BITS_PER_PANEL; ++j) {
            auto* button = new wxButton(panel, wxID_ANY, unset, wxDefaultPosition, wxDefaultSize,
                                        wxBU_EXACTFIT);
            button->SetToolTip(format_number(tooltip_format, port_info.width - 1 - j));
            panel->GetSizer()->Add(button, 1, wxEXPAND);
            b.connect(button, wiring::bit_button);
            section.bits[j] = button;
        }
    }
    b.row += 1 + panels;
}

// Relabelling a button costs a toolkit size update; skip it when unchanged.
void set_label(wxButton* button, const wxString& label) {
    if (button->GetLabel() != label)
        button->SetLabel(label);
}

void refresh_bits(const digital_section_controls& section, int port,
                  const controller_table& controllers, input_config& c) {
    const digital_port& port_info = digital_ports[port];
    const bool active = section.radio->IsThisEnabled() && c.input_mode == port_info.mode;
    const std::uint32_t value = port_value(c, port);
    std::uint32_t mask = port_mask(c, port);
    for (int i = 0; i < port_info.width; ++i) {
        const std::uint32_t bit = button_bit(port, i);
        const bool usable = active && controllers.bit_offered(c.controller, port_info.mode, bit);
        section.bits[i]->Enable(usable);
        if (!usable)
            mask &= ~bit;
        set_label(section.bits[i], bit_state(value, mask, bit));
    }
    set_port_bits(c, port, value, mask);
}

} // namespace

void build_digital_sections(panel_builder& b, digital_sections& ports) {
    for (int port = 0; port < DIGITAL_PORT_COUNT; ++port)
        if ((b.capabilities & digital_ports[port].mode) != 0)
            build_digital_section(b, port, ports[port]);
}

void refresh_digital_sections(digital_sections& ports, const controller_table& controllers,
                              input_config& c) {
    for (int port = 0; port < DIGITAL_PORT_COUNT; ++port)
        if (wxRadioButton* radio = ports[port].radio)
            radio->SetValue(c.input_mode == digital_ports[port].mode);
    // The 8- and 16-bit ports follow the element's controller; the 32-bit
    // input is never disabled.
    for (int port = 0; port < DIGITAL_PORT_COUNT; ++port)
        if (wxRadioButton* radio = ports[port].radio;
            radio && digital_ports[port].width < MAX_PORT_WIDTH)
            radio->Enable(controllers.port_offered(c.controller, digital_ports[port].mode));
    for (int port = 0; port < DIGITAL_PORT_COUNT; ++port)
        if (ports[port].radio != nullptr)
            refresh_bits(ports[port], port, controllers, c);
}

edit_result edit_digital_sections(const digital_sections& ports, input_config& edited, int id) {
    for (int port = 0; port < DIGITAL_PORT_COUNT; ++port) {
        if (sent_by(ports[port].radio, id)) {
            edited.input_mode = digital_ports[port].mode;
            return edit_result::edited;
        }
    }
    for (int port = 0; port < DIGITAL_PORT_COUNT; ++port) {
        const digital_section_controls& section = ports[port];
        if (section.radio == nullptr)
            continue;
        for (int i = 0; i < digital_ports[port].width; ++i) {
            if (!sent_by(section.bits[i], id))
                continue;
            std::uint32_t value = port_value(edited, port);
            std::uint32_t mask = port_mask(edited, port);
            // The refresh relabels the button from the new bits.
            if (cycle_bit_state(section.bits[i]->GetLabel(), button_bit(port, i), value, mask))
                set_port_bits(edited, port, value, mask);
            return edit_result::edited;
        }
    }
    return edit_result::not_sent;
}
