// Element kind and element life: creation, deletion, UI parameters, refresh
// callback.
#include <memory>
#include <new>

#include <wx/bitmap.h>
#include <wx/window.h>

#include "abi/entry_points.h"
#include "element/instance_data.h"
#include "entry/icons.h"
#include "entry/plugin_state.h"

// No exception leaves an entry point: an allocation that fails inside the
// toolkit or the standard library becomes the call's documented answer.

std::int32_t vexa_create_instance(element_handle* element, const void* creation_record) try {
    if (element == nullptr)
        return RES_INVALID;
    // The slot is written at once, also with null on failure, so the host
    // never keeps a stale pointer from an earlier element.
    auto* record = new (std::nothrow) instance_data();
    element->instance_data = record;
    if (record == nullptr)
        return RES_NO_MEMORY;
    record->config = the_plugin.config_template;
    record->host_context = creation_record;

    if (the_plugin.panel == nullptr) {
        the_plugin.panel.reset(new (std::nothrow) EventHandler(
            the_plugin.config_template, the_plugin.controllers, the_plugin.current_element));
        if (the_plugin.panel == nullptr)
            return RES_NO_MEMORY;
    }
    the_plugin.current_element = element;

    // The panel is built at most once per host window.
    wxWindow* parent = element->parent_window;
    if (parent == nullptr || !parent->GetChildren().empty())
        return RES_OK;
    replace_panel(element, record);
    return RES_OK;
} catch (...) {
    // The panel went with the failed build; the record stays in the slot.
    return RES_NO_MEMORY;
}

std::int32_t vexa_delete_instance(element_handle* element) {
    instance_data* record = instance_of(element);
    if (record == nullptr)
        return RES_OK;
    // Later events, selections or loads must not reach freed memory.
    if (the_plugin.current_element == element) {
        the_plugin.current_element = nullptr;
        if (the_plugin.panel != nullptr)
            the_plugin.panel->ignore_events = true;
    }
    // A result-data block still held stays with the host's copy of the pointer.
    delete record;
    return RES_OK;
}

std::int32_t vexa_get_ui_parameters(ui_parameters* parameters) try {
    if (parameters == nullptr)
        return RES_INVALID;
    // Everything made first, then handed over without allocating: a failure
    // leaves the record as it was and no bitmap behind.
    wxString name("Custom Input");
    wxString description("Wait for input data from the scanner controller");
    auto large_icon = std::make_unique<wxBitmap>(large_icon_xpm);
    auto small_icon = std::make_unique<wxBitmap>(small_icon_xpm);
    parameters->name.swap(name);
    parameters->description.swap(description);
    parameters->large_icon = large_icon.release();
    parameters->small_icon = small_icon.release();
    parameters->value_128 = 15;
    parameters->value_132 = 128;
    parameters->value_176 = 11007;
    return RES_OK;
} catch (...) {
    return RES_NO_MEMORY;
}

void vexa_set_refresh_callback(element_handle* element, refresh_callback callback) {
    if (instance_data* record = instance_of(element))
        record->refresh = callback;
}
