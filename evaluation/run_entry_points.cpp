#include "host_api/entry_points.h"
#include "plugin/input_config.h"

std::int32_t vexa_check_input_value(element_handle* element, const void* record, std::int32_t) {
    return instance_of(element) && record ? RES_UNSUPPORTED : RES_INVALID;
}

bool vexa_continuous_stream(element_handle*, std::int32_t*, std::int32_t*) { return false; }

std::int32_t vexa_get_bin_value(element_handle* element, std::uint32_t*, void**, std::int32_t*,
                                std::int32_t*) {
    return instance_of(element) ? RES_UNSUPPORTED : RES_INVALID;
}

void vexa_release_bin_data(element_handle*) {}

std::int32_t vexa_get_custom_operation(element_handle* element, void*) {
    return instance_of(element) ? RES_UNSUPPORTED : RES_INVALID;
}
