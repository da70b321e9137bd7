// The serial interfaces' sections: a mode radio, the text to compare and
// whether the received text must equal it or contain it.
#pragma once

#include "panel/panel_controls.h"

struct panel_builder;

// A section for each interface the described controllers offer.
void build_serial_sections(panel_builder& builder, serial_sections& interfaces);
void fill_serial_sections(serial_sections& interfaces, const input_config& config);
// Radio states, and the compare controls enabled only for the chosen interface.
void refresh_serial_sections(serial_sections& interfaces, const input_config& config);
// A mode radio chooses its interface, a compare radio its way of comparing,
// the text control its compare text.
edit_result edit_serial_sections(const serial_sections& interfaces, input_config& edited, int id);
