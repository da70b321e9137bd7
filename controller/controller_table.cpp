#include "controller/controller_table.h"

#include <cstring>

#include "host_api/entry_points.h"
#include "plugin/input_config.h"

std::uint8_t controller_configs[CONTROLLER_COUNT][CONTROLLER_CONFIG_SIZE] = {};
std::uint32_t controller_caps = 0;

namespace {

// Descriptions are in host byte order; read unaligned-safe.
std::uint32_t read_u32(const std::uint8_t* entry, std::size_t offset) {
    std::uint32_t value;
    std::memcpy(&value, entry + offset, sizeof value);
    return value;
}

std::uint32_t full_port_mask(std::uint32_t kind) {
    return (kind == INPUT_DIGI8_1 || kind == INPUT_DIGI8_2) ? 0xFFu : 0xFFFFu;
}

} // namespace

void vexa_set_config_info(const void* controller_config) {
    if (controller_config == nullptr)
        return;
    const auto* record = static_cast<const std::uint8_t*>(controller_config);
    if ((record[CONFIG_STATUS_FLAGS] & CONFIG_VALID) == 0)
        return;
    const std::uint8_t index = record[CONFIG_CONTROLLER_INDEX];
    if (index >= CONTROLLER_COUNT)
        return;
    std::memcpy(controller_configs[index], record, CONTROLLER_CONFIG_SIZE);
    controller_caps |= read_u32(record, CONFIG_CAPABILITIES);
}

const std::uint8_t* controller_entry(unsigned controller) {
    return controller < CONTROLLER_COUNT ? controller_configs[controller] : nullptr;
}

std::uint32_t controller_capabilities(unsigned controller) {
    const std::uint8_t* entry = controller_entry(controller);
    return entry ? read_u32(entry, CONFIG_CAPABILITIES) : 0;
}

bool controller_has_stream_wait(unsigned controller) {
    const std::uint8_t* entry = controller_entry(controller);
    return entry && (entry[CONFIG_FEATURE_FLAGS] & FEATURE_STREAM_WAIT) != 0;
}

bool port_offered(unsigned controller, std::uint32_t kind) {
    const std::uint8_t* entry = controller_entry(controller);
    if (entry == nullptr || (read_u32(entry, CONFIG_CAPABILITIES) & kind) == 0)
        return false;
    const std::uint32_t full = full_port_mask(kind);
    for (std::size_t i = 0; i < PORT_ENTRIES; ++i)
        if (read_u32(entry, CONFIG_PORT_KIND + 4 * i) == kind &&
            (read_u32(entry, CONFIG_PORT_MASK + 4 * i) & full) == full)
            return false;
    return true;
}

bool bit_offered(unsigned controller, std::uint32_t kind, std::uint32_t bit) {
    const std::uint8_t* entry = controller_entry(controller);
    if (entry == nullptr)
        return false;
    for (std::size_t i = 0; i < PORT_ENTRIES; ++i)
        if (read_u32(entry, CONFIG_PORT_KIND + 4 * i) == kind &&
            (read_u32(entry, CONFIG_PORT_MASK + 4 * i) & bit) == bit)
            return false;
    return true;
}
