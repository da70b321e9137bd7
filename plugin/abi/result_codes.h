// Result codes of every entry point that has a result.
#pragma once

#include <cstdint>

// Success; at run time: condition met, or the project may continue.
constexpr std::int32_t RES_OK = 1;
// The call does not concern this element.
constexpr std::int32_t RES_IGNORED = 5;
// Refused; also the fixed answer of vexa_reset_gui.
constexpr std::int32_t RES_INVALID = 9;
// An allocation failed.
constexpr std::int32_t RES_NO_MEMORY = 11;
// Condition not met; keep waiting.
constexpr std::int32_t RES_WAIT = 12;
// Request of a kind this element does not serve.
constexpr std::int32_t RES_UNSUPPORTED = 24;
// The host is to fetch a follow-up with vexa_get_custom_operation.
constexpr std::int32_t RES_CUSTOM_OPERATION = 31;
