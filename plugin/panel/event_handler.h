// The one panel object: it points at the controls built into the host's
// window (the window owns them) and turns their events into configuration.
#pragma once

#include <cstdint>
#include <vector>

#include <wx/event.h>

#include "controller_table.h"
#include "element_handle.h"
#include "input_config.h"
#include "instance_data.h"
#include "result_codes.h"

class wxButton;
class wxCheckBox;
class wxComboBox;
class wxFocusEvent;
class wxRadioButton;
class wxSpinCtrl;
class wxSpinEvent;
class wxStaticText;
class wxWindow;
class wxWindowDestroyEvent;
class lumoTextCtrl;

constexpr int BIT_BUTTON_SLOTS = 16;

class EventHandler : public wxEvtHandler {
public:
    // The panel edits `config_template` (what new elements copy) and offers
    // what `controllers` describe; both outlive the object.
    EventHandler(input_config& config_template, const controller_table& controllers)
        : config_template(config_template), controllers(controllers) {}
    ~EventHandler() override = default;
    EventHandler(const EventHandler&) = delete;
    EventHandler& operator=(const EventHandler&) = delete;

    // Colours current_element by `record`'s timeout settings; with notify, calls
    // record's refresh_callback (when set) with current_element's project.
    void update_element_colour(instance_data* record, bool notify);

    // Control events (all controls), focus loss and spin adapters.
    void handle_control_event(wxCommandEvent& event);
    void handle_focus_lost(wxFocusEvent& event);
    void handle_spin_change(wxSpinEvent& event);

    // Radio states, enable states, bit clean-up and bit labels of current_element.
    void refresh_panel();

    // True when build_panel filled this object (a bare one has no controls).
    bool has_controls() const { return controller_choice != nullptr; }

    // The host destroyed the window holding the panel (without vexa_reset_gui):
    // drop every pointer to its controls so no later call touches them.
    void handle_window_destroyed(wxWindowDestroyEvent& event);
    void forget_controls();

    input_config& config_template;
    const controller_table& controllers;
    element_handle* current_element = nullptr;
    wxComboBox* controller_choice = nullptr;
    wxRadioButton* digi8_radio[2] = {};
    wxRadioButton* digi16_radio[2] = {};
    wxRadioButton* digi32_radio = nullptr;
    wxRadioButton* serial1_radio = nullptr;
    wxRadioButton* serial2_radio = nullptr;
    wxButton* digi8_bit_buttons[2][BIT_BUTTON_SLOTS] = {};
    wxButton* digi16_bit_buttons[2][BIT_BUTTON_SLOTS] = {};
    wxButton* digi32_bit_buttons[32] = {};
    lumoTextCtrl* serial2_compare_text = nullptr;
    lumoTextCtrl* serial1_compare_text = nullptr;
    lumoTextCtrl* message_text = nullptr;
    wxSpinCtrl* timeout_spin = nullptr;
    wxStaticText* timeout_unit_label = nullptr;
    wxComboBox* timeout_action_choice = nullptr;
    wxComboBox* goto_element_choice = nullptr;
    wxRadioButton* serial1_full_radio = nullptr;
    wxRadioButton* serial1_sub_radio = nullptr;
    wxRadioButton* serial2_full_radio = nullptr;
    wxRadioButton* serial2_sub_radio = nullptr;
    bool ignore_events = false;
    wxCheckBox* message_check = nullptr;
    wxCheckBox* timeout_check = nullptr;
    wxStaticText* forward_label = nullptr;
    wxStaticText* forward_from_label = nullptr;
    wxStaticText* forward_to_label = nullptr;
    wxSpinCtrl* forward_from_spin = nullptr;
    wxSpinCtrl* forward_to_spin = nullptr;
    wxCheckBox* forward_in_checks[4] = {};

    // What goto_element_choice lists: a selection changes only the rows that
    // differ (panel/list_update.h), none for an unchanged project.
    std::vector<wxString> goto_names;
    // The host window the controls were built into.
    wxWindow* panel_window = nullptr;
};

// Builds every control of the panel into element->parent_window, with a new
// EventHandler as their sink, current_element `element`. The caller deletes
// the object it replaces first.
EventHandler* build_panel(element_handle* element, instance_data* record,
                          input_config& config_template, const controller_table& controllers);

// Every control from the element's configuration, with events ignored.
void fill_panel(EventHandler& handler, element_handle& element, instance_data& record,
                std::uint32_t host_flags);

// The display colour of a configuration, by its timeout settings.
wxColour element_colour(const input_config& config);
