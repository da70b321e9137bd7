#include "element/element_colour.h"

#include <wx/gdicmn.h>

wxColour element_colour(const input_config& config) {
    // Made once and shared: every load colours its element, and a copy of a
    // made colour costs no allocation.
    static const wxColour restart(185, 255, 185, 255);
    static const wxColour stop(255, 185, 185, 255);
    static const wxColour go_to(210, 210, 210, 255);
    if ((config.flags & FLAG_TIMEOUT) == 0)
        return *wxWHITE;
    switch (config.timeout_action) {
    case ACTION_RESTART:
        return restart;
    case ACTION_STOP:
        return stop;
    case ACTION_GOTO:
        return go_to;
    default:
        return *wxWHITE;
    }
}
