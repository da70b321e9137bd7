// The digital ports' sections: a mode radio per offered port and a row of
// bit buttons under it (X: not compared, 0, 1).
#pragma once

#include "panel/panel_controls.h"

class controller_table;
struct panel_builder;

// A section for each port the described controllers offer, in panel order.
void build_digital_sections(panel_builder& builder, digital_sections& ports);
// The mode radios, their enable state by the element's controller, then the
// bits: offered bits of the active port stay, every other compared bit of a
// built port is dropped from `config`, and each button shows its bit.
void refresh_digital_sections(digital_sections& ports, const controller_table& controllers,
                              input_config& config);
// A mode radio chooses its port; a bit button cycles its bit.
edit_result edit_digital_sections(const digital_sections& ports, input_config& edited, int id);
