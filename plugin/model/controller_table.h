// The table of controller descriptions the host hands in, and the port and
// bit rules the panel and the run time derive from it.
#pragma once

#include <cstdint>

#include "abi/controller_config.h"

class controller_table {
public:
    // Copies a valid description into the entry its index names; others are
    // ignored. Capabilities accumulate until clear_capabilities().
    void describe(const std::uint8_t* description);
    // The panel's sections follow the capabilities described since this call.
    void clear_capabilities() { capabilities_ = 0; }

    // OR of the capabilities of every controller described since load or reset.
    std::uint32_t capabilities() const { return capabilities_; }

    // The entry of `controller`, or null for 9 and above: such a number
    // (possible only from loaded data) names no entry and offers nothing.
    const std::uint8_t* entry(unsigned controller) const;

    std::uint32_t capabilities(unsigned controller) const;
    bool has_stream_wait(unsigned controller) const;

    // An 8- or 16-bit port of kind `kind` (an INPUT_DIGI* value): offered when
    // the controller has the capability and no port entry of that kind masks
    // the whole port.
    bool port_offered(unsigned controller, std::uint32_t kind) const;
    // One bit `bit` of a port of kind `kind` (8-, 16- or 32-bit): offered when
    // no port entry of that kind masks it. Several entries may each take bits away.
    bool bit_offered(unsigned controller, std::uint32_t kind, std::uint32_t bit) const;

private:
    // Nine copies of 4416 bytes, indexed by controller number; zero at load.
    std::uint8_t entries_[CONTROLLER_COUNT][CONTROLLER_CONFIG_SIZE] = {};
    std::uint32_t capabilities_ = 0;
};
