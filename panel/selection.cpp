#include "controller/controller_table.h"
#include "host_api/entry_points.h"
#include "panel/event_handler.h"

void vexa_select(element_handle* element, std::uint32_t, std::uint8_t) {
    if (element == nullptr) {
        if (event_handler != nullptr) {
            event_handler->current_element = nullptr;
            event_handler->ignore_events = true;
        }
        return;
    }
}

std::int32_t vexa_reset_gui() {
    controller_caps = 0;
    delete event_handler;
    event_handler = nullptr;
    return RES_INVALID;
}
