// The plug-in's process-wide state, in one place. Only the entry points reach
// it; the layers below are handed what they need.
#pragma once

#include <cstdint>
#include <memory>

#include "model/controller_table.h"
#include "model/input_config.h"
#include "model/save_record.h"
#include "panel/event_handler.h"

struct plugin_state {
    // What the next new element copies. From load to unload: panel edits
    // change it, vexa_reset_gui keeps it.
    input_config config_template = factory_template();
    // The controllers the host described. From load to unload: descriptions
    // replace entries; vexa_reset_gui clears only the capabilities, so the
    // next panel shows the sections of the controllers described after it.
    controller_table controllers;
    // The panel object: made by the first creation or shown selection,
    // replaced by each panel build, deleted by vexa_reset_gui. The controls
    // themselves belong to the host's window.
    std::unique_ptr<EventHandler> panel;
    // The element the panel shows: set by creation and selection, cleared by
    // a deselection, by deleting that element and by vexa_reset_gui. The
    // panel object reads it; it means nothing while there is no panel.
    element_handle* current_element = nullptr;
    // Shared by every save and load of every element. The host reads a
    // returned record until its next save or load call.
    std::uint8_t save_buffer[SAVE_RECORD_SIZE] = {};
};

// The one instance, for the life of the loaded library.
extern plugin_state the_plugin;

// Builds the panel into element->parent_window with a new panel object
// showing `element`, deleting the one it replaces (which also drops that
// one's connections).
void replace_panel(element_handle* element, instance_data* record);
