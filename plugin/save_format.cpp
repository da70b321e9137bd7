#include "host_api/entry_points.h"
#include "plugin/input_config.h"

char* vexa_get_save_data(element_handle*, std::uint32_t* length) {
    if (length != nullptr)
        *length = 0;
    return nullptr;
}

std::int32_t vexa_set_loaded_data(element_handle* element, std::uint32_t, const char*) {
    return instance_of(element) ? RES_UNSUPPORTED : RES_INVALID;
}
