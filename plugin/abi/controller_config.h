// The controller description handed to vexa_set_config_info. Host owns; the
// plug-in copies it whole. Numbers are in host byte order.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr std::size_t CONTROLLER_CONFIG_SIZE = 4416;
constexpr std::size_t CONTROLLER_COUNT = 9;
constexpr std::size_t PORT_ENTRIES = 12;

constexpr std::size_t CONFIG_STATUS_FLAGS = 4;      // u8
constexpr std::size_t CONFIG_CONTROLLER_INDEX = 13; // u8
constexpr std::size_t CONFIG_FEATURE_FLAGS = 20;    // u8
constexpr std::size_t CONFIG_CAPABILITIES = 172;    // u32: INPUT_* bits
constexpr std::size_t CONFIG_PORT_KIND = 176;       // u32[12]: INPUT_* value per entry
constexpr std::size_t CONFIG_PORT_MASK = 224;       // u32[12]: bits the element may not use

constexpr std::uint8_t CONFIG_VALID = 0x01;
constexpr std::uint8_t FEATURE_STREAM_WAIT = 0x40;
