// The table of controller descriptions the host hands in, and the port and
// bit rules the panel and the run time derive from it.
#pragma once

#include <cstdint>

#include "host_api/controller_config.h"

// Nine copies of 4416 bytes, indexed by controller number; zero at load.
extern std::uint8_t controller_configs[CONTROLLER_COUNT][CONTROLLER_CONFIG_SIZE];
// OR of the capabilities of every controller described since load or reset.
extern std::uint32_t controller_caps;

// The table entry of `controller`, or null for 9 and above: such a number
// (possible only from loaded data) names no entry and offers nothing.
const std::uint8_t* controller_entry(unsigned controller);

std::uint32_t controller_capabilities(unsigned controller);
bool controller_has_stream_wait(unsigned controller);

// An 8- or 16-bit port of kind `kind` (an INPUT_DIGI* value): offered when the
// controller has the capability and no port entry of that kind masks the whole port.
bool port_offered(unsigned controller, std::uint32_t kind);
// One bit `bit` of a port of kind `kind` (8-, 16- or 32-bit): offered when no
// port entry of that kind masks it. Several entries may each take bits away.
bool bit_offered(unsigned controller, std::uint32_t kind, std::uint32_t bit);
