// The panel object's life: the build into the host's window, the fill from a
// selected element, the refresh after every edit and selection, and the one
// way an event becomes an edit of the element. What each section does lies in
// its own file.
#include <wx/gbsizer.h>
#include <wx/spinctrl.h>

#include "panel/controller_row.h"
#include "panel/digital_section.h"
#include "panel/event_handler.h"
#include "panel/forwarding_section.h"
#include "panel/message_section.h"
#include "panel/panel_builder.h"
#include "panel/serial_section.h"
#include "panel/timeout_section.h"

std::unique_ptr<EventHandler> build_panel(element_handle* element, instance_data* record,
                                          input_config& config_template,
                                          const controller_table& controllers,
                                          element_handle* const& current_element) {
    auto handler = std::make_unique<EventHandler>(config_template, controllers, current_element);
    panel_controls& controls = handler->controls;

    wxWindow* parent = element->parent_window;
    auto* sizer = new wxGridBagSizer(SIZER_GAP, SIZER_GAP);
    parent->SetSizer(sizer);

    panel_builder b{parent, sizer, handler.get(), element->translator, controllers.capabilities(),
                    0};
    build_controller_row(b, controls.controller);
    build_digital_sections(b, controls.digital);
    build_serial_sections(b, controls.serial);
    build_forwarding_section(b, controls.forwarding);
    build_message_section(b, controls.message);
    build_timeout_section(b, controls.timeout, record);

    sizer->AddGrowableCol(1, 0);
    sizer->AddGrowableCol(2, 0);

    controls.window = parent;
    parent->Connect(wxEVT_DESTROY,
                    wxWindowDestroyEventHandler(EventHandler::handle_window_destroyed), nullptr,
                    handler.get());
    return handler;
}

void fill_panel(EventHandler& h, element_handle& element, instance_data& record,
                std::uint32_t host_flags) {
    panel_controls& controls = h.controls;
    const input_config& c = record.config;
    h.ignore_events = true;

    fill_controller_row(controls.controller, c, host_flags);
    fill_serial_sections(controls.serial, c);
    fill_forwarding_section(controls.forwarding, c);
    fill_message_section(controls.message, c);
    fill_timeout_section(controls.timeout, element, record);

    h.update_element_colour(&record, true);
    h.refresh_panel();
    h.ignore_events = false;
}

void EventHandler::refresh_panel() {
    instance_data* record = instance_of(current_element);
    if (record == nullptr || !has_controls())
        return;
    input_config& c = record->config;
    // Disabling a focused control moves the focus away; that focus loss is the
    // refresh's doing, not an edit.
    const bool was_ignoring = ignore_events;
    ignore_events = true;

    refresh_serial_sections(controls.serial, c);
    refresh_forwarding_section(controls.forwarding, c);
    refresh_timeout_section(controls.timeout, c);
    refresh_message_section(controls.message, c);
    // Last: the bits follow the ports' enable state, and drop from the element
    // what the element's controller does not offer.
    refresh_digital_sections(controls.digital, controllers, c);

    ignore_events = was_ignoring;
}

void EventHandler::handle_control_event(wxCommandEvent& event) {
    if (ignore_events || current_element == nullptr)
        return;
    instance_data* record = instance_of(current_element);
    if (record == nullptr)
        return;
    const int id = event.GetId();

    // Each section tries the event on its own controls; one of them sent it.
    input_config edited = record->config;
    edit_result result = edit_controller_row(controls.controller, edited, id);
    if (result == edit_result::not_sent)
        result = edit_digital_sections(controls.digital, edited, id);
    if (result == edit_result::not_sent)
        result = edit_serial_sections(controls.serial, edited, id);
    if (result == edit_result::not_sent)
        result = edit_forwarding_section(controls.forwarding, edited, id);
    if (result == edit_result::not_sent)
        result = edit_message_section(controls.message, edited, id);
    if (result == edit_result::not_sent)
        result = edit_timeout_section(controls.timeout, edited, *record, id);
    commit_edit(*record, edited, result);
}

void EventHandler::commit_edit(instance_data& record, const input_config& edited,
                               edit_result result) {
    record.config = edited;
    // Taken before the refresh: bits the refresh drops stay in the template.
    config_template = edited;
    if (result == edit_result::message_only)
        return;
    update_element_colour(&record, true);
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

void EventHandler::handle_window_destroyed(wxWindowDestroyEvent& event) {
    // Destruction of the controls themselves propagates here too; only the
    // window that owns them all matters.
    if (event.GetEventObject() == controls.window)
        forget_controls();
    event.Skip();
}
