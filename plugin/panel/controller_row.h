// The controller row: which of the host's scanner controllers the element
// reads its inputs from.
#pragma once

#include <cstdint>

#include "panel/panel_controls.h"

struct panel_builder;

void build_controller_row(panel_builder& builder, controller_row_controls& row);
// With HOST_FLAG_LOCK_CONTROLLER in `host_flags` the choice is disabled.
void fill_controller_row(controller_row_controls& row, const input_config& config,
                         std::uint32_t host_flags);
edit_result edit_controller_row(const controller_row_controls& row, input_config& edited, int id);
