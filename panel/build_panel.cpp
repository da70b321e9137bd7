#include "panel/event_handler.h"

std::int32_t build_panel(element_handle* element, instance_data* /*record*/) {
    // The replaced object is not used again; its connections go with it.
    delete event_handler;
    auto* handler = new EventHandler;
    handler->current_element = element;
    event_handler = handler;
    return RES_OK;
}

void EventHandler::handle_control_event(wxCommandEvent&) {}
void EventHandler::handle_focus_lost(wxFocusEvent&) {}
void EventHandler::handle_spin_change(wxSpinEvent&) {}
void EventHandler::refresh_panel() {}
