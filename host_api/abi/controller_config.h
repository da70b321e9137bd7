// The controller description handed to vexa_set_config_info: the host writes
// it, owns it and may reuse it after the call; the plug-in copies it whole
// during the call. Numbers in host byte order, any alignment.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr std::size_t CONTROLLER_CONFIG_SIZE = 4416;
constexpr std::size_t CONTROLLER_COUNT = 9;
constexpr std::size_t PORT_ENTRIES = 12;

constexpr std::size_t CONFIG_STATUS_FLAGS = 4;      // u8: without CONFIG_VALID ignored
constexpr std::size_t CONFIG_CONTROLLER_INDEX = 13; // u8: 0..8, the table entry; others ignored
constexpr std::size_t CONFIG_FEATURE_FLAGS = 20;    // u8: FEATURE_* bits
// u32: INPUT_* bits offered. The panel's sections are those of all controllers
// described; an 8- or 16-bit port is enabled only if the element's controller offers it.
constexpr std::size_t CONFIG_CAPABILITIES = 172;
constexpr std::size_t CONFIG_PORT_KIND = 176; // u32[12]: INPUT_* value per entry
// u32[12]: bits of that port the element may not use (the panel drops them from
// the element's masks); all bits of an 8- or 16-bit port masked disable the port.
constexpr std::size_t CONFIG_PORT_MASK = 224;

constexpr std::uint8_t CONFIG_VALID = 0x01;
// The controller can run a plain digital wait in its stream (vexa_continuous_stream).
constexpr std::uint8_t FEATURE_STREAM_WAIT = 0x40;
