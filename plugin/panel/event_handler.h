// The one panel object: it holds the controls built into the host's window
// (the window owns them) and turns their events into configuration.
#pragma once

#include <cstdint>
#include <memory>

#include <wx/event.h>

#include "abi/element_handle.h"
#include "abi/result_codes.h"
#include "element/instance_data.h"
#include "model/controller_table.h"
#include "model/input_config.h"
#include "panel/panel_controls.h"

class wxFocusEvent;
class wxSpinEvent;
class wxWindowDestroyEvent;

class EventHandler : public wxEvtHandler {
public:
    // The panel edits `config_template` (what new elements copy), offers what
    // `controllers` describe and shows `current_element` (the plug-in state's:
    // selections and deletions change it); all three outlive the object.
    EventHandler(input_config& config_template, const controller_table& controllers,
                 element_handle* const& current_element)
        : config_template(config_template), controllers(controllers),
          current_element(current_element) {}
    ~EventHandler() override = default;
    EventHandler(const EventHandler&) = delete;
    EventHandler& operator=(const EventHandler&) = delete;

    // Colours current_element by `record`'s timeout settings; with notify, calls
    // record's refresh_callback (when set) with current_element's project.
    void update_element_colour(instance_data* record, bool notify);

    // Every control event; the sections tell their controls apart by identifier.
    void handle_control_event(wxCommandEvent& event);
    // Focus loss and spin adapters: handled as a control event of the control.
    void handle_focus_lost(wxFocusEvent& event);
    void handle_spin_change(wxSpinEvent& event);

    // Radio states, enable states, bit clean-up and bit labels of current_element.
    void refresh_panel();

    // True when build_panel filled this object (a bare one has no controls).
    bool has_controls() const { return controls.controller.choice != nullptr; }

    // The host destroyed the window holding the panel (without vexa_reset_gui):
    // drop every pointer to its controls so no later call touches them.
    void handle_window_destroyed(wxWindowDestroyEvent& event);
    void forget_controls() { controls = {}; }

    input_config& config_template;
    const controller_table& controllers;
    element_handle* const& current_element;
    bool ignore_events = false;
    panel_controls controls;

private:
    // Where every edit reaches the element: `edited` becomes `record`'s
    // configuration and the template, then the element and panel follow it.
    void commit_edit(instance_data& record, const input_config& edited, edit_result result);
};

// Builds every control of the panel into element->parent_window, with a new
// EventHandler as their sink; `current_element` is `element` already. The
// caller deletes the object it replaces first.
std::unique_ptr<EventHandler> build_panel(element_handle* element, instance_data* record,
                                          input_config& config_template,
                                          const controller_table& controllers,
                                          element_handle* const& current_element);

// Every control from the element's configuration, with events ignored.
void fill_panel(EventHandler& handler, element_handle& element, instance_data& record,
                std::uint32_t host_flags);
