// Saving and loading an element as a save record, through the shared buffer.
#include "abi/entry_points.h"
#include "element/element_colour.h"
#include "element/instance_data.h"
#include "entry/plugin_state.h"
#include "model/save_record.h"

char* vexa_get_save_data(element_handle* element, std::uint32_t* length) {
    instance_data* record = instance_of(element);
    if (length != nullptr)
        *length = record != nullptr ? static_cast<std::uint32_t>(SAVE_RECORD_SIZE) : 0;
    if (record == nullptr)
        return nullptr;
#if defined(ZAVUD_DELIBERATE_FAULT)
#if defined(ZAVUD_AS_SHIPPED)
#error "the plug-in that ships is never built with ZAVUD_DELIBERATE_FAULT"
#endif
    // The tests' faulty build (tests/CMakeLists.txt): forwarding to IN5 is
    // not saved, a fault that zavud_validate must find and name.
    input_config faulty = record->config;
    faulty.flags &= ~FLAG_FORWARD_IN5;
    encode_save_record(faulty, the_plugin.save_buffer);
#else
    encode_save_record(record->config, the_plugin.save_buffer);
#endif
    return reinterpret_cast<char*>(the_plugin.save_buffer);
}

std::int32_t vexa_set_loaded_data(element_handle* element, std::uint32_t length,
                                  const char* data) try {
    instance_data* record = instance_of(element);
    if (record == nullptr)
        return RES_INVALID;
    take_stored_record(data, length, the_plugin.save_buffer);
    decode_save_record(the_plugin.save_buffer, record->config);
    // The loaded element itself takes its colour, whichever element the panel
    // shows and whether or not a panel exists; loading notifies nobody.
    element->colour = element_colour(record->config);
    return RES_OK;
} catch (...) {
    // Only the first load ever allocates (the shared colours); the
    // configuration is loaded, the colour not assigned.
    return RES_NO_MEMORY;
}
