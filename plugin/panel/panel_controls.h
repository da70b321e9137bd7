// Every control of the panel, by section, as one value: the host's window
// owns the controls, so dropping them all is `controls = {}`. A null pointer
// is a control that was not built (its section is not offered).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include <wx/string.h>
#include <wx/window.h>

#include "model/input_config.h"
#include "panel/digital_ports.h"

class wxButton;
class wxCheckBox;
class wxComboBox;
class wxRadioButton;
class wxSpinCtrl;
class wxStaticText;
class lumoTextCtrl;

constexpr int SERIAL_INTERFACE_COUNT = 2;
constexpr int FORWARD_TARGET_COUNT = 4;

struct controller_row_controls {
    wxComboBox* choice = nullptr;
};

// One digital port: its mode radio and one button per bit, top bit first.
struct digital_section_controls {
    wxRadioButton* radio = nullptr;
    wxButton* bits[MAX_PORT_WIDTH] = {};
};

struct serial_section_controls {
    wxRadioButton* radio = nullptr;
    lumoTextCtrl* compare_text = nullptr;
    wxRadioButton* full_radio = nullptr;
    wxRadioButton* substring_radio = nullptr;
};

struct forwarding_section_controls {
    wxStaticText* label = nullptr;
    wxStaticText* from_label = nullptr;
    wxSpinCtrl* from_spin = nullptr;
    wxStaticText* to_label = nullptr;
    wxSpinCtrl* to_spin = nullptr;
    wxCheckBox* targets[FORWARD_TARGET_COUNT] = {}; // IN2 to IN5
};

struct message_section_controls {
    wxCheckBox* check = nullptr;
    lumoTextCtrl* text = nullptr;
};

struct timeout_section_controls {
    wxCheckBox* check = nullptr;
    wxSpinCtrl* spin = nullptr;
    wxStaticText* unit_label = nullptr;
    wxComboBox* action_choice = nullptr;
    wxComboBox* goto_choice = nullptr;
    // What goto_choice lists: a selection changes only the rows that differ
    // (list_update.h), none for an unchanged project.
    std::vector<wxString> goto_names;
};

using digital_sections = std::array<digital_section_controls, DIGITAL_PORT_COUNT>;
using serial_sections = std::array<serial_section_controls, SERIAL_INTERFACE_COUNT>;

struct panel_controls {
    wxWindow* window = nullptr; // the host window the controls were built into
    controller_row_controls controller;
    digital_sections digital; // by digital port, in panel order
    serial_sections serial;   // by serial interface: index 0 is interface 1
    forwarding_section_controls forwarding;
    message_section_controls message;
    timeout_section_controls timeout;
};

// What a section made of a control event.
enum class edit_result {
    not_sent,     // none of the section's controls sent it
    edited,       // the configuration took the edit: recolour and refresh
    message_only, // the wait message, which changes neither colour nor the host's view
};

inline bool sent_by(const wxWindow* control, int id) {
    return control != nullptr && control->GetId() == id;
}

inline void set_flag(input_config& config, std::uint32_t flag, bool on) {
    config.flags = on ? (config.flags | flag) : (config.flags & ~flag);
}
