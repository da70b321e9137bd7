// The colour an element shows in the host's project, by its timeout
// settings. Here rather than in the panel: loading colours its element
// whether or not a panel exists.
#pragma once

#include <wx/colour.h>

#include "model/input_config.h"

wxColour element_colour(const input_config& config);
