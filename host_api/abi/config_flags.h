// Values of the element configuration's mode, flag and action fields: set by
// panel edits or loaded from a save record, stored in save records and carried
// by result data (big-endian in both).
#pragma once

#include <cstdint>

// input_mode values: the input the element waits on. 0 = none chosen; 0 or a
// value not listed makes vexa_check_input_value answer RES_INVALID.
constexpr std::uint32_t INPUT_DIGI8_1 = 0x00002000;
constexpr std::uint32_t INPUT_DIGI8_2 = 0x00004000;
constexpr std::uint32_t INPUT_DIGI16_1 = 0x00008000;
constexpr std::uint32_t INPUT_DIGI16_2 = 0x00010000;
constexpr std::uint32_t INPUT_DIGI32 = 0x00020000;
constexpr std::uint32_t INPUT_SERIAL_1 = 0x00400000;
constexpr std::uint32_t INPUT_SERIAL_2 = 0x04000000;
constexpr std::uint32_t INPUT_SERIAL_ANY = INPUT_SERIAL_1 | INPUT_SERIAL_2;

// flags bits. Bits without a name are kept as they are. FULL wins over SUBSTRING;
// neither: any received text matches.
constexpr std::uint32_t FLAG_SERIAL1_FULL = 0x001;
constexpr std::uint32_t FLAG_SERIAL1_SUBSTRING = 0x002;
constexpr std::uint32_t FLAG_SHOW_MESSAGE = 0x004;
constexpr std::uint32_t FLAG_SERIAL2_FULL = 0x008;
constexpr std::uint32_t FLAG_SERIAL2_SUBSTRING = 0x010;
constexpr std::uint32_t FLAG_TIMEOUT = 0x020;
constexpr std::uint32_t FLAG_FORWARD_IN2 = 0x040;
constexpr std::uint32_t FLAG_FORWARD_IN3 = 0x080;
constexpr std::uint32_t FLAG_FORWARD_IN4 = 0x100;
constexpr std::uint32_t FLAG_FORWARD_IN5 = 0x200;
constexpr std::uint32_t FLAG_FORWARD_ANY = 0x3C0;

// timeout_action values, in the order of the panel's list: what an expired
// timeout gives (RES_OK, or RES_CUSTOM_OPERATION with OP_RESTART, OP_STOP, OP_GOTO).
constexpr std::uint8_t ACTION_CONTINUE = 0;
constexpr std::uint8_t ACTION_RESTART = 1;
constexpr std::uint8_t ACTION_STOP = 2;
constexpr std::uint8_t ACTION_GOTO = 3;

// Each input mode, flag and timeout action above, once, for code that names
// them (logs, JSON, files): VEXA_INPUT_MODES(X) expands to X(INPUT_DIGI8_1)
// X(INPUT_DIGI8_2) ..., in the order above.
#define VEXA_INPUT_MODES(X)                                                                        \
    X(INPUT_DIGI8_1)                                                                               \
    X(INPUT_DIGI8_2)                                                                               \
    X(INPUT_DIGI16_1)                                                                              \
    X(INPUT_DIGI16_2)                                                                              \
    X(INPUT_DIGI32)                                                                                \
    X(INPUT_SERIAL_1)                                                                              \
    X(INPUT_SERIAL_2)
#define VEXA_FLAGS(X)                                                                              \
    X(FLAG_SERIAL1_FULL)                                                                           \
    X(FLAG_SERIAL1_SUBSTRING)                                                                      \
    X(FLAG_SHOW_MESSAGE)                                                                           \
    X(FLAG_SERIAL2_FULL)                                                                           \
    X(FLAG_SERIAL2_SUBSTRING)                                                                      \
    X(FLAG_TIMEOUT)                                                                                \
    X(FLAG_FORWARD_IN2)                                                                            \
    X(FLAG_FORWARD_IN3)                                                                            \
    X(FLAG_FORWARD_IN4)                                                                            \
    X(FLAG_FORWARD_IN5)
#define VEXA_TIMEOUT_ACTIONS(X)                                                                    \
    X(ACTION_CONTINUE)                                                                             \
    X(ACTION_RESTART)                                                                              \
    X(ACTION_STOP)                                                                                 \
    X(ACTION_GOTO)
