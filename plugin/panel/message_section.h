// The wait message section: a text the host shows while the element waits.
#pragma once

#include "panel/panel_controls.h"

struct panel_builder;

// Always built.
void build_message_section(panel_builder& builder, message_section_controls& section);
void fill_message_section(message_section_controls& section, const input_config& config);
// The text is enabled while the message is switched on.
void refresh_message_section(message_section_controls& section, const input_config& config);
// A text edit is edit_result::message_only.
edit_result edit_message_section(const message_section_controls& section, input_config& edited,
                                 int id);
