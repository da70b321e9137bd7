#include "element/element_colour.h"
#include "panel/event_handler.h"

void EventHandler::update_element_colour(instance_data* record, bool notify) {
    // After a deselection or a reset there is no element to colour.
    if (record == nullptr || current_element == nullptr)
        return;
    current_element->colour = element_colour(record->config);
    if (notify && record->refresh != nullptr)
        record->refresh(current_element->project, current_element);
}
