// The forwarding section: a range of the received serial text handed on to
// the host's character inputs IN2 to IN5.
#pragma once

#include "panel/panel_controls.h"

struct panel_builder;

// Built when the described controllers offer a serial interface.
void build_forwarding_section(panel_builder& builder, forwarding_section_controls& section);
void fill_forwarding_section(forwarding_section_controls& section, const input_config& config);
// Enabled while a serial interface is the element's input.
void refresh_forwarding_section(forwarding_section_controls& section, const input_config& config);
// The range bounds keep substr_from < substr_to; the boxes set their targets.
edit_result edit_forwarding_section(const forwarding_section_controls& section,
                                    input_config& edited, int id);
