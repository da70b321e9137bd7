// The controls of a configuration panel as a host sees them: found in the
// host's window through its grid-bag sizer, by position and label, without
// asking the plug-in.
#pragma once

#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/radiobut.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "model.h"

struct found_controls {
    wxWindow* window = nullptr; // the host window the panel was built into
    wxComboBox* controller_choice = nullptr;
    wxRadioButton* port_radio[model::PORTS] = {};
    std::vector<wxButton*> bit_buttons[model::PORTS]; // leftmost (top bit) first
    wxRadioButton* serial_radio[2] = {};
    wxTextCtrl* compare_text[2] = {};
    wxRadioButton* full_radio[2] = {};
    wxRadioButton* sub_radio[2] = {};
    wxStaticText* forward_label = nullptr;
    wxStaticText* forward_from_label = nullptr;
    wxStaticText* forward_to_label = nullptr;
    wxSpinCtrl* forward_from = nullptr;
    wxSpinCtrl* forward_to = nullptr;
    wxCheckBox* forward_checks[4] = {};
    wxCheckBox* message_check = nullptr;
    wxTextCtrl* message_text = nullptr;
    wxCheckBox* timeout_check = nullptr;
    wxSpinCtrl* timeout_spin = nullptr;
    wxStaticText* timeout_unit = nullptr;
    wxComboBox* timeout_action = nullptr;
    wxComboBox* goto_choice = nullptr;

    model::panel_sections sections() const;
    // Every control a user can operate, for picking one at random.
    std::vector<wxWindow*> operable() const;
};

// Finds the panel in `window`, filling `found`, a fresh one; on failure
// `error` says what is missing.
bool find_panel(wxWindow* window, found_controls& found, std::string& error);
