// Result codes of every entry point that has a result. Which call answers
// which, and why, is stated at each call in entry_points.h.
#pragma once

#include <cstdint>

// Success. Run time: condition met, or a timeout that lets the project go on.
constexpr std::int32_t RES_OK = 1;
// vexa_check_input_value: a record of another controller.
// vexa_get_bin_value: the element has no input mode chosen.
constexpr std::int32_t RES_IGNORED = 5;
// Refused, nothing changed: null handle, empty slot, null record, a block still
// held, no valid input mode or timeout action. The fixed answer of vexa_reset_gui.
constexpr std::int32_t RES_INVALID = 9;
// An allocation failed (vexa_create_instance, vexa_get_bin_value).
constexpr std::int32_t RES_NO_MEMORY = 11;
// vexa_check_input_value: condition not met; keep sending records.
constexpr std::int32_t RES_WAIT = 12;
// vexa_get_custom_operation: a record of another kind, or nothing pending.
constexpr std::int32_t RES_UNSUPPORTED = 24;
// vexa_check_input_value: fetch the follow-up with vexa_get_custom_operation.
constexpr std::int32_t RES_CUSTOM_OPERATION = 31;

// Each result code above, once, for code that names them (logs):
// VEXA_RESULT_CODES(X) expands to X(RES_OK) X(RES_IGNORED) ...
#define VEXA_RESULT_CODES(X)                                                                       \
    X(RES_OK)                                                                                      \
    X(RES_IGNORED)                                                                                 \
    X(RES_INVALID)                                                                                 \
    X(RES_NO_MEMORY)                                                                               \
    X(RES_WAIT)                                                                                    \
    X(RES_UNSUPPORTED)                                                                             \
    X(RES_CUSTOM_OPERATION)
