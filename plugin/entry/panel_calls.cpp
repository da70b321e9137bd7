// Selecting the element the panel shows, and tearing the panel object down.
#include <wx/window.h>

#include "abi/entry_points.h"
#include "entry/plugin_state.h"

namespace {

bool window_is_empty(const wxWindow* window) {
    return window->GetChildren().empty();
}

} // namespace

void vexa_select(element_handle* element, std::uint32_t host_flags, std::uint8_t show) try {
    if (element == nullptr) {
        the_plugin.current_element = nullptr;
        if (the_plugin.panel != nullptr)
            the_plugin.panel->ignore_events = true;
        return;
    }
    instance_data* record = instance_of(element);
    if (record == nullptr)
        return;
    const bool shown = element->parent_window != nullptr && show == 1;

    if (the_plugin.panel == nullptr) {
        if (!shown)
            return;
        replace_panel(element, record);
    } else if (!the_plugin.panel->has_controls()) {
        // A bare object from a creation without a usable window: build the
        // panel only into an empty window, never next to someone else's controls.
        if (!shown || !window_is_empty(element->parent_window)) {
            the_plugin.current_element = element;
            return;
        }
        replace_panel(element, record);
    }
    the_plugin.current_element = element;
    if (!shown)
        return;
    fill_panel(*the_plugin.panel, *element, *record, host_flags);
} catch (...) {
    // An allocation failed inside the toolkit: the panel may be partly
    // filled; it ignores events until the next selection.
    if (the_plugin.panel != nullptr)
        the_plugin.panel->ignore_events = true;
}

std::int32_t vexa_reset_gui() {
    the_plugin.controllers.clear_capabilities();
    // The controls stay with the host's window; deleting the object removes
    // their connections to it.
    the_plugin.panel.reset();
    the_plugin.current_element = nullptr;
    return RES_INVALID;
}
