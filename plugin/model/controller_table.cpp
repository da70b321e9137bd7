#include "model/controller_table.h"

#include "abi/config_flags.h"
#include "model/platform.h"

namespace {

// Descriptions are in host byte order.
std::uint32_t read_u32(const std::uint8_t* entry, std::size_t offset) {
    return platform::read_host<std::uint32_t>(entry + offset);
}

std::uint32_t full_port_mask(std::uint32_t kind) {
    return (kind == INPUT_DIGI8_1 || kind == INPUT_DIGI8_2) ? 0xFFu : 0xFFFFu;
}

} // namespace

void controller_table::describe(const std::uint8_t* record) {
    if ((record[CONFIG_STATUS_FLAGS] & CONFIG_VALID) == 0)
        return;
    const std::uint8_t index = record[CONFIG_CONTROLLER_INDEX];
    if (index >= CONTROLLER_COUNT)
        return;
    std::memcpy(entries_[index], record, CONTROLLER_CONFIG_SIZE);
    capabilities_ |= read_u32(record, CONFIG_CAPABILITIES);
}

const std::uint8_t* controller_table::entry(unsigned controller) const {
    return controller < CONTROLLER_COUNT ? entries_[controller] : nullptr;
}

std::uint32_t controller_table::capabilities(unsigned controller) const {
    const std::uint8_t* at = entry(controller);
    return at ? read_u32(at, CONFIG_CAPABILITIES) : 0;
}

bool controller_table::has_stream_wait(unsigned controller) const {
    const std::uint8_t* at = entry(controller);
    return at && (at[CONFIG_FEATURE_FLAGS] & FEATURE_STREAM_WAIT) != 0;
}

bool controller_table::port_offered(unsigned controller, std::uint32_t kind) const {
    const std::uint8_t* at = entry(controller);
    if (at == nullptr || (read_u32(at, CONFIG_CAPABILITIES) & kind) == 0)
        return false;
    const std::uint32_t full = full_port_mask(kind);
    for (std::size_t i = 0; i < PORT_ENTRIES; ++i)
        if (read_u32(at, CONFIG_PORT_KIND + 4 * i) == kind &&
            (read_u32(at, CONFIG_PORT_MASK + 4 * i) & full) == full)
            return false;
    return true;
}

bool controller_table::bit_offered(unsigned controller, std::uint32_t kind,
                                   std::uint32_t bit) const {
    const std::uint8_t* at = entry(controller);
    if (at == nullptr)
        return false;
    for (std::size_t i = 0; i < PORT_ENTRIES; ++i)
        if (read_u32(at, CONFIG_PORT_KIND + 4 * i) == kind &&
            (read_u32(at, CONFIG_PORT_MASK + 4 * i) & bit) == bit)
            return false;
    return true;
}
