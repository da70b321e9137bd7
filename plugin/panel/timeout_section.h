// The timeout section: how long the element waits, and what the project does
// then (continue, restart, stop, or go to a chosen element).
#pragma once

#include "abi/element_handle.h"
#include "element/instance_data.h"
#include "panel/panel_controls.h"

struct panel_builder;

// Built unless `record`'s creation record asks for no timeout section.
void build_timeout_section(panel_builder& builder, timeout_section_controls& section,
                           const instance_data* record);
// Also lists the project's elements to go to, and copies their ids into
// record.element_ids, which the list's entries stand for.
void fill_timeout_section(timeout_section_controls& section, const element_handle& element,
                          instance_data& record);
// The time and action are enabled while the timeout is on; the goto list
// while "Go to element" is the shown action.
void refresh_timeout_section(timeout_section_controls& section, const input_config& config);
// Entry k of the goto list stands for record.element_ids[k].
edit_result edit_timeout_section(const timeout_section_controls& section, input_config& edited,
                                 const instance_data& record, int id);
