// The frame of the panel's construction, the controller row and the digital
// sections with their bit buttons.
#include <algorithm>
#include <iterator>

#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/gbsizer.h>
#include <wx/panel.h>
#include <wx/spinctrl.h>
#include <wx/statline.h>

#include "controller_table.h"
#include "digital_ports.h"
#include "event_handler.h"
#include "panel_builder.h"
#include "panel_radio.h"

namespace {

// The host's no_timeout_section option of a creation record.
bool has_no_timeout_section(const void* creation_record) {
    if (creation_record == nullptr)
        return false;
    const auto* bytes = static_cast<const std::uint8_t*>(creation_record);
    return (bytes[CREATION_OPTIONS_OFFSET] & CREATION_NO_TIMEOUT_SECTION) != 0;
}

constexpr int SIZER_GAP = 2;
constexpr int PANEL_COLUMNS = 4;
constexpr int BITS_PER_PANEL = 8;

// A row of eight bit buttons that keeps the width of its buttons.
wxPanel* new_bit_panel(wxWindow* parent) {
    auto* panel = new wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                              wxTAB_TRAVERSAL | wxBORDER_NONE);
    panel->SetSizer(new wxGridSizer(1, BITS_PER_PANEL, SIZER_GAP, SIZER_GAP));
    return panel;
}

void build_digital_section(panel_builder& b, int port) {
    const digital_port& port_info = digital_ports[port];
    const int panels = port_info.width / BITS_PER_PANEL;
    const wxString radio_format =
        b.translate(wxString::Format("Digital %%d (%d Bit)", port_info.width));
    auto* radio = new panel_radio(b.parent, format_number(radio_format, port_info.number));
    b.place(radio, b.row, 0, 1, 3, wxEXPAND);
    b.connect(radio, wiring::radio);
    port_radio(*b.handler, port) = radio;

    // Translated once per section: the host's translator may be slow.
    const wxString unset = b.translate("X");
    const wxString tooltip_format = b.translate("Bit %d");
    wxButton** buttons = port_buttons(*b.handler, port);
    for (int k = 0; k < panels; ++k) {
        wxPanel* panel = new_bit_panel(b.parent);
        b.place(panel, b.row + 1 + k, 0, 1, 3, wxALIGN_RIGHT | wxALIGN_CENTER_VERTICAL);
        for (int j = k * BITS_PER_PANEL; j < (k + 1) * BITS_PER_PANEL; ++j) {
            auto* button = new wxButton(panel, wxID_ANY, unset, wxDefaultPosition, wxDefaultSize,
                                        wxBU_EXACTFIT);
            button->SetToolTip(format_number(tooltip_format, port_info.width - 1 - j));
            panel->GetSizer()->Add(button, 1, wxEXPAND);
            b.connect(button, wiring::bit_button);
            buttons[j] = button;
        }
    }
    b.row += 1 + panels;
}

} // namespace

wxString panel_builder::translate(const wxString& text) const {
    return translator != nullptr ? translator->translate(text) : text;
}

void panel_builder::place(wxWindow* window, int at_row, int column, int rows, int columns,
                          int flags) const {
    sizer->Add(window, wxGBPosition(at_row, column), wxGBSpan(rows, columns), flags, 0);
}

void panel_builder::separator(int at_row) const {
    auto* line =
        new wxStaticLine(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLI_HORIZONTAL);
    place(line, at_row, 0, 1, PANEL_COLUMNS, wxEXPAND);
}

void panel_builder::connect(wxWindow* control, wiring kind) const {
    auto command = [&](wxEventType type) {
        control->Connect(type, wxCommandEventHandler(EventHandler::handle_control_event), nullptr,
                         handler);
    };
    auto focus_lost = [&] {
        control->Connect(wxEVT_KILL_FOCUS, wxFocusEventHandler(EventHandler::handle_focus_lost),
                         nullptr, handler);
    };
    auto spin_change = [&] {
        control->Connect(wxEVT_SPINCTRL, wxSpinEventHandler(EventHandler::handle_spin_change),
                         nullptr, handler);
    };
    switch (kind) {
    case wiring::choice:
        command(wxEVT_COMBOBOX);
        break;
    case wiring::radio:
        command(wxEVT_RADIOBUTTON);
        break;
    case wiring::bit_button:
        command(wxEVT_BUTTON);
        break;
    case wiring::check_box:
        command(wxEVT_CHECKBOX);
        break;
    case wiring::text:
        command(wxEVT_TEXT_ENTER);
        focus_lost();
        break;
    case wiring::forward_spin:
        command(wxEVT_TEXT_ENTER);
        focus_lost();
        command(wxEVT_SPINCTRL);
        break;
    case wiring::timeout_spin:
        command(wxEVT_TEXT_ENTER);
        focus_lost();
        spin_change();
        break;
    }
}

wxString format_number(const wxString& format, int number) {
    const wxString digits = wxString::Format("%d", number);
    wxString text;
    text.reserve(format.length() + digits.length());
    for (auto it = format.begin(); it != format.end(); ++it) {
        auto next = it + 1;
        if (*it == '%' && next != format.end() && (*next == 'd' || *next == '%')) {
            text += *next == 'd' ? digits : wxString("%");
            it = next;
        } else {
            text += *it;
        }
    }
    return text;
}

void build_controller_row(panel_builder& b) {
    auto* choice = new wxComboBox(b.parent, wxID_ANY, wxEmptyString, wxDefaultPosition,
                                  wxDefaultSize, 0, nullptr, wxCB_READONLY | wxCB_DROPDOWN);
    // The words are translated; the number after them is not.
    const wxString words = b.translate("Scanner Controller");
    wxArrayString entries;
    for (unsigned n = 1; n <= CONTROLLER_COUNT; ++n)
        entries.push_back(wxString::Format("%s %u", words, n));
    choice->Append(entries);
    choice->SetSelection(0);
    b.place(choice, 0, 0, 1, PANEL_COLUMNS, wxEXPAND);
    b.connect(choice, wiring::choice);
    b.handler->controller_choice = choice;
}

void build_digital_sections(panel_builder& b) {
    for (int port = 0; port < DIGITAL_PORT_COUNT; ++port)
        if ((b.handler->controllers.capabilities() & digital_ports[port].mode) != 0)
            build_digital_section(b, port);
}

EventHandler* build_panel(element_handle* element, instance_data* record,
                          input_config& config_template, const controller_table& controllers) {
    auto* handler = new EventHandler(config_template, controllers);
    handler->current_element = element;

    wxWindow* parent = element->parent_window;
    auto* sizer = new wxGridBagSizer(SIZER_GAP, SIZER_GAP);
    parent->SetSizer(sizer);

    panel_builder b{parent, sizer, handler, element->translator, 0};
    build_controller_row(b);
    b.row = 1;
    build_digital_sections(b);
    build_serial_sections(b);
    build_forwarding_section(b);
    build_message_section(b);
    build_timeout_section(b, record != nullptr && has_no_timeout_section(record->host_context));

    sizer->AddGrowableCol(1, 0);
    sizer->AddGrowableCol(2, 0);

    handler->panel_window = parent;
    parent->Connect(wxEVT_DESTROY,
                    wxWindowDestroyEventHandler(EventHandler::handle_window_destroyed), nullptr,
                    handler);
    return handler;
}

void EventHandler::handle_window_destroyed(wxWindowDestroyEvent& event) {
    // Destruction of the controls themselves propagates here too; only the
    // window that owns them all matters.
    if (event.GetEventObject() == panel_window)
        forget_controls();
    event.Skip();
}

void EventHandler::forget_controls() {
    controller_choice = nullptr;
    std::fill(std::begin(digi8_radio), std::end(digi8_radio), nullptr);
    std::fill(std::begin(digi16_radio), std::end(digi16_radio), nullptr);
    digi32_radio = serial1_radio = serial2_radio = nullptr;
    std::fill(&digi8_bit_buttons[0][0], &digi8_bit_buttons[0][0] + 2 * BIT_BUTTON_SLOTS, nullptr);
    std::fill(&digi16_bit_buttons[0][0], &digi16_bit_buttons[0][0] + 2 * BIT_BUTTON_SLOTS, nullptr);
    std::fill(std::begin(digi32_bit_buttons), std::end(digi32_bit_buttons), nullptr);
    serial1_compare_text = serial2_compare_text = message_text = nullptr;
    timeout_spin = nullptr;
    timeout_unit_label = nullptr;
    timeout_action_choice = goto_element_choice = nullptr;
    serial1_full_radio = serial1_sub_radio = serial2_full_radio = serial2_sub_radio = nullptr;
    message_check = timeout_check = nullptr;
    forward_label = forward_from_label = forward_to_label = nullptr;
    forward_from_spin = forward_to_spin = nullptr;
    std::fill(std::begin(forward_in_checks), std::end(forward_in_checks), nullptr);
    goto_names.clear();
    panel_window = nullptr;
}
