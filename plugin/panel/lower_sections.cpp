// The sections under the digital ones: serial interfaces 1 and 2, substring
// forwarding, the wait message and the timeout.
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/gbsizer.h>
#include <wx/panel.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>

#include "controller_table.h"
#include "element_list.h"
#include "event_handler.h"
#include "lumo.h"
#include "panel_builder.h"
#include "panel_radio.h"

namespace {

constexpr int SUB_PANEL_GAP = 2;
constexpr int TIMEOUT_MIN_SEC = 3;
constexpr int TIMEOUT_MAX_SEC = 3600;
constexpr int FORWARD_FROM_MAX = SUBSTR_LAST - 1;
constexpr int FORWARD_TO_MIN = 1;

lumoTextCtrl* new_text(wxWindow* parent, long style) {
    return new lumoTextCtrl(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                            style, false);
}

wxSpinCtrl* new_spin(wxWindow* parent, int min, int max, int initial) {
    return new wxSpinCtrl(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                          wxSP_ARROW_KEYS | wxTE_PROCESS_ENTER, min, max, initial);
}

wxComboBox* new_choice(wxWindow* parent) {
    return new wxComboBox(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0,
                          nullptr, wxCB_READONLY | wxCB_DROPDOWN);
}

// The members of one serial section.
struct serial_members {
    std::uint32_t mode;
    const char* number;         // " 1" or " 2", appended untranslated
    const char* substring_text; // the two interfaces' labels differ
    wxRadioButton*& radio;
    lumoTextCtrl*& compare_text;
    wxRadioButton*& full_radio;
    wxRadioButton*& sub_radio;
};

void build_serial_section(panel_builder& b, const serial_members& s) {
    const int r = b.row;
    b.separator(r);

    s.radio = new panel_radio(b.parent, b.translate("Serial Interface") + s.number);
    b.place(s.radio, r + 1, 0, 1, 3, wxEXPAND);
    b.connect(s.radio, wiring::radio);

    s.compare_text = new_text(b.parent, wxTE_PROCESS_ENTER);
    s.compare_text->SetMaxLength(COMPARE_TEXT_CAPACITY);
    b.place(s.compare_text, r + 2, 0, 1, 3, wxEXPAND);
    b.connect(s.compare_text, wiring::text);

    s.full_radio = new panel_radio(b.parent, b.translate("Compare full string"));
    b.place(s.full_radio, r + 3, 1, 1, 2);
    b.connect(s.full_radio, wiring::radio);

    s.sub_radio = new panel_radio(b.parent, b.translate(s.substring_text));
    b.place(s.sub_radio, r + 4, 1, 1, 2);
    b.connect(s.sub_radio, wiring::radio);

    b.row += 5;
}

} // namespace

void build_serial_sections(panel_builder& b) {
    EventHandler& h = *b.handler;
    const serial_members sections[] = {
        {INPUT_SERIAL_1, " 1", "Compare (sub)string", h.serial1_radio, h.serial1_compare_text,
         h.serial1_full_radio, h.serial1_sub_radio},
        {INPUT_SERIAL_2, " 2", "Compare substring", h.serial2_radio, h.serial2_compare_text,
         h.serial2_full_radio, h.serial2_sub_radio},
    };
    for (const serial_members& s : sections)
        if ((h.controllers.capabilities() & s.mode) != 0)
            build_serial_section(b, s);
}

void build_forwarding_section(panel_builder& b) {
    if ((b.handler->controllers.capabilities() & INPUT_SERIAL_ANY) == 0)
        return;
    EventHandler& h = *b.handler;
    const int r = b.row;
    b.separator(r);

    h.forward_label = new wxStaticText(b.parent, wxID_ANY, b.translate("Forward substring"));
    b.place(h.forward_label, r + 1, 0, 1, 3, wxEXPAND);

    auto* range = new wxPanel(b.parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                              wxTAB_TRAVERSAL | wxBORDER_NONE);
    auto* range_sizer = new wxGridBagSizer(SUB_PANEL_GAP, SUB_PANEL_GAP);
    range->SetSizer(range_sizer);
    h.forward_from_label = new wxStaticText(range, wxID_ANY, b.translate("From"));
    h.forward_from_spin = new_spin(range, 0, FORWARD_FROM_MAX, 0);
    h.forward_to_label = new wxStaticText(range, wxID_ANY, b.translate("to"));
    h.forward_to_spin = new_spin(range, FORWARD_TO_MIN, SUBSTR_LAST, SUBSTR_LAST);
    const wxGBSpan one(1, 1);
    range_sizer->Add(h.forward_from_label, wxGBPosition(0, 0), one, wxALIGN_CENTER_VERTICAL);
    range_sizer->Add(h.forward_from_spin, wxGBPosition(0, 1), one, wxALIGN_CENTER_VERTICAL);
    range_sizer->Add(h.forward_to_label, wxGBPosition(0, 2), one, wxALIGN_CENTER_VERTICAL);
    range_sizer->Add(h.forward_to_spin, wxGBPosition(0, 3), one, wxEXPAND);
    b.connect(h.forward_from_spin, wiring::forward_spin);
    b.connect(h.forward_to_spin, wiring::forward_spin);
    b.place(range, r + 2, 1, 1, 3, wxEXPAND);

    const char* const targets[] = {"Character Input IN2", "Character Input IN3",
                                   "Character Input IN4", "Character Input IN5"};
    for (int i = 0; i < 4; ++i) {
        h.forward_in_checks[i] = new wxCheckBox(b.parent, wxID_ANY, b.translate(targets[i]));
        b.place(h.forward_in_checks[i], r + 3 + i, 1, 1, 2, wxEXPAND);
        b.connect(h.forward_in_checks[i], wiring::check_box);
    }
    b.row += 7;
}

void build_message_section(panel_builder& b) {
    EventHandler& h = *b.handler;
    const int r = b.row;
    b.separator(r);

    h.message_check =
        new wxCheckBox(b.parent, wxID_ANY, b.translate("Display message during wait") + ":");
    b.place(h.message_check, r + 1, 0, 1, 3, wxEXPAND);
    b.connect(h.message_check, wiring::check_box);

    h.message_text = new_text(b.parent, wxTE_MULTILINE | wxTE_PROCESS_ENTER);
#if !defined(__WXGTK__)
    // wxGTK has no length limit for multi-line text and asserts; the
    // conversion into the record caps the stored message anyway.
    h.message_text->SetMaxLength(WAIT_MESSAGE_CAPACITY);
#endif
    b.place(h.message_text, r + 2, 0, 3, 3, wxEXPAND);
    b.connect(h.message_text, wiring::text);

    b.row += 5;
}

void build_timeout_section(panel_builder& b, bool no_timeout_section) {
    if (no_timeout_section)
        return;
    EventHandler& h = *b.handler;
    const int r = b.row;
    b.separator(r);

    h.timeout_check = new wxCheckBox(b.parent, wxID_ANY, b.translate("Timeout") + ":");
    b.place(h.timeout_check, r + 1, 0, 1, 1, wxEXPAND);
    b.connect(h.timeout_check, wiring::check_box);

    // The value shown comes from the element when it is selected.
    h.timeout_spin = new_spin(b.parent, TIMEOUT_MIN_SEC, TIMEOUT_MAX_SEC, 0);
    b.place(h.timeout_spin, r + 1, 1, 1, 1, wxEXPAND);
    b.connect(h.timeout_spin, wiring::timeout_spin);

    h.timeout_unit_label = new wxStaticText(b.parent, wxID_ANY, b.translate("sec"));
    b.place(h.timeout_unit_label, r + 1, 2, 1, 1, wxALIGN_CENTER_VERTICAL);

    // Entry i is timeout_action i.
    h.timeout_action_choice = new_choice(b.parent);
    wxArrayString actions;
    actions.push_back(b.translate("Continue marking"));
    actions.push_back(b.translate("Restart project"));
    actions.push_back(b.translate("Stop marking"));
    actions.push_back(b.translate("Go to element") + ":");
    h.timeout_action_choice->Append(actions);
    h.timeout_action_choice->SetSelection(ACTION_CONTINUE);
    b.place(h.timeout_action_choice, r + 2, 1, 1, 3, wxEXPAND);
    b.connect(h.timeout_action_choice, wiring::choice);

    h.goto_element_choice = new element_list(b.parent);
    b.place(h.goto_element_choice, r + 3, 1, 1, 3, wxEXPAND);
    b.connect(h.goto_element_choice, wiring::choice);

    b.row += 4;
}
