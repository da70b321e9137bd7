#include "entry/plugin_state.h"

plugin_state the_plugin;

void replace_panel(element_handle* element, instance_data* record) {
    the_plugin.panel.reset();
    the_plugin.current_element = element;
    the_plugin.panel = build_panel(element, record, the_plugin.config_template,
                                   the_plugin.controllers, the_plugin.current_element);
}
