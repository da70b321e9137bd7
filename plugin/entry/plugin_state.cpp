#include "entry/plugin_state.h"

plugin_state the_plugin;

void replace_panel(element_handle* element, instance_data* record) {
    delete the_plugin.panel;
    the_plugin.panel = nullptr;
    the_plugin.panel =
        build_panel(element, record, the_plugin.config_template, the_plugin.controllers);
}
